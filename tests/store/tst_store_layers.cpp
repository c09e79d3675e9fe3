// The store's platform layers: the settings-backed user defaults and the Linux
// workspace, over real files.

#include "LinuxWorkspace.h"
#include "PlistBundleInspector.h"
#include "SettingsUserDefaults.h"
#include "ZipBuilder.h"
#include "store/LauncherStore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &content, QFile::Permissions permissions = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    if (permissions)
        QVERIFY(file.setPermissions(permissions));
}

const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// A bundle folder with an Info.plist naming the identifier and executable.
QString makeBundle(const QString &root, const QString &name, const QString &identifier, const QString &executableName,
                   bool createExecutable = true)
{
    const QString bundle = root + QLatin1Char('/') + name + QStringLiteral(".app");
    QMap<QString, QString> keys{{QStringLiteral("CFBundleIdentifier"), identifier}};
    if (!executableName.isNull())
        keys.insert(QStringLiteral("CFBundleExecutable"), executableName);
    writeFile(bundle + QStringLiteral("/Contents/Info.plist"), ZipBuilder::infoPlist(keys, ZipBuilder::PlistFormat::xml));
    QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
    if (createExecutable && !executableName.contains(QLatin1Char('/')))
        writeFile(bundle + QStringLiteral("/Contents/MacOS/") + executableName, "#!/bin/sh\n", executable);
    return bundle;
}

}  // namespace

class TestStoreLayers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void defaultsRoundTripThroughTheFile_data();
    void defaultsRoundTripThroughTheFile();
    void defaultsValueOfAnotherType();
    void defaultsCorruptedFileIsKeptAside();
    void defaultsRemove();
    void executableMustStayInsideTheBundle_data();
    void executableMustStayInsideTheBundle();
    void urlForApplicationSearchesTheRoots();
    void openApplicationStartsTheExecutable();
};

void TestStoreLayers::defaultsRoundTripThroughTheFile_data()
{
    QTest::addColumn<QStringList>("array");
    QTest::newRow("empty array") << QStringList{};
    QTest::newRow("one element") << QStringList{"a"};
    QTest::newRow("elements with commas and quotes") << QStringList{"a,b", "\"c\"", "d e", ""};
}

void TestStoreLayers::defaultsRoundTripThroughTheFile()
{
    QFETCH(QStringList, array);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("written.ini"));
    const QByteArray blob("{\"alpha\":\"1.0\"}\n\0binary", 24);
    {
        SettingsUserDefaults defaults(path);
        defaults.setData(QStringLiteral("vantrel.blob"), blob);
        defaults.setStringArray(QStringLiteral("vantrel.array"), array);
    }
    // A copy under another name is parsed afresh, not served from a cache.
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    QVERIFY(QFile::copy(path, copy));
    SettingsUserDefaults reread(copy);
    const QVariant data = reread.object(QStringLiteral("vantrel.blob"));
    QCOMPARE(data.typeId(), int(QMetaType::QByteArray));
    QCOMPARE(data.toByteArray(), blob);
    const QVariant strings = reread.object(QStringLiteral("vantrel.array"));
    QCOMPARE(strings.typeId(), int(QMetaType::QStringList));
    QCOMPARE(strings.toStringList(), array);
    QVERIFY(!reread.object(QStringLiteral("vantrel.absent")).isValid());
}

void TestStoreLayers::defaultsValueOfAnotherType()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.ini"));
    writeFile(path, "[General]\nvantrel.installedVersions=plain text\nvantrel.number=7\n"
                    "[vantrel.seenAnnouncementIDs]\nsize=many\n");
    SettingsUserDefaults defaults(path);
    const QVariant text = defaults.object(QStringLiteral("vantrel.installedVersions"));
    QVERIFY(text.isValid());
    QVERIFY(text.typeId() != QMetaType::QByteArray);
    QVERIFY(InstallRecords::loadStringDictionary(QStringLiteral("vantrel.installedVersions"), defaults).isEmpty());
    const QVariant seen = defaults.object(QStringLiteral("vantrel.seenAnnouncementIDs"));
    QVERIFY(seen.typeId() != QMetaType::QStringList);
}

void TestStoreLayers::defaultsCorruptedFileIsKeptAside()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.ini"));
    const QByteArray garbage("\xff\xfe[[[\nvantrel.installedVersions=@ByteArray(\n@Variant(\\0\\0\\0\\x7f\n", 60);
    writeFile(path, garbage);
    SettingsUserDefaults defaults(path);
    QVERIFY(defaults.object(QStringLiteral("vantrel.installedVersions")).typeId() != QMetaType::QByteArray);
    defaults.setData(QStringLiteral("vantrel.installedVersions"), "{}");
    QCOMPARE(defaults.object(QStringLiteral("vantrel.installedVersions")).toByteArray(), QByteArray("{}"));
    // What was there before is not lost.
    QFile aside(path + QStringLiteral(".corrupt"));
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), garbage);
}

void TestStoreLayers::defaultsRemove()
{
    QTemporaryDir dir;
    SettingsUserDefaults defaults(dir.filePath(QStringLiteral("remove.ini")));
    defaults.setData(QStringLiteral("vantrel.blob"), "x");
    defaults.setStringArray(QStringLiteral("vantrel.array"), {"a", "b"});
    // Writing one kind over the other replaces it.
    defaults.setData(QStringLiteral("vantrel.array"), "y");
    QCOMPARE(defaults.object(QStringLiteral("vantrel.array")).toByteArray(), QByteArray("y"));
    defaults.setStringArray(QStringLiteral("vantrel.blob"), {"z"});
    QCOMPARE(defaults.object(QStringLiteral("vantrel.blob")).toStringList(), QStringList{"z"});
    defaults.removeObject(QStringLiteral("vantrel.blob"));
    defaults.removeObject(QStringLiteral("vantrel.array"));
    QVERIFY(!defaults.object(QStringLiteral("vantrel.blob")).isValid());
    QVERIFY(!defaults.object(QStringLiteral("vantrel.array")).isValid());
}

