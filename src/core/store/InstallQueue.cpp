#include "InstallQueue.h"

#include "InstallEvents.h"
#include "install/AppInstaller.h"
#include "log/Logging.h"
#include "monitoring/Monitoring.h"

#include <QCoroTimer>
#include <QPointer>
#include <QTimer>

namespace {

LauncherOperationalEvent installEvent(const AppManifestItem &app, const QString &type, const QString &status,
                                      std::optional<QString> reason = std::nullopt)
{
    LauncherOperationalEvent event;
    event.eventType = type;
    event.appSlug = app.id;
    event.appVersion = app.version;
    event.status = status;
    event.reason = std::move(reason);
    return event;
}

QMap<QString, QString> reportContext(const AppManifestItem &app)
{
    return {{QStringLiteral("flow"), QStringLiteral("install")},
            {QStringLiteral("app"), app.id},
            {QStringLiteral("version"), app.version}};
}

}  // namespace

InstallQueue::InstallQueue(Collaborators collaborators, QObject *parent)
    : QObject(parent), m_c(std::move(collaborators))
{
}

InstallTransaction *InstallQueue::start(const AppManifestItem &app)
{
    auto *transaction = new InstallTransaction(app, this);
    m_running.insert(app.id, transaction);
    connect(transaction, &InstallTransaction::cancellableChanged, this, &InstallQueue::cancellableChanged);
    Q_EMIT started(transaction);
    Q_EMIT cancellableChanged();
    run(app);  // runs on by itself and frees itself when done
    return transaction;
}

QCoro::Task<void> InstallQueue::waitForStartEvent(InstallEvents *events, InstallTransaction *transaction)
{
    if (events->sentCount() > 0 || transaction->cancelFlag()->load())
        co_return;
    QTimer wake;
    wake.setSingleShot(true);
    const auto now = [&wake] { wake.start(0); };
    connect(events, &InstallEvents::sent, &wake, now);
    connect(transaction, &InstallTransaction::cancellableChanged, &wake, now);
    wake.start(eventWaitMs);
    co_await wake;
}

bool InstallQueue::cancel(const QString &appId)
{
    InstallTransaction *transaction = m_running.value(appId);
    return transaction && transaction->cancel();
}

QStringList InstallQueue::cancellable() const
{
    QStringList ids;
    for (const InstallTransaction *transaction : m_running) {
        if (transaction->isCancellable())
            ids.append(transaction->appId());
    }
    ids.sort();
    return ids;
}

QCoro::Task<void> InstallQueue::run(AppManifestItem app)
{
    QPointer<InstallQueue> self(this);
    // The collaborators stay alive for the task even if the queue goes away.
    const std::shared_ptr<AppInstalling> installer = m_c.installer;
    const std::shared_ptr<OperationalEventRecording> recorder = m_c.eventRecorder;
    const std::shared_ptr<ErrorReporting> reporter = m_c.errorReporter;

    // Sent in order from the install's own queue, which outlives the install
    // until it is empty and goes with the queue (dropping the rest) at quit.
    auto *events = new InstallEvents(recorder, this);
    ++m_eventQueues;
    connect(events, &QObject::destroyed, this, [this] {
        if (--m_eventQueues == 0)
            Q_EMIT eventsSent();
    });
    events->send(installEvent(app, QStringLiteral("install_started"), QStringLiteral("started")));
    {
        QCoro::Task<void> waiting = waitForStartEvent(events, m_running.value(app.id));
        co_await waiting;
    }
    if (!self)
        co_return;

    std::optional<InstalledApp> installed;
    QString failureDescription;
    QString failureDebug;
    std::optional<AppInstallerError> installerError;
    bool reported = false;
    bool wasCancelled = false;
    try {
        if (!installer)
            throw PlatformError(PlatformError::Domain::process, QStringLiteral("No installer is available."));
        InstallTransaction *transaction = m_running.value(app.id);
        // Cancelled while the start event was on its way: the installer never runs.
        if (transaction->cancelFlag()->load())
            throw AppInstallerError(AppInstallerError::Kind::cancelled);
        const auto running = [self, id = app.id] { return self ? self->m_running.value(id) : nullptr; };
        InstallControl control;
        control.cancel = transaction->cancelFlag();
        control.onProgress = [running](double fraction) {
            if (InstallTransaction *t = running())
                t->setProgress(fraction);
        };
        control.onDownloadBytes = [running](qint64 received, qint64 total) {
            if (InstallTransaction *t = running())
                t->setDownloadedBytes(received, total);
        };
        control.onPlaced = [running] {
            if (InstallTransaction *t = running())
                t->markPlaced();
        };
        installed = co_await installer->install(app, std::move(control));
    } catch (const LauncherError &error) {
        failureDescription = error.localizedDescription();
        failureDebug = error.debugDescription();
        const auto *installError = dynamic_cast<const AppInstallerError *>(&error);
        wasCancelled = installError && installError->kind() == AppInstallerError::Kind::cancelled;
        if (installError)
            installerError = *installError;
        if (self && reporter && !wasCancelled) {
            reporter->report(error, reportContext(app));
            reported = true;
        }
    } catch (const std::exception &error) {
        failureDescription = QString::fromLocal8Bit(error.what());
        failureDebug = failureDescription;
    } catch (...) {
        failureDescription = QStringLiteral("Unknown error.");
        failureDebug = QStringLiteral("unknown");
    }
    if (!self)
        co_return;
    InstallTransaction *transaction = m_running.take(app.id);
    transaction->deleteLater();
    Q_EMIT cancellableChanged();

    if (installed) {
        events->send(installEvent(app, QStringLiteral("install_succeeded"), QStringLiteral("succeeded")));
        transaction->setState(AppInstallState::installed(installed->version));
        Q_EMIT succeeded(transaction, *installed);
        events->close();
        if (self)
            Q_EMIT finished(app.id, true);
        co_return;
    }

    if (wasCancelled) {
        qCInfo(lcStore) << "Install cancelled:" << app.id;
        Q_EMIT cancelled(transaction);
    } else {
        qCInfo(lcStore) << "Install failed:" << app.id;
        if (!reported && reporter)
            reporter->reportMessage(failureDescription, reportContext(app));
        Q_EMIT failed(transaction, OperationOutcome::failed(failureDescription, installerError));
    }
    events->send(installEvent(app, QStringLiteral("install_failed"), QStringLiteral("failed"), failureDebug));
    events->close();
    if (self)
        Q_EMIT finished(app.id, false);
}
