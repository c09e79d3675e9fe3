#pragma once

#include "install/AppInstaller.h"
#include "install/InstalledCopyOperations.h"
#include "store/LauncherStore.h"

class QNetworkAccessManager;
class LinuxWorkspace;

// The one place that builds the real collaborators; the launcher, the
// command-line tool and the benchmark all start from here.

// ~/Applications/Vantrel
QString defaultInstallRoot();

// The running system's version, libarchive extraction, Info.plist reading and
// the atomic swap.
AppInstaller::Layers defaultInstallerLayers();

// What acts on the installed copies under installRoot, with the atomic swap
// the installer's layers make.
std::shared_ptr<InstalledCopyOperations> defaultInstalledCopies(const QString &installRoot);

// The installed apps' desktop entries for the workspace's bundles; none on
// macOS, which lists every app under ~/Applications by itself.
std::shared_ptr<DesktopEntries> defaultDesktopEntries(std::shared_ptr<const LinuxWorkspace> workspace);

// The store's collaborators: endpoints from the environment and the
// application properties, the clients over session (which must outlive them),
// the platform layers and the error reporter.
LauncherStore::Collaborators defaultCollaborators(QNetworkAccessManager *session,
                                                  const QString &installRoot = defaultInstallRoot());
