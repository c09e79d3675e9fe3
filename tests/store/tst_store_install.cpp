// Install, update and open through the store, with substitutes for the
// installer, the event recorder and the workspace; the error report goes to a
// real Sentry-style endpoint on loopback.

#include "LoopbackHttpServer.h"
#include "StoreFakes.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class TestStoreInstall : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void installChecks_data();
    void installChecks();
    void stateSequenceAndEventsInOrder();
    void secondInstallOfTheSameAppIsRefused();
    void installFailure_data();
    void installFailure();
    void failedUpdateKeepsTheOldRecords();
    void successAfterFailureKeepsTheErrorLine();
    void storeGoneWhileInstalling();
    void open_data();
    void open();
    void noBundleForgetsOnlyThatApp_data();
    void noBundleForgetsOnlyThatApp();
    void openFallsBackToInstall_data();
    void openFallsBackToInstall();
};

void TestStoreInstall::installChecks_data()
{
    QTest::addColumn<AppManifestItem>("app");
    QTest::addColumn<QString>("recordedVersion");  // empty: not installed
    QTest::addColumn<bool>("passes");

    const AppManifestItem live = makeApp(QStringLiteral("alpha"));
    AppManifestItem noDownload = live;
    noDownload.downloadUrl.reset();
    AppManifestItem badChecksum = live;
    badChecksum.sha256 = QStringLiteral("abc");
    QTest::newRow("no download") << noDownload << QString() << false;
    QTest::newRow("invalid checksum") << badChecksum << QString() << false;
    QTest::newRow("coming soon") << makeApp(QStringLiteral("alpha"), AppReleaseStatus::comingSoon) << QString() << false;
    QTest::newRow("retired") << makeApp(QStringLiteral("alpha"), AppReleaseStatus::retired) << QString() << false;
    QTest::newRow("system too old")
        << makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, "1.0.0", "14.6") << QString() << false;
    QTest::newRow("unparsable minimum")
        << makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, "1.0.0", "fourteen") << QString() << false;
    QTest::newRow("already installed") << live << QStringLiteral("1.0.0") << false;
    QTest::newRow("same minimum as the system")
        << makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, "1.0.0", "14.5.0") << QString() << true;
    QTest::newRow("beta app") << makeApp(QStringLiteral("alpha"), AppReleaseStatus::beta) << QString() << true;
    QTest::newRow("update available")
        << makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, "1.1.0") << QStringLiteral("1.0.0") << true;
}

void TestStoreInstall::installChecks()
{
    QFETCH(AppManifestItem, app);
    QFETCH(QString, recordedVersion);
    QFETCH(bool, passes);
    StoreHarness h;
    if (!recordedVersion.isEmpty()) {
        h.record({{app.id, recordedVersion}}, {{app.id, h.makeBundle(QStringLiteral("Alpha"))}});
    }
    auto store = h.makeStore(makeManifest({app}));
    const AppInstallState before = store->state(app);
    h.installer->gate = std::make_shared<Gate>();

    store->install(app);
    if (passes) {
        QCOMPARE(store->errorMessage(), std::nullopt);
        QCOMPARE(store->state(app), AppInstallState::installing(0.04));
        h.installer->gate->open();
        QTRY_COMPARE(store->state(app), AppInstallState::installed(app.version));
        QCOMPARE(h.installer->calls, QStringList{app.id});
    } else {
        QCOMPARE(store->errorMessage(), std::optional<QString>(QStringLiteral("Alpha cannot be installed right now.")));
        QCOMPARE(store->state(app), before);
        QVERIFY(!store->isInstallRunning(app.id));
        QCoreApplication::processEvents();
        QVERIFY(h.installer->calls.isEmpty());
        QVERIFY(h.recorder->events.isEmpty());
    }
}

