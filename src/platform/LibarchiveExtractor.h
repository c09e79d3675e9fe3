#pragma once

#include "install/InstallerLayers.h"

// Unpacks ZIP archives in-process with libarchive. Entries are written only
// inside the destination: names that are absolute or contain "..", entries
// whose path passes through a symbolic link, symbolic links whose target is
// absolute or leads out of the destination, hard links and special files are
// refused, all before anything is written (see ZipEntryPlan). Executable bits
// and symbolic links are kept; set-id and sticky bits are dropped. macOS
// metadata is not written: neither "__MACOSX/" nor AppleDouble "._NAME" files.
// Large archives are unpacked by several threads, each with its own reader
// and its share of the files; extraction stops once the bytes written by all
// of them exceed a cap that grows with the archive's size, so a compression
// bomb cannot fill the disk. Each file's CRC-32 is taken as it is written, and
// no file grows past the size its entry states.
//
// Throws PlatformError(archive) for an unreadable, corrupt, truncated or
// hostile archive, and PlatformError(fileSystem) when the disk refuses a
// write (full, read-only, no permission). What was written before a failure
// stays in destination; the caller removes it.
class LibarchiveExtractor : public ArchiveExtractor
{
public:
    struct Limits {
        qint64 minimumCap = qint64(1) << 30;   // 1 GiB
        qint64 maximumCap = qint64(16) << 30;  // 16 GiB
        qint64 ratio = 200;                    // times the archive's size
        qint64 maximumEntries = 500000;
        // Threads at most (0: one per core, up to 4); an archive gets one
        // for each bytesPerWorker it claims to unpack to.
        int workers = 0;
        qint64 bytesPerWorker = qint64(8) << 20;
        // Deflated entries up to this size unpacked, as the central directory
        // states them, are inflated whole with libdeflate (WholeEntryInflater);
        // larger ones, and all when 0, go through libarchive's reader. Each
        // thread holds up to twice this in memory.
        qint64 wholeEntryBytes = qint64(4) << 20;
    };

    LibarchiveExtractor() = default;
    explicit LibarchiveExtractor(Limits limits) : m_limits(limits) {}

    void extractZip(const QString &archivePath, const QString &destinationDir,
                    const std::atomic_bool *cancel = nullptr, ExtractionProgress *progress = nullptr,
                    ExtractedChecksums *checksums = nullptr) const override;

    // As its bytes arrive, through StreamingZipExtractor.
    StreamedUnpack streamZip(GrowingArchive &archive, const QString &destinationDir, const std::atomic_bool *cancel,
                             ExtractionProgress *progress, ExtractedChecksums *checksums,
                             const ExpectedFiles *expected) const override;

    // Bytes an archive of this size may unpack to:
    // min(maximumCap, max(minimumCap, ratio x archiveSize)).
    static qint64 writeCap(qint64 archiveSize, const Limits &limits);

private:
    Limits m_limits;
};
