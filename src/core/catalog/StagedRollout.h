#pragma once

#include <QString>

// Staged rollouts: a catalog may offer an app's new version to a share of
// the installed copies only. Each installation draws, per app and version,
// a bucket from its own random install id; the version is offered when the
// bucket is below the catalog's percent. The install id never leaves the
// machine: only this comparison uses it.
namespace StagedRollout {

// 0 to 99, the same for one install id, app and version wherever it is asked;
// a new version draws again, so the same copies are not always the first.
int bucket(const QString &installId, const QString &appId, const QString &version);

// Whether the version reaches this installation at percent (0 nobody, 100 everybody).
bool offered(const QString &installId, const QString &appId, const QString &version, int percent);

// Whether percent alone decides, for every installation alike (so no id is needed).
inline bool decidedByPercent(int percent)
{
    return percent <= 0 || percent >= 100;
}

}  // namespace StagedRollout
