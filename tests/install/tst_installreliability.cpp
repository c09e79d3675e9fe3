// The installer under faults: stalled and short downloads, compression bombs,
// competing installs of one app (in this process and another), leftovers of
// interrupted installs, and a full disk.

#include "InstallTestKit.h"
#include "LibarchiveExtractor.h"
#include "LoopbackHttpServer.h"
#include "install/InstallLocks.h"

#include <QProcess>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <QtTest>

#include <atomic>
#include <sys/mount.h>
#include <sys/time.h>

namespace {

const QString notesId = QStringLiteral("com.vantrel.notes");

ZipBuilder notesArchive(const QString &version)
{
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Notes.app"), notesId, QStringLiteral("Notes"), ZipBuilder::PlistFormat::xml, version);
    zip.addFile(QStringLiteral("Notes.app/Contents/Resources/version.txt"), version.toUtf8());
    zip.addFile(QStringLiteral("Notes.app/Contents/Resources/only-in-") + version, "x");
    return zip;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Holds an exclusive lock on path from another process until stopped, the
// way a second launcher or a crashed-but-alive install would.
class LockHolder
{
public:
    bool start(const QString &path)
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStringLiteral("flock"), {QStringLiteral("-x"), path, QStringLiteral("-c"), QStringLiteral("echo locked; exec cat")});
        if (!m_process.waitForStarted(5000))
            return false;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000))
                return false;
        }
        return m_process.readLine().trimmed() == "locked";
    }
    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            // The lock is held by flock's child too: end the child (EOF on its
            // input) and let flock exit after it, so the lock is surely gone.
            m_process.closeWriteChannel();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }
    ~LockHolder() { stop(); }

private:
    QProcess m_process;
};

// Real extraction that first waits until the test lets it go, and notes the
// thread it ran on.
class GatedExtractor : public ArchiveExtractor
{
public:
    void extractZip(const QString &archivePath, const QString &destinationDir, const std::atomic_bool *cancel) const override
    {
        thread = QThread::currentThread();
        entered.release();
        gate.acquire();
        LibarchiveExtractor().extractZip(archivePath, destinationDir, cancel);
    }
    mutable QSemaphore entered;
    mutable QSemaphore gate;
    mutable std::atomic<QThread *> thread{nullptr};
};

QCoro::Task<InstallOutcome> markWhenDone(QCoro::Task<InstallOutcome> task, std::atomic_bool *done)
{
    InstallOutcome outcome = co_await std::move(task);
    done->store(true);
    co_return outcome;
}

QString stagedName(const QString &bundle)
{
    return QStringLiteral(".") + bundle + QLatin1Char('.') + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()
        + QStringLiteral(".staged");
}

void makeTree(const QString &path)
{
    QDir().mkpath(path + QStringLiteral("/Contents"));
    QFile file(path + QStringLiteral("/Contents/data"));
    file.open(QIODevice::WriteOnly);
    file.write("leftover");
}

void ageBy(const QString &path, int seconds)
{
    struct timeval times[2];
    gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ::utimes(QFile::encodeName(path).constData(), times);
}

}  // namespace

class TestInstallReliability : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void stalledDownloadTimesOut_data();
    void stalledDownloadTimesOut();
    void shortBodyFails();
    void compressionBombIsRefused();
    void extractionRunsOffTheMainThread();
    void lockSerialisesInstallsOfOneApp();
    void lockHeldByAnotherProcessMakesTheInstallWait();
    void deadStagedCopiesOfTheBundleAreRemovedBeforePlacing();
    void removeLeftoversKeepsWhatIsAlive();
    void fullDiskKeepsTheOldCopy();
};

void TestInstallReliability::stalledDownloadTimesOut_data()
{
    QTest::addColumn<bool>("halfWay");  // else no answer at all
    QTest::newRow("no answer") << false;
    QTest::newRow("stalls half way") << true;
}

void TestInstallReliability::stalledDownloadTimesOut()
{
    QFETCH(bool, halfWay);
    InstallSandbox sandbox;
    const QByteArray bytes = notesArchive(QStringLiteral("1.0")).build();
    LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, bytes);
    if (halfWay)
        response.stallAfterBytes = bytes.size() / 2;
    else
        response.stall = true;
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/a.zip"), response);
    sandbox.installer().setTimeoutMs(300);

    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), notesId, server.url(QStringLiteral("/a.zip")), ZipBuilder::sha256Hex(bytes)));
    QVERIFY2(outcome.platformError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.platformError->domain(), PlatformError::Domain::network);
    QCOMPARE(outcome.message(), QStringLiteral("The request timed out."));
    QCOMPARE(sandbox.leftovers(), QStringList());
    QCOMPARE(sandbox.rootEntries(), QStringList());
}

