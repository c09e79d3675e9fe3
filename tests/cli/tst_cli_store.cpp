// `vantrel list`, `install` and `open` through the built executable, against a
// catalog, release archives and an event endpoint on loopback, with HOME and
// the configuration folder in a temporary directory.

#include "LoopbackHttpServer.h"
#include "SettingsUserDefaults.h"
#include "ZipBuilder.h"
#include "catalog/ManifestDecoder.h"
#include "store/LauncherStore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Served {
    QMutex mutex;
    QByteArray manifest;
    int manifestStatus = 200;
    QMap<QString, QByteArray> files;
};

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

}  // namespace

class TestCliStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void listInstallListAgain();
    void installRefusals_data();
    void installRefusals();
    void installFailureReportsTheStoreMessage();
    void listWhenTheCatalogIsUnreachable();
    void openStartsTheInstalledApp();
    void usageErrors_data();
    void usageErrors();

private:
    Run vantrel(const QStringList &args);
    AppManifestItem app(const QString &id, const QString &version, const QByteArray &archive,
                        AppReleaseStatus status = AppReleaseStatus::live);
    void serveCatalog(const QList<AppManifestItem> &apps);
    QByteArray bundleArchive(const QString &name, const QString &bundleId, const QString &version);
    QStringList eventTypes() const;
    QString configFile() const { return m_home->path() + QStringLiteral("/config/Vantrel/VantrelLauncher.conf"); }
    QString installRoot() const { return m_home->path() + QStringLiteral("/Applications/Vantrel"); }

    QString m_executable;
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::shared_ptr<Served> m_served;
};

void TestCliStore::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_executable = qEnvironmentVariable("VANTREL_BUILD_DIR") + QStringLiteral("/src/cli/vantrel");
    QVERIFY2(QFile::exists(m_executable), qPrintable(m_executable + QStringLiteral(" has not been built")));
}

void TestCliStore::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QDir().mkpath(m_home->path() + QStringLiteral("/tmp"));
    m_served = std::make_shared<Served>();
    m_server = std::make_unique<LoopbackHttpServer>();
    QVERIFY(m_server->isListening());
    std::shared_ptr<Served> served = m_served;
    m_server->setHandler([served](const LoopbackHttpServer::Request &request) {
        QMutexLocker lock(&served->mutex);
        if (request.path == QLatin1String("/api/launcher/manifest"))
            return LoopbackHttpServer::Response::json(served->manifestStatus, served->manifest);
        if (request.path == QLatin1String("/api/events") && request.method == "POST")
            return LoopbackHttpServer::Response::json(202, R"({"ok":true})");
        if (served->files.contains(request.path)) {
            LoopbackHttpServer::Response response;
            response.body = served->files.value(request.path);
            response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/zip")));
            return response;
        }
        return LoopbackHttpServer::Response::text(404, "not found");
    });
}

Run TestCliStore::vantrel(const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("TMPDIR"), m_home->path() + QStringLiteral("/tmp"));
    env.insert(QStringLiteral("VANTREL_MANIFEST_URL"), m_server->url(QStringLiteral("/api/launcher/manifest")).toString());
    env.insert(QStringLiteral("VANTREL_API_URL"), m_server->url().toString());
    env.insert(QStringLiteral("VANTREL_TEST_MARKER"), m_home->path() + QStringLiteral("/opened.txt"));
    env.remove(QStringLiteral("VANTREL_LAUNCHER_SENTRY_DSN"));
    process.setProcessEnvironment(env);
    process.start(m_executable, args);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray TestCliStore::bundleArchive(const QString &name, const QString &bundleId, const QString &version)
{
    ZipBuilder zip;
    const QString bundle = name + QStringLiteral(".app");
    zip.addDirectory(bundle).addDirectory(bundle + QStringLiteral("/Contents"));
    zip.addFile(bundle + QStringLiteral("/Contents/Info.plist"),
                ZipBuilder::infoPlist({{QStringLiteral("CFBundleIdentifier"), bundleId},
                                       {QStringLiteral("CFBundleExecutable"), name},
                                       {QStringLiteral("CFBundleShortVersionString"), version}},
                                      ZipBuilder::PlistFormat::xml));
    zip.addDirectory(bundle + QStringLiteral("/Contents/MacOS"));
    // Started by `vantrel open`: leaves a mark where the test can see it.
    zip.addExecutable(bundle + QStringLiteral("/Contents/MacOS/") + name,
                      "#!/bin/sh\necho \"" + version.toUtf8() + "\" > \"$VANTREL_TEST_MARKER\"\n");
    return zip.build();
}

