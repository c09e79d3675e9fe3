#include "LibarchiveExtractor.h"

#include "FileWriteback.h"
#include "PlatformLogging.h"
#include "StreamingZipExtractor.h"
#include "WholeEntryInflater.h"
#include "ZipEntryPlan.h"
#include "faults/FaultPoint.h"
#include "install/Crc32.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using ZipEntryPlan::archiveError;
using ZipEntryPlan::Item;
using ZipEntryPlan::Plan;
using Directory = QHash<QByteArray, ZipCentralDirectory::Entry>;

constexpr size_t dataBlockSize = 1 << 20;
constexpr int maximumWorkers = 4;
// What creating a file costs beside its bytes, when the files are shared out.
constexpr qint64 perFileWeight = 32 << 10;

struct WriterDeleter {
    void operator()(struct archive *a) const { archive_write_free(a); }
};
using Writer = std::unique_ptr<struct archive, WriterDeleter>;

Writer newWriter()
{
    Writer writer(archive_write_disk_new());
    // Paths are checked by the plan and made absolute under the destination,
    // which is why the writer's own absolute-path refusal cannot be used; it
    // still refuses ".." and any path through a symbolic link.
    archive_write_disk_set_options(writer.get(), ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_TIME
                                                     | ARCHIVE_EXTRACT_SECURE_NODOTDOT
                                                     | ARCHIVE_EXTRACT_SECURE_SYMLINKS);
    return writer;
}

bool isDiskError(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EACCES:
    case EPERM:
    case EROFS:
    case EIO:
    case EMFILE:
    case ENFILE:
        return true;
    default:
        return false;
    }
}

// Failure of the writer: the disk's own error passes through as such.
PlatformError writerError(struct archive *writer, const QString &entryName)
{
    const int error = archive_errno(writer);
    const char *text = archive_error_string(writer);
    if (isDiskError(error)) {
        return PlatformError(PlatformError::Domain::fileSystem,
                             QStringLiteral("Could not write \"%1\": %2")
                                 .arg(entryName, QString::fromLocal8Bit(std::strerror(error))),
                             error);
    }
    return archiveError(QStringLiteral("Could not extract \"%1\": %2")
                            .arg(entryName, QString::fromUtf8(text ? text : "unknown error")));
}

PlatformError changedWhileRead()
{
    return archiveError(QStringLiteral("The archive changed while it was read."));
}

void writeEntry(struct archive *writer, archive_entry *entry)
{
    if (archive_write_header(writer, entry) < ARCHIVE_WARN || archive_write_finish_entry(writer) < ARCHIVE_WARN)
        throw writerError(writer, QFileInfo(QFile::decodeName(archive_entry_pathname(entry))).fileName());
}

// Thrown inside a worker once another has failed: that failure is the one reported.
struct Stopped {};

// What the workers share: one write cap for the whole archive, the first
// failure, and the progress.
class Shared
{
public:
    Shared(qint64 cap, const std::atomic_bool *cancel, ExtractionProgress *progress, ExtractedChecksums *checksums)
        : m_cap(cap), m_cancel(cancel), m_progress(progress), m_checksums(checksums)
    {
    }

    bool wantsChecksums() const { return m_checksums; }
    void written(const QByteArray &relativePath, quint32 crc32)
    {
        if (m_checksums)
            m_checksums->add(relativePath, crc32);
    }

    void checkpoint() const
    {
        if (m_failed.load())
            throw Stopped{};
        if (m_cancel && m_cancel->load())
            throw ZipEntryPlan::cancelled();
    }

    // Bytes about to be written, counted against the cap before they are.
    void count(qint64 bytes)
    {
        if (m_written.fetch_add(bytes) + bytes > m_cap)
            throw archiveError(QStringLiteral("The archive unpacks to more than %1 bytes.").arg(m_cap));
        if (m_progress)
            m_progress->writtenBytes.fetch_add(bytes, std::memory_order_relaxed);
    }

    void fail(std::exception_ptr error)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_error)
            m_error = error;
        m_failed.store(true);
    }

    void rethrowFailure() const
    {
        if (m_error)
            std::rethrow_exception(m_error);
    }

