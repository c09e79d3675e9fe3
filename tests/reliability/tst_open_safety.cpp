// Opening is safe: only a plain executable name inside the bundle's own
// executable folder is started, directly and never through a shell; anything
// else is treated as a missing bundle.

#include "LinuxWorkspace.h"
#include "PlistBundleInspector.h"
#include "ReliabilityHelpers.h"
#include "SettingsUserDefaults.h"
#include "i18n/VantrelCopy.h"
#include "store/LauncherStore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Reliability;

namespace {

bool writeFile(const QString &path, const QByteArray &content, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return false;
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return true;
}

QByteArray markerScript(const QString &marker)
{
    return "#!/bin/sh\necho ran > '" + QFile::encodeName(marker) + "'\n";
}

}  // namespace

class OpenSafety : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString root() const { return m_dir.filePath(QStringLiteral("Applications")); }
    QString outsideMarker() const { return m_dir.filePath(QStringLiteral("outside-ran")); }

    // A bundle whose Info.plist names executable; returns its path.
    QString makeBundle(const QString &name, const QString &executable, const QString &bundleId)
    {
        const QString bundle = root() + QLatin1Char('/') + name;
        QDir(bundle).removeRecursively();
        writeFile(bundle + QStringLiteral("/Contents/Info.plist"),
                  ZipBuilder::infoPlist({{QStringLiteral("CFBundleIdentifier"), bundleId},
                                         {QStringLiteral("CFBundleExecutable"), executable}},
                                        ZipBuilder::PlistFormat::xml));
        return bundle;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("outside/evil")), markerScript(outsideMarker()), true));
    }

    void hostileExecutableIsNotStarted_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("setup");
        QTest::newRow("parent folder in the name") << "../evil" << "fileAbove";
        QTest::newRow("sub-folder in the name") << "sub/evil" << "fileInSub";
        QTest::newRow("just ..") << ".." << "none";
        QTest::newRow("absolute path") << "/bin/true" << "none";
        QTest::newRow("link to a file outside") << "App" << "linkOutside";
        QTest::newRow("executable folder links outside") << "evil" << "folderLinkOutside";
        QTest::newRow("dangling link") << "App" << "danglingLink";
        QTest::newRow("missing file") << "App" << "none";
        QTest::newRow("empty name") << "" << "none";
    }

    void hostileExecutableIsNotStarted()
    {
        QFETCH(QString, executable);
        QFETCH(QString, setup);
        const QString bundle = makeBundle(QStringLiteral("Hostile.app"), executable, QStringLiteral("com.example.hostile"));
        const QByteArray script = markerScript(outsideMarker());
        const QString outsideScript = m_dir.filePath(QStringLiteral("outside/evil"));
        if (setup == QLatin1String("fileAbove"))
            QVERIFY(writeFile(bundle + QStringLiteral("/Contents/evil"), script, true));
        else if (setup == QLatin1String("fileInSub"))
            QVERIFY(writeFile(bundle + QStringLiteral("/Contents/MacOS/sub/evil"), script, true));
        else if (setup == QLatin1String("linkOutside")) {
            QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
            QVERIFY(QFile::link(outsideScript, bundle + QStringLiteral("/Contents/MacOS/App")));
        } else if (setup == QLatin1String("folderLinkOutside")) {
            QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("outside")), bundle + QStringLiteral("/Contents/MacOS")));
        } else if (setup == QLatin1String("danglingLink")) {
            QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
            QVERIFY(QFile::link(QStringLiteral("../../../nowhere"), bundle + QStringLiteral("/Contents/MacOS/App")));
        }

        auto inspector = std::make_shared<PlistBundleInspector>();
        LinuxWorkspace workspace(inspector, {root()});
        QVERIFY(!workspace.canOpenApplication(QUrl::fromLocalFile(bundle)));
        QVERIFY(!workspace.openApplication(QUrl::fromLocalFile(bundle)));
        // Not found by identifier either: such a bundle is as good as missing.
        QCOMPARE(workspace.urlForApplication(QStringLiteral("com.example.hostile")), std::nullopt);
    }

    // A name full of shell syntax is still one plain file name: the file of
    // that name runs, and nothing of the syntax does.
    void shellSyntaxInNameIsNotInterpreted()
    {
        const QString name = QStringLiteral("run;touch pwned $(touch pwned2) `touch pwned3`");
        const QString bundle = makeBundle(QStringLiteral("Shell.app"), name, QStringLiteral("com.example.shell"));
        QVERIFY(writeFile(bundle + QStringLiteral("/Contents/MacOS/") + name, "#!/bin/sh\necho ran > ran.txt\n", true));

        LinuxWorkspace workspace(std::make_shared<PlistBundleInspector>(), {root()});
        QVERIFY(workspace.canOpenApplication(QUrl::fromLocalFile(bundle)));
        QVERIFY(workspace.openApplication(QUrl::fromLocalFile(bundle)));
        // The program ran in the bundle's folder...
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(bundle + QStringLiteral("/ran.txt")), 10000);
        // ...and no shell took the name apart.
        for (const QString &dir : {bundle, QDir::currentPath(), m_dir.path()}) {
            for (const char *made : {"pwned", "pwned2", "pwned3"})
                QVERIFY2(!QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(made)), made);
        }
        QVERIFY(!QFileInfo::exists(outsideMarker()));
    }

    // The store treats a bundle it must not start like a missing one.
    void storeTreatsHostileBundleAsMissing()
    {
        const QString bundle = makeBundle(QStringLiteral("Store.app"), QStringLiteral("../evil"), QStringLiteral("com.example.store"));
        QVERIFY(writeFile(bundle + QStringLiteral("/Contents/evil"), markerScript(outsideMarker()), true));

        AppManifestItem app = appEntry(QStringLiteral("store-app"), QStringLiteral("com.example.store"),
                                       QUrl(QStringLiteral("https://example.com/a.zip")), QString(64, QLatin1Char('a')),
                                       QStringLiteral("1.0"));
        LauncherManifest manifest;
        manifest.apps = {app};

        auto defaults = std::make_shared<SettingsUserDefaults>(m_dir.filePath(QStringLiteral("defaults.ini")));
        defaults->setData(LauncherStore::installedVersionsKey,
                          QJsonDocument(QJsonObject{{app.id, QStringLiteral("1.0")}}).toJson(QJsonDocument::Compact));
        defaults->setData(LauncherStore::installedPathsKey,
                          QJsonDocument(QJsonObject{{app.id, bundle}}).toJson(QJsonDocument::Compact));

        LauncherStore::Collaborators c;
        c.userDefaults = defaults;
        c.workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList{root()});
        LauncherStore store(c, manifest);
        QCOMPARE(store.state(app).kind(), AppInstallState::Kind::installed);

        store.open(app);
        QCOMPARE(store.state(app).kind(), AppInstallState::Kind::notInstalled);
        QCOMPARE(store.errorMessage(),
                 std::optional<QString>(VantrelCopy::text(CopyKey::errorNoBundle, store.locale(), {{QStringLiteral("app"), app.name}})));
        QVERIFY(InstallRecords::loadStringDictionary(LauncherStore::installedVersionsKey, *defaults).isEmpty());
        QVERIFY(InstallRecords::loadStringDictionary(LauncherStore::installedPathsKey, *defaults).isEmpty());
        QVERIFY(!QFileInfo::exists(outsideMarker()));
    }
};

QTEST_GUILESS_MAIN(OpenSafety)
#include "tst_open_safety.moc"
