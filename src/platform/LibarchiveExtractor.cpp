#include "LibarchiveExtractor.h"

#include "errors/LauncherError.h"
#include "install/InstallFaultPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t readBlockSize = 1 << 20;

struct ReaderDeleter {
    void operator()(struct archive *a) const { archive_read_free(a); }
};
struct WriterDeleter {
    void operator()(struct archive *a) const { archive_write_free(a); }
};

PlatformError archiveError(const QString &message)
{
    return PlatformError(PlatformError::Domain::archive, message);
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

// Splits an entry name into components, dropping empty and "." ones; nullopt
// when the name is absolute or has a ".." component.
std::optional<QList<QByteArray>> safeComponents(const QByteArray &name)
{
    if (name.startsWith('/'))
        return std::nullopt;
    QList<QByteArray> parts;
    for (const QByteArray &part : name.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..")
            return std::nullopt;
        parts.append(part);
    }
    return parts;
}

// Whether a link at linkParts, with this target, stays inside the root when
// read as written (links it passes through are checked on their own).
bool targetStaysInside(const QList<QByteArray> &linkParts, const QByteArray &target)
{
    if (target.isEmpty() || target.startsWith('/'))
        return false;
    qsizetype depth = linkParts.size() - 1;
    bool descended = false;
    for (const QByteArray &part : target.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            // ".." after a name may climb out of a link ("l/.."), which the
            // count above cannot see: only leading ".." are allowed.
            if (descended || --depth < 0)
                return false;
        } else {
            descended = true;
            ++depth;
        }
    }
    return true;
}

// Starts writing a finished file to disk without waiting, so the flush
// before the swap finds little left to do while extraction goes on.
void startWriteback(const QByteArray &path)
{
#ifdef __linux__
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) {
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

std::unique_ptr<struct archive, ReaderDeleter> openZip(const QString &archivePath)
{
    std::unique_ptr<struct archive, ReaderDeleter> reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(archivePath).constData(), readBlockSize)
        != ARCHIVE_OK) {
        throw archiveError(QStringLiteral("Could not open the archive: %1")
                               .arg(QString::fromUtf8(archive_error_string(reader.get()))));
    }
    return reader;
}

