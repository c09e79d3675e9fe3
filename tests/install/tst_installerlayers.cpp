// The installer's platform layers on their own: libarchive extraction with
// hostile archives, Info.plist reading, the atomic swap and the system version.

#include "AtomicDirectoryReplacer.h"
#include "LibarchiveExtractor.h"
#include "LinuxSystemVersion.h"
#include "PlistBundleInspector.h"
#include "ZipBuilder.h"
#include "errors/LauncherError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(ZipBuilder)

namespace {

struct Extraction {
    bool ok = false;
    std::optional<PlatformError> error;
};

Extraction extract(const ArchiveExtractor &extractor, const QString &archive, const QString &destination,
                   const std::atomic_bool *cancel = nullptr)
{
    Extraction result;
    try {
        extractor.extractZip(archive, destination, cancel);
        result.ok = true;
    } catch (const PlatformError &error) {
        result.error = error;
    }
    return result;
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode;
}

qint64 bytesBelow(const QString &root)
{
    qint64 total = 0;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

QString writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

}  // namespace

class TestInstallerLayers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void extractionKeepsModesAndLinks();
    void extractionRefusesHostileEntries_data();
    void extractionRefusesHostileEntries();
    void extractionRefusesBrokenArchives_data();
    void extractionRefusesBrokenArchives();
    void extractionStopsACompressionBomb();
    void extractionHonoursCancel();
    void writeCapGrowsWithTheArchive_data();
    void writeCapGrowsWithTheArchive();

    void inspectorReadsInfoPlist_data();
    void inspectorReadsInfoPlist();

    void replacerMovesIntoAnEmptyPlace();
    void replacerSwapsAnExistingCopy();
    void replacerFailureKeepsTheDestination();

    void systemVersionParsesReleases_data();
    void systemVersionParsesReleases();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_out;      // extraction destination
    QString m_outside;  // a sibling that hostile archives aim at
};

void TestInstallerLayers::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_out = m_dir->path() + QStringLiteral("/work/extracted");
    m_outside = m_dir->path() + QStringLiteral("/outside");
    QDir().mkpath(m_out);
    QDir().mkpath(m_outside);
}

void TestInstallerLayers::extractionKeepsModesAndLinks()
{
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Foo.app"), QStringLiteral("com.example.foo"), QStringLiteral("Foo"));
    zip.addFile(QStringLiteral("Foo.app/Contents/Resources/setuid-tool"), "#!/bin/sh\n", 04755);
    zip.addFile(QStringLiteral("Foo.app/Contents/Resources/private.txt"), "p", 0600);
    zip.addDirectory(QStringLiteral("Foo.app/Contents/Frameworks/Kit.framework/Versions/A"), 0750);
    zip.addFile(QStringLiteral("Foo.app/Contents/Frameworks/Kit.framework/Versions/A/Kit"), "lib");
    zip.addSymlink(QStringLiteral("Foo.app/Contents/Frameworks/Kit.framework/Versions/Current"), QStringLiteral("A"));
    zip.addSymlink(QStringLiteral("Foo.app/Contents/Frameworks/Kit.framework/Kit"), QStringLiteral("Versions/Current/Kit"));
    zip.addSymlink(QStringLiteral("Foo.app/Contents/dangling"), QStringLiteral("Resources/not-there"));
    zip.addFile(QStringLiteral("./Foo.app/Contents/Resources/dotted.txt"), "d");
    const QString archive = m_dir->filePath(QStringLiteral("a.zip"));
    QVERIFY(zip.writeTo(archive));

    const Extraction result = extract(LibarchiveExtractor(), archive, m_out);
    QVERIFY2(result.ok, result.error ? qPrintable(result.error->localizedDescription()) : "");
    const QString contents = m_out + QStringLiteral("/Foo.app/Contents");
    QCOMPARE(modeOf(contents + QStringLiteral("/MacOS/Foo")) & 07777, mode_t(0755));
    QCOMPARE(modeOf(contents + QStringLiteral("/Info.plist")) & 07777, mode_t(0644));
    QCOMPARE(modeOf(contents + QStringLiteral("/Resources/private.txt")) & 07777, mode_t(0600));
    // Set-id bits never come out of an archive.
    QCOMPARE(modeOf(contents + QStringLiteral("/Resources/setuid-tool")) & 07777, mode_t(0755));
    QCOMPARE(modeOf(contents + QStringLiteral("/Frameworks/Kit.framework/Versions/A")) & 07777, mode_t(0750));
    QVERIFY(S_ISLNK(modeOf(contents + QStringLiteral("/Frameworks/Kit.framework/Kit"))));
    QCOMPARE(QFile::symLinkTarget(contents + QStringLiteral("/Frameworks/Kit.framework/Versions/Current")),
             QFileInfo(contents + QStringLiteral("/Frameworks/Kit.framework/Versions/A")).canonicalFilePath());
    QFile lib(contents + QStringLiteral("/Frameworks/Kit.framework/Kit"));
    QVERIFY(lib.open(QIODevice::ReadOnly));
    QCOMPARE(lib.readAll(), QByteArray("lib"));
    QVERIFY(S_ISLNK(modeOf(contents + QStringLiteral("/dangling"))));
    QVERIFY(QFileInfo::exists(contents + QStringLiteral("/Resources/dotted.txt")));
}

