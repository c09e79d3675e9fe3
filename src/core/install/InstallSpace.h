#pragma once

#include "AppInstallerError.h"
#include "ZipCentralDirectory.h"

#include <optional>

class DiskSpace;

// Whether an install fits where it writes: the archive and its extraction in
// the temporary folder, the staged copy beside the installed bundle. On one
// file system the staged copy is the extraction renamed, so it costs nothing
// more; on two it is a second copy.
namespace InstallSpace {

struct Archive {
    qint64 archiveBytes = -1;  // -1: unknown
    std::optional<ZipCentralDirectory::Contents> contents;
    // What measuring learnt on the way: the body bytes it received, and
    // whether the server answered its range request with a part (unknown
    // when it was not asked).
    qint64 receivedBytes = 0;
    std::optional<bool> servesRanges;
};

// What each file system involved needs and has, the temporary folder's first;
// file systems whose free space is unknown are left out. archiveWritten: the
// archive is already on disk, so the space it takes is no longer free.
QList<VolumeNeed> needs(const DiskSpace &disk, const QString &tempDir, const QString &installRoot,
                        const Archive &archive, bool archiveWritten);

// Throws AppInstallerError(notEnoughSpace) when one of them is short.
void require(const QList<VolumeNeed> &volumes);

}  // namespace InstallSpace
