#pragma once

#include "links/LauncherLink.h"

#include <QString>

// Hands a link to the launcher by starting it with the link: a running
// launcher gets it through its one-instance channel, else one starts. The
// search program never shows anything itself.
namespace LauncherActivation {

// vantrel-launcher beside this program (a build tree), else in the bin folder
// of its prefix (installed), else from PATH.
QString launcherProgram();

bool show(const LauncherLink &link);

}  // namespace LauncherActivation
