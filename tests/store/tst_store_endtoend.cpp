// The store with its real collaborators: the manifest client, the installer
// with the real platform layers, the event recorder and the workspace, against
// a catalog, release archives and an event endpoint on loopback.

#include "AwaitTask.h"
#include "FakeSystem.h"
#include "LinuxWorkspace.h"
#include "LoopbackHttpServer.h"
#include "PlistBundleInspector.h"
#include "SettingsUserDefaults.h"
#include "ZipBuilder.h"
#include "DefaultCollaborators.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"
#include "feedback/Feedback.h"
#include "install/AppInstaller.h"
#include "monitoring/Monitoring.h"
#include "store/LauncherStore.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestStoreEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void refreshInstallRelaunchUpdateOpenFeedback();

private:
    std::unique_ptr<LauncherStore> makeStore(const LauncherManifest &initial);
    AppManifestItem release(const QString &version);
    void serve(const AppManifestItem &app);

    QTemporaryDir m_dir;
    LoopbackHttpServer m_server;
    QNetworkAccessManager m_session;
    QMutex m_mutex;
    QByteArray m_manifest;
    QMap<QString, QByteArray> m_files;
};

void TestStoreEndToEnd::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QVERIFY(m_server.isListening());
    QDir().mkpath(m_dir.filePath(QStringLiteral("tmp")));
    m_server.setHandler([this](const LoopbackHttpServer::Request &request) {
        QMutexLocker lock(&m_mutex);
        if (request.path == QLatin1String("/api/launcher/manifest"))
            return LoopbackHttpServer::Response::json(200, m_manifest);
        if (request.path == QLatin1String("/api/events") && request.method == "POST")
            return LoopbackHttpServer::Response::json(202, R"({"ok":true})");
        if (request.path == QLatin1String("/api/feedback") && request.method == "POST") {
            const QJsonObject body = QJsonDocument::fromJson(request.body).object();
            if (body.value(QStringLiteral("title")).toString().size() < 3)
                return LoopbackHttpServer::Response::json(422, R"({"error":"invalid","message":"Title is too short."})");
            return LoopbackHttpServer::Response::json(200, R"({"ok":true,"issue":{"id":"iss-1","identifier":"VAN-7"}})");
        }
        if (m_files.contains(request.path)) {
            LoopbackHttpServer::Response response;
            response.body = m_files.value(request.path);
            return response;
        }
        return LoopbackHttpServer::Response::text(404, "not found");
    });
}

std::unique_ptr<LauncherStore> TestStoreEndToEnd::makeStore(const LauncherManifest &initial)
{
    const QString installRoot = m_dir.filePath(QStringLiteral("Applications/Vantrel"));
    auto language = std::make_shared<FixedLanguage>(QStringLiteral("en-US"));
    auto systemVersion = std::make_shared<FixedSystemVersion>(OperatingSystemVersion{14, 5, 0});
    AppInstaller::Layers layers = defaultInstallerLayers();
    layers.systemVersion = systemVersion;
    auto installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(installRoot), &m_session, layers);
    installer->setTemporaryDirectory(m_dir.filePath(QStringLiteral("tmp")));

    LauncherStore::Collaborators c;
    c.manifestLoader =
        std::make_shared<RemoteManifestClient>(m_server.url(QStringLiteral("/api/launcher/manifest")), &m_session);
    c.installer = installer;
    c.eventRecorder = std::make_shared<RemoteEventRecorder>(m_server.url(), &m_session, language);
    c.feedbackClient = std::make_shared<RemoteFeedbackClient>(m_server.url(), &m_session);
    c.userDefaults = std::make_shared<SettingsUserDefaults>(m_dir.filePath(QStringLiteral("defaults.ini")));
    c.workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList{installRoot});
    c.systemVersion = systemVersion;
    c.systemLanguage = language;
    c.appProperties = std::make_shared<FixedAppProperties>();
    return std::make_unique<LauncherStore>(std::move(c), initial);
}

