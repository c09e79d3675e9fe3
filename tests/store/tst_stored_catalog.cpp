// The kept catalog: shown at start while the service is unreachable, ignored when it cannot be trusted or read,
// and followed while the window is open when another process stores a newer one.

#include "ClosedPort.h"
#include "DataRows.h"
#include "LoopbackHttpServer.h"
#include "SigningKey.h"
#include "StoreFakes.h"
#include "TempHome.h"
#include "catalog/ManifestDecoder.h"
#include "install/BlockingWork.h"
#include "store/StoredCatalogWatch.h"

#include <QNetworkAccessManager>

namespace {

const LauncherManifest seed = TestCatalog::manifest({TestCatalog::app("seed")});
const LauncherManifest stored = TestCatalog::manifest(
    {TestCatalog::app("alpha", AppReleaseStatus::live, QStringLiteral("2.0.0")), TestCatalog::app("beta"),
     TestCatalog::app("soon", AppReleaseStatus::comingSoon)});
const QByteArray storedBody = ManifestDecoder::encode(stored);
// What the terminal tool's update fetched later, signed as a maker signs: alpha moved on to 2.1.0.
const LauncherManifest newer = TestCatalog::fresh(
    TestCatalog::manifest({TestCatalog::app("alpha", AppReleaseStatus::live, QStringLiteral("2.1.0")), TestCatalog::app("beta")}), 2,
    QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch() + 14 * 86400, Qt::UTC));
const QByteArray newerBody = ManifestDecoder::encode(newer);


// The window reads a changed copy on a worker: let that read end and its
// result reach the store before looking at what the store shows.
void settleTakeUp()
{
    BlockingWork::pool()->waitForDone();
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

}  // namespace

class TestStoredCatalog : public QObject
{
    Q_OBJECT
    using ShownRows = DataRows<qint64, QString, QString>;  // age in seconds, locale, error line
    using IgnoredRows = DataRows<QString>;                  // what is wrong with the copy
    using NotTakenUpRows = DataRows<QString, bool>;         // what another process stores, whether the copy stays

    QNetworkAccessManager m_session;
    QTemporaryDir m_keys;
    const SigningKey m_mine = SigningKey::loadOrCreate(m_keys.filePath(QStringLiteral("mine")));
    const SigningKey m_other = SigningKey::loadOrCreate(m_keys.filePath(QStringLiteral("other")));
    // Nothing listens here: every refresh fails.
    const QUrl m_endpoint = QUrl(QStringLiteral("http://127.0.0.1:%1/api/launcher/manifest").arg(closedLoopbackPort()));

    // The store's loader: the real client over the unreachable endpoint, keys configured.
    std::shared_ptr<RemoteManifestClient> client(StoreHarness &h, const CatalogCache &cache, const QUrl &endpoint = {})
    {
        auto c = std::make_shared<RemoteManifestClient>(endpoint.isEmpty() ? m_endpoint : endpoint, &m_session);
        c->setPublicKeys(CatalogPublicKeys::parse(QString::fromLatin1(m_mine.publicKeyBase64())));
        c->setCache(std::make_shared<CatalogCache>(cache.folder()));
        c->setTimeoutMs(5000);
        h.manifestLoader = c;
        return c;
    }