void TestStoreInstall::stateSequenceAndEventsInOrder()
{
    StoreHarness h;
    const AppManifestItem app = makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, "2.1.0");
    auto store = h.makeStore(makeManifest({app}));
    h.recorder->firstEventGate = std::make_shared<Gate>();
    h.installer->gate = std::make_shared<Gate>();
    QList<AppInstallState> states;
    connect(store.get(), &LauncherStore::installStateChanged, this,
            [&](const QString &id) { states.append(store->stateFor(id)); });
    QSignalSpy finished(store.get(), &LauncherStore::installFinished);

    store->install(app);
    // Published before install() returns.
    QCOMPARE(store->state(app), AppInstallState::installing(0.04));
    QVERIFY(store->isInstallRunning(app.id));
    QCOMPARE(h.recorder->events.size(), 1);
    // The installer waits for the "install_started" event.
    QCoreApplication::processEvents();
    QVERIFY(h.installer->calls.isEmpty());

    h.recorder->firstEventGate->open();
    QTRY_COMPARE(h.installer->calls, QStringList{app.id});
    QCOMPARE(store->state(app), AppInstallState::installing(0.04));

    h.installer->gate->open();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.first().at(0).toString(), app.id);
    QCOMPARE(finished.first().at(1).toBool(), true);

    QCOMPARE(states, (QList<AppInstallState>{AppInstallState::installing(0.04), AppInstallState::installed("2.1.0")}));
    QCOMPARE(*h.log, (QStringList{"event:install_started", "installer:alpha", "event:install_succeeded"}));

    LauncherOperationalEvent started;
    started.eventType = QStringLiteral("install_started");
    started.appSlug = QStringLiteral("alpha");
    started.appVersion = QStringLiteral("2.1.0");
    started.status = QStringLiteral("started");
    LauncherOperationalEvent succeeded = started;
    succeeded.eventType = QStringLiteral("install_succeeded");
    succeeded.status = QStringLiteral("succeeded");
    QCOMPARE(h.recorder->events, (QList<LauncherOperationalEvent>{started, succeeded}));

    // Recorded for the next launch.
    const QString bundle = h.dir.path() + QStringLiteral("/Applications/alpha.app");
    QCOMPARE(store->installedAppURLs().value(app.id), QUrl::fromLocalFile(bundle));
    QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"alpha", "2.1.0"}}));
    QCOMPARE(h.recorded(LauncherStore::installedPathsKey), (QHash<QString, QString>{{"alpha", bundle}}));
    QVERIFY(!store->isInstallRunning(app.id));
    QCOMPARE(store->errorMessage(), std::nullopt);
}

void TestStoreInstall::secondInstallOfTheSameAppIsRefused()
{
    StoreHarness h;
    const AppManifestItem app = makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, "1.1.0");
    const AppManifestItem other = makeApp(QStringLiteral("beta"));
    h.record({{app.id, QStringLiteral("1.0.0")}}, {{app.id, h.makeBundle(QStringLiteral("Alpha"))}});
    auto store = h.makeStore(makeManifest({app, other}));
    QCOMPARE(store->state(app), AppInstallState::updateAvailable("1.0.0", "1.1.0"));
    h.installer->gate = std::make_shared<Gate>();

    store->install(app);
    store->install(app);
    QCOMPARE(store->errorMessage(), std::optional<QString>(QStringLiteral("Alpha cannot be installed right now.")));
    // Another app installs at the same time.
    store->install(other);
    QTRY_COMPARE(h.installer->calls.size(), 2);

    // A refresh in the middle derives updateAvailable from the old record again;
    // the running install still may not be started twice.
    h.loader->results.push_back(makeManifest({app, other}));
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(store->state(app), AppInstallState::updateAvailable("1.0.0", "1.1.0"));
    store->setErrorMessage(std::nullopt);
    store->install(app);
    QVERIFY(store->errorMessage().has_value());

    h.installer->gate->open();
    QTRY_COMPARE(store->state(app), AppInstallState::installed("1.1.0"));
    QTRY_COMPARE(store->state(other), AppInstallState::installed("1.0.0"));
    QCOMPARE(h.installer->calls, (QStringList{"alpha", "beta"}));
}