AppManifestItem TestStoreEndToEnd::release(const QString &version)
{
    const QString marker = m_dir.filePath(QStringLiteral("opened.txt"));
    ZipBuilder zip;
    zip.addDirectory(QStringLiteral("Alpha.app")).addDirectory(QStringLiteral("Alpha.app/Contents"));
    zip.addFile(QStringLiteral("Alpha.app/Contents/Info.plist"),
                ZipBuilder::infoPlist({{QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.vantrel.alpha")},
                                       {QStringLiteral("CFBundleExecutable"), QStringLiteral("Alpha")}},
                                      ZipBuilder::PlistFormat::binary));
    zip.addDirectory(QStringLiteral("Alpha.app/Contents/MacOS"));
    zip.addExecutable(QStringLiteral("Alpha.app/Contents/MacOS/Alpha"),
                      "#!/bin/sh\necho " + version.toUtf8() + " > '" + marker.toUtf8() + "'\n");
    const QByteArray archive = zip.build();
    const QString path = QStringLiteral("/releases/alpha-%1.zip").arg(version);
    {
        QMutexLocker lock(&m_mutex);
        m_files.insert(path, archive);
    }

    AppManifestItem app;
    app.id = QStringLiteral("alpha");
    app.name = QStringLiteral("Alpha");
    app.tagline = QStringLiteral("First of its kind");
    app.category = QStringLiteral("Tools");
    app.bundleId = QStringLiteral("com.vantrel.alpha");
    app.version = version;
    app.minMacOS = QStringLiteral("13.0");
    app.status = AppReleaseStatus::live;
    app.downloadUrl = m_server.url(path);
    app.sha256 = ZipBuilder::sha256Hex(archive);
    app.symbolName = QStringLiteral("star");
    app.description = QStringLiteral("Alpha does one thing well.");
    app.privacyNote = QStringLiteral("Nothing leaves this machine.");
    return app;
}

void TestStoreEndToEnd::serve(const AppManifestItem &app)
{
    LauncherManifest manifest;
    manifest.generatedAt = QDateTime(QDate(2026, 12, 6), QTime(8, 0), Qt::UTC);
    manifest.apps = {app};
    QMutexLocker lock(&m_mutex);
    m_manifest = ManifestDecoder::encode(manifest);
}

void TestStoreEndToEnd::refreshInstallRelaunchUpdateOpenFeedback()
{
    const QString bundle = m_dir.filePath(QStringLiteral("Applications/Vantrel/Alpha.app"));
    const AppManifestItem first = release(QStringLiteral("1.0.0"));
    serve(first);

    // Refresh from the seed catalog, then install.
    auto store = makeStore(SeedManifest::manifest());
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(store->errorMessage(), std::nullopt);
    QCOMPARE(store->manifest().apps.size(), 1);
    QCOMPARE(store->stateFor(QStringLiteral("alpha")), AppInstallState::notInstalled());
    QCOMPARE(store->selectedAppIDValue(), QStringLiteral("alpha"));

    QSignalSpy finished(store.get(), &LauncherStore::installFinished);
    store->installApp(QStringLiteral("alpha"));
    QCOMPARE(store->stateFor(QStringLiteral("alpha")), AppInstallState::installing(0.04));
    QVERIFY(finished.wait(30000));
    QVERIFY2(finished.first().at(1).toBool(), qPrintable(store->errorMessageValue().toString()));
    QCOMPARE(store->stateFor(QStringLiteral("alpha")), AppInstallState::installed(QStringLiteral("1.0.0")));
    QVERIFY(QFileInfo(bundle + QStringLiteral("/Contents/MacOS/Alpha")).isExecutable());
    QCOMPARE(store->installedAppURLs().value(QStringLiteral("alpha")), QUrl::fromLocalFile(bundle));

    // Relaunch over the same records.
    store.reset();
    LauncherManifest known;
    known.generatedAt = QDateTime(QDate(2026, 12, 6), QTime(8, 0), Qt::UTC);
    known.apps = {first};
    store = makeStore(known);
    QCOMPARE(store->stateFor(QStringLiteral("alpha")), AppInstallState::installed(QStringLiteral("1.0.0")));

    // The catalog moves on.
    const AppManifestItem second = release(QStringLiteral("1.1.0"));
    serve(second);
    QVERIFY(StoreTest::finishes(store->loadManifest()));
    QCOMPARE(store->stateFor(QStringLiteral("alpha")),
             AppInstallState::updateAvailable(QStringLiteral("1.0.0"), QStringLiteral("1.1.0")));

    // Update in place.
    QSignalSpy updated(store.get(), &LauncherStore::installFinished);
    store->installApp(QStringLiteral("alpha"));
    QVERIFY(updated.wait(30000));
    QCOMPARE(store->stateFor(QStringLiteral("alpha")), AppInstallState::installed(QStringLiteral("1.1.0")));
    QFile script(bundle + QStringLiteral("/Contents/MacOS/Alpha"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    QVERIFY(script.readAll().contains("1.1.0"));
    QCOMPARE(store->errorMessage(), std::nullopt);
    // Nothing temporary is left behind.
    QCOMPARE(QDir(m_dir.filePath(QStringLiteral("tmp"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());

    // Open starts the installed bundle's executable.
    store->openApp(QStringLiteral("alpha"));
    const QString marker = m_dir.filePath(QStringLiteral("opened.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker) && QFileInfo(marker).size() > 0, 10000);

    // Feedback about the installed app through the real client.
    QVERIFY(StoreTest::finishes(store->submitFeedback(FeedbackType::bug, QStringLiteral("  It crashes \n"),
                                                      QStringLiteral("When opened."), QStringLiteral("alpha"))));
    QCOMPARE(store->feedbackState().kind(), FeedbackSubmissionState::Kind::submitted);
    QCOMPARE(store->feedbackState().issue().identifier, std::optional<QString>(QStringLiteral("VAN-7")));
    LoopbackHttpServer::Request feedback;
    for (const LoopbackHttpServer::Request &request : m_server.requests()) {
        if (request.path == QLatin1String("/api/feedback"))
            feedback = request;
    }
    QCOMPARE(feedback.header("X-Vantrel-Locale"), QByteArray("en"));
    const QJsonObject sent = QJsonDocument::fromJson(feedback.body).object();
    QCOMPARE(sent.value(QStringLiteral("title")).toString(), QStringLiteral("It crashes"));
    QCOMPARE(sent.value(QStringLiteral("appId")).toString(), QStringLiteral("alpha"));
    QCOMPARE(sent.value(QStringLiteral("diagnostics")).toObject().value(QStringLiteral("selectedAppVersion")).toString(),
             QStringLiteral("1.1.0"));
    QVERIFY(StoreTest::finishes(
        store->submitFeedback(FeedbackType::bug, QStringLiteral("x"), QStringLiteral("y"), std::nullopt)));
    QCOMPARE(store->feedbackState(), FeedbackSubmissionState::failed(QStringLiteral("Title is too short.")));

    // The events arrived in order, with their members.
    QList<QJsonObject> events;
    for (const LoopbackHttpServer::Request &request : m_server.requests()) {
        if (request.path == QLatin1String("/api/events"))
            events.append(QJsonDocument::fromJson(request.body).object());
    }
    QCOMPARE(events.size(), 4);
    const QStringList expected{"install_started:1.0.0", "install_succeeded:1.0.0", "install_started:1.1.0",
                               "install_succeeded:1.1.0"};
    for (int i = 0; i < events.size(); ++i) {
        const QJsonObject event = events.at(i);
        QCOMPARE(event.value(QStringLiteral("eventType")).toString() + QLatin1Char(':')
                     + event.value(QStringLiteral("appVersion")).toString(),
                 expected.at(i));
        QCOMPARE(event.value(QStringLiteral("appSlug")).toString(), QStringLiteral("alpha"));
        QVERIFY(!event.contains(QStringLiteral("reason")));
    }
}

QTEST_GUILESS_MAIN(TestStoreEndToEnd)
#include "tst_store_endtoend.moc"