private:
    const qint64 m_cap;
    const std::atomic_bool *m_cancel;
    ExtractionProgress *m_progress;
    ExtractedChecksums *m_checksums;
    std::atomic<qint64> m_written{0};
    std::atomic_bool m_failed{false};
    std::mutex m_mutex;
    std::exception_ptr m_error;
};

// The end of a file written whole or in blocks: its checksum noted, its
// bytes on their way to the disk.
void finishFile(struct archive *writer, const QByteArray &path, const Item &item, Shared &shared,
                std::optional<quint32> crc32, bool empty)
{
    if (archive_write_finish_entry(writer) < ARCHIVE_WARN)
        throw writerError(writer, QString::fromUtf8(item.name));
    if (crc32)
        shared.written(item.relative, *crc32);
    if (!empty)
        startWriteback(path);
    FaultPoint::reach("extracting");
}

// The file from one buffer, inflated whole; false when the entry turns out
// not to be for that road.
bool writeWhole(struct archive *writer, archive_entry *entry, const QByteArray &path, const Item &item,
                Shared &shared, WholeEntryInflater &inflater, const ZipCentralDirectory::Entry &stated)
{
    const std::optional<QByteArrayView> bytes = inflater.inflate(stated);
    if (!bytes)
        return false;
    shared.count(bytes->size());
    if (item.dotUnderscore && ZipEntryPlan::isAppleDouble(*bytes))
        return true;
    if (archive_write_header(writer, entry) < ARCHIVE_WARN)
        throw writerError(writer, QString::fromUtf8(item.name));
    // A failed write(2), a full disk included, comes back as ARCHIVE_WARN.
    if (!bytes->isEmpty() && archive_write_data_block(writer, bytes->data(), size_t(bytes->size()), 0) != ARCHIVE_OK)
        throw writerError(writer, QString::fromUtf8(item.name));
    finishFile(writer, path, item, shared, inflater.lastCrc32(), bytes->isEmpty());
    return true;
}

// Writes the file the reader stands at, taking the CRC-32 of what it writes:
// whole from one buffer where the inflater takes it, else in the reader's
// blocks. An AppleDouble file ("._NAME" whose data begins 00 05 16 07) holds
// another file's macOS metadata and is not written: the first bytes of a "._"
// file are held until they tell.
void writeFile(struct archive *reader, struct archive *writer, archive_entry *entry, const QByteArray &path,
               const Item &item, Shared &shared, WholeEntryInflater *inflater, const ZipCentralDirectory::Entry *stated)
{
    const QString shownName = QString::fromUtf8(item.name);
    // The plan allows each path once; anything already there was not ours.
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0)
        throw archiveError(QStringLiteral("The archive entry \"%1\" appears twice.").arg(shownName));
    archive_entry_set_pathname(entry, path.constData());
    archive_entry_set_perm(entry, (archive_entry_perm(entry) & 0777) | 0600);
    // The size an entry declares is not trusted: the writer would extend the
    // file to it, so a small archive could claim terabytes.
    archive_entry_unset_size(entry);
    if (inflater && stated && writeWhole(writer, entry, path, item, shared, *inflater, *stated))
        return;

    bool started = false;
    bool empty = true;
    // The blocks summed in order are the file only when none skips ahead.
    std::optional<Crc32> checksum;
    if (shared.wantsChecksums())
        checksum.emplace();
    la_int64_t summedUpTo = 0;
    const auto put = [&](const void *data, size_t size, la_int64_t offset) {
        if (!started && archive_write_header(writer, entry) < ARCHIVE_WARN)
            throw writerError(writer, shownName);
        started = true;
        empty = empty && size == 0;
        if (checksum && offset != summedUpTo)
            checksum.reset();
        if (checksum) {
            checksum->update(static_cast<const char *>(data), size);
            summedUpTo += la_int64_t(size);
        }
        // A failed write(2), a full disk included, comes back as ARCHIVE_WARN.
        if (size > 0 && archive_write_data_block(writer, data, size, offset) != ARCHIVE_OK)
            throw writerError(writer, shownName);
    };
    bool holding = item.dotUnderscore;
    QByteArray held;
    qint64 read = 0;
    for (;;) {
        shared.checkpoint();
        const void *block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(reader, &block, &size, &offset);
        if (r == ARCHIVE_EOF)
            break;
        // A wrong CRC-32 or size comes as a warning, with the entry's last block.
        if (r != ARCHIVE_OK)
            throw ZipEntryPlan::damaged(reader);
        shared.count(qint64(size));
        // The reader finds a size that lies only at the entry's end; nothing
        // beyond the stated size is written meanwhile.
        read += qint64(size);
        if (item.sizeStated && read > item.declaredSize)
            throw archiveError(QStringLiteral("The archive is damaged: the entry \"%1\" unpacks to more than it states.").arg(shownName));
        if (!holding) {
            put(block, size, offset);
            continue;
        }
        held.append(static_cast<const char *>(block), qsizetype(size));
        if (held.size() < ZipEntryPlan::appleDoubleMagicBytes)
            continue;
        if (ZipEntryPlan::isAppleDouble(held))
            return;
        holding = false;
        put(held.constData(), size_t(held.size()), 0);
    }
    if (!started)
        put(held.constData(), size_t(held.size()), 0);
    finishFile(writer, path, item, shared, checksum ? std::optional<quint32>(checksum->value()) : std::nullopt, empty);
}

