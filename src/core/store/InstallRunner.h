#pragma once

#include "AppOperation.h"
#include "OperationOutcome.h"
#include "StoreCollaborators.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <memory>

class InstallEvents;

// Runs installs, updates and repair installs, one per app at a time, each as its operation:
// sends the operational events around the installer, reports failures, stops
// an install on request until its bundle is placed, and hands each outcome to
// whoever listens (the owner of installed apps records it and finishes the
// operation). The installer waits for the "install_started" event at most
// eventWaitMs: a slow events service must not hold an install up.
class InstallRunner : public QObject
{
    Q_OBJECT

public:
    static constexpr int eventWaitMs = 2000;

    explicit InstallRunner(const StoreCollaborators &collaborators, QObject *parent = nullptr);

    // Publishes the operation (started) before the installer is called, so
    // a second start right after sees it running.
    void start(const std::shared_ptr<AppOperation> &operation);
    // From start until the installer's outcome is known.
    bool isRunning(const QString &appId) const { return m_running.contains(appId); }
    AppOperation *running(const QString &appId) const;
    // Asks the app's install to stop; false when none runs or it is past the swap.
    bool cancel(const QString &appId);
    // Ids of the installs that can still be cancelled, sorted.
    QStringList cancellable() const;
    // Whether events of ended installs are still on their way.
    bool hasEventsInFlight() const { return m_eventQueues > 0; }

Q_SIGNALS:
    void started(AppOperation *operation);
    // The installer placed the app.
    void succeeded(AppOperation *operation, const InstalledApp &installed);
    // The installer failed: the outcome's localized description, and the
    // installer's error when it raised one.
    void failed(AppOperation *operation, const OperationOutcome &outcome);
    // The install stopped on request before its bundle was placed; nothing is
    // reported and no error shown.
    void cancelled(AppOperation *operation);
    // The set that cancellable() lists may have changed.
    void cancellableChanged();
    // The installer's outcome is handled; its last event is queued.
    void finished(const QString &appId, bool succeeded);
    // The last queued event of every install has left.
    void eventsSent();

private:
    // What the installer's call came to.
    struct Attempt {
        std::optional<InstalledApp> installed;
        QString failureDescription;  // localized
        QString failureDebug;        // the "install_failed" event's reason
        std::optional<AppInstallerError> installerError;
        bool cancelled = false;
        bool reported = false;  // the error went to the reporter already
        static Attempt failedWith(const LauncherError &error);
    };

    QCoro::Task<void> run(AppManifestItem app);
    // The install's own queue of events, counted until it has sent its last.
    InstallEvents *openEventQueue();
    // Until "install_started" has left, eventWaitMs have passed or the install is cancelled.
    QCoro::Task<void> waitForStartEvent(InstallEvents *events, AppOperation *operation);
    // Calls the installer, and catches and reports whatever it throws; holds
    // what it uses, so it runs on after the runner goes (as at quit).
    static QCoro::Task<Attempt> attempt(std::shared_ptr<AppInstalling> installer, std::shared_ptr<ErrorReporting> reporter,
                                        AppManifestItem app, std::weak_ptr<AppOperation> operation,
                                        QPointer<InstallRunner> runner);
    // The operation's callbacks into the installer.
    static InstallControl controlFor(const std::weak_ptr<AppOperation> &operation, const AppManifestItem &app);
    // Hands the outcome on: the operation leaves the running set, the event
    // goes out, one of succeeded, cancelled or failed, then finished.
    void conclude(const AppManifestItem &app, const Attempt &attempted, InstallEvents *events);

    StoreCollaborators m_c;
    QHash<QString, std::shared_ptr<AppOperation>> m_running;
    int m_eventQueues = 0;
};
