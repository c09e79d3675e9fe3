// The store's platform side over real files and processes: the settings-backed
// user defaults, the Linux workspace, and the store with its real collaborators
// against a catalog, release archives and the services on loopback.

#include "DataRows.h"
#include "CatalogBuilders.h"
#include "DefaultCollaborators.h"
#include "FakeSystem.h"
#include "LinuxWorkspace.h"
#include "LoopbackHttpServer.h"
#include "PlistBundleInspector.h"
#include "SettingsUserDefaults.h"
#include "TempHome.h"
#include "ZipBuilder.h"
#include "async/WaitForTask.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestDecoder.h"
#include "feedback/Feedback.h"
#include "install/AppInstaller.h"
#include "monitoring/Monitoring.h"
#include "store/LauncherStore.h"

#include <QNetworkAccessManager>

namespace {

// A bundle folder whose Info.plist names the identifier and the executable.
QString makeBundle(const QString &root, const QString &name, const QString &identifier, const QString &executableName,
                   bool createExecutable = true)
{
    const QString bundle = root + QLatin1Char('/') + name + QStringLiteral(".app");
    QMap<QString, QString> keys{{QStringLiteral("CFBundleIdentifier"), identifier}};
    if (!executableName.isNull())
        keys.insert(QStringLiteral("CFBundleExecutable"), executableName);
    TempHome::writeFile(bundle + "/Contents/Info.plist", ZipBuilder::infoPlist(keys, ZipBuilder::PlistFormat::xml));
    QDir().mkpath(bundle + "/Contents/MacOS");
    if (createExecutable && !executableName.contains(QLatin1Char('/')))
        TempHome::writeFile(bundle + "/Contents/MacOS/" + executableName, "#!/bin/sh\n", 0755);
    return bundle;
}

LinuxWorkspace workspaceOver(const QStringList &roots)
{
    return LinuxWorkspace(std::make_shared<PlistBundleInspector>(), roots);
}

}  // namespace

