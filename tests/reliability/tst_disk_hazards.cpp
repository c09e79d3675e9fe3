// When the disk says no: it fills up at each stage of an install, an archive
// unpacks to far more than is plausible, the system refuses the final swap.
// Each time the install fails with a clear error, the installed copy stays
// byte for byte and nothing temporary remains.

#include "DataRows.h"
#include "AtomicDirectoryReplacer.h"
#include "CatalogBuilders.h"
#include "InstallSandbox.h"
#include "LibarchiveExtractor.h"
#include "LoopbackHttpServer.h"
#include "TmpfsMount.h"
#include "ZipBuilder.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

ZipBuilder diskApp(const QString &version)
{
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Disk.app"), QStringLiteral("com.vantrel.disk"), QStringLiteral("Disk"), ZipBuilder::PlistFormat::xml, version);
    zip.addFile(QStringLiteral("Disk.app/Contents/Resources/version.txt"), version.toUtf8());
    return zip;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(42).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// Sets or clears the immutable flag of a folder (as root, where the filesystem keeps one).
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return done;
}

}  // namespace

class DiskHazards : public QObject
{
    Q_OBJECT
    using FullDiskKeepsTheOldCopyRows = DataRows<int, bool>;  // payloadMiB, workOnSmallDisk
    using WriteCapGrowsRows = DataRows<qint64, qint64>;  // archiveSize, cap

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Running out of space at each stage: the system's error, naming the item
    // but no path, the old copy kept, nothing temporary left.
    void fullDiskKeepsTheOldCopy_data()
    {
        FullDiskKeepsTheOldCopyRows::columns();
        // A 16 MiB home. The download alone does not fit:
        FullDiskKeepsTheOldCopyRows::row("during the download", 20, true);
        // The download fits, the download plus the unpacked copy does not:
        FullDiskKeepsTheOldCopyRows::row("during extraction", 12, true);
        // Work folder elsewhere; the copy into the install root does not fit:
        FullDiskKeepsTheOldCopyRows::row("during the copy", 20, false);
    }