// What the files of the archive say they unpack to; only a measure of
// progress, never a limit (the write cap does not trust it). Reading the
// headers skips the data, which costs seeks, not inflation.
qint64 declaredSize(const QString &archivePath)
{
    auto reader = openZip(archivePath);
    qint64 total = 0;
    archive_entry *entry = nullptr;
    while (archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK) {
        if (archive_entry_filetype(entry) == AE_IFREG && archive_entry_size_is_set(entry))
            total += qMax<qint64>(0, archive_entry_size(entry));
    }
    return total;
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
                                     const std::atomic_bool *cancel, ExtractionProgress *progress) const
{
    const QFileInfo archiveInfo(archivePath);
    if (!archiveInfo.isFile())
        throw archiveError(QStringLiteral("The archive \"%1\" does not exist.").arg(archiveInfo.fileName()));
    // A symlink-free base, so the writer's own symlink check only sees our entries.
    const QString base = QFileInfo(destinationDir).canonicalFilePath();
    if (base.isEmpty() || !QFileInfo(base).isDir())
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("The extraction directory does not exist."), ENOENT);
    const QByteArray baseName = QFile::encodeName(base);
    const qint64 cap = writeCap(archiveInfo.size(), m_limits);

    if (progress)
        progress->totalBytes.store(declaredSize(archivePath));
    auto reader = openZip(archivePath);

    std::unique_ptr<struct archive, WriterDeleter> writer(archive_write_disk_new());
    // Names are checked here and made absolute under base, which is why the
    // writer's own absolute-path refusal cannot be used; it still refuses ".."
    // and any path through a symbolic link.
    archive_write_disk_set_options(writer.get(),
                                   ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_TIME
                                       | ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_SECURE_SYMLINKS);

    qint64 written = 0;
    qint64 entries = 0;
    archive_entry *entry = nullptr;
    for (;;) {
        if (cancel && cancel->load())
            throw archiveError(QStringLiteral("The extraction was cancelled."));
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_WARN) {
            throw archiveError(QStringLiteral("The archive is damaged: %1")
                                   .arg(QString::fromUtf8(archive_error_string(reader.get()))));
        }
        if (++entries > m_limits.maximumEntries)
            throw archiveError(QStringLiteral("The archive has too many entries."));

        const char *rawName = archive_entry_pathname(entry);
        const QByteArray name(rawName ? rawName : "");
        const QString shownName = QString::fromUtf8(name);
        const auto parts = safeComponents(name);
        if (!parts)
            throw archiveError(QStringLiteral("The archive entry \"%1\" points outside the archive.").arg(shownName));
        if (parts->isEmpty())
            continue;

        const mode_t type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry) || (type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK))
            throw archiveError(QStringLiteral("The archive entry \"%1\" is not a file, folder or link.").arg(shownName));
        if (type == AE_IFLNK) {
            const char *target = archive_entry_symlink(entry);
            if (!targetStaysInside(*parts, QByteArray(target ? target : "")))
                throw archiveError(QStringLiteral("The link \"%1\" points outside the archive.").arg(shownName));
        }

        // No existing part of the path may be a link, and only a folder may
        // be entered twice.
        QByteArray path = baseName;
        for (qsizetype i = 0; i < parts->size(); ++i) {
            path += '/';
            path += parts->at(i);
            struct stat st {};
            if (lstat(path.constData(), &st) != 0)
                continue;
            if (S_ISLNK(st.st_mode))
                throw archiveError(QStringLiteral("The archive entry \"%1\" passes through a link.").arg(shownName));
            const bool last = i == parts->size() - 1;
            if (!S_ISDIR(st.st_mode) || (last && type != AE_IFDIR))
                throw archiveError(QStringLiteral("The archive entry \"%1\" appears twice.").arg(shownName));
        }

        archive_entry_set_pathname(entry, path.constData());
        if (type == AE_IFDIR)
            archive_entry_set_perm(entry, (archive_entry_perm(entry) & 0777) | 0700);
        else if (type == AE_IFREG)
            archive_entry_set_perm(entry, (archive_entry_perm(entry) & 0777) | 0600);

        // The size an entry declares is not trusted: the writer would extend the
        // file to it, so a small archive could claim terabytes.
        archive_entry_unset_size(entry);
        if (archive_write_header(writer.get(), entry) < ARCHIVE_WARN)
            throw writerError(writer.get(), shownName);

        if (type == AE_IFREG) {
            const void *block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            for (;;) {
                const int r = archive_read_data_block(reader.get(), &block, &size, &offset);
                if (r == ARCHIVE_EOF)
                    break;
                if (r < ARCHIVE_WARN) {
                    throw archiveError(QStringLiteral("The archive is damaged: %1")
                                           .arg(QString::fromUtf8(archive_error_string(reader.get()))));
                }
                written += qint64(size);
                if (progress)
                    progress->writtenBytes.fetch_add(qint64(size), std::memory_order_relaxed);
                if (written > cap)
                    throw archiveError(QStringLiteral("The archive unpacks to more than %1 bytes.").arg(cap));
                // A failed write(2), a full disk included, comes back as ARCHIVE_WARN.
                if (archive_write_data_block(writer.get(), block, size, offset) != ARCHIVE_OK)
                    throw writerError(writer.get(), shownName);
                if (cancel && cancel->load())
                    throw archiveError(QStringLiteral("The extraction was cancelled."));
            }
        }
        if (archive_write_finish_entry(writer.get()) < ARCHIVE_WARN)
            throw writerError(writer.get(), shownName);
        if (type == AE_IFREG) {
            startWriteback(path);
            InstallFaultPoint::reach("extracting");
        }
    }
    if (archive_write_close(writer.get()) < ARCHIVE_WARN)
        throw writerError(writer.get(), QFileInfo(destinationDir).fileName());
}