void TestInstallReliability::shortBodyFails()
{
    InstallSandbox sandbox;
    const QByteArray bytes = notesArchive(QStringLiteral("1.0")).build();
    // The whole archive arrives (so its checksum would match), but less than announced.
    LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, bytes);
    response.announcedLength = bytes.size() + 4096;
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/a.zip"), response);
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), notesId, server.url(QStringLiteral("/a.zip")), ZipBuilder::sha256Hex(bytes)));
    QVERIFY2(outcome.platformError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.platformError->domain(), PlatformError::Domain::network);
    QCOMPARE(sandbox.leftovers(), QStringList());
    QCOMPARE(sandbox.rootEntries(), QStringList());
}

void TestInstallReliability::compressionBombIsRefused()
{
    InstallSandbox sandbox;
    ZipBuilder zip = notesArchive(QStringLiteral("1.0"));
    zip.addFillFile(QStringLiteral("Notes.app/Contents/Resources/bomb"), qint64(48) << 20);
    const QString archive = sandbox.writeArchive(zip);
    LibarchiveExtractor::Limits limits;
    limits.minimumCap = qint64(8) << 20;  // the real floor is 1 GiB; same rule, smaller numbers
    auto installer = sandbox.makeInstaller({14, 5, 0}, std::make_shared<LibarchiveExtractor>(limits));
    const InstallOutcome outcome = runInstall(
        *installer, catalogEntry(QStringLiteral("notes"), notesId, QUrl::fromLocalFile(archive), ZipBuilder::sha256HexOfFile(archive)));
    QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
    QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::extractionFailed);
    QCOMPARE(sandbox.leftovers(), QStringList());
    QCOMPARE(sandbox.rootEntries(), QStringList());
}

void TestInstallReliability::extractionRunsOffTheMainThread()
{
    InstallSandbox sandbox;
    const QString archive = sandbox.writeArchive(notesArchive(QStringLiteral("1.0")));
    auto extractor = std::make_shared<GatedExtractor>();
    auto installer = sandbox.makeInstaller({14, 5, 0}, extractor);
    QCoro::Task<InstallOutcome> task = captureOutcome(installer->install(
        catalogEntry(QStringLiteral("notes"), notesId, QUrl::fromLocalFile(archive), ZipBuilder::sha256HexOfFile(archive))));
    // While extraction is held, this thread's event loop keeps running.
    QTRY_COMPARE(extractor->entered.available(), 1);
    bool timerFired = false;
    QTimer::singleShot(0, this, [&] { timerFired = true; });
    QTRY_VERIFY(timerFired);
    QVERIFY(!task.isReady());
    QVERIFY(extractor->thread.load() != QThread::currentThread());
    extractor->gate.release();
    const InstallOutcome outcome = QCoro::waitFor(task);
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestInstallReliability::lockSerialisesInstallsOfOneApp()
{
    InstallSandbox sandbox;
    const QByteArray v1 = notesArchive(QStringLiteral("1.0")).build();
    const QByteArray v2 = notesArchive(QStringLiteral("2.0")).build();
    std::atomic_bool firstDone{false};
    std::atomic_int secondSawFirstDone{-1};
    LoopbackHttpServer server;
    server.setHandler([&](const LoopbackHttpServer::Request &request) {
        if (request.path == QLatin1String("/v1.zip")) {
            LoopbackHttpServer::Response slow = LoopbackHttpServer::Response::text(200, v1);
            slow.delayMs = 400;  // a window in which an unserialised second install would start
            return slow;
        }
        secondSawFirstDone = firstDone.load() ? 1 : 0;
        return LoopbackHttpServer::Response::text(200, v2);
    });
    auto other = sandbox.makeInstaller();

    QCoro::Task<InstallOutcome> first = markWhenDone(
        captureOutcome(sandbox.installer().install(catalogEntry(QStringLiteral("notes"), notesId, server.url(QStringLiteral("/v1.zip")),
                                                                ZipBuilder::sha256Hex(v1), QStringLiteral("1.0")))),
        &firstDone);
    QTRY_COMPARE(server.requestCount(), 1);
    QCoro::Task<InstallOutcome> second = captureOutcome(other->install(
        catalogEntry(QStringLiteral("notes"), notesId, server.url(QStringLiteral("/v2.zip")), ZipBuilder::sha256Hex(v2), QStringLiteral("2.0"))));
    const InstallOutcome a = QCoro::waitFor(first);
    const InstallOutcome b = QCoro::waitFor(second);
    QVERIFY2(a.succeeded(), qPrintable(a.describe()));
    QVERIFY2(b.succeeded(), qPrintable(b.describe()));
    QCOMPARE(secondSawFirstDone.load(), 1);
    // The later install wins whole: nothing of the first one is mixed in.
    const QString bundle = sandbox.installRoot() + QStringLiteral("/Notes.app");
    QCOMPARE(readAll(bundle + QStringLiteral("/Contents/Resources/version.txt")), QByteArray("2.0"));
    QVERIFY(!QFileInfo::exists(bundle + QStringLiteral("/Contents/Resources/only-in-1.0")));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestInstallReliability::lockHeldByAnotherProcessMakesTheInstallWait()
{
    InstallSandbox sandbox;
    QDir().mkpath(sandbox.installRoot());
    LockHolder holder;
    if (!holder.start(InstallLocks::appLockPath(sandbox.installRoot(), QStringLiteral("notes"))))
        QSKIP("the flock tool is not available to hold a lock from another process");

    const QByteArray notes = notesArchive(QStringLiteral("1.0")).build();
    ZipBuilder timerZip;
    timerZip.addBundle(QStringLiteral("Timer.app"), QStringLiteral("com.vantrel.timer"));
    const QByteArray timer = timerZip.build();
    LoopbackHttpServer server;
    server.serve(QStringLiteral("/notes.zip"), LoopbackHttpServer::Response::text(200, notes));
    server.serve(QStringLiteral("/timer.zip"), LoopbackHttpServer::Response::text(200, timer));

    QCoro::Task<InstallOutcome> waiting = captureOutcome(sandbox.installer().install(
        catalogEntry(QStringLiteral("notes"), notesId, server.url(QStringLiteral("/notes.zip")), ZipBuilder::sha256Hex(notes))));
    // Another app is not held up, and its install gives the waiting one time to misbehave.
    const InstallOutcome other = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("timer"), QStringLiteral("com.vantrel.timer"), server.url(QStringLiteral("/timer.zip")),
                                          ZipBuilder::sha256Hex(timer)));
    QVERIFY2(other.succeeded(), qPrintable(other.describe()));
    QVERIFY(!waiting.isReady());
    for (const auto &request : server.requests())
        QVERIFY(request.path != QLatin1String("/notes.zip"));

    // The holder dies; the system drops its lock and the install goes ahead.
    holder.stop();
    const InstallOutcome done = QCoro::waitFor(waiting);
    QVERIFY2(done.succeeded(), qPrintable(done.describe()));
    QVERIFY(QFileInfo::exists(sandbox.installRoot() + QStringLiteral("/Notes.app/Contents/Info.plist")));
    QCOMPARE(sandbox.leftovers(), QStringList());
}

