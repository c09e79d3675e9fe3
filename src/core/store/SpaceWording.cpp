#include "SpaceWording.h"

#include <QLocale>
#include <QStringList>

namespace SpaceWording {

QString sentence(const QList<VolumeNeed> &volumes)
{
    const QLocale locale;
    QStringList parts;
    for (const VolumeNeed &volume : volumes) {
        parts.append(qtTrId("spaceOnVolume")
                         .arg(volume.volume, locale.formattedDataSize(volume.needed, 1, QLocale::DataSizeSIFormat),
                              locale.formattedDataSize(volume.available, 1, QLocale::DataSizeSIFormat)));
    }
    return qtTrId("errorNotEnoughSpace").arg(parts.join(QStringLiteral("; ")));
}

}  // namespace SpaceWording
