// A signed catalog over time: its sequence never goes back (in one process, across restarts and processes, and
// when the kept record is damaged), and once it has expired nothing is installed or updated from it.

#include "DataRows.h"
#include "LoopbackHttpServer.h"
#include "SigningKey.h"
#include "StoreFakes.h"
#include "TempHome.h"
#include "ToolSandbox.h"
#include "catalog/CatalogSequence.h"
#include "catalog/ManifestDecoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>

using Server = LoopbackHttpServer;

namespace {

const QString olderLine = QStringLiteral("The catalog offered is older than one already seen, so the newer one is kept.");
const QString conflictingLine =
    QStringLiteral("The catalog offered has the sequence of one already seen but other contents, so the one seen is kept.");
const QString noFreshnessLine =
    QStringLiteral("The catalog offered has no valid sequence or expiry date, so the last one is kept.");

// A catalog body: sequence and expiresAt as JSON text ("" leaves the key out; "in 14 days" is a valid expiry).
QByteArray body(const QList<AppManifestItem> &apps, const QString &sequence, const QString &expiresAt = QStringLiteral("in 14 days"))
{
    QJsonObject root = QJsonDocument::fromJson(ManifestDecoder::encode(TestCatalog::manifest(apps))).object();
    const auto value = [](const QString &json) {
        return QJsonDocument::fromJson(QByteArray("[") + json.toUtf8() + "]").array().first();
    };
    if (!sequence.isEmpty())
        root.insert(QStringLiteral("sequence"), value(sequence));
    if (expiresAt == QLatin1String("in 14 days"))
        root.insert(QStringLiteral("expiresAt"), QDateTime::currentDateTimeUtc().addDays(14).toString(Qt::ISODate));
    else if (!expiresAt.isEmpty())
        root.insert(QStringLiteral("expiresAt"), value(expiresAt));
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

QByteArray signedBody(const QList<AppManifestItem> &apps, qint64 sequence, const QDateTime &expiresAt)
{
    return ManifestDecoder::encode(TestCatalog::fresh(TestCatalog::manifest(apps), sequence, expiresAt));
}

// Serves one body at a time, signed with the key given.
class CatalogService
{
public:
    CatalogService()
    {
        m_server.setHandler([this](const Server::Request &) {
            QMutexLocker lock(&m_mutex);
            Server::Response response = Server::Response::json(200, m_body);
            if (!m_signature.isEmpty())
                response.headers.append({CatalogSignature::headerName, m_signature});
            return response;
        });
    }
    void serve(const QByteArray &body, const SigningKey &key)
    {
        QMutexLocker lock(&m_mutex);
        m_body = body;
        m_signature = key.sign(body);
    }
    QUrl url() const { return m_server.url(QStringLiteral("/api/launcher/manifest")); }

private:
    Server m_server;
    QMutex m_mutex;
    QByteArray m_body;
    QByteArray m_signature;
};

}  // namespace

class CatalogFreshness : public QObject
{
    Q_OBJECT
    using RulesRows = DataRows<bool, QString, QString, bool, QString>;  // keys, sequence, expiresAt, other apps, expected
    using KeptRecordRows = DataRows<QString, qint64, QString>;         // damage before the restart, offered sequence, expected
    using ExpiryLineRows = DataRows<QString, QString>;                 // locale, line

    QNetworkAccessManager m_session;
    QTemporaryDir m_keys;
    const SigningKey m_key = SigningKey::loadOrCreate(m_keys.filePath(QStringLiteral("mine")));
    const QList<AppManifestItem> m_apps = {TestCatalog::app("alpha")};
    const QList<AppManifestItem> m_otherApps = {TestCatalog::app("alpha"), TestCatalog::app("beta")};

    // A store refreshing from url through the real client, kept in folder.
    std::unique_ptr<LauncherStore> store(StoreHarness &h, const QUrl &url, const QString &folder, bool keys = true)
    {
        auto client = std::make_shared<RemoteManifestClient>(url, &m_session);
        if (keys)
            client->setPublicKeys(CatalogPublicKeys::parse(QString::fromLatin1(m_key.publicKeyBase64())));
        client->setCache(std::make_shared<CatalogCache>(folder));
        h.manifestLoader = client;
        auto made = h.makeStore(SeedManifest::manifest());
        made->restoreStoredCatalog();
        return made;
    }

