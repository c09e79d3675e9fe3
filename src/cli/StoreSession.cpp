#include "StoreSession.h"

#include "DefaultCollaborators.h"
#include "install/InstallLeftovers.h"
#include "install/BackgroundCleanup.h"
#include "monitoring/Monitoring.h"

#include <QEventLoop>
#include <QTimer>

bool ReportingWorkspace::openApplication(const QUrl &bundleUrl)
{
    const bool started = m_inner->openApplication(bundleUrl);
    if (started)
        openedUrl = bundleUrl;
    return started;
}

StoreSession::StoreSession(VantrelLocale locale)
{
    installRoot = defaultInstallRoot();
    // Every start clears what an interrupted install left (live installs are skipped).
    InstallLeftovers::remove(installRoot);
    session = std::make_unique<QNetworkAccessManager>();
    LauncherStore::Collaborators c = defaultCollaborators(session.get(), installRoot);
    reporter = std::dynamic_pointer_cast<LauncherErrorReporter>(c.errorReporter);
    workspace = std::make_shared<ReportingWorkspace>(c.workspace);
    c.workspace = workspace;
    c.followChangesElsewhere = false;
    store = std::make_unique<LauncherStore>(std::move(c), SeedManifest::manifest());
    store->setLocale(locale);
    // A bundle deleted by hand leaves its menu entry behind until some command looks.
    store->installedApps()->tidyDesktop();
}

StoreSession::~StoreSession()
{
    // Events still on their way get a moment; a service that does not answer holds nothing up.
    if (store->installedApps()->hasEventsInFlight()) {
        QEventLoop loop;
        QObject::connect(store->installedApps(), &InstalledApps::eventsSent, &loop, &QEventLoop::quit);
        QTimer::singleShot(eventGraceMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // So do error reports: `update` runs its installs without await(), and a
    // failure's report must not be cut off when the process ends.
    if (reporter)
        reporter->waitForPendingReports(5000);
    // What the last install left to remove goes before the process does.
    BackgroundCleanup::waitForAll(60000);
    // The store goes before the network session its collaborators use.
    store.reset();
}

bool StoreSession::refresh()
{
    store->setErrorMessage(std::nullopt);
    waitForTask(store->loadManifest());
    if (const auto &message = store->errorMessage()) {
        Cli::err() << Cli::printable(*message) << Qt::endl;
        // An expired catalog was still fetched: what it refuses, each command says.
        return store->catalogFailureReason().isEmpty() && store->catalogExpiredOn();
    }
    return true;
}

OperationOutcome StoreSession::await(const InstalledApps::Operation &operation)
{
    const OperationOutcome outcome = waitForTask(operation->result());
    if (outcome.kind == OperationOutcome::Kind::refused) {
        // An expired catalog's line already says why.
        const QString why = outcome.refusal == Refusal::catalogExpired ? QString()
                                                                       : QLatin1Char(' ') + qtTrId(RefusalText::key(*outcome.refusal));
        Cli::err() << Cli::printable(store->installedApps()->errorLine(*operation) + why) << Qt::endl;
    }
    // An error report may still be on its way.
    if (reporter && operation->isInstall())
        reporter->waitForPendingReports(5000);
    return outcome;
}

std::optional<AppManifestItem> StoreSession::find(const CliCommand &command, const QString &id) const
{
    const std::optional<AppManifestItem> app = store->installedApps()->describedApp(id);
    if (!app)
        Cli::err() << "vantrel " << command.name << ": " << qtTrId("cliUnknownApp").arg(Cli::printable(id)) << Qt::endl;
    return app;
}

std::optional<int> StoreSession::catalogExpired(const CliCommand &command) const
{
    if (!store->catalogExpiredOn())
        return std::nullopt;
    Cli::err() << "vantrel " << command.name << ": " << qtTrId("refusalCatalogExpired") << Qt::endl;
    return CliExit::catalogExpired;
}

int StoreSession::catalogUnreachable(const CliCommand &command) const
{
    Cli::err() << "vantrel " << command.name << ": "
               << qtTrId("cliCatalogUnreachable").arg(Cli::printable(store->catalogFailureReason())) << Qt::endl;
    return CliExit::unreachable;
}
