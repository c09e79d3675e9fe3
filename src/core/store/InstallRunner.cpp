#include "InstallRunner.h"

#include "SpaceWording.h"

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

InstallRunner::InstallRunner(const StoreCollaborators &collaborators, QObject *parent)
    : QObject(parent), m_c(collaborators)
{
}

void InstallRunner::start(const std::shared_ptr<AppOperation> &operation)
{
    m_running.insert(operation->appId(), operation);
    connect(operation.get(), &AppOperation::cancellableChanged, this, &InstallRunner::cancellableChanged);
    Q_EMIT started(operation.get());
    Q_EMIT cancellableChanged();
    run(operation->app());  // runs on by itself
}

QCoro::Task<void> InstallRunner::waitForStartEvent(InstallEvents *events, AppOperation *operation)
{
    if (events->sentCount() > 0 || operation->cancelFlag()->load())
        co_return;
    QTimer wake;
    wake.setSingleShot(true);
    const auto now = [&wake] { wake.start(0); };
    connect(events, &InstallEvents::sent, &wake, now);
    connect(operation, &AppOperation::cancellableChanged, &wake, now);
    wake.start(eventWaitMs);
    co_await wake;
}

AppOperation *InstallRunner::running(const QString &appId) const
{
    return m_running.value(appId).get();
}

bool InstallRunner::cancel(const QString &appId)
{
    AppOperation *operation = running(appId);
    return operation && operation->cancel();
}

QStringList InstallRunner::cancellable() const
{
    QStringList ids;
    for (const std::shared_ptr<AppOperation> &operation : m_running) {
        if (operation->isCancellable())
            ids.append(operation->appId());
    }
    ids.sort();
    return ids;
}

// The install's steps, in the order they run.
QCoro::Task<void> InstallRunner::run(AppManifestItem app)
{
    QPointer<InstallRunner> self(this);
    // The collaborators stay alive for the task even if the runner goes away.
    const std::shared_ptr<AppInstalling> installer = m_c.installer;
    const std::shared_ptr<ErrorReporting> reporter = m_c.errorReporter;
    InstallEvents *events = openEventQueue();
    events->send(installEvent(app, QStringLiteral("install_started"), QStringLiteral("started")));
    {
        QCoro::Task<void> waiting = waitForStartEvent(events, running(app.id));
        co_await waiting;
    }
    if (!self)
        co_return;
    QCoro::Task<Attempt> installing = attempt(installer, reporter, app, m_running.value(app.id), self);
    const Attempt attempted = co_await installing;
    if (!self)
        co_return;
    conclude(app, attempted, events);
}

InstallEvents *InstallRunner::openEventQueue()
{
    // Sent in order from the install's own queue of events, which outlives the
    // install until it is empty and goes with the runner (dropping the rest) at quit.
    auto *events = new InstallEvents(m_c.eventRecorder, this);
    ++m_eventQueues;
    connect(events, &QObject::destroyed, this, [this] {
        if (--m_eventQueues == 0)
            Q_EMIT eventsSent();
    });
    return events;
}

QCoro::Task<InstallRunner::Attempt> InstallRunner::attempt(std::shared_ptr<AppInstalling> installer,
                                                          std::shared_ptr<ErrorReporting> reporter, AppManifestItem app,
                                                          std::weak_ptr<AppOperation> operation,
                                                          QPointer<InstallRunner> runner)
{
    Attempt attempted;
    try {
        if (!installer)
            throw PlatformError(PlatformError::Domain::process, QStringLiteral("No installer is available."));
        // Cancelled while the start event was on its way: the installer never runs.
        if (operation.lock()->cancelFlag()->load())
            throw AppInstallerError(AppInstallerError::Kind::cancelled);
        InstallControl control = controlFor(operation, app);
        attempted.installed = co_await installer->install(app, std::move(control));
    } catch (const LauncherError &error) {
        attempted = Attempt::failedWith(error);
        // Reported with the error itself while the runner stands; the others as a message, later.
        if (runner && reporter && !attempted.cancelled) {
            reporter->report(error, reportContext(app));
            attempted.reported = true;
        }
    } catch (const std::exception &error) {
        attempted.failureDescription = QString::fromLocal8Bit(error.what());
        attempted.failureDebug = attempted.failureDescription;
    } catch (...) {
        attempted.failureDescription = QStringLiteral("Unknown error.");
        attempted.failureDebug = QStringLiteral("unknown");
    }
    co_return attempted;
}

InstallControl InstallRunner::controlFor(const std::weak_ptr<AppOperation> &operation, const AppManifestItem &app)
{
    InstallControl control;
    control.cancel = operation.lock()->cancelFlag();
    // A repair puts back the version installed, and keeps the previous copy as it is.
    if (operation.lock()->kind() == AppOperation::Kind::repair)
        control.repairVersion = app.version;
    control.onProgress = [operation](double fraction) {
        if (const auto o = operation.lock())
            o->setProgress(fraction);
    };
    control.onDownloadBytes = [operation](qint64 received, qint64 total) {
        if (const auto o = operation.lock())
            o->setDownloadedBytes(received, total);
    };
    control.onPlaced = [operation] {
        if (const auto o = operation.lock())
            o->markPlaced();
    };
    control.onTransferred = [operation](qint64 downloaded, qint64 reused) {
        if (const auto o = operation.lock())
            o->setTransferred(downloaded, reused);
    };
    control.onWholeArchive = [operation] {
        if (const auto o = operation.lock())
            o->markWholeArchive();
    };
    control.fullArchive = operation.lock()->wholeArchive();
    return control;
}

InstallRunner::Attempt InstallRunner::Attempt::failedWith(const LauncherError &error)
{
    Attempt failed;
    failed.failureDescription = error.localizedDescription();
    failed.failureDebug = error.debugDescription();
    if (const auto *installError = dynamic_cast<const AppInstallerError *>(&error)) {
        failed.installerError = *installError;
        failed.cancelled = installError->kind() == AppInstallerError::Kind::cancelled;
    }
    return failed;
}

void InstallRunner::conclude(const AppManifestItem &app, const Attempt &attempted, InstallEvents *events)
{
    QPointer<InstallRunner> self(this);
    // Out of the running set before anyone hears the outcome; kept alive while they do.
    const std::shared_ptr<AppOperation> operation = m_running.take(app.id);
    Q_EMIT cancellableChanged();

    if (attempted.installed) {
        events->send(installEvent(app, QStringLiteral("install_succeeded"), QStringLiteral("succeeded")));
        Q_EMIT succeeded(operation.get(), *attempted.installed);
    } else if (attempted.cancelled) {
        qCInfo(lcStore) << "Install cancelled:" << app.id;
        Q_EMIT cancelled(operation.get());
    } else {
        qCInfo(lcStore) << "Install failed:" << app.id;
        if (!attempted.reported && m_c.errorReporter)
            m_c.errorReporter->reportMessage(attempted.failureDescription, reportContext(app));
        // The one installer failure the user can put right is said in their language.
        const bool lackedSpace = attempted.installerError
            && attempted.installerError->kind() == AppInstallerError::Kind::notEnoughSpace;
        const QString reason = lackedSpace ? SpaceWording::sentence(attempted.installerError->volumes())
                                           : attempted.failureDescription;
        Q_EMIT failed(operation.get(), OperationOutcome::failed(reason, attempted.installerError));
    }
    if (!attempted.installed)
        events->send(installEvent(app, QStringLiteral("install_failed"), QStringLiteral("failed"), attempted.failureDebug));
    events->close();
    if (self)
        Q_EMIT finished(app.id, attempted.installed.has_value());
}
