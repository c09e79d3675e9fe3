// Updates that take unchanged files from the installed copy and fetch the rest
// by ranges of the release archive, over real HTTP on loopback, with releases
// published by the maker's tool; what the placed tree must be, when the
// update falls back to the whole archive, and what a hostile list cannot do.

#include "DataRows.h"
#include "FakeDiskSpace.h"
#include "InstallSandbox.h"
#include "LoopbackHttpServer.h"
#include "ReleaseFolders.h"
#include "ReleasePublisher.h"
#include "FileList.h"
#include "install/InstallReceipt.h"
#include "async/WaitForTask.h"
#include "i18n/VantrelTranslator.h"
#include "install/InstalledCopies.h"

#include <QJsonDocument>

#include <sys/stat.h>

namespace {

using ReleaseFolders::bundleName;

// Warnings of the installer, kept for the rows that name why it fell back.
QStringList &capturedWarnings()
{
    static QStringList warnings;
    return warnings;
}
QtMessageHandler previousHandler = nullptr;
void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg)
        capturedWarnings().append(message);
    previousHandler(type, context, message);
}

// How the server treats the archive in one scenario.
struct ArchiveServing {
    QString path;           // the archive served
    QString rangedPath;     // served to range requests instead (empty: path)
    bool ranges = true;
    QByteArray etag = "\"release-2\"";
    // From the second range request on, the archive has another ETag.
    bool replacedAfterFirstRange = false;
    // Range requests get a part this many bytes longer (or shorter) than asked for.
    int partLengthChange = 0;
    int listStatus = 200;
};

}  // namespace

class PartialUpdateTest : public QObject
{
    Q_OBJECT
    using FallbackRows = DataRows<QString, bool, QString>;  // scenario, succeeds, logged reason
    using HostileRows = DataRows<QByteArray, QByteArray, QString>;  // text of the list, its replacement, refusal
    using SharedDamageRows = DataRows<QString, QString, bool>;  // file below the bundle, damage ("byte", "bits"), found by the check first

private:
    TempHome m_releases;
    ReleasePublisher::Release m_v1;
    ReleasePublisher::Release m_v2;
    QMap<QString, QString> m_fullV2;  // the tree a full install of 1.1 places

    LoopbackHttpServer m_server;
    QMutex m_mutex;
    ArchiveServing m_serving;
    QByteArray m_list;
    int m_rangesAnswered = 0;
    std::shared_ptr<std::atomic_bool> m_cancelOnRange;

    std::unique_ptr<InstallSandbox> m_box;
    VantrelTranslator m_translator{VantrelLocale::en};

    QString installed() const { return m_box->installer().installRoot().toLocalFile() + QLatin1Char('/') + bundleName; }

    LoopbackHttpServer::Response answer(const LoopbackHttpServer::Request &request)
    {
        QMutexLocker lock(&m_mutex);
        LoopbackHttpServer::Response response;
        if (request.path == QLatin1String("/v1.zip")) {
            response.bodyFile = m_v1.archivePath;
            return response;
        }
        if (request.path == QLatin1String("/v2.zip.files"))
            return LoopbackHttpServer::Response::text(m_serving.listStatus, m_list);
        if (request.path != QLatin1String("/v2.zip"))
            return LoopbackHttpServer::Response::text(404, "not found");
        const bool ranged = !request.header("Range").isEmpty();
        if (ranged && m_serving.partLengthChange != 0)
            return partOfAnotherLength(request.header("Range"));
        response.bodyFile = ranged && !m_serving.rangedPath.isEmpty() ? m_serving.rangedPath : m_serving.path;
        response.acceptRanges = m_serving.ranges;
        if (ranged && m_serving.replacedAfterFirstRange && m_rangesAnswered > 0)
            m_serving.etag = "\"release-2-again\"";
        response.headers.append({"ETag", m_serving.etag});
        // Answers that are stopped at their headers get no body here (over a real link, little of it).
        if (ranged && !m_serving.ranges)
            response.bodyDelayMs = 3000;
        if (ranged) {
            ++m_rangesAnswered;
            if (m_cancelOnRange)
                m_cancelOnRange->store(true);
        }
        return response;
    }