void TestStoreInstall::installFailure_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("expectedMessage");
    QTest::newRow("en") << "en-US" << "Could not install Alpha. The archive's checksum does not match.";
    QTest::newRow("de") << "de-DE" << "Alpha konnte nicht installiert werden. The archive's checksum does not match.";
}

void TestStoreInstall::installFailure()
{
    QFETCH(QString, language);
    QFETCH(QString, expectedMessage);
    StoreHarness h;
    h.language->language = language;
    const AppManifestItem app = makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, "1.4.0");
    auto store = h.makeStore(makeManifest({app}));
    h.installer->behaviour = [](const AppManifestItem &) -> InstalledApp {
        throw TestError(QStringLiteral("The archive's checksum does not match."),
                        QStringLiteral("checksumMismatch(expected: \"ab\", actual: \"cd\")"));
    };
    QSignalSpy finished(store.get(), &LauncherStore::installFinished);
    store->install(app);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(1).toBool(), false);

    QCOMPARE(store->state(app), AppInstallState::failed(expectedMessage));
    QCOMPARE(store->errorMessage(), std::optional<QString>(expectedMessage));
    QCOMPARE(h.recorder->events.size(), 2);
    const LauncherOperationalEvent failed = h.recorder->events.at(1);
    QCOMPARE(failed.eventType, QStringLiteral("install_failed"));
    QCOMPARE(failed.status, QStringLiteral("failed"));
    // The plain-text rendering of the error, not the localized sentence.
    QCOMPARE(failed.reason, std::optional<QString>(QStringLiteral("checksumMismatch(expected: \"ab\", actual: \"cd\")")));
    QCOMPARE(failed.appSlug, std::optional<QString>(QStringLiteral("alpha")));
    QCOMPARE(failed.appVersion, std::optional<QString>(QStringLiteral("1.4.0")));
    QCOMPARE(*h.log, (QStringList{"event:install_started", "installer:alpha", "event:install_failed"}));
    QVERIFY(h.recorded(LauncherStore::installedVersionsKey).isEmpty());

    // One error report, with the install context.
    QCOMPARE(h.reporter->reports.size(), 1);
    QCOMPARE(h.reporter->reports.first().message, QStringLiteral("The archive's checksum does not match."));
    QCOMPARE(h.reporter->reports.first().context,
             (QMap<QString, QString>{{"flow", "install"}, {"app", "alpha"}, {"version", "1.4.0"}}));
}

void TestStoreInstall::failedUpdateKeepsTheOldRecords()
{
    StoreHarness h;
    const AppManifestItem app = makeApp(QStringLiteral("alpha"), AppReleaseStatus::live, "1.1.0");
    const QString bundle = h.makeBundle(QStringLiteral("Alpha"));
    h.record({{app.id, QStringLiteral("1.0.0")}}, {{app.id, bundle}});
    auto store = h.makeStore(makeManifest({app}));
    h.installer->behaviour = [](const AppManifestItem &) -> InstalledApp { throw TestError("bad", "bad"); };
    store->install(app);
    QTRY_COMPARE(store->state(app).kind(), AppInstallState::Kind::failed);
    QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"alpha", "1.0.0"}}));
    QCOMPARE(h.recorded(LauncherStore::installedPathsKey), (QHash<QString, QString>{{"alpha", bundle}}));
    // The next refresh derives the state from the records again.
    h.loader->results.push_back(makeManifest({app}));
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(store->state(app), AppInstallState::updateAvailable("1.0.0", "1.1.0"));
}

void TestStoreInstall::successAfterFailureKeepsTheErrorLine()
{
    StoreHarness h;
    const AppManifestItem app = makeApp(QStringLiteral("alpha"));
    auto store = h.makeStore(makeManifest({app}));
    int attempts = 0;
    h.installer->behaviour = [&](const AppManifestItem &a) -> InstalledApp {
        if (++attempts == 1)
            throw TestError("bad", "bad");
        const QString path = h.makeBundle(QStringLiteral("Alpha"));
        return InstalledApp{QUrl::fromLocalFile(path), a.version};
    };
    store->install(app);
    QTRY_COMPARE(store->state(app).kind(), AppInstallState::Kind::failed);
    const auto message = store->errorMessage();
    QVERIFY(message.has_value());
    // A failed app may be installed again.
    store->install(app);
    QTRY_COMPARE(store->state(app), AppInstallState::installed("1.0.0"));
    QCOMPARE(store->errorMessage(), message);
}