struct Share {
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Cuts the entries into runs of about equal work, one per worker; each
// reader then goes through the archive in order and stops after its run.
QList<Share> shareOut(const Plan &plan, qint64 bytesPerWorker, int mostWorkers)
{
    const auto weight = [](const Item &item) { return item.kind == Item::Kind::file ? item.declaredSize + perFileWeight : 0; };
    qint64 total = 0;
    for (const Item &item : plan.items)
        total += weight(item);
    const int workers = int(std::clamp<qint64>(total / std::max<qint64>(1, bytesPerWorker), 1, mostWorkers));
    QList<Share> shares;
    qint64 done = 0;
    qsizetype begin = 0;
    for (qsizetype i = 0; i < plan.items.size() && shares.size() < workers - 1; ++i) {
        done += weight(plan.items[i]);
        if (done * workers >= total * (shares.size() + 1)) {
            shares.append({begin, i + 1});
            begin = i + 1;
        }
    }
    shares.append({begin, plan.items.size()});
    return shares;
}

// One worker: its own reader walks the archive up to the end of the share
// and writes the share's files.
void writeShare(const QString &archivePath, const Plan &plan, Share share, struct archive *writer, Shared &shared,
                const Directory &directory, qint64 wholeEntryBytes)
{
    const ZipEntryPlan::Utf8Names utf8;
    const ZipEntryPlan::Reader reader = ZipEntryPlan::open(archivePath, dataBlockSize);
    std::optional<WholeEntryInflater> inflater;
    if (!directory.isEmpty())
        inflater.emplace(archivePath, wholeEntryBytes);
    archive_entry *entry = nullptr;
    for (qsizetype index = 0; index < share.end; ++index) {
        shared.checkpoint();
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF)
            throw changedWhileRead();
        if (status < ARCHIVE_WARN)
            throw ZipEntryPlan::damaged(reader.get());
        const Item &item = plan.items[index];
        if (index < share.begin || item.kind != Item::Kind::file)
            continue;
        // This reader must see what the plan was made from.
        const char *name = archive_entry_pathname(entry);
        if (!name || item.name != name || archive_entry_filetype(entry) != AE_IFREG)
            throw changedWhileRead();
        const auto stated = directory.constFind(item.name);
        writeFile(reader.get(), writer, entry, plan.pathOf(item), item, shared, inflater ? &*inflater : nullptr,
                  stated != directory.cend() ? &*stated : nullptr);
    }
}

