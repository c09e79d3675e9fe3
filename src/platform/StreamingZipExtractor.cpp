#include "StreamingZipExtractor.h"

#include "FileWriteback.h"
#include "PlatformLogging.h"
#include "RelativePath.h"
#include "Sha256Stream.h"
#include "StreamedTreeCheck.h"
#include "ZipEntryPlan.h"
#include "faults/FaultPoint.h"
#include "install/Crc32.h"
#include "install/GrowingArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <filesystem>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace StreamingZipExtractor {
namespace {

using Kind = StreamedEntry::Kind;

constexpr qint64 readBlockBytes = 256 << 10;
// How long a wait for bytes goes before cancel is looked at again.
constexpr auto waitSlice = std::chrono::milliseconds(20);

// Why a pass over the archive ends before its end.
struct StartAgain {};
struct NotStreamable {
    QString reason;
};
struct ListMismatch {
    QString reason;
};

// The archive's bytes for libarchive's reader, as the download writes them.
class Source
{
public:
    Source(GrowingArchive &archive, const std::atomic_bool *cancel, int generation)
        : m_archive(archive), m_cancel(cancel), m_generation(generation), m_buffer(new char[readBlockBytes])
    {
    }
    ~Source()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Source(const Source &) = delete;
    Source &operator=(const Source &) = delete;

    static la_ssize_t read(struct archive *reader, void *client, const void **buffer)
    {
        auto *source = static_cast<Source *>(client);
        const la_ssize_t got = source->next(buffer);
        if (got < 0)
            archive_set_error(reader, EIO, "the download did not go on");
        return got;
    }

    // The bytes of the archive written so far.
    qint64 written() const { return m_written; }

    // When the reader failed because the download did not go on: why.
    void throwIfStopped() const
    {
        switch (m_stop) {
        case Stop::none: return;
        case Stop::startAgain: throw StartAgain{};
        case Stop::cancelled: throw ZipEntryPlan::cancelled();
        case Stop::abandoned: throw NotStreamable{QStringLiteral("the download ended early")};
        case Stop::unreadable: throw NotStreamable{QStringLiteral("the download could not be read back")};
        }
    }

    // Once the reader is past the last entry: until the download is complete.
    void waitForEnd()
    {
        for (;;) {
            if (m_cancel && m_cancel->load())
                m_stop = Stop::cancelled;
            else {
                const GrowingArchive::Extent extent
                    = m_archive.waitBeyond(std::numeric_limits<qint64>::max(), m_generation, waitSlice);
                if (extent.generation != m_generation)
                    m_stop = Stop::startAgain;
                else if (extent.state == GrowingArchive::State::abandoned)
                    m_stop = Stop::abandoned;
                else if (extent.state == GrowingArchive::State::complete)
                    return;
            }
            throwIfStopped();
        }
    }

private:
    enum class Stop { none, startAgain, cancelled, abandoned, unreadable };

    la_ssize_t next(const void **buffer)
    {
        for (;;) {
            if (m_cancel && m_cancel->load())
                return stop(Stop::cancelled);
            const GrowingArchive::Extent extent = m_archive.waitBeyond(m_offset, m_generation, waitSlice);
            if (extent.generation != m_generation)
                return stop(Stop::startAgain);
            // Given up on, the stream ends at once, however much is still there to read.
            if (extent.state == GrowingArchive::State::abandoned)
                return stop(Stop::abandoned);
            m_written = extent.written;
            if (extent.written > m_offset)
                return readAt(qMin(readBlockBytes, extent.written - m_offset), buffer);
            if (extent.state == GrowingArchive::State::complete)
                return 0;
        }
    }