    // The window's store over a copy for endpoint stored a minute ago, alpha installed at 2.0.0.
    std::unique_ptr<LauncherStore> windowOverStoredCopy(StoreHarness &h, const CatalogCache &cache, const QUrl &endpoint)
    {
        client(h, cache, endpoint);
        if (!cache.write(endpoint, storedBody, m_mine.sign(storedBody), QDateTime::currentDateTimeUtc().addSecs(-60)))
            return nullptr;
        h.record({{"alpha", "2.0.0"}}, {{"alpha", h.makeBundle("alpha")}});
        std::unique_ptr<LauncherStore> store = h.makeStore(seed);
        store->restoreStoredCatalog();
        return store;
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The stored copy's apps, lifecycle and states from the start; the failed refresh keeps them and names its age.
    void shownWhileTheServiceIsUnreachable_data()
    {
        ShownRows::columns();
        ShownRows::row("2 hours, en", 2 * 3600 + 300, "en", "Could not refresh apps. Showing the catalog fetched 2 h ago.");
        ShownRows::row("seconds, de", 20, "de", "Apps konnten nicht aktualisiert werden. Zeige den gerade eben geladenen Katalog.");
        ShownRows::row("45 minutes, pl", 45 * 60 + 10, "pl", "Nie udało się odświeżyć aplikacji. Pokazuję katalog pobrany 45 min temu.");
        ShownRows::row("3 days, en", 3 * 86400 + 60, "en", "Could not refresh apps. Showing the catalog fetched 3 d ago.");
    }

    void shownWhileTheServiceIsUnreachable()
    {
        const auto [age, locale, line] = ShownRows::fetch();
        StoreHarness h;
        h.language->language = locale;
        const CatalogCache cache(h.dir.filePath(QStringLiteral("cache")));
        client(h, cache);
        QVERIFY(cache.write(m_endpoint, storedBody, m_mine.sign(storedBody), QDateTime::currentDateTimeUtc().addSecs(-age)));
        h.record({{"alpha", "1.0.0"}, {"beta", "1.0.0"}}, {{"alpha", h.makeBundle("alpha")}, {"beta", h.makeBundle("beta")}});

        const std::unique_ptr<LauncherStore> store = h.makeStore(seed);
        QVERIFY(store->restoreStoredCatalog());
        const auto check = [&] {
            QCOMPARE(store->manifest(), stored);
            QCOMPARE(store->stateFor("alpha"), AppInstallState::updateAvailable("1.0.0", "2.0.0"));
            QCOMPARE(store->stateFor("beta"), AppInstallState::installed("1.0.0"));
            QCOMPARE(store->selectedAppIDValue(), QStringLiteral("alpha"));
            QCOMPARE(ManifestPolicy::catalogLifecycle(store->manifest(), true).kind, CatalogLifecycleKind::multiAppCatalog);
            QCOMPARE(store->installedAppURLs().size(), 2);
        };
        check();
        if (QTest::currentTestFailed())
            return;
        // The starter selection still starts from the built-in catalog.
        QCOMPARE(store->selectedStarterAppIDs(), QSet<QString>{"seed"});

        QVERIFY(finishes(store->loadManifest()));
        QCOMPARE(store->errorMessage().value_or(QString()), line);
        check();
    }

    // Each unusable copy: the built-in catalog stays, the copy goes, nothing else is touched.
    void unusableCopyIsIgnored_data()
    {
        IgnoredRows::columns();
        for (const char *fault : {"truncated", "not JSON", "not a catalog", "signed by another key",
                                  "unsigned while keys are configured", "stored for another manifest URL",
                                  "body changed after signing"})
            IgnoredRows::row(fault, QString::fromLatin1(fault));
    }

    void unusableCopyIsIgnored()
    {
        const auto [fault] = IgnoredRows::fetch();
        StoreHarness h;
        const CatalogCache cache(h.dir.filePath(QStringLiteral("cache")));
        client(h, cache);
        const QUrl elsewhere(QStringLiteral("http://127.0.0.1:1/another/manifest"));
        QVERIFY(cache.write(elsewhere, storedBody, m_mine.sign(storedBody), QDateTime::currentDateTimeUtc()));
        h.recordInstalled(QStringLiteral("seed"), QStringLiteral("1.0.0"));

        const QString copy = cache.pathFor(m_endpoint);
        QByteArray body = storedBody;
        QByteArray signature = m_mine.sign(body);
        if (fault == QLatin1String("not JSON"))
            signature = m_mine.sign(body = "<html>Service Unavailable</html>");
        else if (fault == QLatin1String("not a catalog"))
            signature = m_mine.sign(body = R"({"apps": "none"})");
        else if (fault == QLatin1String("signed by another key"))
            signature = m_other.sign(body);
        else if (fault == QLatin1String("unsigned while keys are configured"))
            signature.clear();
        else if (fault == QLatin1String("body changed after signing"))
            body.replace("beta", "bet4");
        QVERIFY(cache.write(m_endpoint, body, signature, QDateTime::currentDateTimeUtc()));
        if (fault == QLatin1String("truncated"))
            QVERIFY(QFile::resize(copy, QFileInfo(copy).size() - 40));
        else if (fault == QLatin1String("stored for another manifest URL"))
            QVERIFY(QFile::remove(copy) && QFile::copy(cache.pathFor(elsewhere), copy));

        // Afterwards: the copy gone, everything else as it was.
        QMap<QString, QString> expected = TempHome::fingerprint(h.dir.path());
        expected.remove(QStringLiteral("cache/") + QFileInfo(copy).fileName());
        const std::unique_ptr<LauncherStore> store = h.makeStore(seed);
        QVERIFY(!store->restoreStoredCatalog());
        QCOMPARE(store->manifest(), seed);
        QCOMPARE(store->stateFor("seed"), AppInstallState::installed("1.0.0"));
        QVERIFY(!store->catalogFetchedAt());
        QCOMPARE(TempHome::fingerprint(h.dir.path()), expected);
        // The failed refresh then says what any failure over the built-in catalog says.
        QVERIFY(finishes(store->loadManifest()));
        QCOMPARE(store->errorMessage().value_or(QString()), QStringLiteral("Could not refresh apps. Showing the last known state."));
    }

    // The terminal tool fetches a newer catalog and updates alpha: the open window shows both without a refresh
    // of its own; its own refresh afterwards stores a copy it does not take up again.
    void newerCatalogStoredElsewhereIsShown()
    {
        LoopbackHttpServer server;
        LoopbackHttpServer::Response answer = LoopbackHttpServer::Response::json(200, newerBody);
        answer.headers.append({CatalogSignature::headerName, m_mine.sign(newerBody)});
        server.serve(QStringLiteral("/api/launcher/manifest"), answer);
        const QUrl endpoint = server.url(QStringLiteral("/api/launcher/manifest"));
        StoreHarness window;
        const CatalogCache cache(window.dir.filePath(QStringLiteral("cache")));
        const std::unique_ptr<LauncherStore> store = windowOverStoredCopy(window, cache, endpoint);
        QVERIFY(store && store->catalogFetchedAt());
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("2.0.0"));
        auto *watch = store->findChild<StoredCatalogWatch *>();
        QVERIFY(watch);
        QSignalSpy watched(watch, &StoredCatalogWatch::changed);

        // The terminal tool: its own client over the same folder, then the records of its update.
        StoreHarness terminal;
        QCOMPARE(waitForTask(client(terminal, cache, endpoint)->loadManifest(VantrelLocale::en)), newer);
        window.record({{"alpha", "2.1.0"}}, {{"alpha", store->installedAppURLs().value("alpha").toLocalFile()}});
        QTRY_COMPARE(store->manifest(), newer);
        QTRY_COMPARE(store->stateFor("alpha"), AppInstallState::installed("2.1.0"));
        QCOMPARE(server.requestCount(), 1);
        QCOMPARE(watched.count(), 1);

        // The window's own refresh stores its copy after the watch has seen the last one: seen, not taken up.
        QSignalSpy shown(store.get(), &LauncherStore::manifestChanged);
        QVERIFY(finishes(store->loadManifest()));
        const std::optional<QDateTime> fetchedAt = store->catalogFetchedAt();
        QTRY_COMPARE(watched.count(), 2);
        settleTakeUp();
        QCOMPARE(store->catalogFetchedAt(), fetchedAt);
        QCOMPARE(shown.count(), 0);
        QCOMPARE(server.requestCount(), 2);
    }

