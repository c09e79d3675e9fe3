#pragma once

// Free space set by the test, for the installer's space check.

#include "install/InstallerLayers.h"

#include <QList>
#include <memory>

class FakeDiskSpace : public DiskSpace
{
public:
    struct Volume {
        QString prefix;  // paths at or below it are on this file system
        QString name;
        qint64 available = 0;
    };
    // The longest matching prefix wins; other paths are on an unknown file system.
    QList<Volume> volumes;

    VolumeSpace volumeOf(const QString &path) const override
    {
        const Volume *best = nullptr;
        for (const Volume &volume : volumes) {
            const QString folder = volume.prefix.endsWith(QLatin1Char('/')) ? volume.prefix : volume.prefix + QLatin1Char('/');
            const bool below = path == volume.prefix || path.startsWith(folder);
            if (below && (!best || volume.prefix.size() > best->prefix.size()))
                best = &volume;
        }
        if (!best)
            return {};
        return {best->name, best->name, best->available};
    }
};

// A space check that always finds a terabyte free.
inline std::shared_ptr<const DiskSpace> roomyDisk()
{
    auto roomy = std::make_shared<FakeDiskSpace>();
    roomy->volumes = {{QStringLiteral("/"), QStringLiteral("/"), qint64(1) << 40}};
    return roomy;
}