void TestStoreInstall::storeGoneWhileInstalling()
{
    StoreHarness h;
    const AppManifestItem app = makeApp(QStringLiteral("alpha"));
    auto store = h.makeStore(makeManifest({app}));
    h.installer->gate = std::make_shared<Gate>();
    store->install(app);
    QTRY_COMPARE(h.installer->calls.size(), 1);
    store.reset();
    h.installer->gate->open();
    // The installer's result arrives after the store is gone: nothing is
    // recorded and no further event is sent.
    QTRY_VERIFY(QDir(h.dir.path() + QStringLiteral("/Applications/alpha.app")).exists());
    QCoreApplication::processEvents();
    QCOMPARE(h.recorder->events.size(), 1);
    QVERIFY(h.recorded(LauncherStore::installedVersionsKey).isEmpty());
}

void TestStoreInstall::open_data()
{
    QTest::addColumn<bool>("recordedExists");
    QTest::addColumn<bool>("recordedOpenable");
    QTest::addColumn<bool>("foundByBundleId");
    QTest::addColumn<int>("opened");  // 0: nothing, 1: recorded, 2: found by identifier

    QTest::newRow("by recorded path") << true << true << true << 1;
    QTest::newRow("recorded path deleted: by bundle identifier") << false << true << true << 2;
    QTest::newRow("recorded bundle cannot be started: by bundle identifier") << true << false << true << 2;
    QTest::newRow("no bundle anywhere") << false << true << false << 0;
    QTest::newRow("recorded bundle cannot be started, none elsewhere") << true << false << false << 0;
}

void TestStoreInstall::open()
{
    QFETCH(bool, recordedExists);
    QFETCH(bool, recordedOpenable);
    QFETCH(bool, foundByBundleId);
    QFETCH(int, opened);

    StoreHarness h;
    h.language->language = QStringLiteral("en");
    const AppManifestItem app = makeApp(QStringLiteral("alpha"));
    const QString recorded = h.makeBundle(QStringLiteral("Alpha"));
    const QString elsewhere = h.makeBundle(QStringLiteral("Elsewhere"));
    h.record({{app.id, app.version}}, {{app.id, recorded}});
    auto store = h.makeStore(makeManifest({app}));
    QCOMPARE(store->state(app), AppInstallState::installed(app.version));

    if (!recordedExists)
        QVERIFY(QDir(recorded).removeRecursively());
    if (!recordedOpenable)
        h.workspace->unopenablePaths.insert(recorded);
    if (foundByBundleId)
        h.workspace->byBundleId.insert(app.bundleId, QUrl::fromLocalFile(elsewhere));

    store->openApp(app.id);

    switch (opened) {
    case 1:
        QCOMPARE(h.workspace->opened, QList<QUrl>{QUrl::fromLocalFile(recorded)});
        break;
    case 2:
        QCOMPARE(h.workspace->opened, QList<QUrl>{QUrl::fromLocalFile(elsewhere)});
        break;
    default:
        QVERIFY(h.workspace->opened.isEmpty());
    }
    if (opened != 0) {
        // The records are kept as they were.
        QCOMPARE(store->state(app), AppInstallState::installed(app.version));
        QCOMPARE(store->errorMessage(), std::nullopt);
        QCOMPARE(h.recorded(LauncherStore::installedPathsKey), (QHash<QString, QString>{{"alpha", recorded}}));
        QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), (QHash<QString, QString>{{"alpha", "1.0.0"}}));
    } else {
        QCOMPARE(store->state(app), AppInstallState::notInstalled());
        QCOMPARE(store->errorMessage(),
                 std::optional<QString>(QStringLiteral("No app bundle was found on this Mac for Alpha.")));
        QVERIFY(h.recorded(LauncherStore::installedPathsKey).isEmpty());
        QVERIFY(h.recorded(LauncherStore::installedVersionsKey).isEmpty());
        QVERIFY(!store->installedAppURLs().contains(app.id));
        QVERIFY(h.installer->calls.isEmpty());
    }
}