    la_ssize_t readAt(qint64 length, const void **buffer)
    {
        // Opened once bytes are there: the download makes the file.
        if (m_fd < 0)
            m_fd = ::open(QFile::encodeName(m_archive.path()).constData(), O_RDONLY | O_CLOEXEC);
        for (;;) {
            const ssize_t got = m_fd < 0 ? -1 : ::pread(m_fd, m_buffer.get(), size_t(length), off_t(m_offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return stop(Stop::unreadable);
            m_offset += got;
            m_archive.readUpTo(m_offset);
            *buffer = m_buffer.get();
            return got;
        }
    }

    la_ssize_t stop(Stop why)
    {
        m_stop = why;
        return -1;
    }

    GrowingArchive &m_archive;
    const std::atomic_bool *m_cancel;
    const int m_generation;
    std::unique_ptr<char[]> m_buffer;
    int m_fd = -1;
    qint64 m_offset = 0;
    qint64 m_written = 0;
    Stop m_stop = Stop::none;
};

struct ReaderDeleter {
    void operator()(struct archive *reader) const { archive_read_free(reader); }
};

QString systemReason(const char *what, const QByteArray &name, int error)
{
    return QStringLiteral("could not %1 \"%2\": %3")
        .arg(QLatin1String(what), QString::fromUtf8(name), QString::fromLocal8Bit(std::strerror(error)));
}

// A file being written from the entry's blocks.
class OpenFile
{
public:
    OpenFile(const QByteArray &path, const QByteArray &name) : m_name(name)
    {
        m_fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0) {
            const int error = errno;
            if (error == EEXIST)
                throw NotStreamable{QStringLiteral("the archive entry \"%1\" appears twice").arg(QString::fromUtf8(name))};
            throw NotStreamable{systemReason("write", name, error)};
        }
    }
    ~OpenFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    void write(const char *data, qint64 length)
    {
        while (length > 0) {
            const ssize_t put = ::write(m_fd, data, size_t(length));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                throw NotStreamable{systemReason("write", m_name, put < 0 ? errno : ENOSPC)};
            data += put;
            length -= put;
        }
    }

    void close(qint64 mtime)
    {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(mtime), 0}};
        ::futimens(m_fd, times);
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0)
            throw NotStreamable{systemReason("write", m_name, errno)};
    }

private:
    QByteArray m_name;
    int m_fd = -1;
};

// One pass over the archive from its first byte.
class Pass
{
public:
    Pass(GrowingArchive &archive, QByteArray base, const LibarchiveExtractor::Limits &limits,
         const std::atomic_bool *cancel, ExtractionProgress *progress, const ExpectedFiles *expected, int generation)
        : m_archive(archive), m_base(std::move(base)), m_limits(limits), m_progress(progress), m_expected(expected),
          m_source(archive, cancel, generation)
    {
    }

    QHash<QByteArray, quint32> run()
    {
        const ZipEntryPlan::Utf8Names utf8;
        const std::unique_ptr<struct archive, ReaderDeleter> reader(archive_read_new());
        archive_read_support_format_zip_streamable(reader.get());
        // Each file's CRC-32 is taken as it is written and held to the directory's at the end: the reader's own
        // would cost a second pass over every byte.
        archive_read_set_format_option(reader.get(), "zip", "ignorecrc32", "1");
        if (archive_read_open2(reader.get(), &m_source, nullptr, &Source::read, nullptr, nullptr) != ARCHIVE_OK) {
            m_source.throwIfStopped();
            throw NotStreamable{QString::fromUtf8(archive_error_string(reader.get()))};
        }
        archive_entry *entry = nullptr;
        for (;;) {
            const int status = archive_read_next_header(reader.get(), &entry);
            if (status == ARCHIVE_EOF)
                break;
            if (status < ARCHIVE_WARN)
                damaged(reader.get());
            take(reader.get(), entry);
        }
        if (m_entries.isEmpty())
            throw NotStreamable{QStringLiteral("no entries before the directory")};
        m_source.waitForEnd();
        const std::optional<QList<ZipCentralDirectory::Entry>> directory
            = ZipCentralDirectory::entriesOfFile(m_archive.path());
        if (!directory)
            throw NotStreamable{QStringLiteral("the archive's directory cannot be read")};
        QHash<QByteArray, quint32> checksums;
        if (const auto problem = StreamedTreeCheck::settle(m_base, m_entries, *directory, &checksums))
            throw NotStreamable{*problem};
        return checksums;
    }

private:
    [[noreturn]] void damaged(struct archive *reader) const
    {
        m_source.throwIfStopped();
        throw NotStreamable{ZipEntryPlan::damaged(reader).localizedDescription()};
    }

    [[noreturn]] static void refused(const QByteArray &name, const char *why)
    {
        throw NotStreamable{QStringLiteral("the archive entry \"%1\" %2").arg(QString::fromUtf8(name), QLatin1String(why))};
    }