void TestInstallerLayers::extractionRefusesHostileEntries_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("../ entry") << QStringLiteral("dotdot");
    QTest::newRow("a/../../ entry") << QStringLiteral("innerDotdot");
    QTest::newRow("absolute entry") << QStringLiteral("absolute");
    QTest::newRow("absolute link") << QStringLiteral("absoluteLink");
    QTest::newRow("relative link leaving") << QStringLiteral("relativeLink");
    QTest::newRow("write through an inside link") << QStringLiteral("throughInsideLink");
    QTest::newRow("link replacing a file") << QStringLiteral("linkOverFile");
    QTest::newRow("file written twice") << QStringLiteral("duplicate");
}

void TestInstallerLayers::extractionRefusesHostileEntries()
{
    QFETCH(QString, kind);
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Foo.app"), QStringLiteral("com.example.foo"));
    if (kind == QLatin1String("dotdot")) {
        zip.addFile(QStringLiteral("../../outside/evil"), "x");
    } else if (kind == QLatin1String("innerDotdot")) {
        zip.addFile(QStringLiteral("Foo.app/../../../outside/evil"), "x");
    } else if (kind == QLatin1String("absolute")) {
        zip.addFile(m_outside + QStringLiteral("/evil"), "x");
    } else if (kind == QLatin1String("absoluteLink")) {
        zip.addSymlink(QStringLiteral("Foo.app/out"), m_outside);
        zip.addFile(QStringLiteral("Foo.app/out/evil"), "x");
    } else if (kind == QLatin1String("relativeLink")) {
        zip.addSymlink(QStringLiteral("Foo.app/out"), QStringLiteral("../../../outside"));
        zip.addFile(QStringLiteral("Foo.app/out/evil"), "x");
    } else if (kind == QLatin1String("throughInsideLink")) {
        // The link itself is harmless; following it while writing is not allowed.
        zip.addSymlink(QStringLiteral("Foo.app/Current"), QStringLiteral("Contents"));
        zip.addFile(QStringLiteral("Foo.app/Current/evil"), "x");
    } else if (kind == QLatin1String("linkOverFile")) {
        zip.addSymlink(QStringLiteral("Foo.app/Contents/Info.plist"), QStringLiteral("../../../outside/evil"));
    } else if (kind == QLatin1String("duplicate")) {
        zip.addFile(QStringLiteral("Foo.app/Contents/Info.plist"), "replaced");
    }
    const QString archive = m_dir->filePath(QStringLiteral("a.zip"));
    QVERIFY(zip.writeTo(archive));

    const Extraction result = extract(LibarchiveExtractor(), archive, m_out);
    QVERIFY(!result.ok);
    QCOMPARE(result.error->domain(), PlatformError::Domain::archive);
    QVERIFY(!result.error->localizedDescription().isEmpty());
    QCOMPARE(QDir(m_outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("evil"))));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("work/evil"))));
    QVERIFY(!QFileInfo::exists(m_out + QStringLiteral("/Foo.app/Contents/evil")));
}

void TestInstallerLayers::extractionRefusesBrokenArchives_data()
{
    QTest::addColumn<QByteArray>("bytes");
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Foo.app"), QStringLiteral("com.example.foo"));
    zip.addFile(QStringLiteral("Foo.app/Contents/Resources/data"), QByteArray(100000, 'z') + QByteArray::number(7));
    const QByteArray good = zip.build();
    QTest::newRow("truncated") << good.left(good.size() / 2);
    QTest::newRow("cut after the first header") << good.left(40);
    QByteArray corrupt = good;
    for (qsizetype i = good.size() / 3; i < good.size() / 3 + 64; ++i)
        corrupt[i] = char(corrupt[i] ^ 0x5a);
    QTest::newRow("corrupt data") << corrupt;
    QTest::newRow("not an archive") << QByteArray("plain text, not a zip").repeated(50);
    QTest::newRow("empty file") << QByteArray();
}

void TestInstallerLayers::extractionRefusesBrokenArchives()
{
    QFETCH(QByteArray, bytes);
    const QString archive = writeFile(m_dir->filePath(QStringLiteral("broken.zip")), bytes);
    const Extraction result = extract(LibarchiveExtractor(), archive, m_out);
    QVERIFY(!result.ok);
    QCOMPARE(result.error->domain(), PlatformError::Domain::archive);
}