    // A 206 answer to "bytes=FIRST-LAST" whose part is partLengthChange bytes off, said so in its headers.
    LoopbackHttpServer::Response partOfAnotherLength(const QByteArray &range)
    {
        ++m_rangesAnswered;
        const QList<QByteArray> bounds = range.mid(6).split('-');
        const qint64 first = bounds.value(0).toLongLong();
        const qint64 length = bounds.value(1).toLongLong() - first + 1 + m_serving.partLengthChange;
        const QByteArray archive = TempHome::readFile(m_serving.path);
        LoopbackHttpServer::Response response;
        response.status = 206;
        response.body = archive.mid(first, length);
        response.headers = {{"ETag", m_serving.etag},
                            {"Content-Range", "bytes " + QByteArray::number(first) + '-' + QByteArray::number(first + length - 1) + '/'
                                                  + QByteArray::number(archive.size())}};
        response.bodyDelayMs = 3000;
        return response;
    }

    AppManifestItem record(const ReleasePublisher::Release &release, const QString &name, const QString &version, bool withList = true)
    {
        AppManifestItem app = notesRelease(m_server.url(QLatin1Char('/') + name), TempHome::readFile(release.archivePath), version);
        if (withList) {
            app.fileListUrl = m_server.url(QLatin1Char('/') + name + QStringLiteral(".files"));
            app.fileListSha256 = QString::fromLatin1(release.listSha256);
        }
        return app;
    }

    InstallOutcome update(InstallControl control = {}) { return outcomeOf(m_box->installer().install(record(m_v2, QStringLiteral("v2.zip"), QStringLiteral("1.1")), control)); }

    // Requests for ranges of the new archive, as "first-last".
    QList<QByteArray> archiveRanges() const
    {
        QList<QByteArray> ranges;
        for (const LoopbackHttpServer::Request &request : m_server.requests()) {
            if (request.path == QLatin1String("/v2.zip") && !request.header("Range").isEmpty())
                ranges.append(request.header("Range").mid(6));
        }
        return ranges;
    }
    int wholeArchiveRequests() const
    {
        int whole = 0;
        for (const LoopbackHttpServer::Request &request : m_server.requests())
            whole += request.path == QLatin1String("/v2.zip") && request.header("Range").isEmpty();
        return whole;
    }

    // The entries of the list the ranges asked for cover, by path.
    QStringList fetchedEntries() const
    {
        QStringList fetched;
        for (const QByteArray &range : archiveRanges()) {
            const qint64 first = range.split('-').value(0).toLongLong();
            const qint64 last = range.split('-').value(1).toLongLong();
            for (const FileListEntry &entry : m_v2.list.entries) {
                if (entry.type == FileListEntry::Type::file && entry.compressedSize > 0 && entry.dataOffset >= first
                    && entry.dataOffset + entry.compressedSize - 1 <= last)
                    fetched.append(QString::fromUtf8(entry.path.mid(entry.path.lastIndexOf('/') + 1)));
            }
        }
        return fetched;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        previousHandler = qInstallMessageHandler(capture);
        m_server.setHandler([this](const LoopbackHttpServer::Request &request) { return answer(request); });
        QVERIFY(ReleaseFolders::write(m_releases.path(QStringLiteral("one")), QStringLiteral("1.0")));
        QVERIFY(ReleaseFolders::write(m_releases.path(QStringLiteral("two")), QStringLiteral("1.1")));
        m_v1 = ReleasePublisher::publish(m_releases.path(QStringLiteral("one/Notes.app")), m_releases.path(QStringLiteral("out")),
                                         QStringLiteral("v1.zip"));
        m_v2 = ReleasePublisher::publish(m_releases.path(QStringLiteral("two/Notes.app")), m_releases.path(QStringLiteral("out")),
                                         QStringLiteral("v2.zip"));
        // A full install of 1.1: the tree every update to 1.1 must place.
        InstallSandbox full;
        m_serving = ArchiveServing{m_v2.archivePath};
        const InstallOutcome outcome = full.install(record(m_v2, QStringLiteral("v2.zip"), QStringLiteral("1.1"), false));
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        m_fullV2 = TempHome::fingerprint(outcome.app->url.toLocalFile());
        QCOMPARE(m_fullV2, TempHome::fingerprint(m_releases.path(QStringLiteral("two/Notes.app"))));
    }