    void take(struct archive *reader, archive_entry *entry)
    {
        if (m_entries.size() >= m_limits.maximumEntries)
            throw NotStreamable{QStringLiteral("the archive has too many entries")};
        const char *rawName = archive_entry_pathname(entry);
        if (!rawName)
            throw NotStreamable{QStringLiteral("an entry's name cannot be read")};
        StreamedEntry item;
        item.name = rawName;
        const auto parts = RelativePath::components(item.name);
        if (!parts)
            refused(item.name, "points outside the archive");
        if (parts->isEmpty() || parts->contains("__MACOSX")) {
            m_entries.append(item);
            return;
        }
        const mode_t type = archive_entry_filetype(entry);
        // Links and special files are known from the directory alone, at the end.
        if (archive_entry_hardlink(entry) || (type != AE_IFREG && type != AE_IFDIR))
            refused(item.name, "is not a plain file or folder in its local header");
        item.relative = parts->join('/');
        item.kind = type == AE_IFDIR ? Kind::folder : Kind::file;
        claim(item);
        if (item.kind == Kind::folder) {
            item.mtime = archive_entry_mtime(entry);
            makeFolder(item.relative, item.name, 0700);
        } else {
            writeFile(reader, entry, item, parts->last().size() > 2 && parts->last().startsWith("._"));
        }
        m_entries.append(item);
    }

    // Each path once (folders aside), and nothing below a file.
    void claim(const StreamedEntry &item)
    {
        for (qsizetype slash = item.relative.indexOf('/'); slash >= 0; slash = item.relative.indexOf('/', slash + 1)) {
            if (m_kinds.value(item.relative.left(slash), Kind::folder) != Kind::folder)
                refused(item.name, "appears twice");
        }
        const auto seen = m_kinds.constFind(item.relative);
        if (seen != m_kinds.cend() && (*seen != Kind::folder || item.kind != Kind::folder))
            refused(item.name, "appears twice");
        m_kinds.insert(item.relative, item.kind);
    }

    // The folder and those above it; those the archive does not name get the mode
    // the whole road gives them (0775 less the umask).
    void makeFolder(const QByteArray &relative, const QByteArray &name, mode_t mode)
    {
        const qsizetype slash = relative.lastIndexOf('/');
        if (slash > 0 && !m_made.contains(relative.left(slash)))
            makeFolder(relative.left(slash), name, 0775);
        if (m_made.contains(relative))
            return;
        const QByteArray path = m_base + '/' + relative;
        struct stat st {};
        if (::mkdir(path.constData(), mode) != 0 && !(errno == EEXIST && ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode)))
            throw NotStreamable{systemReason("make the folder", name, errno)};
        m_made.insert(relative);
        m_kinds.insert(relative, m_kinds.value(relative, Kind::folder));
    }

    // The cap grows with the archive: what the bytes written so far, or the
    // size the file list states, may unpack to.
    void count(qint64 bytes, const QByteArray &name)
    {
        m_writtenBytes += bytes;
        const qint64 cap = LibarchiveExtractor::writeCap(qMax(m_source.written(), m_expected ? m_expected->archiveSize : 0), m_limits);
        if (m_writtenBytes > cap)
            throw NotStreamable{QStringLiteral("the archive unpacks to more than %1 bytes at \"%2\"").arg(cap).arg(QString::fromUtf8(name))};
        if (m_progress)
            m_progress->writtenBytes.fetch_add(bytes, std::memory_order_relaxed);
    }

    void writeFile(struct archive *reader, archive_entry *entry, StreamedEntry &item, bool dotUnderscore)
    {
        const qsizetype slash = item.relative.lastIndexOf('/');
        if (slash > 0)
            makeFolder(item.relative.left(slash), item.name, 0775);
        const QByteArray path = m_base + '/' + item.relative;
        const bool sizeStated = archive_entry_size_is_set(entry);
        const qint64 stated = archive_entry_size(entry);
        Crc32 crc;
        std::optional<Sha256Stream> sha;
        if (m_expected)
            sha.emplace();
        OpenFile file(path, item.name);
        QByteArray held;
        // A "._" file is held until its first bytes tell whether it is AppleDouble metadata.
        bool holding = dotUnderscore;
        bool dropping = false;
        for (;;) {
            const void *block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(reader, &block, &size, &offset);
            if (r == ARCHIVE_EOF)
                break;
            // A wrong CRC-32 or size comes as a warning, with the entry's last block.
            if (r != ARCHIVE_OK)
                damaged(reader);
            if (offset != item.size)
                refused(item.name, "has gaps");
            count(qint64(size), item.name);
            item.size += qint64(size);
            if (sizeStated && item.size > stated)
                refused(item.name, "unpacks to more than it states");
            const char *data = static_cast<const char *>(block);
            crc.update(data, size);
            if (sha)
                sha->update(data, size);
            if (holding) {
                held.append(data, qsizetype(size));
                if (held.size() < ZipEntryPlan::appleDoubleMagicBytes)
                    continue;
                holding = false;
                dropping = ZipEntryPlan::isAppleDouble(held);
                data = held.constData();
                size = size_t(held.size());
            }
            if (!dropping)
                file.write(data, qint64(size));
        }
        if (dropping) {
            // macOS metadata: not written, checked against the directory by name alone.
            ::unlink(path.constData());
            item.kind = Kind::skipped;
            return;
        }
        if (holding)
            file.write(held.constData(), held.size());
        file.close(archive_entry_mtime(entry));
        item.crc32 = crc.value();
        if (item.size > 0)
            startWriteback(path);
        if (sha)
            compareWithList(item, sha->finishHex().toLatin1());
        FaultPoint::reach("streaming");
    }

    void compareWithList(const StreamedEntry &item, const QByteArray &sha256Hex) const
    {
        const auto listed = m_expected->files.constFind(item.relative);
        if (listed == m_expected->files.cend())
            throw ListMismatch{QStringLiteral("\"%1\" is not in the file list").arg(QString::fromUtf8(item.relative))};
        if (listed->size != item.size || listed->sha256Hex != sha256Hex)
            throw ListMismatch{QStringLiteral("\"%1\" differs from the file list").arg(QString::fromUtf8(item.relative))};
    }

    GrowingArchive &m_archive;
    const QByteArray m_base;
    const LibarchiveExtractor::Limits &m_limits;
    ExtractionProgress *m_progress;
    const ExpectedFiles *m_expected;
    Source m_source;
    QList<StreamedEntry> m_entries;
    QHash<QByteArray, Kind> m_kinds;
    QSet<QByteArray> m_made;
    qint64 m_writtenBytes = 0;
};