void TestInstallerLayers::extractionStopsACompressionBomb()
{
    // 64 MiB of zeros compress to a few tens of kilobytes.
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Foo.app"), QStringLiteral("com.example.foo"));
    zip.addFillFile(QStringLiteral("Foo.app/Contents/Resources/bomb"), qint64(64) << 20);
    const QString archive = m_dir->filePath(QStringLiteral("bomb.zip"));
    QVERIFY(zip.writeTo(archive));
    QVERIFY(QFileInfo(archive).size() < (1 << 20));

    LibarchiveExtractor::Limits limits;
    limits.minimumCap = qint64(4) << 20;
    limits.ratio = 10;
    const qint64 cap = LibarchiveExtractor::writeCap(QFileInfo(archive).size(), limits);
    QCOMPARE(cap, qint64(4) << 20);
    const Extraction result = extract(LibarchiveExtractor(limits), archive, m_out);
    QVERIFY(!result.ok);
    QCOMPARE(result.error->domain(), PlatformError::Domain::archive);
    // Stopped near the cap, not after writing everything.
    QVERIFY2(bytesBelow(m_out) <= cap + (qint64(1) << 20), qPrintable(QString::number(bytesBelow(m_out))));

    // The same archive passes with the default limits.
    QTemporaryDir other;
    const Extraction normal = extract(LibarchiveExtractor(), archive, other.path());
    QVERIFY2(normal.ok, normal.error ? qPrintable(normal.error->localizedDescription()) : "");
    QCOMPARE(QFileInfo(other.path() + QStringLiteral("/Foo.app/Contents/Resources/bomb")).size(), qint64(64) << 20);
}

void TestInstallerLayers::extractionHonoursCancel()
{
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Foo.app"), QStringLiteral("com.example.foo"));
    const QString archive = m_dir->filePath(QStringLiteral("a.zip"));
    QVERIFY(zip.writeTo(archive));
    std::atomic_bool cancel{true};
    const Extraction result = extract(LibarchiveExtractor(), archive, m_out, &cancel);
    QVERIFY(!result.ok);
    QVERIFY(!QFileInfo::exists(m_out + QStringLiteral("/Foo.app/Contents/Info.plist")));
}

void TestInstallerLayers::writeCapGrowsWithTheArchive_data()
{
    QTest::addColumn<qint64>("archiveSize");
    QTest::addColumn<qint64>("cap");
    const qint64 MiB = qint64(1) << 20;
    const qint64 GiB = qint64(1) << 30;
    QTest::newRow("empty") << qint64(0) << GiB;
    QTest::newRow("small: the floor") << 3 * MiB << GiB;
    QTest::newRow("just below the floor") << 5 * MiB << GiB;
    QTest::newRow("200 times") << 50 * MiB << 200 * 50 * MiB;
    QTest::newRow("just below the ceiling") << 80 * MiB << 200 * 80 * MiB;
    QTest::newRow("large: the ceiling") << 2 * GiB << 16 * GiB;
    QTest::newRow("huge, no overflow") << (qint64(1) << 60) << 16 * GiB;
}

void TestInstallerLayers::writeCapGrowsWithTheArchive()
{
    QFETCH(qint64, archiveSize);
    QFETCH(qint64, cap);
    QCOMPARE(LibarchiveExtractor::writeCap(archiveSize, LibarchiveExtractor::Limits()), cap);
}

