// A disk too small for an install, found before the download; a disk that fills up at each stage anyway (another
// program writes meanwhile); an archive unpacking far too large: a clear error, the old copy byte for byte, nothing
// temporary left.

#include "DataRows.h"
#include "FakeDiskSpace.h"
#include "InstallSandbox.h"
#include "LibarchiveExtractor.h"
#include "StorageDiskSpace.h"
#include "LoopbackHttpServer.h"
#include "ZipCentralDirectory.h"

#include "TmpfsMount.h"

namespace {

// Version 2.0 of Notes with payloadMiB of incompressible data, stored, as the body of an answer.
LoopbackHttpServer::Response payloadArchive(InstallSandbox &sandbox, int payloadMiB)
{
    QByteArray payload(qsizetype(payloadMiB) << 20, Qt::Uninitialized);
    QRandomGenerator(42).fillRange(reinterpret_cast<quint32 *>(payload.data()), payload.size() / 4);
    LoopbackHttpServer::Response response;
    response.bodyFile = sandbox.writeArchive(notesApp(QStringLiteral("2.0")).addFile(QStringLiteral("Notes.app/Contents/Resources/payload.bin"), payload).setStored(true));
    return response;
}


// Notes 1.0 installed in a 16 MiB home, the work folder on that small disk or beside it.
struct SmallHome {
    InstallSandbox sandbox;
    TmpfsMount disk{sandbox.home(), 16};
    QString work;
    QMap<QString, QString> before;  // the installed copy, to compare with after a failure

    // False when the old copy could not be installed; check disk.mounted() first.
    bool installOldCopy(bool workOnSmallDisk)
    {
        work = workOnSmallDisk ? sandbox.home() + QStringLiteral("/tmp") : sandbox.tempDir();
        QDir().mkpath(work);
        sandbox.installer().setTemporaryDirectory(work);
        if (!sandbox.installArchive(notesApp()).succeeded())
            return false;
        before = TempHome::fingerprint(sandbox.installRoot());
        return true;
    }
};

}  // namespace

class DiskHazards : public QObject
{
    Q_OBJECT
    using FullDiskKeepsTheOldCopyRows = DataRows<int, bool>;  // payloadMiB, workOnSmallDisk
    using WriteCapGrowsRows = DataRows<qint64, qint64>;  // archiveSize, cap

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Too small for the new version: refused after reading the archive's end, before its body, naming the file
    // system; the old copy kept, nothing left.
    void smallDiskRefusesBeforeTheDownload_data() { fullDiskKeepsTheOldCopy_data(); }

    void smallDiskRefusesBeforeTheDownload()
    {
        const auto [payloadMiB, workOnSmallDisk] = FullDiskKeepsTheOldCopyRows::fetch();
        SmallHome home;
        if (!home.disk.mounted())
            QSKIP(qPrintable(home.disk.skipReason()));
        QVERIFY(home.installOldCopy(workOnSmallDisk));
        InstallSandbox &sandbox = home.sandbox;
        const QString &work = home.work;
        const QMap<QString, QString> &before = home.before;

        LoopbackHttpServer server;
        LoopbackHttpServer::Response response = payloadArchive(sandbox, payloadMiB);
        response.acceptRanges = true;
        server.serve(QStringLiteral("/v2.zip"), response);
        // The system's own free space, as the launcher asks it.
        const auto installer = sandbox.makeInstaller(nullptr, std::make_shared<StorageDiskSpace>());
        installer->setTemporaryDirectory(work);
        const InstallOutcome outcome = outcomeOf(installer->install(notesRelease(server.url(QStringLiteral("/v2.zip")), TempHome::readFile(response.bodyFile), QStringLiteral("2.0"))));
        QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::notEnoughSpace);
        QVERIFY2(outcome.message().contains(sandbox.home() + QStringLiteral(" needs ")), qPrintable(outcome.message()));
        QVERIFY2(server.bodyBytesSent() <= ZipCentralDirectory::endSearchBytes, qPrintable(QString::number(server.bodyBytesSent())));
        QCOMPARE(TempHome::fingerprint(sandbox.installRoot()), before);
        QCOMPARE(TempHome::entries(work), QStringList());
    }

    // Out of space at each stage, though the check found room: the system's error naming the item but no path,
    // the old copy kept, nothing left.
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
        SmallHome home;
        if (!home.disk.mounted())
            QSKIP(qPrintable(home.disk.skipReason()));
        QVERIFY(home.installOldCopy(workOnSmallDisk));
        InstallSandbox &sandbox = home.sandbox;
        const QString &work = home.work;
        const QMap<QString, QString> &before = home.before;

        LoopbackHttpServer server;
        const LoopbackHttpServer::Response response = payloadArchive(sandbox, payloadMiB);
        server.serve(QStringLiteral("/v2.zip"), response);
        // The space check sees room to spare, as when another program fills the disk meanwhile.
        const auto installer = sandbox.makeInstaller(nullptr, roomyDisk());
        installer->setTemporaryDirectory(work);
        const InstallOutcome outcome = outcomeOf(installer->install(notesRelease(server.url(QStringLiteral("/v2.zip")), TempHome::readFile(response.bodyFile), QStringLiteral("2.0"))));
        QVERIFY2(outcome.platformError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.platformError->domain(), PlatformError::Domain::fileSystem);
        QVERIFY2(outcome.message().contains(QString::fromLocal8Bit(strerror(ENOSPC))), qPrintable(outcome.message()));
        QVERIFY2(!outcome.message().contains(sandbox.path()), qPrintable(outcome.message()));
        QCOMPARE(TempHome::fingerprint(sandbox.installRoot()), before);
        QCOMPARE(TempHome::entries(work), QStringList());
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

    // A bomb stops at the cap, not the disk (a home larger than the cap, far smaller than the bomb): extraction fails.
    void compressionBombIsStoppedByTheCap()
    {
        InstallSandbox sandbox;
        const TmpfsMount disk(sandbox.home(), 48);
        LibarchiveExtractor::Limits limits;
        limits.minimumCap = limits.maximumCap = qint64(16) << 20;  // same rule, smaller numbers
        // The archive states its size truly, so the space check would refuse it first; here the cap must.
        auto installer = sandbox.makeInstaller(std::make_shared<LibarchiveExtractor>(limits), roomyDisk());
        installer->setTemporaryDirectory(sandbox.home());
        const QString archive = sandbox.writeArchive(notesApp().addFillFile(QStringLiteral("Notes.app/bomb.bin"), qint64(512) << 20));
        const InstallOutcome outcome = outcomeOf(installer->install(notesRelease(QUrl::fromLocalFile(archive), TempHome::readFile(archive))));
        QCOMPARE(outcome.message(), QStringLiteral("The downloaded archive could not be extracted."));
        QCOMPARE(TempHome::entries(sandbox.home()), QStringList{QStringLiteral("Applications")});
        QCOMPARE(sandbox.leftovers(), QStringList());  // the sandbox's own check comes after the unmount
    }
};

QTEST_GUILESS_MAIN(DiskHazards)
#include "tst_disk_hazards.moc"