class TestStorePlatform : public QObject
{
    Q_OBJECT
    // setup: how the executable is made
    using ExecutableInsideTheRows = DataRows<QString, bool>;  // setup, accepted

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QVERIFY(m_server.isListening());
        QDir().mkpath(m_dir.filePath("tmp"));
        m_server.setHandler([this](const LoopbackHttpServer::Request &request) {
            QMutexLocker lock(&m_mutex);
            using Response = LoopbackHttpServer::Response;
            if (request.path == QLatin1String("/api/launcher/manifest"))
                return Response::json(200, m_manifest);
            if (request.path == QLatin1String("/api/events") && request.method == "POST")
                return Response::json(202, R"({"ok":true})");
            if (!m_files.contains(request.path))
                return Response::text(404, "not found");
            Response response;
            response.body = m_files.value(request.path);
            // Slow enough for the install's progress to show.
            response.throttleBytes = qMax<qint64>(1, response.body.size() / 10);
            response.throttleMs = 40;
            return response;
        });
    }

    void defaultsRoundTripThroughTheFile_data()
    {
        QTest::addColumn<QStringList>("array");
        QTest::newRow("empty array") << QStringList{};
        QTest::newRow("one element") << QStringList{"a"};
        QTest::newRow("elements with commas and quotes") << QStringList{"a,b", "\"c\"", "d e", ""};
    }

    void defaultsRoundTripThroughTheFile()
    {
        QFETCH(QStringList, array);
        QTemporaryDir dir;
        const QString path = dir.filePath("written.ini");
        const QByteArray blob("{\"alpha\":\"1.0\"}\n\0binary", 24);
        {
            SettingsUserDefaults defaults(path);
            defaults.setData("vantrel.blob", blob);
            defaults.setStringArray("vantrel.array", array);
            defaults.setData("vantrel.gone", "x");
            defaults.removeObject("vantrel.gone");
        }
        // A copy under another name is parsed afresh, not served from a cache.
        const QString copy = dir.filePath("copy.ini");
        QVERIFY(QFile::copy(path, copy));
        SettingsUserDefaults reread(copy);
        const QVariant data = reread.object("vantrel.blob");
        QCOMPARE(data.typeId(), int(QMetaType::QByteArray));
        QCOMPARE(data.toByteArray(), blob);
        const QVariant strings = reread.object("vantrel.array");
        QCOMPARE(strings.typeId(), int(QMetaType::QStringList));
        QCOMPARE(strings.toStringList(), array);
        QVERIFY(!reread.object("vantrel.gone").isValid());
        // Writing one kind over the other replaces it.
        reread.setData("vantrel.array", "y");
        QCOMPARE(reread.object("vantrel.array").toByteArray(), QByteArray("y"));
        reread.setStringArray("vantrel.blob", {"z"});
        QCOMPARE(reread.object("vantrel.blob").toStringList(), QStringList{"z"});
    }

    void defaultsOfAnotherTypeOrBroken()
    {
        QTemporaryDir dir;
        const QString other = dir.filePath("other.ini");
        QVERIFY(TempHome::writeFile(other, "[General]\nvantrel.installedVersions=plain text\n[vantrel.seenAnnouncementIDs]\nsize=many\n"));
        SettingsUserDefaults defaults(other);
        QVERIFY(defaults.object("vantrel.installedVersions").isValid());
        QVERIFY(InstallRecords::loadStringDictionary("vantrel.installedVersions", defaults).isEmpty());
        QVERIFY(defaults.object("vantrel.seenAnnouncementIDs").typeId() != QMetaType::QStringList);

        // A corrupted file is kept aside before anything is written over it.
        const QString broken = dir.filePath("broken.ini");
        const QByteArray garbage("\xff\xfe[[[\nvantrel.installedVersions=@ByteArray(\n@Variant(\\0\\0\\0\\x7f\n", 60);
        QVERIFY(TempHome::writeFile(broken, garbage));
        SettingsUserDefaults repaired(broken);
        QVERIFY(repaired.object("vantrel.installedVersions").typeId() != QMetaType::QByteArray);
        repaired.setData("vantrel.installedVersions", "{}");
        QCOMPARE(repaired.object("vantrel.installedVersions").toByteArray(), QByteArray("{}"));
        QFile aside(broken + ".corrupt");
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), garbage);
    }

    // Hostile names and links are the open-safety test's; these are the accepted
    // forms and the one plain refusal left.
    void executableInsideTheBundle_data()
    {
        ExecutableInsideTheRows::columns();
        ExecutableInsideTheRows::row("plain file", "file", true);
        ExecutableInsideTheRows::row("link inside the bundle", "inner-link", true);
        ExecutableInsideTheRows::row("not executable", "plain-file", false);
    }

    void executableInsideTheBundle()
    {
        const auto [setup, accepted] = ExecutableInsideTheRows::fetch();
        QTemporaryDir dir;
        const QString bundle = makeBundle(dir.path(), "Alpha", "com.vantrel.alpha", "Alpha", false);
        const QString exe = bundle + "/Contents/MacOS/Alpha";
        if (setup == QLatin1String("inner-link")) {
            QVERIFY(TempHome::writeFile(bundle + "/Contents/Resources/real", "#!/bin/sh\n", 0755));
            QVERIFY(QFile::link("../Resources/real", exe));
        } else {
            QVERIFY(TempHome::writeFile(exe, "#!/bin/sh\n", setup == QLatin1String("file") ? 0755 : 0644));
        }

        LinuxWorkspace workspace = workspaceOver({dir.path()});
        QCOMPARE(workspace.executablePath(bundle).has_value(), accepted);
        QCOMPARE(workspace.canOpenApplication(QUrl::fromLocalFile(bundle)), accepted);
        QCOMPARE(workspace.urlForApplication("com.vantrel.alpha").has_value(), accepted);
    }

    void urlForApplicationSearchesTheRoots()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath("first"), second = dir.filePath("second"), third = dir.filePath("third");
        makeBundle(first, "Other", "com.vantrel.other", "Other");
        // Same identifier but an executable that may not be run: skipped.
        makeBundle(first, "Unsafe", "com.vantrel.alpha", "../x");
        const QString wanted = makeBundle(second, "Alpha Copy", "com.vantrel.alpha", "Alpha");
        makeBundle(third, "Late", "com.vantrel.alpha", "Alpha");

        LinuxWorkspace workspace = workspaceOver({dir.filePath("missing"), first, second, third});
        QCOMPARE(workspace.urlForApplication("com.vantrel.alpha"), std::optional<QUrl>(QUrl::fromLocalFile(wanted)));
        QCOMPARE(workspace.urlForApplication("com.vantrel.none"), std::nullopt);
        QCOMPARE(workspace.urlForApplication(QString()), std::nullopt);
        QCOMPARE(LinuxWorkspace::defaultSearchRoots(first),
                 (QStringList{first, QDir::home().filePath("Applications"), "/Applications"}));
    }

    void refreshInstallRelaunchUpdateOpen()
    {
        const QString bundle = m_dir.filePath("Applications/Vantrel/Alpha.app");
        const AppManifestItem first = release("1.0.0");

        // Refresh from the seed catalog, then install.
        auto store = makeStore(SeedManifest::manifest());
        waitForTask(store->loadManifest());
        QCOMPARE(store->errorMessage(), std::nullopt);
        QCOMPARE(store->manifest().apps.size(), 1);
        QCOMPARE(store->selectedAppIDValue(), QStringLiteral("alpha"));
        QSignalSpy finished(store.get(), &LauncherStore::installFinished);
        store->installApp("alpha");
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installing(0.04));
        QVERIFY(finished.wait(30000));
        QVERIFY2(finished.first().at(1).toBool(), qPrintable(store->errorMessageValue().toString()));
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("1.0.0"));
        QVERIFY(QFileInfo(bundle + "/Contents/MacOS/Alpha").isExecutable());
        QCOMPARE(store->installedAppURLs().value("alpha"), QUrl::fromLocalFile(bundle));

        // Relaunch over the same records; the catalog moves on; update in place.
        store = makeStore(TestCatalog::manifest({first}));
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("1.0.0"));
        release("1.1.0");
        waitForTask(store->loadManifest());
        QCOMPARE(store->stateFor("alpha"), AppInstallState::updateAvailable("1.0.0", "1.1.0"));
        QSignalSpy updated(store.get(), &LauncherStore::installFinished);
        QList<double> progress;
        connect(store.get(), &LauncherStore::installStateChanged, this, [&] {
            if (store->stateFor("alpha").kind() == AppInstallState::Kind::installing)
                progress.append(store->stateFor("alpha").progress());
        });
        store->installApp("alpha");
        QVERIFY(updated.wait(30000));
        QCOMPARE(store->stateFor("alpha"), AppInstallState::installed("1.1.0"));
        // The real fraction reaches the store, rising from the first 0.04.
        QVERIFY2(progress.size() >= 3, qPrintable(QString::number(progress.size())));
        QCOMPARE(progress.first(), 0.04);
        QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()) && progress.last() > 0.04 && progress.last() < 1);
        QCOMPARE(store->errorMessage(), std::nullopt);
        // Nothing temporary is left behind.
        QTRY_COMPARE(QDir(m_dir.filePath("tmp")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

        // Open starts the installed (updated) executable.
        store->openApp("alpha");
        QFile marker(m_dir.filePath("opened.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(marker.exists() && marker.size() > 0, 10000);
        QVERIFY(marker.open(QIODevice::ReadOnly));
        QCOMPARE(marker.readAll().trimmed(), QByteArray("1.1.0"));
    }

private:
    std::unique_ptr<LauncherStore> makeStore(const LauncherManifest &initial);
    AppManifestItem release(const QString &version);

    QTemporaryDir m_dir;
    LoopbackHttpServer m_server;
    QNetworkAccessManager m_session;
    QMutex m_mutex;
    QByteArray m_manifest;
    QMap<QString, QByteArray> m_files;
};

std::unique_ptr<LauncherStore> TestStorePlatform::makeStore(const LauncherManifest &initial)
{
    const QString installRoot = m_dir.filePath("Applications/Vantrel");
    auto language = std::make_shared<FixedLanguage>("en-US");
    auto systemVersion = std::make_shared<FixedSystemVersion>();
    AppInstaller::Layers layers = defaultInstallerLayers();
    layers.systemVersion = systemVersion;
    auto installer = std::make_shared<AppInstaller>(QUrl::fromLocalFile(installRoot), &m_session, layers);
    installer->setTemporaryDirectory(m_dir.filePath("tmp"));

    LauncherStore::Collaborators c;
    c.manifestLoader = std::make_shared<RemoteManifestClient>(m_server.url("/api/launcher/manifest"), &m_session);
    c.installer = installer;
    c.eventRecorder = std::make_shared<RemoteEventRecorder>(m_server.url(), &m_session, language);
    c.feedbackClient = std::make_shared<RemoteFeedbackClient>(m_server.url(), &m_session);
    c.userDefaults = std::make_shared<SettingsUserDefaults>(m_dir.filePath("defaults.ini"));
    c.workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList{installRoot});
    c.systemVersion = systemVersion;
    c.systemLanguage = language;
    c.appProperties = std::make_shared<FixedAppProperties>();
    return std::make_unique<LauncherStore>(std::move(c), initial);
}

// Serves a release of "alpha" whose executable writes its version to opened.txt,
// and a catalog listing it.
AppManifestItem TestStorePlatform::release(const QString &version)
{
    ZipBuilder zip;
    zip.addDirectory("Alpha.app").addDirectory("Alpha.app/Contents").addDirectory("Alpha.app/Contents/MacOS");
    zip.addFile("Alpha.app/Contents/Info.plist",
                ZipBuilder::infoPlist({{"CFBundleIdentifier", "com.vantrel.alpha"}, {"CFBundleExecutable", "Alpha"}},
                                      ZipBuilder::PlistFormat::binary));
    zip.addExecutable("Alpha.app/Contents/MacOS/Alpha",
                      "#!/bin/sh\necho " + version.toUtf8() + " > '" + m_dir.filePath("opened.txt").toUtf8() + "'\n");
    const QByteArray archive = zip.build();
    const QString path = QStringLiteral("/releases/alpha-%1.zip").arg(version);
    const AppManifestItem app = TestCatalog::release("alpha", m_server.url(path), ZipBuilder::sha256Hex(archive), version);
    QMutexLocker lock(&m_mutex);
    m_files.insert(path, archive);
    m_manifest = ManifestDecoder::encode(TestCatalog::manifest({app}));
    return app;
}

QTEST_GUILESS_MAIN(TestStorePlatform)
#include "tst_store_platform.moc"