void TestInstallerLayers::inspectorReadsInfoPlist_data()
{
    QTest::addColumn<QByteArray>("plist");  // empty: no file
    QTest::addColumn<QVariant>("identifier");
    QTest::addColumn<QVariant>("executable");
    const QMap<QString, QString> keys{{QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.example.zażółć")},
                                      {QStringLiteral("CFBundleExecutable"), QStringLiteral("Foo Bar")}};
    QTest::newRow("xml") << ZipBuilder::infoPlist(keys, ZipBuilder::PlistFormat::xml)
                         << QVariant(QStringLiteral("com.example.zażółć")) << QVariant(QStringLiteral("Foo Bar"));
    QTest::newRow("binary") << ZipBuilder::infoPlist(keys, ZipBuilder::PlistFormat::binary)
                            << QVariant(QStringLiteral("com.example.zażółć")) << QVariant(QStringLiteral("Foo Bar"));
    QTest::newRow("identifier only")
        << ZipBuilder::infoPlist({{QStringLiteral("CFBundleIdentifier"), QStringLiteral("a.b")}}, ZipBuilder::PlistFormat::binary)
        << QVariant(QStringLiteral("a.b")) << QVariant();
    QTest::newRow("identifier not a string")
        << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><integer>7</integer></dict></plist>")
        << QVariant() << QVariant();
    QTest::newRow("not a dictionary")
        << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>com.example</string></array></plist>")
        << QVariant() << QVariant();
    QTest::newRow("garbage") << QByteArray("\x00\x01\x02garbage", 10) << QVariant() << QVariant();
    QTest::newRow("truncated binary") << ZipBuilder::infoPlist(keys, ZipBuilder::PlistFormat::binary).left(40) << QVariant() << QVariant();
    QTest::newRow("missing") << QByteArray() << QVariant() << QVariant();
}

void TestInstallerLayers::inspectorReadsInfoPlist()
{
    QFETCH(QByteArray, plist);
    QFETCH(QVariant, identifier);
    QFETCH(QVariant, executable);
    const QString bundle = m_dir->filePath(QStringLiteral("Foo.app"));
    QDir().mkpath(bundle + QStringLiteral("/Contents"));
    if (!plist.isEmpty())
        writeFile(bundle + QStringLiteral("/Contents/Info.plist"), plist);
    const PlistBundleInspector inspector;
    const std::optional<QString> id = inspector.bundleIdentifier(bundle);
    const std::optional<QString> exe = inspector.executableName(bundle);
    QCOMPARE(id.has_value(), identifier.isValid());
    if (id)
        QCOMPARE(*id, identifier.toString());
    QCOMPARE(exe.has_value(), executable.isValid());
    if (exe)
        QCOMPARE(*exe, executable.toString());
}

void TestInstallerLayers::replacerMovesIntoAnEmptyPlace()
{
    const QString staged = m_dir->filePath(QStringLiteral(".Foo.app.X.staged"));
    writeFile(staged + QStringLiteral("/Contents/new"), "new");
    const QString destination = m_dir->filePath(QStringLiteral("Foo.app"));
    AtomicDirectoryReplacer().replaceItem(destination, staged);
    QVERIFY(QFileInfo::exists(destination + QStringLiteral("/Contents/new")));
    QVERIFY(!QFileInfo::exists(staged));
}

void TestInstallerLayers::replacerSwapsAnExistingCopy()
{
    const QString destination = m_dir->filePath(QStringLiteral("Foo.app"));
    writeFile(destination + QStringLiteral("/Contents/old"), "old");
    const QString staged = m_dir->filePath(QStringLiteral(".Foo.app.X.staged"));
    writeFile(staged + QStringLiteral("/Contents/new"), "new");
    AtomicDirectoryReplacer().replaceItem(destination, staged);
    QVERIFY(QFileInfo::exists(destination + QStringLiteral("/Contents/new")));
    QVERIFY(!QFileInfo::exists(destination + QStringLiteral("/Contents/old")));
    // The old copy, swapped out to the staged path, is gone too.
    QVERIFY(!QFileInfo::exists(staged));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).filter(QStringLiteral("Foo")),
             QStringList{QStringLiteral("Foo.app")});
}

void TestInstallerLayers::replacerFailureKeepsTheDestination()
{
    const QString destination = m_dir->filePath(QStringLiteral("Foo.app"));
    writeFile(destination + QStringLiteral("/Contents/old"), "old");
    bool threw = false;
    try {
        AtomicDirectoryReplacer().replaceItem(destination, m_dir->filePath(QStringLiteral(".missing.staged")));
    } catch (const PlatformError &error) {
        threw = true;
        QCOMPARE(error.domain(), PlatformError::Domain::fileSystem);
    }
    QVERIFY(threw);
    QFile old(destination + QStringLiteral("/Contents/old"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
}

void TestInstallerLayers::systemVersionParsesReleases_data()
{
    QTest::addColumn<QString>("release");
    QTest::addColumn<qint64>("major");
    QTest::addColumn<qint64>("minor");
    QTest::addColumn<qint64>("patch");
    QTest::newRow("debian") << QStringLiteral("6.1.0-18-amd64") << qint64(6) << qint64(1) << qint64(0);
    QTest::newRow("four parts") << QStringLiteral("5.15.153.1-microsoft-standard-WSL2") << qint64(5) << qint64(15) << qint64(153);
    QTest::newRow("two parts") << QStringLiteral("6.8-rc1") << qint64(6) << qint64(8) << qint64(0);
    QTest::newRow("macOS") << QStringLiteral("14.5") << qint64(14) << qint64(5) << qint64(0);
    QTest::newRow("nothing") << QString() << qint64(0) << qint64(0) << qint64(0);
}

void TestInstallerLayers::systemVersionParsesReleases()
{
    QFETCH(QString, release);
    QFETCH(qint64, major);
    QFETCH(qint64, minor);
    QFETCH(qint64, patch);
    QCOMPARE(LinuxSystemVersion::parseRelease(release), (OperatingSystemVersion{major, minor, patch}));
    QVERIFY(LinuxSystemVersion().operatingSystemVersion().majorVersion > 0);
}

QTEST_GUILESS_MAIN(TestInstallerLayers)
#include "tst_installerlayers.moc"
