#pragma once

// What the installer needs from the operating system beyond SystemLayers.h:
// extraction and the atomic swap. Implemented in src/platform.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <optional>
#include <mutex>
#include <utility>

// How far an extraction has come, for progress; written by the extracting
// threads, read by the installer.
struct ExtractionProgress {
    // What the entries declare they unpack to, once read (0 until then).
    std::atomic<qint64> totalBytes{0};
    std::atomic<qint64> writtenBytes{0};
};

// The CRC-32 of each file an extraction wrote, by its path below the
// destination, taken from the bytes as they were written; filled by the
// extracting threads, taken once they are done.
class ExtractedChecksums
{
public:
    void add(const QByteArray &relativePath, quint32 crc32)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_checksums.insert(relativePath, crc32);
    }
    QHash<QByteArray, quint32> take()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return std::exchange(m_checksums, {});
    }

private:
    std::mutex m_mutex;
    QHash<QByteArray, quint32> m_checksums;
};

class GrowingArchive;

// What a release's signed file list says of the archive: its size, and each
// file's size and SHA-256 by its path below the destination.
struct ExpectedFiles {
    struct File {
        qint64 size = 0;
        QByteArray sha256Hex;
    };
    qint64 archiveSize = 0;
    QHash<QByteArray, File> files;
};

// How an unpacking alongside the download ended.
struct StreamedUnpack {
    enum class Outcome {
        unpacked,          // the whole tree, matching the archive's directory
        notStreamed,       // the archive must be unpacked whole once it is complete
        fileListMismatch,  // a file differs from the list: the archive cannot be the one expected
    };
    Outcome outcome = Outcome::notStreamed;
    QString reason;  // for the log
};

// Unpacks a ZIP archive into an existing directory. Blocking; called from a
// worker thread. Throws PlatformError(archive) on any failure, including an
// entry that would land outside destination; a write the disk refuses (full,
// read-only, no permission) throws PlatformError(fileSystem) instead, which
// the installer passes through. cancel, when set, is polled; progress, when
// set, is kept up to date; checksums, when set, receives each file's CRC-32.
class ArchiveExtractor
{
public:
    virtual ~ArchiveExtractor() = default;
    virtual void extractZip(const QString &archivePath, const QString &destinationDir,
                            const std::atomic_bool *cancel = nullptr, ExtractionProgress *progress = nullptr,
                            ExtractedChecksums *checksums = nullptr) const = 0;

    // Unpacks the archive a download is still writing, as its bytes arrive,
    // with the same limits. Blocking; called from a worker thread; returns
    // once the download is complete and the tree is checked against the
    // archive's directory, or as soon as the archive cannot be streamed (the
    // destination is then emptied), or a file differs from expected (the
    // download is asked to stop). A download that starts again from zero
    // starts the unpacking again. Throws only when cancel is set.
    virtual StreamedUnpack streamZip(GrowingArchive &archive, const QString &destinationDir,
                                     const std::atomic_bool *cancel, ExtractionProgress *progress,
                                     ExtractedChecksums *checksums, const ExpectedFiles *expected) const
    {
        Q_UNUSED(archive);
        Q_UNUSED(destinationDir);
        Q_UNUSED(cancel);
        Q_UNUSED(progress);
        Q_UNUSED(checksums);
        Q_UNUSED(expected);
        return {StreamedUnpack::Outcome::notStreamed, QStringLiteral("this extractor unpacks whole archives only")};
    }
};

// Puts staged at destination in one atomic step. What was at destination then
// sits at the staged path (true is returned), and the caller decides what
// becomes of it; with nothing at destination, staged is simply moved there.
// Blocking; throws PlatformError(fileSystem). On failure both stay as they were.
class DirectoryReplacer
{
public:
    virtual ~DirectoryReplacer() = default;
    virtual bool exchange(const QString &destination, const QString &staged) const = 0;
};

// A file system as the space check sees it.
struct VolumeSpace {
    QString id;    // the same for two paths on one file system
    QString name;  // where it is mounted, for messages
    qint64 available = -1;  // bytes this user may still write; -1: unknown
};

// Where an install's files would go. Blocking but quick; called on the main thread.
class DiskSpace
{
public:
    virtual ~DiskSpace() = default;
    // The file system holding path, or the nearest existing folder above it.
    virtual VolumeSpace volumeOf(const QString &path) const = 0;
};
