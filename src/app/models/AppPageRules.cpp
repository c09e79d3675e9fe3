#include "AppPageRules.h"

#include "i18n/PlatformWords.h"

namespace {

using Kind = AppInstallState::Kind;

AppPageAction mainAction(const AppPageFacts &facts)
{
    const Kind kind = facts.state.kind();
    const bool listed = facts.notListedKey.isEmpty();
    // Coming soon or an incomplete release: only a newer catalog can help.
    if (facts.pending && listed)
        return AppPageAction::refreshCatalog;
    if (kind == Kind::installing)
        return AppPageAction::installing;
    // A damaged copy that is otherwise current: putting it right comes first.
    if (facts.offersRepair && (kind == Kind::installed || !listed))
        return AppPageAction::repair;
    if (kind == Kind::updateAvailable)
        return AppPageAction::update;
    // An installed app the catalog does not list still opens.
    if (kind == Kind::installed || !listed)
        return AppPageAction::open;
    // A failed update or reinstall: the installed copy stays.
    if (kind == Kind::failed && facts.state.hasInstalledCopy())
        return AppPageAction::retry;
    return AppPageAction::install;
}

QString actionText(AppPageAction action, const QString &updateSize)
{
    switch (action) {
    case AppPageAction::refreshCatalog: return qtTrId("refreshCatalog");
    case AppPageAction::installing: return qtTrId("installingAction");
    case AppPageAction::repair: return qtTrId("repairAction");
    case AppPageAction::update: return updateSize.isEmpty() ? qtTrId("updateAction") : qtTrId("updateActionSized").arg(updateSize);
    case AppPageAction::open: return qtTrId("openAction");
    case AppPageAction::retry: return qtTrId("retryAction");
    case AppPageAction::install: break;
    }
    return qtTrId("installAction");
}

QString translated(const QString &id)
{
    return qtTrId(id.toLatin1().constData());
}

QString detailText(const AppPageFacts &facts, AppPageAction action, bool damaged)
{
    if (action == AppPageAction::refreshCatalog) {
        // Which check keeps it from being installed, so nobody has to guess.
        const QString status = qtTrId("comingSoonTileStatus");
        return facts.refusalKey.isEmpty() ? status : status + QStringLiteral(" · ") + translated(facts.refusalKey);
    }
    if (damaged)
        return facts.verifySummary;
    const Kind kind = facts.state.kind();
    // A failure says what went wrong before why the catalog does not list the app.
    if (!facts.notListedKey.isEmpty() && kind != Kind::failed)
        return translated(facts.notListedKey);
    switch (kind) {
    case Kind::installing: return qtTrId("installingDetail");
    case Kind::installed: return qtTrId(PlatformWords::messageId("installedDetail"));
    case Kind::updateAvailable: return qtTrId("updateDetail");
    case Kind::failed: return facts.state.message();
    case Kind::notInstalled: break;
    }
    return qtTrId("notInstalledDetail");
}

QString decisionText(const AppPageFacts &facts)
{
    if (facts.held)
        return qtTrId("heldDetail").arg(facts.state.installedCopyVersion());
    return facts.skippedVersion.isEmpty() ? QString() : qtTrId("skippedDetail").arg(facts.skippedVersion);
}

}  // namespace

AppPageView appPageView(const AppPageFacts &facts)
{
    const bool installing = facts.state.kind() == Kind::installing;
    AppPageView view;
    view.action = mainAction(facts);
    view.actionText = actionText(view.action, facts.updateSize);
    // While a change waits for the app to quit, asking again would only repeat the question.
    view.actionEnabled = view.action != AppPageAction::installing && !facts.waiting;
    view.damaged = facts.damaged && !installing;
    view.detail = detailText(facts, view.action, view.damaged);
    view.decisionsShown = facts.state.hasInstalledCopy() && facts.notListedKey.isEmpty() && !installing;
    if (view.decisionsShown)
        view.decisionText = decisionText(facts);
    return view;
}
