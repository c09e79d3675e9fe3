#include "AppPageState.h"

#include "CatalogRules.h"

AppPageState::AppPageState(QObject *parent) : QObject(parent) {}

void AppPageState::setStore(LauncherStore *store)
{
    if (!m_store.reset(store))
        return;
    if (store) {
        const auto follow = [this](auto *sender, auto signal) {
            m_store << connect(sender, signal, this, &AppPageState::recompute);
        };
        // What the catalog lists, and the language the texts are in.
        follow(store, &LauncherStore::installStatesChanged);
        follow(store, &LauncherStore::installedAppURLsChanged);
        follow(store, &LauncherStore::manifestChanged);
        follow(store, &LauncherStore::includeBetaAppsChanged);
        follow(store, &LauncherStore::localeChanged);
        follow(store->checks(), &InstalledAppChecks::verificationsChanged);
        follow(store->manage(), &AppManagement::decisionsChanged);
        follow(store->manage(), &AppManagement::updateSizesChanged);
        follow(store->running(), &RunningApps::waitingAppsChanged);
        follow(store->running(), &RunningApps::restartNeededChanged);
    }
    Q_EMIT storeChanged();
    recompute();
}

void AppPageState::setAppId(const QString &appId)
{
    if (setIfChanged(this, m_appId, appId, &AppPageState::appIdChanged))
        recompute();
}

AppPageFacts AppPageState::factsFrom(const LauncherStore &store, const QString &appId)
{
    AppPageFacts facts;
    facts.state = store.stateFor(appId);
    const auto visible = ManifestPolicy::firstVisibleApp(store.manifest(), store.includeBetaApps(), appId);
    facts.pending = visible && CatalogRules::isPreviewOnly(*visible);
    facts.notListedKey = store.notListedKey(appId);
    if (facts.pending)
        facts.refusalKey = store.installRefusalKey(appId);
    if (const auto verification = store.installedApps()->verification(appId)) {
        facts.damaged = verification->isDamaged();
        facts.offersRepair = verification->offersRepair();
        facts.verifySummary = verification->summary();
    }
    facts.updateSize = store.manage()->updateSizes().value(appId).toString();
    facts.held = store.manage()->heldApps().contains(appId);
    facts.skippedVersion = store.manage()->skippedUpdates().value(appId).toString();
    facts.waiting = store.running()->waitingApps().contains(appId);
    return facts;
}

void AppPageState::recompute()
{
    const LauncherStore *store = m_store.get();
    const bool known = store && !m_appId.isEmpty();
    AppPageFacts facts = known ? factsFrom(*store, m_appId) : AppPageFacts{};
    AppPageView view = appPageView(facts);
    QString restartVersion = known ? store->running()->restartNeeded().value(m_appId) : QString();
    if (facts == m_facts && view == m_view && restartVersion == m_restartVersion)
        return;
    m_facts = std::move(facts);
    m_view = std::move(view);
    m_restartVersion = std::move(restartVersion);
    Q_EMIT changed();
}

QString AppPageState::primarySymbol() const
{
    switch (m_view.action) {
    case AppPageAction::refreshCatalog:
    case AppPageAction::retry: return QStringLiteral("arrow.clockwise");
    case AppPageAction::installing: return QString();
    case AppPageAction::repair: return QStringLiteral("wrench");
    case AppPageAction::update: return QStringLiteral("arrow.triangle.2.circlepath");
    case AppPageAction::open: return QStringLiteral("play");
    case AppPageAction::install: break;
    }
    return QStringLiteral("arrow.down.circle");
}

bool AppPageState::primaryProminent() const
{
    return m_view.action != AppPageAction::refreshCatalog && m_view.action != AppPageAction::installing;
}

void AppPageState::triggerPrimary()
{
    LauncherStore *store = m_store.get();
    if (!store || m_appId.isEmpty())
        return;
    switch (m_view.action) {
    case AppPageAction::refreshCatalog: store->refreshCatalog(); break;
    case AppPageAction::installing: break;
    case AppPageAction::repair: store->checks()->repairApp(m_appId); break;
    case AppPageAction::open: store->openApp(m_appId); break;
    case AppPageAction::update:
    case AppPageAction::retry:
    case AppPageAction::install: store->installApp(m_appId); break;
    }
}
