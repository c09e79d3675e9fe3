// Only a plain executable name in the bundle's executable folder starts, never via a shell; else: a missing bundle.

#include "DataRows.h"
#include "CatalogBuilders.h"
#include "LinuxWorkspace.h"
#include "PlistBundleInspector.h"
#include "SettingsUserDefaults.h"
#include "TempHome.h"
#include "ZipBuilder.h"
#include "store/InstalledAppChecks.h"
#include "store/LauncherStore.h"

class OpenSafety : public QObject
{
    Q_OBJECT
    using HostileExecutableIsRows = DataRows<QString, QString>;  // executable, setup

private:
    TempHome m_home;
    QString root() const { return m_home.installRoot(); }
    QString outsideMarker() const { return m_home.path(QStringLiteral("outside-ran")); }
    QByteArray markerScript() const { return "#!/bin/sh\necho ran > '" + QFile::encodeName(outsideMarker()) + "'\n"; }

    QString makeBundle(const QString &name, const QString &executable, const QString &bundleId)
    {
        const QString bundle = root() + QLatin1Char('/') + name;
        QDir(bundle).removeRecursively();
        TempHome::writeFile(bundle + QStringLiteral("/Contents/Info.plist"),
                            ZipBuilder::infoPlist({{"CFBundleIdentifier", bundleId}, {"CFBundleExecutable", executable}}, ZipBuilder::PlistFormat::xml));
        return bundle;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(TempHome::writeFile(m_home.outsideDir() + QStringLiteral("/evil"), markerScript(), 0755));
    }

    void hostileExecutableIsNotStarted_data()
    {
        HostileExecutableIsRows::columns();
        HostileExecutableIsRows::row("parent folder in the name", "../evil", "fileAbove");
        HostileExecutableIsRows::row("sub-folder in the name", "sub/evil", "fileInSub");
        HostileExecutableIsRows::row("just ..", "..", "none");
        HostileExecutableIsRows::row("absolute path", "/bin/true", "none");
        HostileExecutableIsRows::row("link to a file outside", "App", "linkOutside");
        HostileExecutableIsRows::row("executable folder links outside", "evil", "folderLinkOutside");
        HostileExecutableIsRows::row("dangling link", "App", "danglingLink");
        HostileExecutableIsRows::row("missing file", "App", "none");
        HostileExecutableIsRows::row("empty name", "", "none");
    }

    void hostileExecutableIsNotStarted()
    {
        const auto [executable, setup] = HostileExecutableIsRows::fetch();
        const QString bundle = makeBundle(QStringLiteral("Hostile.app"), executable, QStringLiteral("com.example.hostile"));
        const QString macos = bundle + QStringLiteral("/Contents/MacOS");
        QDir().mkpath(setup == QLatin1String("folderLinkOutside") ? bundle + QStringLiteral("/Contents") : macos);
        if (setup == QLatin1String("fileAbove"))
            QVERIFY(TempHome::writeFile(bundle + QStringLiteral("/Contents/evil"), markerScript(), 0755));
        else if (setup == QLatin1String("fileInSub"))
            QVERIFY(TempHome::writeFile(macos + QStringLiteral("/sub/evil"), markerScript(), 0755));
        else if (setup == QLatin1String("linkOutside"))
            QVERIFY(QFile::link(m_home.outsideDir() + QStringLiteral("/evil"), macos + QStringLiteral("/App")));
        else if (setup == QLatin1String("folderLinkOutside"))
            QVERIFY(QFile::link(m_home.outsideDir(), macos));
        else if (setup == QLatin1String("danglingLink"))
            QVERIFY(QFile::link(QStringLiteral("../../../nowhere"), macos + QStringLiteral("/App")));

        LinuxWorkspace workspace(std::make_shared<PlistBundleInspector>(), {root()});
        QVERIFY(!workspace.canOpenApplication(QUrl::fromLocalFile(bundle)));
        QVERIFY(!workspace.openApplication(QUrl::fromLocalFile(bundle)));
        // Not found by identifier either: such a bundle is as good as missing.
        QCOMPARE(workspace.urlForApplication(QStringLiteral("com.example.hostile")), std::nullopt);
    }

    // A name full of shell syntax is one plain file name: that file runs, none of the syntax does.
    void shellSyntaxInNameIsNotInterpreted()
    {
        const QString name = QStringLiteral("run;touch pwned $(touch pwned2) `touch pwned3`");
        const QString bundle = makeBundle(QStringLiteral("Shell.app"), name, QStringLiteral("com.example.shell"));
        QVERIFY(TempHome::writeFile(bundle + QStringLiteral("/Contents/MacOS/") + name, "#!/bin/sh\necho ran > ran.txt\n", 0755));

        LinuxWorkspace workspace(std::make_shared<PlistBundleInspector>(), {root()});
        QVERIFY(workspace.canOpenApplication(QUrl::fromLocalFile(bundle)));
        QVERIFY(workspace.openApplication(QUrl::fromLocalFile(bundle)));
        // The program ran in the bundle's folder...
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(bundle + QStringLiteral("/ran.txt")), 10000);
        // ...and no shell took the name apart.
        for (const QString &dir : {bundle, QDir::currentPath(), m_home.path()}) {
            for (const char *made : {"pwned", "pwned2", "pwned3"})
                QVERIFY2(!QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(made)), made);
        }
        QVERIFY(!QFileInfo::exists(outsideMarker()));
    }

    // The store never starts a bundle it must not start, nor forgets it: the
    // copy is there, so it is damaged, and a repair replaces it.
    void storeKeepsHostileBundleAsDamaged()
    {
        const QString bundle = makeBundle(QStringLiteral("Store.app"), QStringLiteral("../evil"), QStringLiteral("com.vantrel.store"));
        QVERIFY(TempHome::writeFile(bundle + QStringLiteral("/Contents/evil"), markerScript(), 0755));
        const AppManifestItem app = TestCatalog::app(QStringLiteral("store"));
        auto defaults = std::make_shared<SettingsUserDefaults>(m_home.path(QStringLiteral("defaults.ini")));
        defaults->setData(LauncherStore::installedVersionsKey, QJsonDocument(QJsonObject{{app.id, app.version}}).toJson());
        defaults->setData(LauncherStore::installedPathsKey, QJsonDocument(QJsonObject{{app.id, bundle}}).toJson());
        LauncherStore::Collaborators c;
        c.userDefaults = defaults;
        c.workspace = std::make_shared<LinuxWorkspace>(std::make_shared<PlistBundleInspector>(), QStringList{root()});
        LauncherStore store(c, TestCatalog::manifest({app}));
        QCOMPARE(store.state(app).kind(), AppInstallState::Kind::installed);

        store.open(app);
        QCOMPARE(store.state(app).kind(), AppInstallState::Kind::installed);
        QCOMPARE(store.errorMessage(),
                 std::optional<QString>(QStringLiteral("%1 cannot start: its Info.plist names no program the app holds. "
                                                       "Repair puts it right.").arg(app.name)));
        QVERIFY(store.checks()->isDamaged(app.id));
        QCOMPARE(InstallRecords::loadStringDictionary(LauncherStore::installedPathsKey, *defaults).value(app.id), bundle);
        QVERIFY(!QFileInfo::exists(outsideMarker()));
    }
};

QTEST_GUILESS_MAIN(OpenSafety)
#include "tst_open_safety.moc"
