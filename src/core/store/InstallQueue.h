#pragma once

#include "InstallTransaction.h"
#include "OperationOutcome.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <memory>

class AppInstalling;
class InstallEvents;
class ErrorReporting;
class OperationalEventRecording;
struct InstalledApp;

// Runs installs, one transaction per app at a time: sends the operational
// events around the installer, reports failures, stops an install on request
// until its bundle is placed, and hands each outcome to whoever listens (the
// owner of installed apps records it). The installer waits for the
// "install_started" event at most eventWaitMs: a slow events service must not
// hold an install up.
class InstallQueue : public QObject
{
    Q_OBJECT

public:
    struct Collaborators {
        std::shared_ptr<AppInstalling> installer;
        std::shared_ptr<OperationalEventRecording> eventRecorder;
        std::shared_ptr<ErrorReporting> errorReporter;
    };

    static constexpr int eventWaitMs = 2000;

    explicit InstallQueue(Collaborators collaborators, QObject *parent = nullptr);

    // Publishes the transaction (started) before the installer is called, so
    // a second start right after sees it running.
    InstallTransaction *start(const AppManifestItem &app);
    // From start until the installer's outcome is known.
    bool isRunning(const QString &appId) const { return m_running.contains(appId); }
    InstallTransaction *transaction(const QString &appId) const { return m_running.value(appId); }
    // Asks the app's install to stop; false when none runs or it is past the swap.
    bool cancel(const QString &appId);
    // Ids of the installs that can still be cancelled, sorted.
    QStringList cancellable() const;
    // Whether events of ended installs are still on their way.
    bool hasEventsInFlight() const { return m_eventQueues > 0; }

Q_SIGNALS:
    void started(InstallTransaction *transaction);
    // The installer placed the app; the transaction is already installed.
    void succeeded(InstallTransaction *transaction, const InstalledApp &installed);
    // The installer failed: the outcome's localized description, and the
    // installer's error when it raised one.
    void failed(InstallTransaction *transaction, const OperationOutcome &outcome);
    // The install stopped on request before its bundle was placed; nothing is
    // reported and no error shown.
    void cancelled(InstallTransaction *transaction);
    // The set that cancellable() lists may have changed.
    void cancellableChanged();
    // The installer's outcome is handled; its last event is queued.
    void finished(const QString &appId, bool succeeded);
    // The last queued event of every install has left.
    void eventsSent();

private:
    QCoro::Task<void> run(AppManifestItem app);
    // Until "install_started" has left, eventWaitMs have passed or the install is cancelled.
    QCoro::Task<void> waitForStartEvent(InstallEvents *events, InstallTransaction *transaction);

    Collaborators m_c;
    QHash<QString, InstallTransaction *> m_running;
    int m_eventQueues = 0;
};