    // "ok" when the catalog offered is shown, else the error line.
    static QString refresh(LauncherStore &store, const QByteArray &offered)
    {
        store.setErrorMessage(std::nullopt);
        if (!finishes(store.loadManifest()))
            return QStringLiteral("raised");
        if (store.errorMessage())
            return *store.errorMessage();
        return store.manifest() == ManifestDecoder::decode(offered) ? QStringLiteral("ok") : QStringLiteral("another catalog");
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // After a catalog with sequence 20 was accepted, the next one offered.
    void rules_data()
    {
        RulesRows::columns();
        RulesRows::row("newer", true, "21", "in 14 days", true, "ok");
        RulesRows::row("older", true, "19", "in 14 days", true, olderLine);
        RulesRows::row("same sequence, other bytes", true, "20", "in 14 days", true, conflictingLine);
        RulesRows::row("same bytes again", true, "20", "in 14 days", false, "ok");
        RulesRows::row("no sequence", true, "", "in 14 days", true, noFreshnessLine);
        for (const char *sequence : {"0", "-21", "21.5", "\"21\"", "null", "1e300"})
            RulesRows::row(QStringLiteral("sequence %1").arg(sequence), true, sequence, "in 14 days", true, noFreshnessLine);
        RulesRows::row("no expiresAt", true, "21", "", true, noFreshnessLine);
        for (const char *expiry : {"\"soon\"", "\"2030-01-01\"", "\"2030-01-01T00:00:00+02:00\"", "1900000000"})
            RulesRows::row(QStringLiteral("expiresAt %1").arg(expiry), true, "21", expiry, true, noFreshnessLine);
        RulesRows::row("no keys, no fields", false, "", "", true, "ok");
        RulesRows::row("no keys, older", false, "19", "in 14 days", true, "ok");
    }

    void rules()
    {
        const auto [keys, sequence, expiresAt, otherApps, expected] = RulesRows::fetch();
        StoreHarness h;
        CatalogService service;
        const QString folder = h.dir.filePath(QStringLiteral("cache"));
        const QByteArray first = body(m_apps, QStringLiteral("20"));
        service.serve(first, m_key);
        const std::unique_ptr<LauncherStore> s = store(h, service.url(), folder, keys);
        QCOMPARE(refresh(*s, first), QStringLiteral("ok"));

        const CatalogCache cache(folder);
        const QByteArray copyBefore = TempHome::readFile(cache.pathFor(service.url()));
        const QByteArray recordBefore = TempHome::readFile(CatalogSequence::recordPath(cache, service.url()));
        const QByteArray offered = otherApps ? body(m_otherApps, sequence, expiresAt) : first;
        service.serve(offered, m_key);
        QCOMPARE(refresh(*s, offered), expected);
        if (expected == QLatin1String("ok"))
            return;
        // A refused catalog touches nothing: the one shown, the copy on disk and the record stay.
        QCOMPARE(s->manifest(), ManifestDecoder::decode(first));
        QCOMPARE(TempHome::readFile(cache.pathFor(service.url())), copyBefore);
        QCOMPARE(TempHome::readFile(CatalogSequence::recordPath(cache, service.url())), recordBefore);
    }

    // Each language's catalog is its own document of one sequence; back in a language, other bytes are refused.
    void languagesShareASequence()
    {
        StoreHarness h;
        CatalogService service;
        const QByteArray english = body(m_apps, QStringLiteral("20"));
        const QByteArray german = body(m_otherApps, QStringLiteral("20"));
        service.serve(english, m_key);
        const std::unique_ptr<LauncherStore> s = store(h, service.url(), h.dir.filePath(QStringLiteral("cache")));
        QCOMPARE(refresh(*s, english), QStringLiteral("ok"));
        s->setLocale(VantrelLocale::de);
        service.serve(german, m_key);
        QCOMPARE(refresh(*s, german), QStringLiteral("ok"));
        s->setLocale(VantrelLocale::en);
        service.serve(german, m_key);
        QCOMPARE(refresh(*s, german), conflictingLine);
    }

    // The kept sequence survives a restart and damage to either file: a missing or corrupt record counts as the
    // stored catalog's own sequence; with neither, the next signed catalog is taken.
    void keptRecord_data()
    {
        KeptRecordRows::columns();
        KeptRecordRows::row("restart", "restart", 29, olderLine);
        KeptRecordRows::row("restart, newer", "restart, newer", 31, "ok");
        KeptRecordRows::row("record removed", "record removed", 29, olderLine);
        KeptRecordRows::row("record corrupt", "record corrupt", 29, olderLine);
        KeptRecordRows::row("record corrupt, newer", "record corrupt, newer", 31, "ok");
        KeptRecordRows::row("stored copy removed", "stored copy removed", 29, olderLine);
        KeptRecordRows::row("both removed", "both removed", 5, "ok");
    }

    void keptRecord()
    {
        const auto [damage, offered, expected] = KeptRecordRows::fetch();
        StoreHarness h;
        CatalogService service;
        const QString folder = h.dir.filePath(QStringLiteral("cache"));
        const CatalogCache cache(folder);
        const QString record = CatalogSequence::recordPath(cache, service.url());
        const QByteArray accepted = body(m_apps, QStringLiteral("30"));
        service.serve(accepted, m_key);
        QCOMPARE(refresh(*store(h, service.url(), folder), accepted), QStringLiteral("ok"));
        QCOMPARE(CatalogSequence::readRecord(record).value_or(CatalogSequence::Record{}).sequence, 30);

        if (damage.startsWith(QLatin1String("record removed")) || damage == QLatin1String("both removed"))
            QVERIFY(QFile::remove(record));
        if (damage.startsWith(QLatin1String("record corrupt")))
            QVERIFY(TempHome::writeFile(record, "vantrel-catalog-sequence 1\n3x\n"));
        if (damage.startsWith(QLatin1String("stored copy removed")) || damage == QLatin1String("both removed"))
            QVERIFY(QFile::remove(cache.pathFor(service.url())));

        const QByteArray next = body(m_otherApps, QString::number(offered));
        service.serve(next, m_key);
        const std::unique_ptr<LauncherStore> restarted = store(h, service.url(), folder);
        QCOMPARE(refresh(*restarted, next), expected);
        const qint64 kept = CatalogSequence::readRecord(record).value_or(CatalogSequence::Record{}).sequence;
        QCOMPARE(kept, expected == QLatin1String("ok") ? offered : (damage.startsWith(QLatin1String("record")) ? 0 : 30));
    }

    // The window and the terminal share the kept sequence, whichever accepted the newer catalog.
    void windowAndTerminalShareTheSequence()
    {
        ToolSandbox cli;
        cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), QString::fromLatin1(m_key.publicKeyBase64()));
        const QUrl url(cli.environment().value(QStringLiteral("VANTREL_MANIFEST_URL")));
        const QString folder = cli.home() + QStringLiteral("/.cache/Vantrel/VantrelLauncher/catalogs");
        StoreHarness h;
        const auto offer = [&](qint64 sequence) {
            const QByteArray offered = signedBody(m_apps, sequence, QDateTime::currentDateTimeUtc().addDays(3));
            cli.publishBody(offered, m_key.sign(offered));
            return offered;
        };

