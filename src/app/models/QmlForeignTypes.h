#pragma once

#include "store/LauncherStore.h"

#include <QtQml/qqml.h>

// Makes the store's type known to QML so views can declare `LauncherStore store`.
struct LauncherStoreForeign {
    Q_GADGET
    QML_FOREIGN(LauncherStore)
    QML_NAMED_ELEMENT(LauncherStore)
    QML_UNCREATABLE("The application creates the one store.")
};

// Verify, repair and verify all (store.checks).
struct InstalledAppChecksForeign {
    Q_GADGET
    QML_FOREIGN(InstalledAppChecks)
    QML_ANONYMOUS
};

// Cancel, remove, roll back and update all (store.manage).
struct AppManagementForeign {
    Q_GADGET
    QML_FOREIGN(AppManagement)
    QML_ANONYMOUS
};

// Questions about running apps, and the apps that wait to quit (store.running).
struct RunningAppsForeign {
    Q_GADGET
    QML_FOREIGN(RunningApps)
    QML_ANONYMOUS
};

// The question before a download on a metered connection (store.metered).
struct MeteredDownloadsForeign {
    Q_GADGET
    QML_FOREIGN(MeteredDownloads)
    QML_ANONYMOUS
};

// What a question about a running app would change: `question.change === RunningChange.Update`.
namespace RunningChangeForQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(RunningChange)
enum Kind {
    Update = int(RunningApps::Change::update),
    Remove = int(RunningApps::Change::remove),
    RollBack = int(RunningApps::Change::rollBack),
    Repair = int(RunningApps::Change::repair),
};
Q_ENUM_NS(Kind)
}  // namespace RunningChangeForQml

// An install state's case for the views, which find enum values by
// capitalised names only: `state.kind === InstallState.Failed`. Each value is
// the core's own case.
namespace InstallStateForQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(InstallState)
enum Kind {
    NotInstalled = int(AppInstallState::Kind::notInstalled),
    Installing = int(AppInstallState::Kind::installing),
    Installed = int(AppInstallState::Kind::installed),
    UpdateAvailable = int(AppInstallState::Kind::updateAvailable),
    Failed = int(AppInstallState::Kind::failed),
};
Q_ENUM_NS(Kind)
}  // namespace InstallStateForQml

// A record's release status and accent, and the feedback form's state, named
// the same way: `app.status === ReleaseStatus.Beta`, `Accent.Violet`,
// `store.feedbackState.kind === FeedbackState.Submitting`.
namespace ReleaseStatusForQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(ReleaseStatus)
enum Kind {
    Beta = int(AppReleaseStatus::beta),
    Live = int(AppReleaseStatus::live),
    ComingSoon = int(AppReleaseStatus::comingSoon),
    Retired = int(AppReleaseStatus::retired),
};
Q_ENUM_NS(Kind)
}  // namespace ReleaseStatusForQml

namespace AccentForQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(Accent)
enum Kind {
    Lime = int(AppAccent::lime),
    Violet = int(AppAccent::violet),
    Amber = int(AppAccent::amber),
    Blue = int(AppAccent::blue),
    Cyan = int(AppAccent::cyan),
};
Q_ENUM_NS(Kind)
}  // namespace AccentForQml

// The kinds of feedback, in the order of the sheet's picker: `FeedbackType.Bug`.
namespace FeedbackTypeForQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(FeedbackType)
enum Kind {
    Bug = int(FeedbackType::bug),
    Idea = int(FeedbackType::idea),
    Improvement = int(FeedbackType::improvement),
    Other = int(FeedbackType::other),
};
Q_ENUM_NS(Kind)
}  // namespace FeedbackTypeForQml

namespace FeedbackStateForQml {
Q_NAMESPACE
QML_NAMED_ELEMENT(FeedbackState)
enum Kind {
    Idle = int(FeedbackSubmissionState::Kind::idle),
    Submitting = int(FeedbackSubmissionState::Kind::submitting),
    Submitted = int(FeedbackSubmissionState::Kind::submitted),
    Failed = int(FeedbackSubmissionState::Kind::failed),
};
Q_ENUM_NS(Kind)
}  // namespace FeedbackStateForQml
