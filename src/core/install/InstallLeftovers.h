#pragma once

#include <QString>

// What interrupted installs left behind, cleared at start.
namespace InstallLeftovers {

// Removes "VantrelInstall-" work directories in tempDir (empty: the system
// temporary directory) and hidden ".staged" items, stale lock files and tree
// files no note names in installRoot, skipping whatever a running install
// (in any process) still holds; kept previous copies stay. Blocking; call at
// start. Returns how many items were removed.
int remove(const QString &installRoot, const QString &tempDir = QString());

}  // namespace InstallLeftovers
