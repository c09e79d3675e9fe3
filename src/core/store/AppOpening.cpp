#include "AppOpening.h"

#include "system/SystemLayers.h"

#include <QFileInfo>

bool AppOpening::openInstalled(Workspace *workspace, const QUrl &recorded, const QString &bundleId)
{
    if (recorded.isLocalFile() && QFileInfo::exists(recorded.toLocalFile())
        && (!workspace || workspace->canOpenApplication(recorded))) {
        if (workspace)
            workspace->openApplication(recorded);
        return true;
    }
    if (workspace && !bundleId.isEmpty()) {
        if (const std::optional<QUrl> found = workspace->urlForApplication(bundleId)) {
            workspace->openApplication(*found);
            return true;
        }
    }
    return false;
}
