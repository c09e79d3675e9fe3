// Archives that unpack to far more than is plausible, and disks that fill up:
// the install fails cleanly, the old copy stays, nothing temporary remains.

#include "AtomicDirectoryReplacer.h"
#include "LibarchiveExtractor.h"
#include "LinuxSystemVersion.h"
#include "PlistBundleInspector.h"
#include "ReliabilityHelpers.h"
#include "errors/LauncherError.h"

#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/mount.h>

using namespace Reliability;

namespace {

// A small filesystem of its own, so "full" is reached in megabytes.
class SmallFilesystem
{
public:
    SmallFilesystem(const QString &path, int megabytes) : m_path(path)
    {
        QDir().mkpath(path);
        const QByteArray options = "size=" + QByteArray::number(megabytes) + "m,mode=0700";
        if (::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, options.constData()) == 0)
            m_mounted = true;
        else
            m_error = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallFilesystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString error() const { return m_error; }

private:
    QString m_path;
    bool m_mounted = false;
    QString m_error;
};

AppInstaller::Layers layersWithCap(qint64 cap)
{
    AppInstaller::Layers layers;
    layers.systemVersion = std::make_shared<LinuxSystemVersion>();
    LibarchiveExtractor::Limits limits;
    limits.minimumCap = cap;
    limits.maximumCap = cap;
    layers.extractor = std::make_shared<LibarchiveExtractor>(limits);
    layers.bundles = std::make_shared<PlistBundleInspector>();
    layers.replacer = std::make_shared<AtomicDirectoryReplacer>();
    return layers;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

void placeOldCopy(const QString &root)
{
    QDir().mkpath(root + QStringLiteral("/Disk.app/Contents/MacOS"));
    QFile plist(root + QStringLiteral("/Disk.app/Contents/Info.plist"));
    if (plist.open(QIODevice::WriteOnly))
        plist.write(ZipBuilder::infoPlist({{QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.example.disk")}},
                                          ZipBuilder::PlistFormat::xml));
}

}  // namespace

class DiskLimits : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_session;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The cap on bytes written: never below the minimum, 200 times the archive, never above 16 GiB.
    void writeCapGrowsWithTheArchive_data()
    {
        QTest::addColumn<qint64>("archiveSize");
        QTest::addColumn<qint64>("cap");
        const qint64 gib = qint64(1) << 30;
        QTest::newRow("tiny archive") << qint64(1000) << gib;
        QTest::newRow("20 MiB archive") << (qint64(20) << 20) << (qint64(4000) << 20);
        QTest::newRow("1 GiB archive") << gib << 16 * gib;
        QTest::newRow("huge archive") << (qint64(1) << 62) << 16 * gib;
    }

    void writeCapGrowsWithTheArchive()
    {
        QFETCH(qint64, archiveSize);
        QFETCH(qint64, cap);
        QCOMPARE(LibarchiveExtractor::writeCap(archiveSize, LibarchiveExtractor::Limits{}), cap);
    }

    // A compression bomb is stopped by the cap, not by the disk: on a
    // filesystem larger than the cap but far smaller than the bomb, the
    // install fails with extractionFailed and leaves nothing.
    void compressionBombIsStopped()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SmallFilesystem disk(dir.filePath(QStringLiteral("disk")), 48);
        if (!disk.mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a small filesystem here (%1); the cap is still covered by "
                                            "the write-cap table").arg(disk.error())));
        const QString root = dir.filePath(QStringLiteral("disk/root"));
        const QString temp = dir.filePath(QStringLiteral("disk/tmp"));
        QDir().mkpath(temp);
        placeOldCopy(root);
        const auto old = treeFingerprint(root);

        ZipBuilder zip;
        zip.addBundle(QStringLiteral("Disk.app"), QStringLiteral("com.example.disk"));
        zip.addFillFile(QStringLiteral("Disk.app/Contents/Resources/bomb.bin"), qint64(512) << 20);
        const QString archive = dir.filePath(QStringLiteral("bomb.zip"));
        QVERIFY(zip.writeTo(archive));
        QVERIFY(QFileInfo(archive).size() < (8 << 20));

