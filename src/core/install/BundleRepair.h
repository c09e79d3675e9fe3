#pragma once

#include <QString>

// Repairs of an installed bundle that need no download. A fresh install of
// the installed version (InstallControl::repairVersion) covers the rest.
namespace BundleRepair {

// Puts back the permission bits the bundle's receipt records, in place, on
// the files and folders it names that are still of the kind it records;
// nothing else is touched, nothing outside the bundle is reached (no link is
// followed) and contents stay as they are. Returns how many entries changed.
// Blocking; run while holding the app's lock. Throws PlatformError(fileSystem)
// when the receipt holds no readable tree or a change is refused.
int restorePermissions(const QString &bundlePath, const QString &appId);

}  // namespace BundleRepair