        // The window takes 30; the terminal is offered 29.
        QCOMPARE(refresh(*store(h, url, folder), offer(30)), QStringLiteral("ok"));
        offer(29);
        ToolSandbox::Result run = cli.run({"list"});
        QVERIFY2(run.exitCode == 0 && run.err.contains(olderLine), qPrintable(run.output()));
        // The terminal takes 40; the window, started again, is offered 39.
        offer(40);
        run = cli.run({"list"});
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), qPrintable(run.output()));
        QCOMPARE(refresh(*store(h, url, folder), offer(39)), olderLine);
    }

    // Terminals accepting catalogs at once, in any order, leave the highest sequence served.
    void racingProcessesNeverLowerIt()
    {
        ToolSandbox cli;
        cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), QString::fromLatin1(m_key.publicKeyBase64()));
        const QUrl url(cli.environment().value(QStringLiteral("VANTREL_MANIFEST_URL")));
        const CatalogCache cache(cli.home() + QStringLiteral("/.cache/Vantrel/VantrelLauncher/catalogs"));
        // Each request gets the next of these, the highest in the middle.
        const QList<qint64> sequences = {103, 101, 108, 102, 105, 104, 107, 106};
        QList<QByteArray> bodies;
        for (qint64 sequence : sequences)
            bodies.append(signedBody(m_apps, sequence, QDateTime::currentDateTimeUtc().addDays(3)));
        QAtomicInt next = 0;
        cli.server().setHandler([&](const Server::Request &request) {
            if (request.path != url.path())
                return Server::Response::json(200, "{}");
            const QByteArray &offered = bodies.at(next.fetchAndAddOrdered(1) % bodies.size());
            Server::Response response = Server::Response::json(200, offered);
            response.headers.append({CatalogSignature::headerName, m_key.sign(offered)});
            return response;
        });
        QList<QStringList> commands;
        for (int i = 0; i < sequences.size(); ++i)
            commands.append({"list"});
        // One that started with nothing stored and was offered an older catalog has nothing to list (status 1).
        for (int status : cli.runAtOnce(commands))
            QVERIFY(status == 0 || status == 1);
        QCOMPARE(next.loadAcquire(), sequences.size());
        QCOMPARE(CatalogSequence::readRecord(CatalogSequence::recordPath(cache, url)).value_or(CatalogSequence::Record{}).sequence, 108);
        const std::optional<StoredCatalog> kept = cache.read(url, CatalogPublicKeys::parse(QString::fromLatin1(m_key.publicKeyBase64())));
        QVERIFY(kept);
        QCOMPARE(kept->manifest.sequence, 108);
    }

    // Past the expiry, by the store's clock, installs and updates are refused with the date; open, remove and
    // verify work; a fresh catalog clears it at once.
    void expiryRefusesInstallsOnly_data()
    {
        ExpiryLineRows::columns();
        ExpiryLineRows::row("en", "en", "The catalog expired on 3 December. Check the connection, or this computer's date and time.");
        ExpiryLineRows::row("de", "de", "Der Katalog ist am 3. Dezember abgelaufen. Prüfe die Verbindung oder Datum und Uhrzeit dieses Computers.");
        ExpiryLineRows::row("pl", "pl", "Katalog wygasł 3 grudnia. Sprawdź połączenie albo datę i godzinę tego komputera.");
    }

    void expiryRefusesInstallsOnly()
    {
        const auto [locale, line] = ExpiryLineRows::fetch();
        const QDateTime expiry(QDate(2026, 12, 3), QTime(12, 0), Qt::UTC);
        QDateTime now = expiry.addSecs(-60);
        StoreHarness h;
        h.language->language = locale;
        h.clock = [&now] { return now; };
        h.record({{"alpha", "1.0.0"}, {"gamma", "1.0.0"}}, {{"alpha", h.makeBundle("alpha")}, {"gamma", h.makeBundle("gamma")}});
        const AppManifestItem alpha = TestCatalog::app("alpha", AppReleaseStatus::live, QStringLiteral("2.0.0"));
        const AppManifestItem beta = TestCatalog::app("beta");
        const AppManifestItem gamma = TestCatalog::app("gamma");
        const LauncherManifest catalog = TestCatalog::fresh(TestCatalog::manifest({alpha, beta, gamma}), 7, expiry);
        const std::unique_ptr<LauncherStore> store = h.makeStore(SeedManifest::manifest());
        store->applyManifest(catalog);
        QVERIFY(!store->errorMessage());
        QVERIFY(store->installRefusalKey(QStringLiteral("beta")).isEmpty());

        now = expiry.addSecs(60);
        QVERIFY(h.refresh(*store, QStringLiteral("offline")));
        QCOMPARE(store->errorMessage().value_or(QString()), line);
        InstalledApps *apps = store->installedApps();
        const QStringList callsBefore = h.installer->calls;
        for (const auto &refused : {std::function([&] { return apps->install(beta); }), std::function([&] { return apps->update(alpha); })}) {
            const OperationOutcome outcome = waitForTask(refused()->result());
            QVERIFY(outcome.refusal == Refusal::catalogExpired);
            QVERIFY2(store->errorMessage().value_or(QString()).endsWith(line), qPrintable(store->errorMessage().value_or(QString())));
        }
        QCOMPARE(h.installer->calls, callsBefore);
        QCOMPARE(store->installRefusalKey(QStringLiteral("beta")), QStringLiteral("refusalCatalogExpired"));
        QCOMPARE(store->stateFor(QStringLiteral("alpha")), AppInstallState::updateAvailable("1.0.0", "2.0.0"));
        for (const auto &works : {std::function([&] { return apps->open(alpha); }), std::function([&] { return apps->verify(alpha); }),
                                  std::function([&] { return apps->remove(gamma, true); })})
            QCOMPARE(waitForTask(works()->result()).kind, OperationOutcome::Kind::done);

        // A fresh catalog clears the line and the refusal together.
        QVERIFY(h.refresh(*store, TestCatalog::fresh(catalog, 8, expiry.addDays(14))));
        QVERIFY(!store->errorMessage());
        QVERIFY(store->installRefusalKey(QStringLiteral("beta")).isEmpty());
    }

    // The stored catalog shown offline says it has expired from the first frame.
    void storedCatalogShownExpired()
    {
        StoreHarness h;
        const QDateTime expiry = QDateTime::currentDateTimeUtc().addDays(-1);
        const QUrl nowhere(QStringLiteral("http://127.0.0.1:1/api/launcher/manifest"));
        const QString folder = h.dir.filePath(QStringLiteral("cache"));
        const QByteArray kept = signedBody(m_apps, 12, expiry);
        QVERIFY(CatalogCache(folder).write(nowhere, kept, m_key.sign(kept), QDateTime::currentDateTimeUtc().addDays(-2)));
        const std::unique_ptr<LauncherStore> s = store(h, nowhere, folder);
        QCOMPARE(s->manifest(), ManifestDecoder::decode(kept));
        QVERIFY2(s->errorMessage().value_or(QString()).startsWith(QStringLiteral("The catalog expired on")),
                 qPrintable(s->errorMessage().value_or(QString())));
        QVERIFY(s->installedApps()->installRefusal(m_apps.first()) == Refusal::catalogExpired);
    }

    // End to end: a catalog that expired a minute before refuses install and update with their own exit status;
    // verify, open and remove work; a fresh one installs again.
    void expiredCatalogInTheTerminal()
    {
        ToolSandbox cli;
        cli.environment().insert(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"), QString::fromLatin1(m_key.publicKeyBase64()));
        cli.environment().insert(QStringLiteral("VANTREL_TEST_MARKER"), cli.path(QStringLiteral("opened.txt")));
        const auto offer = [&](const QList<AppManifestItem> &apps, qint64 sequence, const QDateTime &expiresAt) {
            const QByteArray offered = signedBody(apps, sequence, expiresAt);
            cli.publishBody(offered, m_key.sign(offered));
        };
        offer({cli.release("alpha", "1.0.0")}, 1, QDateTime::currentDateTimeUtc().addDays(1));
        ToolSandbox::Result run = cli.run({"install", "alpha"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output()));

        const QDateTime expired = QDateTime::currentDateTimeUtc().addSecs(-60);
        offer({cli.release("alpha", "1.1.0"), cli.release("beta", "1.0.0")}, 2, expired);
        const QString line = QStringLiteral("The catalog expired on %1.").arg(QLocale(QStringLiteral("en")).toString(expired.toLocalTime().date(), QStringLiteral("d MMMM")));
        for (const QStringList &args : {QStringList{"install", "beta"}, QStringList{"update", "alpha"}}) {
            run = cli.run(args);
            QVERIFY2(run.exitCode == 9 && run.err.contains(line), qPrintable(args.join(' ') + ": " + run.output()));
        }
        run = cli.run({"list"});
        QVERIFY2(run.exitCode == 0 && run.err.contains(line), qPrintable(run.output()));
        for (const QStringList &args : {QStringList{"verify", "alpha"}, QStringList{"open", "alpha"}, QStringList{"remove", "alpha"}}) {
            run = cli.run(args);
            QVERIFY2(run.exitCode == 0, qPrintable(args.join(' ') + ": " + run.output()));
        }

        offer({cli.release("beta", "1.0.0")}, 3, QDateTime::currentDateTimeUtc().addDays(1));
        run = cli.run({"install", "beta"});
        QVERIFY2(run.exitCode == 0 && !run.err.contains(line), qPrintable(run.output()));
    }
};

QTEST_GUILESS_MAIN(CatalogFreshness)
#include "tst_catalog_freshness.moc"