void TestStoreLayers::executableMustStayInsideTheBundle_data()
{
    QTest::addColumn<QString>("executableName");
    QTest::addColumn<QString>("setup");  // how the executable is made
    QTest::addColumn<bool>("accepted");

    QTest::newRow("plain name") << "Alpha" << "file" << true;
    QTest::newRow("link inside the bundle") << "Alpha" << "inner-link" << true;
    QTest::newRow("name with a slash") << "../../outside" << "none" << false;
    QTest::newRow("name with dots") << ".." << "none" << false;
    QTest::newRow("link leading outside") << "Alpha" << "outer-link" << false;
    QTest::newRow("missing executable") << "Alpha" << "none" << false;
    QTest::newRow("not executable") << "Alpha" << "plain-file" << false;
    QTest::newRow("no executable named") << QString() << "none" << false;
}

void TestStoreLayers::executableMustStayInsideTheBundle()
{
    QFETCH(QString, executableName);
    QFETCH(QString, setup);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString bundle = makeBundle(dir.path(), QStringLiteral("Alpha"), QStringLiteral("com.vantrel.alpha"),
                                      executableName, false);
    const QString exe = bundle + QStringLiteral("/Contents/MacOS/") + executableName;
    const QString outside = dir.filePath(QStringLiteral("outside.sh"));
    writeFile(outside, "#!/bin/sh\n", executable);
    if (setup == QLatin1String("file")) {
        writeFile(exe, "#!/bin/sh\n", executable);
    } else if (setup == QLatin1String("plain-file")) {
        writeFile(exe, "#!/bin/sh\n", QFile::ReadOwner | QFile::WriteOwner);
    } else if (setup == QLatin1String("inner-link")) {
        writeFile(bundle + QStringLiteral("/Contents/Resources/real"), "#!/bin/sh\n", executable);
        QVERIFY(QFile::link(QStringLiteral("../Resources/real"), exe));
    } else if (setup == QLatin1String("outer-link")) {
        QVERIFY(QFile::link(outside, exe));
    }

    LinuxWorkspace workspace(std::make_shared<PlistBundleInspector>(), {dir.path()});
    QCOMPARE(workspace.executablePath(bundle).has_value(), accepted);
    QCOMPARE(workspace.canOpenApplication(QUrl::fromLocalFile(bundle)), accepted);
    QCOMPARE(workspace.urlForApplication(QStringLiteral("com.vantrel.alpha")).has_value(), accepted);
    if (!accepted)
        QCOMPARE(workspace.openApplication(QUrl::fromLocalFile(bundle)), false);
}

void TestStoreLayers::urlForApplicationSearchesTheRoots()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first"));
    const QString second = dir.filePath(QStringLiteral("second"));
    makeBundle(first, QStringLiteral("Other"), QStringLiteral("com.vantrel.other"), QStringLiteral("Other"));
    // Same identifier but an executable that may not be run: skipped.
    makeBundle(first, QStringLiteral("Unsafe"), QStringLiteral("com.vantrel.alpha"), QStringLiteral("../x"));
    const QString wanted =
        makeBundle(second, QStringLiteral("Alpha Copy"), QStringLiteral("com.vantrel.alpha"), QStringLiteral("Alpha"));
    makeBundle(dir.filePath(QStringLiteral("third")), QStringLiteral("Late"), QStringLiteral("com.vantrel.alpha"),
               QStringLiteral("Alpha"));

    LinuxWorkspace workspace(std::make_shared<PlistBundleInspector>(),
                             {dir.filePath(QStringLiteral("missing")), first, second, dir.filePath(QStringLiteral("third"))});
    QCOMPARE(workspace.urlForApplication(QStringLiteral("com.vantrel.alpha")), std::optional<QUrl>(QUrl::fromLocalFile(wanted)));
    QCOMPARE(workspace.urlForApplication(QStringLiteral("com.vantrel.none")), std::nullopt);
    QCOMPARE(workspace.urlForApplication(QString()), std::nullopt);

    const QStringList roots = LinuxWorkspace::defaultSearchRoots(first);
    QCOMPARE(roots, (QStringList{first, QDir::home().filePath(QStringLiteral("Applications")),
                                 QStringLiteral("/Applications")}));
}

void TestStoreLayers::openApplicationStartsTheExecutable()
{
    QTemporaryDir dir;
    const QString bundle =
        makeBundle(dir.path(), QStringLiteral("Alpha"), QStringLiteral("com.vantrel.alpha"), QStringLiteral("Alpha"));
    const QString marker = dir.filePath(QStringLiteral("started"));
    // The working folder is the bundle; no shell interprets the catalog's strings.
    writeFile(bundle + QStringLiteral("/Contents/MacOS/Alpha"), "#!/bin/sh\npwd > '" + marker.toUtf8() + "'\n",
              executable);
    LinuxWorkspace workspace(std::make_shared<PlistBundleInspector>(), {dir.path()});
    QVERIFY(workspace.openApplication(QUrl::fromLocalFile(bundle)));
    QTRY_VERIFY(QFileInfo(marker).size() > 0);
    QFile file(marker);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()).trimmed(), QFileInfo(bundle).canonicalFilePath());
}

QTEST_GUILESS_MAIN(TestStoreLayers)
#include "tst_store_layers.moc"
