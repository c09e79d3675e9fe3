#include "AppListModel.h"

#include "CatalogRules.h"
#include "catalog/ManifestPolicy.h"

AppListModel::AppListModel(QObject *parent)
    : CatalogRowsModel(LibrarySearch::SearchKeys::Fields::withTags, parent)
{
}

void AppListModel::connectStore(LauncherStore *store, StoreLink &link)
{
    link << connect(store, &LauncherStore::selectedStarterAppIDsChanged, this, [this] {
        if (m_kind == QLatin1String("selected"))
            rebuildBase();
        else
            redrawRows({StarredRole});
    }) << connect(store, &LauncherStore::localeChanged, this, [this] { redrawRows({StatusLabelRole, TileStatusRole}); });
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
        || m_kind == QLatin1String("updates");
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
        const auto &states = store()->installStates();
        for (const AppManifestItem &app : ManifestPolicy::publishedApps(manifest, beta)) {
            const auto it = states.constFind(app.id);
            if (it != states.constEnd() && it->kind() == AppInstallState::Kind::updateAvailable)
                base.append(app);
        }
    } else if (m_kind == QLatin1String("published")) {
        base = ManifestPolicy::publishedApps(manifest, beta);
    } else if (m_kind == QLatin1String("comingSoon")) {
        base = ManifestPolicy::catalogLifecycle(manifest, beta).comingSoonApps;
    }
    return base;
}

void AppListModel::onInstallStateChanged(const QString &appId)
{
    if (m_kind == QLatin1String("updates") && store()) {
        // Progress ticks do not move an app in or out of this list.
        const auto &states = store()->installStates();
        const auto it = states.constFind(appId);
        const bool due = it != states.constEnd() && it->kind() == AppInstallState::Kind::updateAvailable;
        if (due != inBase(appId))
            rebuildBase();
    }
    redrawApp(appId, {TileStatusRole, InstallKindRole});
}

QString AppListModel::tileStatus(const AppManifestItem &app) const
{
    if (!store())
        return {};
    if (CatalogRules::isPreviewOnly(app))
        return qtTrId("comingSoonTileStatus");
    return store()->state(app).label();
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
        return store() ? qtTrId(CatalogRules::badgeId(app)) : QString();
    case TileStatusRole:
        return tileStatus(app);
    case StarredRole:
        return store() && store()->selectedStarterAppIDs().contains(app.id);
    case InstallKindRole:
        return store() ? store()->state(app).kindName() : QString();
    case PendingRole:
        return CatalogRules::isPreviewOnly(app);
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
    };
}
