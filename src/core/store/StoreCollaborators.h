#pragma once

#include <QDateTime>

#include <functional>
#include <memory>

class ManifestLoading;
class AppInstalling;
class InstalledCopyHandling;
class OperationalEventRecording;
class FeedbackReporting;
class ErrorReporting;
class UserDefaults;
class Workspace;
class SystemVersionProvider;
class SystemLanguageProvider;
class AppProperties;
class DesktopEntries;
class RunningProcesses;
class NetworkCost;

// What the store is built from and keeps for its whole life: the clients, the
// user defaults and the platform layers. Any of them may be missing in tests.
struct StoreCollaborators {
    std::shared_ptr<ManifestLoading> manifestLoader;
    std::shared_ptr<AppInstalling> installer;
    // What acts on an installed copy: roll back, remove, verify, repair.
    std::shared_ptr<InstalledCopyHandling> installedCopies;
    std::shared_ptr<OperationalEventRecording> eventRecorder;
    std::shared_ptr<FeedbackReporting> feedbackClient;
    std::shared_ptr<ErrorReporting> errorReporter;
    std::shared_ptr<UserDefaults> userDefaults;
    // Platform layers.
    std::shared_ptr<Workspace> workspace;
    std::shared_ptr<const SystemVersionProvider> systemVersion;
    std::shared_ptr<const SystemLanguageProvider> systemLanguage;
    std::shared_ptr<const AppProperties> appProperties;
    // The installed apps' entries in the desktop's menu; none where the
    // system finds installed apps by itself.
    std::shared_ptr<DesktopEntries> desktopEntries;
    // Processes running from installed bundles; none: no app counts as running.
    std::shared_ptr<RunningProcesses> runningProcesses;
    // Whether the connection is metered; none: not known, nothing asks.
    std::shared_ptr<const NetworkCost> networkCost;
    // Whether the store watches the user defaults for changes other processes
    // make; a command that runs for moments has no view to keep current.
    bool followChangesElsewhere = true;
    // This computer's clock (UTC), which tells whether the catalog has
    // expired; none: the system clock. Tests set the time here.
    std::function<QDateTime()> clock;

    QDateTime now() const { return clock ? clock() : QDateTime::currentDateTimeUtc(); }
};
