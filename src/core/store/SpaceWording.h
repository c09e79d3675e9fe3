#pragma once

#include "install/AppInstallerError.h"

// The not-enough-space failure in the language installed: each file system
// with the space needed and free, sizes in the language's digits.
namespace SpaceWording {
QString sentence(const QList<VolumeNeed> &volumes);
}
