#pragma once

// What the installer needs from the operating system beyond SystemLayers.h:
// extraction and the atomic swap. Implemented in src/platform.

#include <QtGlobal>
#include <QString>
#include <atomic>

// How far an extraction has come, for progress; written by the extracting
// threads, read by the installer.
struct ExtractionProgress {
    // What the entries declare they unpack to, once read (0 until then).
    std::atomic<qint64> totalBytes{0};
    std::atomic<qint64> writtenBytes{0};
};

// Unpacks a ZIP archive into an existing directory. Blocking; called from a
// worker thread. Throws PlatformError(archive) on any failure, including an
// entry that would land outside destination; a write the disk refuses (full,
// read-only, no permission) throws PlatformError(fileSystem) instead, which
// the installer passes through. cancel, when set, is polled; progress, when
// set, is kept up to date.
class ArchiveExtractor
{
public:
    virtual ~ArchiveExtractor() = default;
    virtual void extractZip(const QString &archivePath, const QString &destinationDir,
                            const std::atomic_bool *cancel = nullptr, ExtractionProgress *progress = nullptr) const = 0;
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
