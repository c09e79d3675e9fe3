#pragma once

// What the installer needs from the operating system beyond SystemLayers.h:
// extraction and the atomic swap. Implemented in src/platform.

#include <QString>
#include <atomic>

// Unpacks a ZIP archive into an existing directory. Blocking; called from a
// worker thread. Throws PlatformError(archive) on any failure, including an
// entry that would land outside destination; a write the disk refuses (full,
// read-only, no permission) throws PlatformError(fileSystem) instead, which
// the installer passes through. cancel, when set, is polled.
class ArchiveExtractor
{
public:
    virtual ~ArchiveExtractor() = default;
    virtual void extractZip(const QString &archivePath, const QString &destinationDir,
                            const std::atomic_bool *cancel = nullptr) const = 0;
};

// Replaces the item at destination with staged in one atomic step, then removes
// the old copy; moves staged into place when nothing is at destination.
// Blocking; throws PlatformError(fileSystem). On failure destination is unchanged.
class DirectoryReplacer
{
public:
    virtual ~DirectoryReplacer() = default;
    virtual void replaceItem(const QString &destination, const QString &staged) const = 0;
};