void TestStoreInstall::noBundleForgetsOnlyThatApp_data()
{
    QTest::addColumn<bool>("recordsWipedMeanwhile");
    QTest::newRow("records present") << false;
    // Another process (the command-line tool) removed them after the store started.
    QTest::newRow("records gone meanwhile") << true;
}

void TestStoreInstall::noBundleForgetsOnlyThatApp()
{
    QFETCH(bool, recordsWipedMeanwhile);
    StoreHarness h;
    const AppManifestItem app = makeApp(QStringLiteral("alpha"));
    const QString recorded = h.makeBundle(QStringLiteral("Alpha"));
    const QString other = h.makeBundle(QStringLiteral("Other"));
    // Records of an app that left the catalog, and a path without a version.
    const QHash<QString, QString> otherVersions{{"gone", "2.0"}};
    const QHash<QString, QString> otherPaths{{"gone", other}, {"orphan", "/nowhere/Orphan.app"}};
    h.record({{"gone", "2.0"}, {"alpha", "1.0.0"}},
             {{"gone", other}, {"orphan", "/nowhere/Orphan.app"}, {"alpha", recorded}});
    auto store = h.makeStore(makeManifest({app}));
    QCOMPARE(store->state(app), AppInstallState::installed(app.version));
    QVERIFY(QDir(recorded).removeRecursively());
    if (recordsWipedMeanwhile) {
        SettingsUserDefaults tool(h.defaultsPath());
        tool.removeObject(LauncherStore::installedVersionsKey);
        tool.removeObject(LauncherStore::installedPathsKey);
    }

    store->open(app);

    QCOMPARE(store->state(app), AppInstallState::notInstalled());
    QVERIFY(h.workspace->opened.isEmpty());
    // Both maps are written back without the app, even when it was not in them.
    const SettingsUserDefaults reread(h.defaultsPath());
    QCOMPARE(reread.object(LauncherStore::installedVersionsKey).typeId(), int(QMetaType::QByteArray));
    QCOMPARE(reread.object(LauncherStore::installedPathsKey).typeId(), int(QMetaType::QByteArray));
    using Map = QHash<QString, QString>;
    QCOMPARE(h.recorded(LauncherStore::installedVersionsKey), recordsWipedMeanwhile ? Map() : otherVersions);
    QCOMPARE(h.recorded(LauncherStore::installedPathsKey), recordsWipedMeanwhile ? Map() : otherPaths);
}

void TestStoreInstall::openFallsBackToInstall_data()
{
    QTest::addColumn<bool>("alreadyInstalling");
    QTest::newRow("not installed: installs") << false;
    QTest::newRow("installing: cannot-install message") << true;
}

void TestStoreInstall::openFallsBackToInstall()
{
    QFETCH(bool, alreadyInstalling);
    StoreHarness h;
    const AppManifestItem app = makeApp(QStringLiteral("alpha"));
    auto store = h.makeStore(makeManifest({app}));
    h.installer->gate = std::make_shared<Gate>();
    if (alreadyInstalling) {
        store->install(app);
        QTRY_COMPARE(h.installer->calls.size(), 1);
    }
    store->open(app);
    QVERIFY(h.workspace->opened.isEmpty());
    QCOMPARE(store->state(app), AppInstallState::installing(0.04));
    QCOMPARE(store->errorMessage().has_value(), alreadyInstalling);
    QTRY_COMPARE(h.installer->calls.size(), 1);
    h.installer->gate->open();
    QTRY_COMPARE(store->state(app), AppInstallState::installed(app.version));
    QCOMPARE(h.installer->calls.size(), 1);
}

QTEST_GUILESS_MAIN(TestStoreInstall)
#include "tst_store_install.moc"