// What a failed pass leaves goes at once: a bomb's bytes must not wait for the download.
// By bytes: a name that is not UTF-8 would not survive a round through QString.
void empty(const QString &destination)
{
    std::error_code ignored;
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator it(QFile::encodeName(destination).toStdString(), ignored), end; it != end;
         it.increment(ignored))
        entries.push_back(it->path());
    for (const std::filesystem::path &entry : entries)
        std::filesystem::remove_all(entry, ignored);
}

}  // namespace

StreamedUnpack unpack(GrowingArchive &archive, const QString &destinationDir, const LibarchiveExtractor::Limits &limits,
                      const std::atomic_bool *cancel, ExtractionProgress *progress, ExtractedChecksums *checksums,
                      const ExpectedFiles *expected)
{
    using Outcome = StreamedUnpack::Outcome;
    const QString base = QFileInfo(destinationDir).canonicalFilePath();
    if (base.isEmpty())
        return {Outcome::notStreamed, QStringLiteral("the extraction directory does not exist")};
    for (;;) {
        const int generation = archive.now().generation;
        try {
            Pass pass(archive, QFile::encodeName(base), limits, cancel, progress, expected, generation);
            const QHash<QByteArray, quint32> written = pass.run();
            if (checksums) {
                for (auto it = written.cbegin(); it != written.cend(); ++it)
                    checksums->add(it.key(), it.value());
            }
            return {Outcome::unpacked, {}};
        } catch (const StartAgain &) {
            qCInfo(lcPlatform) << "The download started again: unpacking again from the start.";
            if (progress)
                progress->writtenBytes.store(0);
            empty(base);
        } catch (const NotStreamable &stop) {
            empty(base);
            return {Outcome::notStreamed, stop.reason};
        } catch (const ListMismatch &stop) {
            archive.stopDownload();
            empty(base);
            return {Outcome::fileListMismatch, stop.reason};
        } catch (...) {
            empty(base);
            throw;
        }
    }
}

}  // namespace StreamingZipExtractor
