#include "AppOpening.h"

#include <QFileInfo>

namespace AppOpening {
namespace {

Result started(Workspace &workspace, const QUrl &bundle)
{
    return {workspace.openApplication(bundle) ? Result::Kind::opened : Result::Kind::notStarted, std::nullopt};
}

}  // namespace

Result openInstalled(Workspace *workspace, const QUrl &recorded, const QString &bundleId)
{
    if (recorded.isLocalFile() && QFileInfo::exists(recorded.toLocalFile())) {
        if (!workspace)
            return {Result::Kind::opened, std::nullopt};
        if (workspace->canOpenApplication(recorded))
            return started(*workspace, recorded);
        // Another copy the system knows is not ours to start in its place:
        // the user asked for this one, and learns what is wrong with it.
        LaunchProblem problem = workspace->launchProblem(recorded).value_or(
            LaunchProblem{LaunchProblem::Kind::programUnnamed, QByteArrayLiteral("Contents/Info.plist")});
        return {Result::Kind::damaged, problem};
    }
    if (workspace && !bundleId.isEmpty()) {
        if (const std::optional<QUrl> found = workspace->urlForApplication(bundleId))
            return started(*workspace, *found);
    }
    return {Result::Kind::notFound, std::nullopt};
}

VerificationFinding finding(const LaunchProblem &problem)
{
    using Kind = VerificationFinding::Kind;
    switch (problem.kind) {
    case LaunchProblem::Kind::programMissing: return {Kind::missing, problem.path};
    case LaunchProblem::Kind::notExecutable:
    case LaunchProblem::Kind::unreadable: return {Kind::permissions, problem.path};
    case LaunchProblem::Kind::programUnnamed: break;
    }
    return {Kind::changed, problem.path};
}

QString problemText(const QString &appName, const LaunchProblem &problem)
{
    const QString path = QString::fromUtf8(problem.path);
    switch (problem.kind) {
    case LaunchProblem::Kind::programMissing: return qtTrId("errorProgramMissing").arg(appName, path);
    case LaunchProblem::Kind::notExecutable: return qtTrId("errorProgramNotExecutable").arg(appName, path);
    case LaunchProblem::Kind::unreadable: return qtTrId("errorProgramUnreadable").arg(appName, path);
    case LaunchProblem::Kind::programUnnamed: break;
    }
    return qtTrId("errorProgramUnnamed").arg(appName);
}

}  // namespace AppOpening