    // What another process stores and the window does not show: the catalog shown stays.
    void copyStoredElsewhereNotTakenUp_data()
    {
        NotTakenUpRows::columns();
        NotTakenUpRows::row("truncated", "truncated", false);
        NotTakenUpRows::row("signed by another key", "other key", false);
        NotTakenUpRows::row("fetched before the one shown", "older", true);
    }

    void copyStoredElsewhereNotTakenUp()
    {
        const auto [fault, copyStays] = NotTakenUpRows::fetch();
        StoreHarness window;
        const CatalogCache cache(window.dir.filePath(QStringLiteral("cache")));
        const std::unique_ptr<LauncherStore> store = windowOverStoredCopy(window, cache, m_endpoint);
        QVERIFY(store);
        QCOMPARE(store->manifest(), stored);
        QSignalSpy watched(store->findChild<StoredCatalogWatch *>(), &StoredCatalogWatch::changed);
        QVERIFY(watched.isValid());

        const QString copy = cache.pathFor(m_endpoint);
        const SigningKey &signer = fault == QLatin1String("other key") ? m_other : m_mine;
        const QDateTime fetchedAt = QDateTime::currentDateTimeUtc().addSecs(fault == QLatin1String("older") ? -120 : 0);
        QVERIFY(cache.write(m_endpoint, newerBody, signer.sign(newerBody), fetchedAt));
        if (fault == QLatin1String("truncated"))
            QVERIFY(QFile::resize(copy, QFileInfo(copy).size() - 40));
        QVERIFY(watched.wait());
        settleTakeUp();
        QCOMPARE(store->manifest(), stored);
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("2.0.0"));
        QCOMPARE(QFile::exists(copy), copyStays);
    }
};

QTEST_GUILESS_MAIN(TestStoredCatalog)
#include "tst_stored_catalog.moc"