AppManifestItem TestCliStore::app(const QString &id, const QString &version, const QByteArray &archive,
                                  AppReleaseStatus status)
{
    AppManifestItem item;
    item.id = id;
    item.name = id.left(1).toUpper() + id.mid(1);
    item.tagline = QStringLiteral("A tool");
    item.category = QStringLiteral("Tools");
    item.bundleId = QStringLiteral("com.vantrel.") + id;
    item.version = version;
    item.minMacOS = QStringLiteral("1.0");
    item.status = status;
    item.symbolName = QStringLiteral("star");
    item.description = QStringLiteral("Description");
    item.privacyNote = QStringLiteral("Nothing leaves your machine.");
    if (!archive.isEmpty()) {
        const QString path = QStringLiteral("/downloads/%1-%2.zip").arg(id, version);
        QMutexLocker lock(&m_served->mutex);
        m_served->files.insert(path, archive);
        item.downloadUrl = m_server->url(path);
        item.sha256 = ZipBuilder::sha256Hex(archive);
    }
    return item;
}

void TestCliStore::serveCatalog(const QList<AppManifestItem> &apps)
{
    LauncherManifest manifest;
    manifest.generatedAt = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
    manifest.apps = apps;
    QMutexLocker lock(&m_served->mutex);
    m_served->manifest = ManifestDecoder::encode(manifest);
    m_served->manifestStatus = 200;
}

QStringList TestCliStore::eventTypes() const
{
    QStringList types;
    for (const LoopbackHttpServer::Request &request : m_server->requests()) {
        if (request.path == QLatin1String("/api/events"))
            types.append(QJsonDocument::fromJson(request.body).object().value(QStringLiteral("eventType")).toString());
    }
    return types;
}

void TestCliStore::listInstallListAgain()
{
    serveCatalog({app("alpha", "1.0.0", bundleArchive("Alpha", "com.vantrel.alpha", "1.0.0")),
                  app("soon", "0.1", {}, AppReleaseStatus::comingSoon),
                  app("old", "0.1", {}, AppReleaseStatus::retired)});

    Run list = vantrel({"list", "--json"});
    QCOMPARE(list.exitCode, 0);
    QJsonArray apps = QJsonDocument::fromJson(list.out.toUtf8()).array();
    QCOMPARE(apps.size(), 2);  // the retired app is not visible
    QCOMPARE(apps.at(0).toObject(),
             (QJsonObject{{"id", "alpha"}, {"name", "Alpha"}, {"status", "live"}, {"published", true},
                          {"state", QJsonObject{{"notInstalled", QJsonObject{}}}}}));
    QCOMPARE(apps.at(1).toObject().value("published"), QJsonValue(false));
    // The catalog was asked for in English.
    QCOMPARE(m_server->requests().first().query.queryItemValue(QStringLiteral("lang")), QStringLiteral("en"));

    Run install = vantrel({"install", "alpha"});
    QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));
    QVERIFY2(install.out.contains(QStringLiteral("Installing Alpha 1.0.0")), qPrintable(install.out));
    QVERIFY2(install.out.contains(QStringLiteral("Installed 1.0.0")), qPrintable(install.out));
    const QString bundle = installRoot() + QStringLiteral("/Alpha.app");
    QVERIFY(QFileInfo(bundle + QStringLiteral("/Contents/MacOS/Alpha")).isExecutable());
    QCOMPARE(eventTypes(), (QStringList{"install_started", "install_succeeded"}));

    // The window reads the same records.
    QVERIFY(QFile::exists(configFile()));
    SettingsUserDefaults defaults(configFile());
    QCOMPARE(InstallRecords::loadStringDictionary(LauncherStore::installedVersionsKey, defaults),
             (QHash<QString, QString>{{"alpha", "1.0.0"}}));
    QCOMPARE(InstallRecords::loadStringDictionary(LauncherStore::installedPathsKey, defaults),
             (QHash<QString, QString>{{"alpha", bundle}}));

    list = vantrel({"list", "--lang", "pl"});
    QCOMPARE(list.exitCode, 0);
    QVERIFY2(list.out.contains(QStringLiteral("alpha")), qPrintable(list.out));
    const QString polishInstalled = AppInstallState::installed("1.0.0").label(VantrelLocale::pl);
    QVERIFY2(list.out.contains(polishInstalled), qPrintable(list.out + " / " + polishInstalled));
    QCOMPARE(m_server->requests().last().query.queryItemValue(QStringLiteral("lang")), QStringLiteral("pl"));

    // A newer release: listed as an update, then applied in place.
    serveCatalog({app("alpha", "1.1.0", bundleArchive("Alpha", "com.vantrel.alpha", "1.1.0"))});
    list = vantrel({"list", "--json"});
    apps = QJsonDocument::fromJson(list.out.toUtf8()).array();
    QCOMPARE(apps.at(0).toObject().value("state").toObject(),
             AppInstallState::updateAvailable("1.0.0", "1.1.0").toJson());
    install = vantrel({"install", "alpha"});
    QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));
    QVERIFY2(install.out.contains(QStringLiteral("Updating Alpha from 1.0.0 to 1.1.0")), qPrintable(install.out));
    QFile script(bundle + QStringLiteral("/Contents/MacOS/Alpha"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    QVERIFY(script.readAll().contains("1.1.0"));
    list = vantrel({"list", "--json"});
    apps = QJsonDocument::fromJson(list.out.toUtf8()).array();
    QCOMPARE(apps.at(0).toObject().value("state").toObject(), AppInstallState::installed("1.1.0").toJson());
}

void TestCliStore::installRefusals_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("expectedError");
    QTest::newRow("unknown id") << "ghost" << "unknown app \"ghost\"";
    QTest::newRow("coming soon") << "soon" << "Soon cannot be installed right now.";
    QTest::newRow("already installed") << "alpha" << "Alpha cannot be installed right now.";
}

