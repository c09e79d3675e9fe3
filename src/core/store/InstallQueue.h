#pragma once

#include "InstallTransaction.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <memory>

class AppInstalling;
class ErrorReporting;
class OperationalEventRecording;
struct InstalledApp;

// Runs installs, one transaction per app at a time: sends the operational
// events around the installer, reports failures, stops an install on request
// until its bundle is placed, and hands each outcome to whoever listens (the
// store records it).
class InstallQueue : public QObject
{
    Q_OBJECT

public:
    struct Collaborators {
        std::shared_ptr<AppInstalling> installer;
        std::shared_ptr<OperationalEventRecording> eventRecorder;
        std::shared_ptr<ErrorReporting> errorReporter;
    };

    explicit InstallQueue(Collaborators collaborators, QObject *parent = nullptr);

    // Publishes the transaction (started) before the installer is called, so
    // a second start right after sees it running.
    void start(const AppManifestItem &app);
    // From start until the installer's outcome is known.
    bool isRunning(const QString &appId) const { return m_running.contains(appId); }
    InstallTransaction *transaction(const QString &appId) const { return m_running.value(appId); }
    // Asks the app's install to stop; false when none runs or it is past the swap.
    bool cancel(const QString &appId);
    // Ids of the installs that can still be cancelled, sorted.
    QStringList cancellable() const;

Q_SIGNALS:
    void started(InstallTransaction *transaction);
    // The installer placed the app; the transaction is already installed.
    void succeeded(InstallTransaction *transaction, const InstalledApp &installed);
    // The installer failed with this localized description.
    void failed(InstallTransaction *transaction, const QString &description);
    // The install stopped on request before its bundle was placed; nothing is
    // reported and no error shown.
    void cancelled(InstallTransaction *transaction);
    // The set that cancellable() lists may have changed.
    void cancellableChanged();
    // The task is over, its last event sent.
    void finished(const QString &appId, bool succeeded);

private:
    QCoro::Task<void> run(AppManifestItem app);

    Collaborators m_c;
    QHash<QString, InstallTransaction *> m_running;
};
