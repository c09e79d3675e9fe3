// `vantrel repair`: each app verified, then what the verify found put right
// through the store, as the window does: the permission bits in place, or a
// fresh install of the installed version. With --json, standard output holds
// JSON lines only: each verify's object (as `vantrel verify --json` prints
// it), a repair install's progress and state, then {"id", "repaired"}.

#include "CliCommand.h"

#include "ChangeGuards.h"
#include "InstallReport.h"
#include "Interrupt.h"
#include "StoreSession.h"
#include "VerifyCommand.h"

namespace {

enum class Repaired { yes, nothingToDo, failed, interrupted, unreachable, running };

// What one app's repair came to, as a line of text or of JSON.
void printRepaired(const AppManifestItem &app, bool repaired, bool json)
{
    if (json)
        Cli::printJson({{QStringLiteral("id"), app.id}, {QStringLiteral("repaired"), repaired}});
    else if (repaired)
        Cli::out() << qtTrId("cliRepaired").arg(Cli::printable(app.name)) << Qt::endl;
}

// current: the operation running now, for Ctrl-C to stop.
Repaired repairOne(StoreSession &s, const AppManifestItem &app, bool catalogFetched, const CliInvocation &call,
                   InstalledApps::Operation &current)
{
    const bool json = call.isSet(QStringLiteral("json"));
    InstalledApps *apps = s.store->installedApps();
    current = apps->verify(app);
    const OperationOutcome verified = s.await(current);
    if (verified.kind == OperationOutcome::Kind::cancelled)
        return Repaired::interrupted;
    if (verified.kind != OperationOutcome::Kind::done) {
        if (verified.kind == OperationOutcome::Kind::failed)
            Cli::err() << Cli::printable(app.name) << ": " << Cli::printable(verified.reason) << Qt::endl;
        printRepaired(app, false, json);
        return Repaired::failed;
    }
    const BundleVerification found = *apps->verification(app.id);
    if (json)
        Cli::printJson(verificationJson(app.id, found));
    else
        Cli::out() << Cli::printable(app.name) << ": " << found.summary() << Qt::endl;
    if (!found.offersRepair())
        return Repaired::nothingToDo;
    // A fresh copy needs the catalog as it is now; permission bits need nothing.
    if (found.repair() == BundleVerification::Repair::reinstall && !catalogFetched) {
        s.catalogUnreachable(call.command);
        printRepaired(app, false, json);
        return Repaired::unreachable;
    }
    if (ChangeGuards::running(s, {app}, ChangeGuards::WhenRunning::refuse, call.command.name)) {
        printRepaired(app, false, json);
        return Repaired::running;
    }
    current = apps->repair(app);
    const InstalledApps::Operation repair = current;
    const OperationOutcome outcome = s.await(repair);
    printRepaired(app, outcome.kind == OperationOutcome::Kind::done, json);
    switch (outcome.kind) {
    case OperationOutcome::Kind::done:
        return Repaired::yes;
    case OperationOutcome::Kind::cancelled:
        return Repaired::interrupted;
    case OperationOutcome::Kind::failed:
        // An install prints its own failure; a permission repair's is printed here.
        if (!repair->isInstall() || found.repair() == BundleVerification::Repair::permissions)
            Cli::err() << Cli::printable(apps->errorLine(*repair)) << Qt::endl;
        return Repaired::failed;
    case OperationOutcome::Kind::refused:
        break;
    }
    return Repaired::failed;
}

int runRepair(const CliInvocation &call)
{
    StoreSession s(call.locale);
    s.store->restoreStoredCatalog();
    const bool catalogFetched = s.refresh();
    QStringList ids = call.positional.isEmpty() ? s.store->installedApps()->installedIds() : call.positional;
    QList<AppManifestItem> apps;
    for (const QString &id : ids) {
        const std::optional<AppManifestItem> app = s.find(call.command, id);
        if (!app)
            return CliExit::failure;
        apps.append(*app);
    }
    InstallReport report(*s.store, InstallReport::formatFor(call.isSet(QStringLiteral("json"))));
    // Ctrl-C stops the running verify or repair install; no other app is started.
    InstalledApps::Operation current;
    const InterruptWatch interrupt([&current] {
        if (current)
            current->cancel();
    });
    int status = CliExit::ok;
    for (const AppManifestItem &app : std::as_const(apps)) {
        const Repaired repaired = repairOne(s, app, catalogFetched, call, current);
        if (interrupt.interrupted())
            return InterruptWatch::exitStatus;
        switch (repaired) {
        case Repaired::yes:
        case Repaired::nothingToDo:
            break;
        case Repaired::interrupted:
            return InterruptWatch::exitStatus;
        case Repaired::unreachable:
            status = status == CliExit::ok ? CliExit::unreachable : status;
            break;
        case Repaired::failed:
            status = CliExit::failure;
            break;
        case Repaired::running:
            status = CliExit::running;
            break;
        }
    }
    return status;
}

}  // namespace

void registerRepairCommand(CliRegistry &registry)
{
    registry.add({
        .name = QStringLiteral("repair"),
        .usage = QStringLiteral("repair [--json] [--lang en|pl|de] [ID...]"),
        .summaryId = QT_TRID_NOOP("cliRepairSummary"),
        .options = {{QStringLiteral("json"), QT_TRID_NOOP("cliProgressJsonOption")}},
        .arguments = {{QStringLiteral("ID..."), QT_TRID_NOOP("cliRepairIdsArgument")}},
        .takesLanguage = true,
        .run = runRepair,
    });
}