void TestCliStore::installRefusals()
{
    QFETCH(QString, id);
    QFETCH(QString, expectedError);
    serveCatalog({app("alpha", "1.0.0", bundleArchive("Alpha", "com.vantrel.alpha", "1.0.0")),
                  app("soon", "0.1", {}, AppReleaseStatus::comingSoon)});
    if (id == QLatin1String("alpha"))
        QCOMPARE(vantrel({"install", "alpha"}).exitCode, 0);
    m_server->clearRequests();
    const Run run = vantrel({"install", id});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(expectedError), qPrintable(run.err));
    QVERIFY(eventTypes().isEmpty());
}

void TestCliStore::installFailureReportsTheStoreMessage()
{
    AppManifestItem broken = app("beta", "2.0.0", bundleArchive("Beta", "com.vantrel.beta", "2.0.0"));
    broken.sha256 = QString(64, QLatin1Char('0'));
    serveCatalog({broken});
    const Run run = vantrel({"install", "beta"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("Could not install Beta. ")), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(installRoot() + QStringLiteral("/Beta.app")));
    QCOMPARE(eventTypes(), (QStringList{"install_started", "install_failed"}));
    // Nothing is left in the temporary folder.
    QCOMPARE(QDir(m_home->path() + QStringLiteral("/tmp")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}

void TestCliStore::listWhenTheCatalogIsUnreachable()
{
    serveCatalog({app("alpha", "1.0.0", bundleArchive("Alpha", "com.vantrel.alpha", "1.0.0"))});
    {
        QMutexLocker lock(&m_served->mutex);
        m_served->manifestStatus = 500;
    }
    const Run run = vantrel({"list", "--json"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("Could not refresh apps. Showing the last known state.")),
             qPrintable(run.err));
    // The last known state: the built-in catalog.
    QVERIFY(QJsonDocument::fromJson(run.out.toUtf8()).isArray());
}

void TestCliStore::openStartsTheInstalledApp()
{
    serveCatalog({app("alpha", "1.0.0", bundleArchive("Alpha", "com.vantrel.alpha", "1.0.0"))});
    const QString marker = m_home->path() + QStringLiteral("/opened.txt");
    // Not installed yet: installed first, then started.
    Run run = vantrel({"open", "alpha"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY2(run.out.contains(QStringLiteral("Opened Alpha")), qPrintable(run.out));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);

    // The bundle disappears: nothing to open, records dropped.
    QVERIFY(QDir(installRoot() + QStringLiteral("/Alpha.app")).removeRecursively());
    run = vantrel({"open", "alpha"});
    // The refresh already notices the missing bundle, so open installs it again.
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY(QFileInfo::exists(installRoot() + QStringLiteral("/Alpha.app")));
}

void TestCliStore::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("install without id") << QStringList{"install"};
    QTest::newRow("install with two ids") << QStringList{"install", "a", "b"};
    QTest::newRow("unknown language") << QStringList{"list", "--lang", "fr"};
    QTest::newRow("unknown option") << QStringList{"list", "--all"};
}

void TestCliStore::usageErrors()
{
    QFETCH(QStringList, args);
    const Run run = vantrel(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QStringLiteral("usage: vantrel ")), qPrintable(run.err));
    QCOMPARE(m_server->requestCount(), 0);
}

QTEST_GUILESS_MAIN(TestCliStore)
#include "tst_cli_store.moc"
