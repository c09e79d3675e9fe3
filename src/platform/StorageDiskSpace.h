#pragma once

#include "install/InstallerLayers.h"

// Free space as the system reports it for this user (QStorageInfo), which
// leaves out the blocks a file system keeps for the administrator.
class StorageDiskSpace : public DiskSpace
{
public:
    VolumeSpace volumeOf(const QString &path) const override;
};
