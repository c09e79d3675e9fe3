#pragma once

#include "install/BundleVerification.h"
#include "system/SystemLayers.h"

#include <QString>
#include <QUrl>

#include <optional>

class Workspace;

namespace AppOpening {

struct Result {
    enum class Kind {
        opened,
        // The recorded bundle is there but its program cannot start: the
        // copy is damaged, never forgotten.
        damaged,
        // The system refused to start a program that looked fine.
        notStarted,
        // No bundle at the recorded place, nor one the system knows by identifier.
        notFound,
    };
    Kind kind = Kind::notFound;
    std::optional<LaunchProblem> problem;  // damaged
};

// Opens an installed app through the workspace: the bundle at recorded when
// it is there, else wherever the system knows a bundle with that identifier.
// Without a workspace (tests) a recorded bundle that exists counts as opened.
Result openInstalled(Workspace *workspace, const QUrl &recorded, const QString &bundleId);

// The launch problem as a verify would report it, so that Repair offers
// what puts it right: the bits in place, else a fresh copy.
VerificationFinding finding(const LaunchProblem &problem);

// "Inkwell cannot start: its program Contents/MacOS/Inkwell is not executable. Repair puts it right."
QString problemText(const QString &appName, const LaunchProblem &problem);

}  // namespace AppOpening
