// The store's platform side over real files: settings-backed user defaults and the Linux workspace.

#include "CatalogBuilders.h"
#include "DataRows.h"
#include "LinuxWorkspace.h"
#include "PlistBundleInspector.h"
#include "SettingsUserDefaults.h"
#include "TempHome.h"
#include "ZipBuilder.h"
#include "store/AnnouncementQueue.h"
#include "store/InstallRecords.h"

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
    using ExecutableInsideTheRows = DataRows<QString, QString>;  // setup, what keeps it from starting (empty: nothing)

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

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

    // The previous release's settings file reads back unchanged; recording and forgetting an app keeps it byte for byte.
    void recordsFileOfTodayReadsBackUnchanged()
    {
        QTemporaryDir dir;
        const QString alpha = dir.filePath("Alpha.app"), beta = dir.filePath("Beta.app");
        QVERIFY(QDir().mkpath(alpha) && QDir().mkpath(beta));
        // QSettings quotes a value holding a comma.
        const QString today = QStringLiteral("[General]\nvantrel.installedPaths=%1\nvantrel.installedVersions=%2\n\n"
                                             "[vantrel.seenAnnouncementIDs]\n1\\value=news-1\nsize=1\n");
        const QString onePath = QStringLiteral("@ByteArray({\\\"alpha\\\":\\\"%1\\\"})").arg(alpha);
        const QString oneVersion = QStringLiteral("@ByteArray({\\\"alpha\\\":\\\"1.0.0\\\"})");
        const QString twoPaths = QStringLiteral("\"@ByteArray({\\\"alpha\\\":\\\"%1\\\",\\\"beta\\\":\\\"%2\\\"})\"").arg(alpha, beta);
        const QString twoVersions = QStringLiteral("\"@ByteArray({\\\"alpha\\\":\\\"1.0.0\\\",\\\"beta\\\":\\\"2.0.0\\\"})\"");
        const QByteArray original = today.arg(onePath, oneVersion).toUtf8();
        const QString path = dir.filePath("VantrelLauncher.conf");
        QVERIFY(TempHome::writeFile(path, original));

        auto defaults = std::make_shared<SettingsUserDefaults>(path);
        InstallRecords records(defaults);
        QCOMPARE(records.reconcile(),
                 (QHash<QString, InstallRecords::Recorded>{{"alpha", {"1.0.0", QUrl::fromLocalFile(alpha)}}}));
        QCOMPARE(AnnouncementQueue(defaults).seenIDs(), QSet<QString>{"news-1"});
        QCOMPARE(TempHome::readFile(path), original);

        records.record("beta", "2.0.0", beta);
        QCOMPARE(QString::fromUtf8(TempHome::readFile(path)), today.arg(twoPaths, twoVersions));
        records.forget("beta");
        QCOMPARE(TempHome::readFile(path), original);
    }

    // Hostile names and links: tst_open_safety; here the accepted forms and the one plain refusal left.
    void executableInsideTheBundle_data()
    {
        ExecutableInsideTheRows::columns();
        ExecutableInsideTheRows::row("plain file", "file", "");
        ExecutableInsideTheRows::row("link inside the bundle", "inner-link", "");
        ExecutableInsideTheRows::row("not executable", "plain-file", "notExecutable");
        ExecutableInsideTheRows::row("unreadable", "unreadable", "unreadable");
        ExecutableInsideTheRows::row("missing", "missing", "programMissing");
        ExecutableInsideTheRows::row("a folder in its place", "folder", "programMissing");
        ExecutableInsideTheRows::row("dangling link", "dangling", "programMissing");
    }

    // Whatever keeps the program from starting is named, so the store can
    // show the copy damaged instead of forgetting it.
    void executableInsideTheBundle()
    {
        const auto [setup, problem] = ExecutableInsideTheRows::fetch();
        const bool accepted = problem.isEmpty();
        QTemporaryDir dir;
        const QString bundle = makeBundle(dir.path(), "Alpha", "com.vantrel.alpha", "Alpha", false);
        const QString exe = bundle + "/Contents/MacOS/Alpha";
        if (setup == QLatin1String("inner-link")) {
            QVERIFY(TempHome::writeFile(bundle + "/Contents/Resources/real", "#!/bin/sh\n", 0755));
            QVERIFY(QFile::link("../Resources/real", exe));
        } else if (setup == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(exe));
        } else if (setup == QLatin1String("dangling")) {
            QVERIFY(QDir().mkpath(bundle + "/Contents/MacOS"));
            QVERIFY(QFile::link("../Resources/nowhere", exe));
        } else if (setup != QLatin1String("missing")) {
            const int mode = setup == QLatin1String("file") ? 0755 : setup == QLatin1String("unreadable") ? 0311 : 0644;
            QVERIFY(TempHome::writeFile(exe, "#!/bin/sh\n", mode));
        }

        LinuxWorkspace workspace = workspaceOver({dir.path()});
        QCOMPARE(workspace.executablePath(bundle).has_value(), accepted);
        QCOMPARE(workspace.canOpenApplication(QUrl::fromLocalFile(bundle)), accepted);
        QCOMPARE(workspace.urlForApplication("com.vantrel.alpha").has_value(), accepted);
        const std::optional<LaunchProblem> found = workspace.launchProblem(QUrl::fromLocalFile(bundle));
        const QHash<LaunchProblem::Kind, QString> names{{LaunchProblem::Kind::programMissing, "programMissing"},
                                                        {LaunchProblem::Kind::notExecutable, "notExecutable"},
                                                        {LaunchProblem::Kind::unreadable, "unreadable"},
                                                        {LaunchProblem::Kind::programUnnamed, "programUnnamed"}};
        QCOMPARE(found ? names.value(found->kind) : QString(), problem);
        if (found)
            QCOMPARE(found->path, QByteArray("Contents/MacOS/Alpha"));
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
};

QTEST_GUILESS_MAIN(TestStorePlatform)
#include "tst_store_platform.moc"