    void fullDiskKeepsTheOldCopy()
    {
        const auto [payloadMiB, workOnSmallDisk] = FullDiskKeepsTheOldCopyRows::fetch();
        InstallSandbox sandbox;
        const TmpfsMount disk(sandbox.home(), 16);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.skipReason()));
        const QString work = workOnSmallDisk ? sandbox.home() + QStringLiteral("/tmp") : sandbox.tempDir();
        QDir().mkpath(work);
        sandbox.installer().setTemporaryDirectory(work);
        QVERIFY(sandbox.installArchive(diskApp(QStringLiteral("1.0")), QStringLiteral("disk")).succeeded());
        const QMap<QString, QString> before = TempHome::fingerprint(sandbox.installRoot());

        ZipBuilder big = diskApp(QStringLiteral("2.0"));
        big.addFile(QStringLiteral("Disk.app/Contents/Resources/payload.bin"), randomBytes(qsizetype(payloadMiB) << 20)).setStored(true);
        LoopbackHttpServer server;
        LoopbackHttpServer::Response response;
        response.bodyFile = sandbox.writeArchive(big);
        server.serve(QStringLiteral("/v2.zip"), response);
        const InstallOutcome outcome = sandbox.install(TestCatalog::release(
            QStringLiteral("disk"), server.url(QStringLiteral("/v2.zip")), ZipBuilder::sha256HexOfFile(response.bodyFile), QStringLiteral("2.0")));
        QVERIFY2(outcome.platformError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.platformError->domain(), PlatformError::Domain::fileSystem);
        QVERIFY2(outcome.message().contains(QString::fromLocal8Bit(strerror(ENOSPC))), qPrintable(outcome.message()));
        QVERIFY2(!outcome.message().contains(sandbox.path()), qPrintable(outcome.message()));
        QCOMPARE(TempHome::fingerprint(sandbox.installRoot()), before);
        QCOMPARE(TempHome::entries(work), QStringList());
        QCOMPARE(sandbox.leftovers(), QStringList());
    }

    // The cap on bytes written: min(16 GiB, max(1 GiB, 200 x the archive)).
    void writeCapGrowsWithTheArchive_data()
    {
        WriteCapGrowsRows::columns();
        const qint64 MiB = qint64(1) << 20;
        const qint64 GiB = qint64(1) << 30;
        WriteCapGrowsRows::row("empty: the floor", qint64(0), GiB);
        WriteCapGrowsRows::row("just below the floor", 5 * MiB, GiB);
        WriteCapGrowsRows::row("200 times", 50 * MiB, 200 * 50 * MiB);
        WriteCapGrowsRows::row("just below the ceiling", 80 * MiB, 200 * 80 * MiB);
        WriteCapGrowsRows::row("large: the ceiling", 2 * GiB, 16 * GiB);
        WriteCapGrowsRows::row("huge, no overflow", (qint64(1) << 62), 16 * GiB);
    }

    void writeCapGrowsWithTheArchive()
    {
        const auto [archiveSize, cap] = WriteCapGrowsRows::fetch();
        QCOMPARE(LibarchiveExtractor::writeCap(archiveSize, LibarchiveExtractor::Limits()), cap);
    }

    // A compression bomb is stopped by the cap, not by the disk: in a home
    // larger than the cap but far smaller than the bomb (where mounting is
    // allowed), the install fails as an archive that cannot be extracted.
    void compressionBombIsStoppedByTheCap()
    {
        InstallSandbox sandbox;
        const TmpfsMount disk(sandbox.home(), 48);
        LibarchiveExtractor::Limits limits;
        limits.minimumCap = limits.maximumCap = qint64(16) << 20;  // same rule, smaller numbers
        auto installer = sandbox.makeInstaller({14, 5, 0}, std::make_shared<LibarchiveExtractor>(limits));
        installer->setTemporaryDirectory(sandbox.home());
        const QString archive = sandbox.writeArchive(diskApp(QStringLiteral("1.0")).addFillFile(QStringLiteral("Disk.app/bomb.bin"), qint64(512) << 20));
        QVERIFY(QFileInfo(archive).size() < (8 << 20));
        const InstallOutcome outcome = outcomeOf(installer->install(TestCatalog::release(
            QStringLiteral("disk"), QUrl::fromLocalFile(archive), ZipBuilder::sha256HexOfFile(archive))));
        QCOMPARE(outcome.message(), QStringLiteral("The downloaded archive could not be extracted."));
        QCOMPARE(TempHome::entries(sandbox.home()), QStringList{QStringLiteral("Applications")});
        QCOMPARE(sandbox.leftovers(), QStringList());
    }

    // The system refuses to swap the new copy in (an immutable installed
    // copy): the install reports the system's error, not success.
    void refusedSwapKeepsTheOldCopy()
    {
        InstallSandbox sandbox;
        const TmpfsMount disk(sandbox.home(), 16);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.skipReason()));
        QVERIFY(sandbox.installArchive(diskApp(QStringLiteral("1.0")), QStringLiteral("disk")).succeeded());
        const QString bundle = sandbox.bundle(QStringLiteral("Disk.app"));
        const QMap<QString, QString> before = TempHome::fingerprint(bundle);
        if (!setImmutable(bundle, true))
            QSKIP(qPrintable(QStringLiteral("cannot make a folder immutable here: %1").arg(QString::fromLocal8Bit(strerror(errno)))));
        const auto unlock = qScopeGuard([&] { setImmutable(bundle, false); });

        const InstallOutcome outcome = sandbox.installArchive(diskApp(QStringLiteral("2.0")), QStringLiteral("disk"), QStringLiteral("2.0"));
        QVERIFY2(outcome.platformError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.platformError->domain(), PlatformError::Domain::fileSystem);
        QCOMPARE(outcome.message(), QStringLiteral("Could not replace \"Disk.app\": %1").arg(QString::fromLocal8Bit(strerror(EPERM))));
        QCOMPARE(TempHome::fingerprint(bundle), before);
        QCOMPARE(sandbox.rootEntries(), QStringList{QStringLiteral("Disk.app")});
        QCOMPARE(sandbox.leftovers(), QStringList());
        // Nothing to move in at all: refused too.
        QVERIFY_THROWS_EXCEPTION(PlatformError, AtomicDirectoryReplacer().exchange(bundle, sandbox.path(QStringLiteral("missing"))));
        QCOMPARE(TempHome::fingerprint(bundle), before);
    }
};

QTEST_GUILESS_MAIN(DiskHazards)
#include "tst_disk_hazards.moc"
