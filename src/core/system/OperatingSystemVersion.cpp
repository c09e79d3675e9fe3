#include "OperatingSystemVersion.h"

QString OperatingSystemVersion::toString() const
{
    return QStringLiteral("%1.%2.%3").arg(majorVersion).arg(minorVersion).arg(patchVersion);
}