    // 1.0 installed whole, as before any update.
    void init()
    {
        QMutexLocker lock(&m_mutex);
        m_serving = ArchiveServing{m_v2.archivePath};
        m_list = TempHome::readFile(m_v2.listPath);
        m_rangesAnswered = 0;
        m_cancelOnRange.reset();
        lock.unlock();
        m_box = std::make_unique<InstallSandbox>();
        m_server.clearRequests();
        const InstallOutcome first = m_box->install(record(m_v1, QStringLiteral("v1.zip"), QStringLiteral("1.0")));
        QVERIFY2(first.succeeded(), qPrintable(first.describe()));
        // With nothing installed there is nothing to reuse: the list is asked for only to check each file as it is
        // unpacked, and no range.
        QCOMPARE(m_server.requestCount(), 2);
        QCOMPARE(archiveRanges(), QList<QByteArray>());
        m_server.clearRequests();
        capturedWarnings().clear();
    }

    void cleanup() { m_box.reset(); }

    void updateFetchesOnlyTheChangedEntries()
    {
        qint64 downloaded = -1, reused = -1;
        InstallControl control;
        control.onTransferred = [&](qint64 d, qint64 r) { downloaded = d; reused = r; };
        const InstallOutcome outcome = update(control);
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        QCOMPARE(TempHome::fingerprint(installed()), m_fullV2);
        QCOMPARE(wholeArchiveRequests(), 0);
        QStringList fetched = fetchedEntries();
        fetched.sort();
        QCOMPARE(fetched, (QStringList{QStringLiteral("Info.plist"), QStringLiteral("part03.bin"), QStringLiteral("part11.bin"),
                                       QStringLiteral("part17.bin")}));
        // Neighbours come in one request: the parts lie apart, the plist far from them.
        QVERIFY(archiveRanges().size() <= 4);
        const qint64 archive = QFileInfo(m_v2.archivePath).size();
        QVERIFY2(downloaded > 0 && downloaded < archive / 5, qPrintable(QString::number(downloaded)));
        QVERIFY(reused > 20 * 48 * 1024);
        QVERIFY(capturedWarnings().filter(QStringLiteral("whole archive")).isEmpty());
        // The previous copy is kept as after any update.
        QCOMPARE(m_box->installedCopies().previousVersion(QStringLiteral("notes"), QUrl::fromLocalFile(installed())), QStringLiteral("1.0"));
    }

    // An installed file with the listed size but other bytes is fetched, never
    // linked or copied: part05 would be linked, the helper (whose mode
    // changes) copied.
    void damagedInstalledFileIsFetched()
    {
        for (const QString &relative : {QStringLiteral("/Contents/Resources/part05.bin"), QStringLiteral("/Contents/MacOS/helper")}) {
            const QString file = installed() + relative;
            QByteArray bytes = TempHome::readFile(file);
            bytes[100] = char(bytes[100] ^ 0x5a);
            const QFileDevice::Permissions mode = QFile::permissions(file);
            QVERIFY(TempHome::writeFile(file, bytes));
            QVERIFY(QFile::setPermissions(file, mode));
        }
        const InstallOutcome outcome = update();
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        QVERIFY(fetchedEntries().contains(QStringLiteral("part05.bin")));
        QVERIFY(fetchedEntries().contains(QStringLiteral("helper")));
        QCOMPARE(TempHome::fingerprint(installed()), m_fullV2);
    }

    // Unchanged files share their data with the installed copy, which keeps
    // its own bytes and bits: the helper's mode changes, so it is copied.
    void unchangedFilesShareTheInstalledCopy()
    {
        const QMap<QString, QString> before = TempHome::fingerprint(installed());
        const InstallOutcome outcome = update();
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        QCOMPARE(TempHome::fingerprint(installed()), m_fullV2);
        const QString previous = InstalledCopies::previousPath(installed());
        QCOMPARE(TempHome::fingerprint(previous), before);
        const auto inode = [](const QString &path) {
            struct stat st {};
            return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : ino_t(0);
        };
        const auto shared = [&](const QString &relative) {
            return inode(installed() + relative) == inode(previous + relative);
        };
        QVERIFY(shared(QStringLiteral("/Contents/Resources/part00.bin")));
        QVERIFY(shared(QStringLiteral("/Contents/Resources/notes.txt")));
        QVERIFY(!shared(QStringLiteral("/Contents/MacOS/helper")));
        QVERIFY(!shared(QStringLiteral("/Contents/Resources/part03.bin")));
        QVERIFY(!fetchedEntries().contains(QStringLiteral("helper")));
        // Rolled back, the copy in place is 1.0 as it was installed.
        const InstallOutcome rolledBack = outcomeOf(m_box->installedCopies().rollBack(QStringLiteral("notes"), QUrl::fromLocalFile(installed())));
        QVERIFY2(rolledBack.succeeded(), qPrintable(rolledBack.describe()));
        QCOMPARE(TempHome::fingerprint(installed()), before);
    }

