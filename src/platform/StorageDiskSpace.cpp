#include "StorageDiskSpace.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

VolumeSpace StorageDiskSpace::volumeOf(const QString &path) const
{
    // A folder an install is about to make is on its nearest existing parent's file system.
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo::exists(existing) && existing != QDir::rootPath())
        existing = QFileInfo(existing).absolutePath();
    const QStorageInfo storage(existing);
    if (!storage.isValid() || !storage.isReady())
        return {};
    // Two mounts of one device are still two file systems to rename(2).
    return {QString::fromLocal8Bit(storage.device()) + QLatin1Char('\n') + storage.rootPath(), storage.rootPath(),
            storage.bytesAvailable()};
}