void TestInstallReliability::deadStagedCopiesOfTheBundleAreRemovedBeforePlacing()
{
    InstallSandbox sandbox;
    const QString root = sandbox.installRoot();
    const QString dead = stagedName(QStringLiteral("Notes.app"));
    const QString live = stagedName(QStringLiteral("Notes.app"));
    const QString otherBundle = stagedName(QStringLiteral("Timer.app"));
    makeTree(root + QLatin1Char('/') + dead);
    makeTree(root + QLatin1Char('/') + live);
    makeTree(root + QLatin1Char('/') + otherBundle);
    LockHolder holder;
    if (!holder.start(InstallLocks::stagedLockPath(root + QLatin1Char('/') + live)))
        QSKIP("the flock tool is not available to hold a lock from another process");

    const QString archive = sandbox.writeArchive(notesArchive(QStringLiteral("1.0")));
    const InstallOutcome outcome = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), notesId, QUrl::fromLocalFile(archive), ZipBuilder::sha256HexOfFile(archive)));
    QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
    QStringList expected{QStringLiteral("Notes.app"), live, InstallLocks::stagedLockPath(live), otherBundle};
    expected.sort();
    QStringList actual = sandbox.rootEntries();
    actual.sort();
    QCOMPARE(actual, expected);
}

