#pragma once

#include <QString>
#include <QUrl>

class Workspace;

namespace AppOpening {

// Opens an installed app through the workspace: the bundle at recorded when
// it still exists and can be opened, else wherever the system knows a bundle
// with that identifier. False when neither is found. Without a workspace
// (tests) a recorded bundle that exists counts as opened.
bool openInstalled(Workspace *workspace, const QUrl &recorded, const QString &bundleId);

}  // namespace AppOpening