void writeFiles(const QString &archivePath, const Plan &plan, const QList<Share> &shares, Shared &shared,
                const Directory &directory, qint64 wholeEntryBytes)
{
    // Made one after another here: making a writer briefly changes the process's umask.
    std::vector<Writer> writers;
    for (qsizetype k = 0; k < shares.size(); ++k)
        writers.push_back(newWriter());
    const auto work = [&](qsizetype k) {
        try {
            writeShare(archivePath, plan, shares[k], writers[size_t(k)].get(), shared, directory, wholeEntryBytes);
        } catch (const Stopped &) {
            // Another worker failed first and reports it.
        } catch (...) {
            shared.fail(std::current_exception());
        }
    };
    std::vector<std::thread> threads;
    qsizetype started = 1;
    try {
        for (; started < shares.size(); ++started)
            threads.emplace_back(work, started);
    } catch (const std::system_error &error) {
        qCWarning(lcPlatform) << "extracting on fewer threads:" << error.what();
    }
    work(0);
    for (qsizetype k = started; k < shares.size(); ++k)
        work(k);
    for (std::thread &thread : threads)
        thread.join();
    shared.rethrowFailure();
    for (const Writer &writer : writers) {
        if (archive_write_close(writer.get()) < ARCHIVE_WARN)
            throw writerError(writer.get(), QFile::decodeName(plan.destination.mid(plan.destination.lastIndexOf('/') + 1)));
    }
}

}  // namespace

qint64 LibarchiveExtractor::writeCap(qint64 archiveSize, const Limits &limits)
{
    const qint64 size = qMax<qint64>(0, archiveSize);
    const qint64 scaled = size > limits.maximumCap / qMax<qint64>(1, limits.ratio) ? limits.maximumCap
                                                                                 : size * limits.ratio;
    return qMin(limits.maximumCap, qMax(limits.minimumCap, scaled));
}

void LibarchiveExtractor::extractZip(const QString &archivePath, const QString &destinationDir,
                                     const std::atomic_bool *cancel, ExtractionProgress *progress,
                                     ExtractedChecksums *checksums) const
{
    const QFileInfo archiveInfo(archivePath);
    if (!archiveInfo.isFile())
        throw archiveError(QStringLiteral("The archive \"%1\" does not exist.").arg(archiveInfo.fileName()));
    // A symlink-free base, so the writer's own symlink check only sees our entries.
    const QString base = QFileInfo(destinationDir).canonicalFilePath();
    if (base.isEmpty() || !QFileInfo(base).isDir())
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("The extraction directory does not exist."), ENOENT);
    const qint64 cap = writeCap(archiveInfo.size(), m_limits);
    const Plan plan = ZipEntryPlan::read(archivePath, QFile::encodeName(base), m_limits.maximumEntries, cap, cancel);
    if (progress)
        progress->totalBytes.store(plan.declaredBytes);

    // Folders first and links last: no file is written through a link, and
    // the folders' modes and times are set once all they hold is in place.
    const Writer outline = newWriter();
    for (const ZipEntryPlan::Entry &folder : plan.folders)
        writeEntry(outline.get(), folder.get());
    const int mostWorkers = m_limits.workers > 0 ? m_limits.workers
                                                 : std::clamp(QThread::idealThreadCount(), 1, maximumWorkers);
    Shared shared(cap, cancel, progress, checksums);
    // Deflated entries the directory states plainly are inflated whole.
    const Directory directory = m_limits.wholeEntryBytes > 0 ? WholeEntryInflater::directoryByName(archivePath) : Directory();
    writeFiles(archivePath, plan, shareOut(plan, m_limits.bytesPerWorker, mostWorkers), shared, directory,
               m_limits.wholeEntryBytes);
    for (const ZipEntryPlan::Entry &link : plan.links)
        writeEntry(outline.get(), link.get());
    if (archive_write_close(outline.get()) < ARCHIVE_WARN)
        throw writerError(outline.get(), QFileInfo(destinationDir).fileName());
}

StreamedUnpack LibarchiveExtractor::streamZip(GrowingArchive &archive, const QString &destinationDir,
                                              const std::atomic_bool *cancel, ExtractionProgress *progress,
                                              ExtractedChecksums *checksums, const ExpectedFiles *expected) const
{
    return StreamingZipExtractor::unpack(archive, destinationDir, m_limits, cancel, progress, checksums, expected);
}