    // The installed copy's tree may keep a file out, never let it in: a file
    // recorded with other bytes is fetched even when it now holds the new ones.
    void fileRecordedOtherwiseIsFetched()
    {
        const QString relative = QStringLiteral("/Contents/Resources/part03.bin");
        QVERIFY(QFile::remove(installed() + relative));
        QVERIFY(QFile::copy(m_releases.path(QStringLiteral("two/Notes.app")) + relative, installed() + relative));
        const InstallOutcome outcome = update();
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        QVERIFY(fetchedEntries().contains(QStringLiteral("part03.bin")));
        QCOMPARE(TempHome::fingerprint(installed()), m_fullV2);
    }

    void fallsBackToTheWholeArchive_data()
    {
        FallbackRows::columns();
        FallbackRows::row("no list offered", "no list", true, QString());
        FallbackRows::row("server ignores Range", "no ranges", true, "ignores Range");
        FallbackRows::row("server ignores Range, found by the space check", "no ranges, measured", true, "ignores Range");
        FallbackRows::row("list's SHA-256 differs from the catalog's", "list differs", true, "SHA-256 differs");
        FallbackRows::row("one entry's bytes changed on the server", "entry changed", true, "does not match the file list");
        FallbackRows::row("archive replaced between two requests", "replaced", true, "changed on the server");
        FallbackRows::row("shorter archive on the server", "short", false, "not the one the list describes");
        FallbackRows::row("almost nothing to reuse", "all damaged", true, "most of the archive changed");
        FallbackRows::row("a part shorter than asked for", "part shorter", true, "another range than asked for");
        FallbackRows::row("a part longer than asked for", "part longer", true, "another range than asked for");
        FallbackRows::row("list answers 404", "list 404", true, "file list could not be fetched");
        FallbackRows::row("list answers 500", "list 500", true, "file list could not be fetched");
    }

