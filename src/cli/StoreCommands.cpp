// `vantrel list`, `install`, `update`, `remove`, `rollback`, `skip`, `hold`, `release` and `open`: the
// window's store, records, endpoints and install root, driven from the terminal.

#include "CliCommand.h"

#include "ChangeGuards.h"
#include "InstallReport.h"
#include "Interrupt.h"
#include "StagedNotes.h"
#include "StoreSession.h"
#include "install/AppInstallerError.h"
#include "install/InstallLeftovers.h"
#include "store/AppManagement.h"
#include "codec/EnumNames.h"
#include "store/InstalledApps.h"
#include "store/LauncherStore.h"
#include "system/SystemLayers.h"

#include <QCoroTask>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>

namespace {

QString pad(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

// " · cannot be installed: …" when the catalog's release of the app is not one the installer can take.
QString installableNote(const StoreSession &s, const AppManifestItem &app)
{
    const std::optional<Refusal> refusal = s.store->installedApps()->installRefusal(app);
    const bool unfit = refusal == Refusal::noPublishedRelease || refusal == Refusal::malformedChecksum
        || refusal == Refusal::systemTooOld;
    return unfit ? QStringLiteral(" · ") + qtTrId("cliListCannotInstall").arg(qtTrId(RefusalText::key(*refusal))) : QString();
}

// " · held", " · 2.0.0 skipped" after an app's state, or nothing.
QString decisionNote(const StoreSession &s, const QString &appId)
{
    if (s.store->installedApps()->heldApps().contains(appId))
        return QStringLiteral(" · ") + qtTrId("cliListHeld");
    if (const QString skipped = s.store->installedApps()->skippedUpdates().value(appId); !skipped.isEmpty())
        return QStringLiteral(" · ") + qtTrId("skippedVersionLabel").arg(Cli::printable(skipped));
    return StagedNotes::listNote(s, appId);
}

// A listed app's line or object: the catalog's visible apps, then installed apps it does not list.
struct ListedApp {
    AppManifestItem app;
    QString notListedKey;  // empty for the catalog's own
};

int runList(const CliInvocation &call)
{
    if (!call.positional.isEmpty())
        return call.usageError(qtTrId("cliUnexpectedArgument").arg(Cli::printable(call.positional.first())));

    StoreSession s(call.locale);
    // Offline, the catalog kept by the last successful refresh is listed; the error line names its time.
    const bool stored = s.store->restoreStoredCatalog();
    const bool catalogShown = s.refresh() || stored;

    QList<ListedApp> listed;
    for (const AppManifestItem &app : ManifestPolicy::visibleApps(s.store->manifest(), s.store->includeBetaApps()))
        listed.append({app, QString()});
    for (const AppManifestItem &app : s.store->unlistedInstalledApps())
        listed.append({app, s.store->notListedKey(app.id)});
    if (call.isSet(QStringLiteral("json"))) {
        QJsonArray apps;
        for (const auto &[app, notListedKey] : std::as_const(listed)) {
            QJsonObject object{
                {QStringLiteral("id"), app.id},
                {QStringLiteral("name"), app.name},
                {QStringLiteral("status"), EnumNames::name(app.status)},
                {QStringLiteral("published"), notListedKey.isEmpty() && ManifestPolicy::isPublished(app, s.store->includeBetaApps())},
                {QStringLiteral("state"), s.store->state(app).toJson()},
            };
            // Why the catalog does not list it, coded for scripts: "notInCatalog", "retired", "betaHidden".
            if (const std::optional<NotListed> reason = s.store->notListedReason(app.id); !notListedKey.isEmpty() && reason)
                object.insert(QStringLiteral("notListed"), EnumNames::name(*reason));
            // The user's decisions about its updates.
            if (s.store->installedApps()->heldApps().contains(app.id))
                object.insert(QStringLiteral("held"), true);
            if (const QString skipped = s.store->installedApps()->skippedUpdates().value(app.id); !skipped.isEmpty())
                object.insert(QStringLiteral("skippedVersion"), skipped);
            StagedNotes::addJson(s, app.id, object);
            apps.append(object);
        }
        Cli::out() << QString::fromUtf8(QJsonDocument(apps).toJson(QJsonDocument::Indented));
    } else {
        const auto statusText = [](const ListedApp &entry) {
            return entry.notListedKey.isEmpty() ? AppReleaseStatusUtil::label(entry.app.status) : qtTrId(qPrintable(entry.notListedKey));
        };
        int idWidth = 2;
        int nameWidth = 4;
        int statusWidth = 6;
        for (const ListedApp &entry : std::as_const(listed)) {
            idWidth = qMax(idWidth, int(Cli::printable(entry.app.id).size()));
            nameWidth = qMax(nameWidth, int(Cli::printable(entry.app.name).size()));
            statusWidth = qMax(statusWidth, int(statusText(entry).size()));
        }
        for (const ListedApp &entry : std::as_const(listed)) {
            Cli::out() << pad(Cli::printable(entry.app.id), idWidth) << "  " << pad(Cli::printable(entry.app.name), nameWidth)
                       << "  " << pad(statusText(entry), statusWidth) << "  "
                       << Cli::printable(s.store->state(entry.app).fullLabel()) << installableNote(s, entry.app)
                       << decisionNote(s, entry.app.id) << "\n";
        }
        if (listed.isEmpty() && catalogShown)
            Cli::out() << s.store->appCountLabel() << "\n";
    }
    Cli::out().flush();
    return catalogShown ? CliExit::ok : CliExit::failure;
}

bool lackedSpace(const OperationOutcome &outcome)
{
    return outcome.installerError && outcome.installerError->kind() == AppInstallerError::Kind::notEnoughSpace;
}

// Runs the store's install for app, reported as `report` prints it.
OperationOutcome installAndReport(StoreSession &s, const AppManifestItem &app)
{
    InstallLeftovers::remove(s.installRoot);
    s.store->setErrorMessage(std::nullopt);
    return s.await(s.store->install(app));
}

// What a command on one app needs of the catalog: install needs it fetched
// now; remove, rollback and open work on what is installed, offline too.
enum class CatalogNeed { fresh, storedWillDo };

// install, remove, rollback and open: the one app ID names, in a store refreshed in the asked language.
int runOnApp(const CliInvocation &call, CatalogNeed need,
             int (*body)(StoreSession &, const AppManifestItem &, const CliInvocation &))
{
    if (call.positional.size() != 1)
        return call.usageError(qtTrId("cliOneAppId"));
    StoreSession s(call.locale);
    s.store->restoreStoredCatalog();
    if (!s.refresh() && need == CatalogNeed::fresh)
        return s.catalogUnreachable(call.command);
    const std::optional<AppManifestItem> found = s.find(call.command, call.positional.first());
    if (!found)
        return CliExit::failure;
    return body(s, *found, call);
}

int installApp(StoreSession &s, const AppManifestItem &app, const CliInvocation &call)
{
    if (const auto status = s.catalogExpired(call.command))
        return *status;
    if (const auto status = ChangeGuards::metered(s, {app}, call.isSet(QStringLiteral("no-metered")), call.command.name))
        return *status;
    InstallReport report(*s.store, InstallReport::formatFor(call.isSet(QStringLiteral("json"))));
    // Ctrl-C cancels like the window's Cancel button.
    const InterruptWatch interrupt([&] { s.store->manage()->cancelInstall(app.id); });
    const OperationOutcome outcome = installAndReport(s, app);
    switch (outcome.kind) {
    case OperationOutcome::Kind::done: return CliExit::ok;
    case OperationOutcome::Kind::cancelled: return InterruptWatch::exitStatus;
    default: return lackedSpace(outcome) ? CliExit::noSpace : CliExit::failure;
    }
}

// The apps to update: every one with an update (--all) or those named; null after printing why not.
std::optional<QStringList> updateTargets(const StoreSession &s, const CliInvocation &call)
{
    // Updates released gradually wait for their turn unless asked for.
    if (call.isSet(QStringLiteral("all")) && call.isSet(QStringLiteral("include-staged")))
        return s.store->manage()->updatableAppIDs() + StagedNotes::stagedIds(s);
    if (call.isSet(QStringLiteral("all")))
        return s.store->manage()->updatableAppIDs();
    for (const QString &id : call.positional) {
        if (!s.store->installedApps()->describedApp(id)) {
            Cli::err() << "vantrel update: " << qtTrId("cliUnknownApp").arg(Cli::printable(id)) << Qt::endl;
            return std::nullopt;
        }
    }
    return call.positional;
}

// Held apps named to update, said at once before anything is fetched; the status to exit with.
std::optional<int> heldAmong(const StoreSession &s, const QStringList &ids)
{
    bool any = false;
    for (const QString &id : ids) {
        const QString version = s.store->installedApps()->heldApps().value(id);
        if (version.isEmpty())
            continue;
        const std::optional<AppManifestItem> app = s.store->installedApps()->describedApp(id);
        Cli::err() << "vantrel update: "
                   << qtTrId("cliUpdateHeld").arg(Cli::printable(app ? app->name : id), Cli::printable(version), Cli::printable(id))
                   << Qt::endl;
        any = true;
    }
    return any ? std::optional<int>(CliExit::held) : std::nullopt;
}

ChangeGuards::WhenRunning whenRunning(const CliInvocation &call)
{
    if (call.isSet(QStringLiteral("restart")))
        return ChangeGuards::WhenRunning::restart;
    return call.isSet(QStringLiteral("when-closed")) ? ChangeGuards::WhenRunning::wait : ChangeGuards::WhenRunning::refuse;
}

int runUpdate(const CliInvocation &call)
{
    if (call.isSet(QStringLiteral("all")) == !call.positional.isEmpty())
        return call.usageError(qtTrId("cliUpdateTargets"));
    if (call.isSet(QStringLiteral("restart")) && call.isSet(QStringLiteral("when-closed")))
        return call.usageError(qtTrId("cliRestartOrWait"));
    StoreSession s(call.locale);
    s.store->restoreStoredCatalog();
    if (!s.refresh())
        return s.catalogUnreachable(call.command);
    if (const auto status = s.catalogExpired(call.command))
        return *status;
    const std::optional<QStringList> ids = updateTargets(s, call);
    if (!ids)
        return CliExit::failure;
    if (const auto status = heldAmong(s, *ids))
        return *status;
    if (!call.isSet(QStringLiteral("json")))
        StagedNotes::announce(s, *ids);
    // Apps the update will pass over (held, nothing newer) neither count nor wait.
    QList<AppManifestItem> changing;
    for (const QString &id : *ids) {
        const std::optional<AppManifestItem> app = s.store->installedApps()->describedApp(id);
        if (app && !s.store->installedApps()->updateRefusal(*app))
            changing.append(*app);
    }
    if (const auto status = ChangeGuards::metered(s, changing, call.isSet(QStringLiteral("no-metered")), call.command.name))
        return *status;
    QList<AppManifestItem> reopen;
    if (const auto status = ChangeGuards::running(s, changing, whenRunning(call), call.command.name, &reopen))
        return *status;
    const bool json = call.isSet(QStringLiteral("json"));
    InstallLeftovers::remove(s.installRoot);
    const bool whole = call.isSet(QStringLiteral("full"));
    s.store->installedApps()->setWholeArchives(whole);
    // What each update will download, where it can be told ahead.
    for (const QString &id : *ids) {
        const AppManifestItem *app = s.store->manifest().findApp(id);
        if (json || whole || !app)
            continue;
        const std::optional<qint64> bytes = QCoro::waitFor(s.store->installedApps()->updateSize(*app));
        if (bytes)
            Cli::out() << qtTrId("cliUpdateSize").arg(Cli::printable(app->name),
                                                      QLocale().formattedDataSize(*bytes, 1, QLocale::DataSizeSIFormat))
                       << Qt::endl;
    }
    InstallReport report(*s.store, InstallReport::formatFor(json));
    report.setBatch(true);
    // Ctrl-C cancels the running update and starts no other.
    const InterruptWatch interrupt([&] { s.store->manage()->stopUpdates(); });
    QEventLoop loop;
    std::optional<int> failed;
    QObject::connect(s.store->manage(), &AppManagement::updatesFinished, &loop, [&](const QString &, int failures) {
        failed = failures;
        loop.quit();
    });
    s.store->manage()->updateApps(*ids);
    if (!failed)
        loop.exec();
    // Apps quit for the update come back, updated or not.
    for (const AppManifestItem &app : reopen) {
        Cli::err() << qtTrId("cliReopeningApp").arg(Cli::printable(app.name)) << Qt::endl;
        s.await(s.store->installedApps()->open(app));
    }
    const QString summary = s.store->manage()->updateSummary();
    if (json)
        Cli::printJson({{QStringLiteral("summary"), summary}});
    else
        Cli::out() << Cli::printable(summary) << Qt::endl;
    if (interrupt.interrupted())
        return InterruptWatch::exitStatus;
    const QList<UpdateBatch::Failure> failures = s.store->manage()->lastUpdates().failures;
    if (std::any_of(failures.cbegin(), failures.cend(), [](const UpdateBatch::Failure &f) { return lackedSpace(f.outcome); }))
        return CliExit::noSpace;
    return *failed > 0 ? CliExit::failure : CliExit::ok;
}

// Prints what a change did, or why it did not; the status to exit with.
int changeOutcome(StoreSession &s, const InstalledApps::Operation &operation, const QString &doneLine)
{
    const OperationOutcome outcome = s.await(operation);
    if (outcome.kind == OperationOutcome::Kind::done) {
        if (!doneLine.isEmpty())
            Cli::out() << Cli::printable(doneLine) << Qt::endl;
        return CliExit::ok;
    }
    if (outcome.kind == OperationOutcome::Kind::failed)
        Cli::err() << Cli::printable(s.store->installedApps()->errorLine(*operation)) << Qt::endl;
    return CliExit::failure;
}

int removeApp(StoreSession &s, const AppManifestItem &app, const CliInvocation &call)
{
    if (!s.store->installedApps()->removeRefusal(app)) {
        if (const auto status = ChangeGuards::running(s, {app}, ChangeGuards::WhenRunning::refuse, call.command.name))
            return *status;
    }
    const bool toTrash = s.store->manage()->removalGoesToTrash(app.id);
    return changeOutcome(s, s.store->installedApps()->remove(app, toTrash),
                         qtTrId(toTrash ? "cliRemovedToTrash" : "cliRemovedForGood").arg(Cli::printable(app.name)));
}

int rollBackApp(StoreSession &s, const AppManifestItem &app, const CliInvocation &call)
{
    if (!s.store->installedApps()->rollBackRefusal(app)) {
        if (const auto status = ChangeGuards::running(s, {app}, ChangeGuards::WhenRunning::refuse, call.command.name))
            return *status;
    }
    const auto installedVersion = [&] { return s.store->state(app).installedCopyVersion(); };
    const QString from = installedVersion();
    const InstalledApps::Operation operation = s.store->installedApps()->rollBack(app);
    const int status = changeOutcome(s, operation, QString());
    // From the version replaced to the one put back, whichever way that goes.
    if (status == CliExit::ok)
        Cli::out() << Cli::printable(app.name) << ": " << Cli::printable(from) << " -> " << Cli::printable(installedVersion())
                   << " (" << Cli::printable(s.store->installedAppURLs().value(app.id).toLocalFile()) << ")" << Qt::endl;
    return status;
}

// skip, hold and release: a decision kept with the app's record; the line saying what now holds.
int decide(const AppManifestItem &app, std::optional<Refusal> refusal, const QString &doneLine)
{
    if (refusal) {
        Cli::err() << Cli::printable(qtTrId("cliCannotDecide").arg(app.name)) << ' ' << qtTrId(RefusalText::key(*refusal))
                   << Qt::endl;
        return CliExit::failure;
    }
    Cli::out() << Cli::printable(doneLine) << Qt::endl;
    return CliExit::ok;
}

int skipApp(StoreSession &s, const AppManifestItem &app, const CliInvocation &)
{
    InstalledApps *apps = s.store->installedApps();
    const std::optional<Refusal> refusal = apps->skipVersion(app);
    return decide(app, refusal, qtTrId("cliSkipped").arg(app.name, apps->skippedUpdates().value(app.id)));
}

int holdApp(StoreSession &s, const AppManifestItem &app, const CliInvocation &)
{
    InstalledApps *apps = s.store->installedApps();
    const std::optional<Refusal> refusal = apps->hold(app);
    return decide(app, refusal, qtTrId("cliHeld").arg(app.name, apps->heldApps().value(app.id)));
}

// Ends a hold and offers a skipped version again: the way back from both.
int releaseApp(StoreSession &s, const AppManifestItem &app, const CliInvocation &)
{
    InstalledApps *apps = s.store->installedApps();
    const bool decided = apps->hasDecision(app.id);
    const std::optional<Refusal> refusal = apps->release(app);
    // Nothing to release is no failure: the app is as asked.
    return decide(app, refusal, qtTrId(decided ? "cliReleased" : "cliNothingToRelease").arg(app.name));
}

int openApp(StoreSession &s, const AppManifestItem &app, const CliInvocation &)
{
    // Like the window: an app that is not installed gets installed first.
    if (!s.store->state(app).hasInstalledCopy()) {
        InstallReport report(*s.store, InstallReport::formatFor(false));
        if (installAndReport(s, app).kind != OperationOutcome::Kind::done)
            return CliExit::failure;
    }
    const InstalledApps::Operation operation = s.store->installedApps()->open(app);
    if (s.await(operation).kind == OperationOutcome::Kind::done && s.workspace->openedUrl) {
        Cli::out() << qtTrId("cliOpened").arg(Cli::printable(app.name), Cli::printable(s.workspace->openedUrl->toLocalFile()))
                   << Qt::endl;
        return CliExit::ok;
    }
    if (operation->outcome()->kind == OperationOutcome::Kind::failed)
        Cli::err() << Cli::printable(s.store->installedApps()->errorLine(*operation)) << Qt::endl;
    else if (operation->outcome()->kind == OperationOutcome::Kind::done)
        Cli::err() << qtTrId("cliCouldNotStart").arg(Cli::printable(app.name)) << Qt::endl;
    const std::optional<BundleVerification> found = s.store->installedApps()->verification(app.id);
    return found && found->isDamaged() ? CliExit::damaged : CliExit::failure;
}

// list, install and update.
void registerInstallCommands(CliRegistry &registry, const QList<CliArgument> &id)
{
    const CliOption json{QStringLiteral("json"), QT_TRID_NOOP("cliProgressJsonOption")};
    const CliOption noMetered{QStringLiteral("no-metered"), QT_TRID_NOOP("cliNoMeteredOption")};
    registry.add({
        .name = QStringLiteral("list"),
        .usage = QStringLiteral("list [--json] [--lang en|pl|de]"),
        .summaryId = QT_TRID_NOOP("cliListSummary"),
        .options = {{QStringLiteral("json"), QT_TRID_NOOP("cliListJsonOption")}},
        .takesLanguage = true,
        .run = runList,
    });
    registry.add({
        .name = QStringLiteral("install"),
        .usage = QStringLiteral("install [--json] [--no-metered] [--lang en|pl|de] ID"),
        .summaryId = QT_TRID_NOOP("cliInstallSummary"),
        .options = {json, noMetered},
        .arguments = id,
        .takesLanguage = true,
        .run = [](const CliInvocation &call) { return runOnApp(call, CatalogNeed::fresh, &installApp); },
    });
    registry.add({
        .name = QStringLiteral("update"),
        .usage = QStringLiteral("update [--json] [--full] [--when-closed | --restart] [--no-metered] [--lang en|pl|de] --all [--include-staged] | ID..."),
        .summaryId = QT_TRID_NOOP("cliUpdateSummary"),
        .options = {json,
                    {QStringLiteral("all"), QT_TRID_NOOP("cliUpdateAllOption")},
                    {QStringLiteral("include-staged"), QT_TRID_NOOP("cliUpdateIncludeStagedOption")},
                    {QStringLiteral("full"), QT_TRID_NOOP("cliUpdateFullOption")},
                    {QStringLiteral("when-closed"), QT_TRID_NOOP("cliUpdateWhenClosedOption")},
                    {QStringLiteral("restart"), QT_TRID_NOOP("cliUpdateRestartOption")},
                    noMetered},
        .arguments = {{QStringLiteral("ID..."), QT_TRID_NOOP("cliUpdateIdsArgument")}},
        .takesLanguage = true,
        .run = runUpdate,
    });
}

// The commands on one installed app.
void registerAppCommands(CliRegistry &registry, const QList<CliArgument> &id)
{
    registry.add({
        .name = QStringLiteral("remove"),
        .usage = QStringLiteral("remove [--lang en|pl|de] ID"),
        .summaryId = QT_TRID_NOOP("cliRemoveSummary"),
        .arguments = id,
        .takesLanguage = true,
        .run = [](const CliInvocation &call) { return runOnApp(call, CatalogNeed::storedWillDo, &removeApp); },
    });
    registry.add({
        .name = QStringLiteral("rollback"),
        .usage = QStringLiteral("rollback [--lang en|pl|de] ID"),
        .summaryId = QT_TRID_NOOP("cliRollbackSummary"),
        .arguments = id,
        .takesLanguage = true,
        .run = [](const CliInvocation &call) { return runOnApp(call, CatalogNeed::storedWillDo, &rollBackApp); },
    });
    registry.add({
        .name = QStringLiteral("skip"),
        .usage = QStringLiteral("skip [--lang en|pl|de] ID"),
        .summaryId = QT_TRID_NOOP("cliSkipSummary"),
        .arguments = id,
        .takesLanguage = true,
        .run = [](const CliInvocation &call) { return runOnApp(call, CatalogNeed::storedWillDo, &skipApp); },
    });
    registry.add({
        .name = QStringLiteral("hold"),
        .usage = QStringLiteral("hold [--lang en|pl|de] ID"),
        .summaryId = QT_TRID_NOOP("cliHoldSummary"),
        .arguments = id,
        .takesLanguage = true,
        .run = [](const CliInvocation &call) { return runOnApp(call, CatalogNeed::storedWillDo, &holdApp); },
    });
    registry.add({
        .name = QStringLiteral("release"),
        .usage = QStringLiteral("release [--lang en|pl|de] ID"),
        .summaryId = QT_TRID_NOOP("cliReleaseSummary"),
        .arguments = id,
        .takesLanguage = true,
        .run = [](const CliInvocation &call) { return runOnApp(call, CatalogNeed::storedWillDo, &releaseApp); },
    });
    registry.add({
        .name = QStringLiteral("open"),
        .usage = QStringLiteral("open [--lang en|pl|de] ID"),
        .summaryId = QT_TRID_NOOP("cliOpenSummary"),
        .arguments = id,
        .takesLanguage = true,
        .run = [](const CliInvocation &call) { return runOnApp(call, CatalogNeed::storedWillDo, &openApp); },
    });
}

}  // namespace

void registerStoreCommands(CliRegistry &registry)
{
    const QList<CliArgument> id{{QStringLiteral("ID"), QT_TRID_NOOP("cliIdArgument")}};
    registerInstallCommands(registry, id);
    registerAppCommands(registry, id);
}
