#include "AppListModel.h"

#include "CatalogRules.h"
#include "catalog/ManifestPolicy.h"
#include "store/AppManagement.h"

AppListModel::AppListModel(QObject *parent)
    : CatalogRowsModel(AppSearch::SearchKeys::Fields::withTags, parent)
{
}

void AppListModel::connectStore(LauncherStore *store, StoreLink &link)
{
    link << connect(store, &LauncherStore::selectedStarterAppIDsChanged, this, [this] {
        if (m_kind == QLatin1String("selected"))
            rebuildBase();
        else
            redrawRows({StarredRole});
    }) << connect(store, &LauncherStore::localeChanged, this, [this] {
        redrawRows({StatusLabelRole, TileStatusRole, NotListedRole});
    }) << connect(store->checks(), &InstalledAppChecks::verificationsChanged, this, [this] {
        redrawRows({TileStatusRole});
    }) << connect(store->manage(), &AppManagement::updatableAppIDsChanged, this, [this] {
        if (m_kind == QLatin1String("updates"))
            rebuildBase();
    });
}

void AppListModel::setKind(const QString &kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    rebuildBase();
    Q_EMIT kindChanged();
}

void AppListModel::setCategory(const QString &category)
{
    if (m_category == category)
        return;
    m_category = category;
    if (m_kind == QLatin1String("allApps"))
        rebuildBase();
    Q_EMIT categoryChanged();
}

void AppListModel::setSearchText(const QString &text)
{
    if (setSearch(text))
        Q_EMIT searchTextChanged();
}

bool AppListModel::searchApplies() const
{
    return m_kind == QLatin1String("allApps") || m_kind == QLatin1String("selected")
        || m_kind == QLatin1String("updates") || m_kind == QLatin1String("unlisted");
}

QList<AppManifestItem> AppListModel::computeBase() const
{
    if (!store())
        return {};
    const LauncherManifest &manifest = store()->manifest();
    const bool beta = store()->includeBetaApps();
    QList<AppManifestItem> base;
    if (m_kind == QLatin1String("allApps")) {
        for (const AppManifestItem &app : ManifestPolicy::visibleApps(manifest, beta)) {
            if (m_category.isEmpty() || app.category == m_category)
                base.append(app);
        }
    } else if (m_kind == QLatin1String("selected")) {
        const QSet<QString> &starters = store()->selectedStarterAppIDs();
        for (const AppManifestItem &app : ManifestPolicy::publishedApps(manifest, beta)) {
            if (starters.contains(app.id))
                base.append(app);
        }
    } else if (m_kind == QLatin1String("updates")) {
        // Also an app whose update failed: it still has one.
        const QStringList &updatable = store()->manage()->updatableAppIDs();
        for (const AppManifestItem &app : ManifestPolicy::publishedApps(manifest, beta)) {
            if (updatable.contains(app.id))
                base.append(app);
        }
    } else if (m_kind == QLatin1String("published")) {
        base = ManifestPolicy::publishedApps(manifest, beta);
    } else if (m_kind == QLatin1String("comingSoon")) {
        base = ManifestPolicy::catalogLifecycle(manifest, beta).comingSoonApps;
    } else if (m_kind == QLatin1String("unlisted")) {
        base = store()->unlistedInstalledApps();
    } else if (m_kind == QLatin1String("quickLaunch")) {
        base = ManifestPolicy::publishedApps(manifest, beta) + store()->unlistedInstalledApps();
    }
    return base;
}

void AppListModel::onInstallStateChanged(const QString &appId)
{
    redrawApp(appId, {TileStatusRole, InstallKindRole, NotListedRole, PendingRole, StatusLabelRole});
}

QString AppListModel::notListedText(const AppManifestItem &app, Wording wording) const
{
    const std::optional<NotListed> reason = store() ? store()->notListedReason(app.id) : std::nullopt;
    if (!reason)
        return {};
    return qtTrId(wording == Wording::badge ? ManifestPolicy::notListedBadgeKey(*reason) : ManifestPolicy::notListedKey(*reason));
}

QString AppListModel::tileStatus(const AppManifestItem &app) const
{
    if (!store())
        return {};
    if (CatalogRules::isPreviewOnly(app) && notListedText(app).isEmpty())
        return qtTrId("comingSoonTileStatus");
    const QString label = store()->state(app).fullLabel();
    return store()->checks()->isDamaged(app.id) ? label + QStringLiteral(" · ") + qtTrId("verifyDamaged") : label;
}

QVariant AppListModel::viewData(const AppManifestItem &app, int role) const
{
    switch (role) {
    case TaglineRole:
        return app.tagline;
    case CategoryRole:
        return app.category;
    case StatusRole:
        return app.statusRawValue();
    case StatusLabelRole:
        if (const QString reason = notListedText(app, Wording::badge); !reason.isEmpty())
            return reason;
        return store() ? qtTrId(CatalogRules::badgeId(app)) : QString();
    case TileStatusRole:
        return tileStatus(app);
    case StarredRole:
        return store() && store()->selectedStarterAppIDs().contains(app.id);
    case InstallKindRole:
        return int(store() ? store()->state(app).kind() : AppInstallState::Kind::notInstalled);
    case PendingRole:
        return CatalogRules::isPreviewOnly(app) && notListedText(app).isEmpty();
    case NotListedRole:
        return notListedText(app);
    default:
        return {};
    }
}

QHash<int, QByteArray> AppListModel::viewRoleNames() const
{
    return {
        {TaglineRole, "tagline"},
        {CategoryRole, "category"},
        {StatusRole, "status"},
        {StatusLabelRole, "statusLabel"},
        {TileStatusRole, "tileStatus"},
        {StarredRole, "starred"},
        {InstallKindRole, "installKind"},
        {PendingRole, "pending"},
        {NotListedRole, "notListed"},
    };
}