void TestInstallReliability::removeLeftoversKeepsWhatIsAlive()
{
    InstallSandbox sandbox;
    const QString root = sandbox.installRoot();
    const QString temp = sandbox.tempDir();

    const QString deadWork = temp + QStringLiteral("/VantrelInstall-DEAD");
    makeTree(deadWork + QStringLiteral("/extracted/Notes.app"));
    QFile(InstallLocks::workLockPath(deadWork)).open(QIODevice::WriteOnly);
    const QString liveWork = temp + QStringLiteral("/VantrelInstall-LIVE");
    makeTree(liveWork + QStringLiteral("/extracted/Notes.app"));
    const QString oldUnlocked = temp + QStringLiteral("/VantrelInstall-OLD");
    makeTree(oldUnlocked);
    ageBy(oldUnlocked, 3600);
    const QString freshUnlocked = temp + QStringLiteral("/VantrelInstall-FRESH");
    makeTree(freshUnlocked);
    const QString unrelated = temp + QStringLiteral("/SomethingElse");
    makeTree(unrelated);

    const QString deadStaged = root + QLatin1Char('/') + stagedName(QStringLiteral("Notes.app"));
    makeTree(deadStaged);
    const QString deadStagedWithLock = root + QLatin1Char('/') + stagedName(QStringLiteral("Old.app"));
    makeTree(deadStagedWithLock);
    QFile(InstallLocks::stagedLockPath(deadStagedWithLock)).open(QIODevice::WriteOnly);
    const QString liveStaged = root + QLatin1Char('/') + stagedName(QStringLiteral("Timer.app"));
    makeTree(liveStaged);
    QFile(InstallLocks::appLockPath(root, QStringLiteral("notes"))).open(QIODevice::WriteOnly);
    makeTree(root + QStringLiteral("/Notes.app"));
    QFile(root + QStringLiteral("/.user-file")).open(QIODevice::WriteOnly);

    LockHolder workHolder;
    LockHolder stagedHolder;
    if (!workHolder.start(InstallLocks::workLockPath(liveWork)) || !stagedHolder.start(InstallLocks::stagedLockPath(liveStaged)))
        QSKIP("the flock tool is not available to hold a lock from another process");

    QCOMPARE(AppInstaller::removeLeftovers(root, temp), 5);

    QStringList work = QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(work, (QStringList{QStringLiteral("SomethingElse"), QStringLiteral("VantrelInstall-FRESH"), QStringLiteral("VantrelInstall-LIVE")}));
    QVERIFY(QFileInfo::exists(liveWork + QStringLiteral("/extracted/Notes.app/Contents/data")));
    QStringList placed = sandbox.rootEntries();
    placed.sort();
    QStringList expected{QStringLiteral(".user-file"), QStringLiteral("Notes.app"), QFileInfo(liveStaged).fileName(),
                         QFileInfo(InstallLocks::stagedLockPath(liveStaged)).fileName()};
    expected.sort();
    QCOMPARE(placed, expected);

    // Once their holders are gone, a later start removes them too.
    workHolder.stop();
    stagedHolder.stop();
    QCOMPARE(AppInstaller::removeLeftovers(root, temp), 2);
    QVERIFY(!QFileInfo::exists(liveWork));
    QVERIFY(!QFileInfo::exists(liveStaged));
    QVERIFY(!QFileInfo::exists(InstallLocks::stagedLockPath(liveStaged)));
    QVERIFY(QFileInfo::exists(root + QStringLiteral("/Notes.app/Contents/data")));
}

void TestInstallReliability::fullDiskKeepsTheOldCopy()
{
    InstallSandbox sandbox;
    const QString root = sandbox.installRoot();
    QDir().mkpath(root);
    if (::mount("tmpfs", QFile::encodeName(root).constData(), "tmpfs", 0, "size=4m") != 0)
        QSKIP(qPrintable(QStringLiteral("cannot mount a small filesystem here (%1); run as root with mount rights")
                             .arg(QString::fromLocal8Bit(strerror(errno)))));
    auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(root).constData(), MNT_DETACH); });

    const QString a1 = sandbox.writeArchive(notesArchive(QStringLiteral("1.0")), QStringLiteral("v1.zip"));
    const InstallOutcome first = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), notesId, QUrl::fromLocalFile(a1), ZipBuilder::sha256HexOfFile(a1)));
    QVERIFY2(first.succeeded(), qPrintable(first.describe()));
    const QMap<QString, QString> before = treeSnapshot(root + QStringLiteral("/Notes.app"));

    // Small as an archive, too large for the 4 MiB install root once unpacked.
    ZipBuilder big = notesArchive(QStringLiteral("2.0"));
    big.addFillFile(QStringLiteral("Notes.app/Contents/Resources/large.bin"), qint64(6) << 20, 'L');
    const QString a2 = sandbox.writeArchive(big, QStringLiteral("v2.zip"));
    const InstallOutcome second = runInstall(
        sandbox.installer(), catalogEntry(QStringLiteral("notes"), notesId, QUrl::fromLocalFile(a2), ZipBuilder::sha256HexOfFile(a2), QStringLiteral("2.0")));
    QVERIFY2(second.platformError, qPrintable(second.describe()));
    QCOMPARE(second.platformError->domain(), PlatformError::Domain::fileSystem);
    QVERIFY2(second.message().contains(QString::fromLocal8Bit(strerror(ENOSPC))), qPrintable(second.message()));
    QCOMPARE(treeSnapshot(root + QStringLiteral("/Notes.app")), before);
    QCOMPARE(sandbox.leftovers(), QStringList());
    QCOMPARE(sandbox.rootEntries(), QStringList{QStringLiteral("Notes.app")});
}

QTEST_GUILESS_MAIN(TestInstallReliability)
#include "tst_installreliability.moc"
