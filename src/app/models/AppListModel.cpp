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
        if (m_kind == Kind::Selected)
            rebuildBase();
        else
            redrawRows({StarredRole});
    }) << connect(store, &LauncherStore::localeChanged, this, [this] {
        redrawRows({StatusLabelRole, TileStatusRole, NotListedRole});
    }) << connect(store->checks(), &InstalledAppChecks::verificationsChanged, this, [this] {
        redrawRows({TileStatusRole});
    }) << connect(store->manage(), &AppManagement::updatableAppIDsChanged, this, [this] {
        if (m_kind == Kind::Updates)
            rebuildBase();
    });
}

void AppListModel::setKind(Kind kind)
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
    if (m_kind == Kind::AllApps)
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
    return m_kind == Kind::AllApps || m_kind == Kind::Selected
        || m_kind == Kind::Updates || m_kind == Kind::Unlisted;
}

QList<AppManifestItem> AppListModel::computeBase() const
{
    if (!store())
        return {};
    const LauncherManifest &manifest = store()->manifest();
    const bool beta = store()->includeBetaApps();
    QList<AppManifestItem> base;
    switch (m_kind) {
    case Kind::None:
        break;
    case Kind::AllApps:
        for (const AppManifestItem &app : ManifestPolicy::visibleApps(manifest, beta)) {
            if (m_category.isEmpty() || app.category == m_category)
                base.append(app);
        }
        break;
    case Kind::Selected: {
        const QSet<QString> &starters = store()->selectedStarterAppIDs();
        for (const AppManifestItem &app : ManifestPolicy::publishedApps(manifest, beta)) {
            if (starters.contains(app.id))
                base.append(app);
        }
        break;
    }
    case Kind::Updates: {
        // Also an app whose update failed: it still has one.
        const QStringList &updatable = store()->manage()->updatableAppIDs();
        for (const AppManifestItem &app : ManifestPolicy::publishedApps(manifest, beta)) {
            if (updatable.contains(app.id))
                base.append(app);
        }
        break;
    }
    case Kind::Published:
        base = ManifestPolicy::publishedApps(manifest, beta);
        break;
    case Kind::ComingSoon:
        base = ManifestPolicy::catalogLifecycle(manifest, beta).comingSoonApps;
        break;
    case Kind::Unlisted:
        base = store()->unlistedInstalledApps();
        break;
    case Kind::QuickLaunch:
        base = ManifestPolicy::publishedApps(manifest, beta) + store()->unlistedInstalledApps();
        break;
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
        return int(app.status);
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
