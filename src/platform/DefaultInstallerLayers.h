#pragma once

#include "install/AppInstaller.h"

// The real platform layers the installer runs with: the running system's
// version, libarchive extraction, Info.plist reading and the atomic swap.
AppInstaller::Layers defaultInstallerLayers();