    void fallsBackToTheWholeArchive()
    {
        const auto [scenario, succeeds, reason] = FallbackRows::fetch();
        AppManifestItem app = record(m_v2, QStringLiteral("v2.zip"), QStringLiteral("1.1"), scenario != QLatin1String("no list"));
        {
            QMutexLocker lock(&m_mutex);
            if (scenario.startsWith(QLatin1String("no ranges"))) {
                m_serving.ranges = false;
            } else if (scenario == QLatin1String("list differs")) {
                m_list.replace("Info.plist", "Info.plisT");
            } else if (scenario == QLatin1String("entry changed")) {
                // Damaged where ranges are served (a cache), whole where the archive is.
                QByteArray archive = TempHome::readFile(m_v2.archivePath);
                for (const FileListEntry &entry : m_v2.list.entries) {
                    if (entry.path.endsWith("part11.bin"))
                        archive[entry.dataOffset + entry.compressedSize / 2] ^= 0x01;
                }
                QVERIFY(TempHome::writeFile(m_releases.path(QStringLiteral("damaged.zip")), archive));
                m_serving.rangedPath = m_releases.path(QStringLiteral("damaged.zip"));
            } else if (scenario == QLatin1String("replaced")) {
                m_serving.replacedAfterFirstRange = true;
            } else if (scenario == QLatin1String("all damaged")) {
                for (int i = 0; i < ReleaseFolders::partCount; ++i) {
                    const QString part = installed() + QStringLiteral("/Contents/Resources/part%1.bin").arg(i, 2, 10, QLatin1Char('0'));
                    QVERIFY(TempHome::writeFile(part, TempHome::readFile(part).chopped(1)));
                }
            } else if (scenario.startsWith(QLatin1String("part "))) {
                m_serving.partLengthChange = scenario == QLatin1String("part shorter") ? -1 : 1;
            } else if (scenario.startsWith(QLatin1String("list "))) {
                m_serving.listStatus = scenario.mid(5).toInt();
            } else if (scenario == QLatin1String("short")) {
                QVERIFY(TempHome::writeFile(m_releases.path(QStringLiteral("short.zip")),
                                            TempHome::readFile(m_v2.archivePath).chopped(100)));
                m_serving.path = m_releases.path(QStringLiteral("short.zip"));
            }
        }
        const QMap<QString, QString> before = TempHome::fingerprint(installed());
        // Measuring the archive for the space check already asks for a range.
        const std::unique_ptr<AppInstaller> measuring
            = scenario.endsWith(QLatin1String("measured")) ? m_box->makeInstaller(nullptr, roomyDisk()) : nullptr;
        const InstallOutcome outcome = outcomeOf((measuring ? *measuring : m_box->installer()).install(app));
        QCOMPARE(outcome.succeeded(), succeeds);
        QCOMPARE(TempHome::fingerprint(installed()), succeeds ? m_fullV2 : before);
        if (!succeeds)
            QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::checksumMismatch);
        QCOMPARE(wholeArchiveRequests(), 1);
        // A part that is not the one asked for is neither asked again nor read; nor is a whole answer to a range.
        if (scenario.startsWith(QLatin1String("part ")) || scenario.startsWith(QLatin1String("list ")) || scenario == QLatin1String("no ranges")) {
            QCOMPARE(archiveRanges().size(), scenario.startsWith(QLatin1String("list ")) ? 0 : 1);
            QCOMPARE(m_server.bodyBytesSent(QStringLiteral("/v2.zip")), QFileInfo(m_v2.archivePath).size());
        }
        // Measuring found the whole archive comes back: no part is asked for after it.
        if (measuring)
            QCOMPARE(archiveRanges().size(), 1);
        const QStringList why = capturedWarnings().filter(QStringLiteral("whole archive"));
        if (reason.isEmpty()) {
            QVERIFY2(why.isEmpty(), qPrintable(why.join(QLatin1Char('\n'))));
        } else {
            QCOMPARE(why.size(), 1);
            QVERIFY2(why.first().contains(reason), qPrintable(why.first()));
        }
    }

    void hostileListIsRefusedBeforeAnyFetch_data()
    {
        HostileRows::columns();
        HostileRows::row("a path that climbs", "Notes.app/Contents/Resources/part00.bin", "Notes.app/../../part00.bin", "plain relative path");
        HostileRows::row("an absolute path", "Notes.app/Contents/Resources/part00.bin", "/tmp/part00.bin", "plain relative path");
        HostileRows::row("a link leading out", " Resources\n", " ../../..\n", "leads out");
        HostileRows::row("a path twice", "Notes.app/Contents/Resources/part01.bin", "Notes.app/Contents/Resources/part00.bin", "appears twice");
        HostileRows::row("a file claiming 2 TiB", " 49152 ", " 2199023255552 ", "cannot hold");
    }

    void hostileListIsRefusedBeforeAnyFetch()
    {
        const auto [from, to, refusal] = HostileRows::fetch();
        QByteArray hostile = TempHome::readFile(m_v2.listPath);
        const qsizetype at = hostile.indexOf(from);
        QVERIFY(at > 0);
        hostile.replace(at, from.size(), to);
        QString problem;
        QVERIFY(!FileList::decode(hostile, &problem));
        QVERIFY2(problem.contains(refusal), qPrintable(problem));

        // Signed off by the catalog, it is still refused before a range is asked for.
        {
            QMutexLocker lock(&m_mutex);
            m_list = hostile;
        }
        AppManifestItem app = record(m_v2, QStringLiteral("v2.zip"), QStringLiteral("1.1"));
        app.fileListSha256 = ZipBuilder::sha256Hex(hostile);
        const InstallOutcome outcome = outcomeOf(m_box->installer().install(app));
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        QCOMPARE(archiveRanges(), QList<QByteArray>());
        QCOMPARE(TempHome::fingerprint(installed()), m_fullV2);
        QVERIFY(!capturedWarnings().filter(refusal).isEmpty());
    }

    // Unchanged files of the kept copy share their data with the installed
    // one, so damage to either reaches both. The kept copy is checked before
    // a roll back, which then refuses with the reason; the window's check
    // finds it first and discards it, so roll back is no longer offered.
    void damagedKeptCopyIsNeverPutBack_data()
    {
        SharedDamageRows::columns();
        SharedDamageRows::row("byte appended, roll back", "/Contents/Resources/part00.bin", "byte", false);
        SharedDamageRows::row("execute bit taken, roll back", "/Contents/MacOS/Notes", "bits", false);
        SharedDamageRows::row("byte appended, found by the check", "/Contents/Resources/notes.txt", "byte", true);
    }

    void damagedKeptCopyIsNeverPutBack()
    {
        const auto [relative, damage, checkedFirst] = SharedDamageRows::fetch();
        const QUrl bundle = QUrl::fromLocalFile(installed());
        const QString previous = InstalledCopies::previousPath(installed());
        const InstallOutcome outcome = update();
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        QCOMPARE(InstalledCopies::damage(previous, QStringLiteral("notes")), std::nullopt);
        QVERIFY(!waitForTask(m_box->installedCopies().discardDamagedPrevious(QStringLiteral("notes"), bundle)));
        QVERIFY(QFileInfo(previous).isDir());

        const QString file = installed() + relative;
        if (damage == QLatin1String("bits")) {
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        } else {
            QFile appended(file);
            QVERIFY(appended.open(QIODevice::Append));
            QCOMPARE(appended.write("!"), 1);
        }
        QVERIFY(InstalledCopies::damage(previous, QStringLiteral("notes")).has_value());
        const QMap<QString, QString> damaged = TempHome::fingerprint(installed());

        if (checkedFirst)
            QVERIFY(waitForTask(m_box->installedCopies().discardDamagedPrevious(QStringLiteral("notes"), bundle)));
        const InstallOutcome rolledBack = outcomeOf(m_box->installedCopies().rollBack(QStringLiteral("notes"), bundle));
        QVERIFY(!rolledBack.succeeded());
        QVERIFY2(checkedFirst ? rolledBack.message().contains(QStringLiteral("no earlier copy"))
                              : rolledBack.message().contains(QStringLiteral("is damaged")),
                 qPrintable(rolledBack.message()));
        // Nothing moved: the copy in place is as the damage left it, and the damaged copy is gone for good.
        QCOMPARE(TempHome::fingerprint(installed()), damaged);
        QCOMPARE(InstallReceipt::placedVersion(installed(), QStringLiteral("notes")), QStringLiteral("1.1"));
        QVERIFY(!QFileInfo::exists(previous));
        QCOMPARE(m_box->installedCopies().previousVersion(QStringLiteral("notes"), bundle), std::nullopt);
    }

    // An install over a damaged copy keeps no copy to go back to: going back
    // would restore the damage, or skip the version in between. Every copy
    // kept on the way verifies clean.
    void installOverADamagedCopyKeepsNoPreviousCopy()
    {
        const QString previous = InstalledCopies::previousPath(installed());
        const InstallOutcome updated = update();
        QVERIFY2(updated.succeeded(), qPrintable(updated.describe()));
        for (const QString &copy : {installed(), previous})
            QCOMPARE(InstalledCopies::damage(copy, QStringLiteral("notes")), std::nullopt);

        // A file 1.1 has alone: the kept 1.0 stays clean, the copy in place does not.
        QVERIFY(QFile::setPermissions(installed() + QStringLiteral("/Contents/Resources/part03.bin"), QFile::ReadOwner));
        QCOMPARE(InstalledCopies::damage(previous, QStringLiteral("notes")), std::nullopt);
        QVERIFY(InstalledCopies::damage(installed(), QStringLiteral("notes")).has_value());

        const InstallOutcome reinstalled = m_box->install(record(m_v1, QStringLiteral("v1.zip"), QStringLiteral("1.0"), false));
        QVERIFY2(reinstalled.succeeded(), qPrintable(reinstalled.describe()));
        QCOMPARE(InstalledCopies::damage(installed(), QStringLiteral("notes")), std::nullopt);
        QVERIFY(!QFileInfo::exists(previous));
        QCOMPARE(m_box->installedCopies().previousVersion(QStringLiteral("notes"), QUrl::fromLocalFile(installed())), std::nullopt);
    }

    // Cancelled while the changed entries arrive: the copy in place stays as it was.
    void cancelLeavesTheInstalledCopy()
    {
        const QMap<QString, QString> before = TempHome::fingerprint(installed());
        InstallControl control;
        control.cancel = std::make_shared<std::atomic_bool>(false);
        {
            QMutexLocker lock(&m_mutex);
            m_cancelOnRange = control.cancel;
        }
        const InstallOutcome outcome = update(control);
        QVERIFY(!outcome.succeeded());
        QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::cancelled);
        QCOMPARE(TempHome::fingerprint(installed()), before);
        QCOMPARE(InstallReceipt::placedVersion(installed(), QStringLiteral("notes")), QStringLiteral("1.0"));
        QCOMPARE(wholeArchiveRequests(), 0);
    }
};

QTEST_GUILESS_MAIN(PartialUpdateTest)
#include "tst_partial_update.moc"