        AppInstaller installer(QUrl::fromLocalFile(root), &m_session, layersWithCap(qint64(16) << 20));
        installer.setTemporaryDirectory(temp);
        const AppManifestItem app = appEntry(QStringLiteral("disk"), QStringLiteral("com.example.disk"),
                                             QUrl::fromLocalFile(archive), ZipBuilder::sha256HexOfFile(archive));
        try {
            Reliability::await(installer.install(app));
            QFAIL("the bomb was installed");
        } catch (const AppInstallerError &error) {
            QCOMPARE(error.kind(), AppInstallerError::Kind::extractionFailed);
        }
        QCOMPARE(treeFingerprint(root), old);
        QCOMPARE(installLeftovers(root, temp), QStringList());
    }

    // Running out of space at each stage: the platform's error, the old copy
    // kept, nothing temporary left.
    void diskFullFailsCleanly_data()
    {
        QTest::addColumn<int>("payloadMiB");
        QTest::addColumn<bool>("tempOnSmallDisk");
        // 16 MiB filesystem. The download alone does not fit:
        QTest::newRow("during the download") << 20 << true;
        // The download fits, the download plus the unpacked copy does not:
        QTest::newRow("during extraction") << 12 << true;
        // Work folder elsewhere; the copy into the install root does not fit:
        QTest::newRow("during the copy") << 20 << false;
    }

    void diskFullFailsCleanly()
    {
        QFETCH(int, payloadMiB);
        QFETCH(bool, tempOnSmallDisk);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SmallFilesystem disk(dir.filePath(QStringLiteral("disk")), 16);
        if (!disk.mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a small filesystem here: %1").arg(disk.error())));
        const QString root = dir.filePath(QStringLiteral("disk/root"));
        const QString temp = tempOnSmallDisk ? dir.filePath(QStringLiteral("disk/tmp")) : dir.filePath(QStringLiteral("tmp"));
        QDir().mkpath(temp);
        placeOldCopy(root);
        const auto old = treeFingerprint(root);

        ZipBuilder zip;
        zip.addBundle(QStringLiteral("Disk.app"), QStringLiteral("com.example.disk"));
        zip.addFile(QStringLiteral("Disk.app/Contents/Resources/payload.bin"), randomBytes(qsizetype(payloadMiB) << 20));
        zip.setStored(true);
        const QString archive = dir.filePath(QStringLiteral("payload.zip"));
        QVERIFY(zip.writeTo(archive));

        LoopbackHttpServer server;
        LoopbackHttpServer::Response response;
        response.bodyFile = archive;
        server.serve(QStringLiteral("/payload.zip"), response);

        AppInstaller installer(QUrl::fromLocalFile(root), &m_session, defaultInstallerLayers());
        installer.setTemporaryDirectory(temp);
        const AppManifestItem app = appEntry(QStringLiteral("disk"), QStringLiteral("com.example.disk"),
                                             server.url(QStringLiteral("/payload.zip")), ZipBuilder::sha256HexOfFile(archive));
        try {
            Reliability::await(installer.install(app));
            const qint64 placed = QFileInfo(root + QStringLiteral("/Disk.app/Contents/Resources/payload.bin")).size();
            QFAIL(qPrintable(QStringLiteral("the install fitted on the small disk (payload %1 of %2 bytes placed)")
                                 .arg(placed)
                                 .arg(qint64(payloadMiB) << 20)));
        } catch (const PlatformError &error) {
            QCOMPARE(error.domain(), PlatformError::Domain::fileSystem);
            QVERIFY2(error.localizedDescription().contains(QLatin1String("space")), qPrintable(error.localizedDescription()));
            // The message names the item, never the full path.
            QVERIFY2(!error.localizedDescription().contains(dir.path()), qPrintable(error.localizedDescription()));
        }
        QCOMPARE(treeFingerprint(root), old);
        QCOMPARE(installLeftovers(root, temp), QStringList());
    }
};

QTEST_GUILESS_MAIN(DiskLimits)
#include "tst_disk_limits.moc"
