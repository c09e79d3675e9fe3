#include "InstallSpace.h"

#include "InstallerLayers.h"

#include <algorithm>

namespace InstallSpace {

QList<VolumeNeed> needs(const DiskSpace &disk, const QString &tempDir, const QString &installRoot,
                        const Archive &archive, bool archiveWritten)
{
    const qint64 unpacked = archive.contents ? archive.contents->diskBytes : 0;
    const qint64 download = archiveWritten ? 0 : qMax<qint64>(archive.archiveBytes, 0);
    if (download == 0 && unpacked == 0)
        return {};
    const VolumeSpace temp = disk.volumeOf(tempDir);
    const VolumeSpace root = disk.volumeOf(installRoot);
    QList<std::pair<VolumeSpace, qint64>> volumes;
    if (!temp.id.isEmpty() && temp.id == root.id) {
        volumes.append({temp, download + unpacked});
    } else {
        volumes.append({temp, download + unpacked});
        volumes.append({root, unpacked});
    }
    QList<VolumeNeed> result;
    for (const auto &[volume, needed] : volumes) {
        if (volume.available >= 0 && needed > 0)
            result.append({volume.name, needed, volume.available});
    }
    return result;
}

void require(const QList<VolumeNeed> &volumes)
{
    if (std::any_of(volumes.cbegin(), volumes.cend(), [](const VolumeNeed &volume) { return !volume.fits(); }))
        throw AppInstallerError::notEnoughSpace(volumes);
}

}  // namespace InstallSpace
