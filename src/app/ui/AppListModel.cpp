#include "AppListModel.h"

#include "LibrarySearch.h"
#include "catalog/ManifestPolicy.h"
#include "store/LauncherStore.h"

AppListModel::AppListModel(QObject *parent) : QAbstractListModel(parent) {}

void AppListModel::setStore(LauncherStore *store)
{
    if (m_store == store)
        return;
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_store = store;
    if (store) {
        m_connections << connect(store, &LauncherStore::manifestChanged, this, &AppListModel::recompute)
                      << connect(store, &LauncherStore::includeBetaAppsChanged, this, &AppListModel::recompute)
                      << connect(store, &LauncherStore::installStateChanged, this, &AppListModel::onInstallStateChanged)
                      << connect(store, &LauncherStore::selectedStarterAppIDsChanged, this, [this] {
                             if (m_kind == QLatin1String("selected"))
                                 recompute();
                             else
                                 emitRowsChanged({StarredRole});
                         })
                      << connect(store, &LauncherStore::localeChanged, this, [this] {
                             emitRowsChanged({StatusLabelRole, TileStatusRole});
                         })
                      << connect(store, &QObject::destroyed, this, [this] { setStore(nullptr); });
    }
    recompute();
    Q_EMIT storeChanged();
}

void AppListModel::setKind(const QString &kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    recompute();
    Q_EMIT kindChanged();
}

void AppListModel::setSearchText(const QString &text)
{
    if (m_searchText == text)
        return;
    const bool queryChanged = LibrarySearch::query(text) != LibrarySearch::query(m_searchText);
    m_searchText = text;
    if (queryChanged && searchApplies())
        recompute();
    Q_EMIT searchTextChanged();
}

bool AppListModel::searchApplies() const
{
    return m_kind == QLatin1String("allApps") || m_kind == QLatin1String("selected")
        || m_kind == QLatin1String("updates");
}

QList<AppManifestItem> AppListModel::computeList() const
{
    if (!m_store)
        return {};
    const LauncherManifest &manifest = m_store->manifest();
    const bool beta = m_store->includeBetaApps();
    QList<AppManifestItem> base;
    if (m_kind == QLatin1String("allApps")) {
        base = ManifestPolicy::visibleApps(manifest, beta);
    } else if (m_kind == QLatin1String("selected")) {
        const QSet<QString> &starters = m_store->selectedStarterAppIDs();
        for (const AppManifestItem &app : ManifestPolicy::publishedApps(manifest, beta)) {
            if (starters.contains(app.id))
                base.append(app);
        }
    } else if (m_kind == QLatin1String("updates")) {
        const auto &states = m_store->installStates();
        for (const AppManifestItem &app : ManifestPolicy::publishedApps(manifest, beta)) {
            const auto it = states.constFind(app.id);
            if (it != states.constEnd() && it->kind() == AppInstallState::Kind::updateAvailable)
                base.append(app);
        }
    } else if (m_kind == QLatin1String("published")) {
        return ManifestPolicy::publishedApps(manifest, beta);
    } else if (m_kind == QLatin1String("comingSoon")) {
        return ManifestPolicy::catalogLifecycle(manifest, beta).comingSoonApps;
    } else {
        return {};
    }
    return LibrarySearch::filter(base, m_searchText);
}

void AppListModel::recompute()
{
    QList<AppManifestItem> next = computeList();
    if (next == m_apps)
        return;
    ++m_recomputeCount;
    const int oldCount = count();
    beginResetModel();
    m_apps = std::move(next);
    m_rowById.clear();
    for (int i = 0; i < m_apps.size(); ++i) {
        if (!m_rowById.contains(m_apps[i].id))
            m_rowById.insert(m_apps[i].id, i);
    }
    endResetModel();
    if (oldCount != count())
        Q_EMIT countChanged();
}

void AppListModel::onInstallStateChanged(const QString &appId)
{
    if (m_kind == QLatin1String("updates")) {
        recompute();
    }
    const auto it = m_rowById.constFind(appId);
    if (it != m_rowById.constEnd())
        Q_EMIT dataChanged(index(*it), index(*it), {TileStatusRole, InstallKindRole});
}

void AppListModel::emitRowsChanged(const QList<int> &roles)
{
    if (!m_apps.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_apps.size()) - 1), roles);
}

QString AppListModel::tileStatus(const AppManifestItem &app) const
{
    if (!m_store)
        return {};
    if (app.status == AppReleaseStatus::comingSoon)
        return VantrelCopy::text(CopyKey::comingSoonTileStatus, m_store->locale());
    return m_store->state(app).label(m_store->locale());
}

int AppListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_apps.size());
}

QVariant AppListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_apps.size())
        return {};
    const AppManifestItem &app = m_apps.at(index.row());
    switch (role) {
    case AppIdRole:
    case Qt::DisplayRole:
        return app.id;
    case AppRole:
        return QVariant::fromValue(app);
    case NameRole:
        return app.name;
    case TaglineRole:
        return app.tagline;
    case CategoryRole:
        return app.category;
    case AccentRole:
        return app.accentRawValue();
    case SymbolNameRole:
        return app.symbolName;
    case IconUrlRole:
        return app.iconUrl ? QVariant(*app.iconUrl) : QVariant();
    case StatusRole:
        return app.statusRawValue();
    case StatusLabelRole:
        return m_store ? AppReleaseStatusUtil::label(app.status, m_store->locale()) : QString();
    case TileStatusRole:
        return tileStatus(app);
    case StarredRole:
        return m_store && m_store->selectedStarterAppIDs().contains(app.id);
    case InstallKindRole:
        return m_store ? m_store->state(app).kindName() : QString();
    default:
        return {};
    }
}

QHash<int, QByteArray> AppListModel::roleNames() const
{
    return {
        {AppIdRole, "appId"},
        {AppRole, "app"},
        {NameRole, "name"},
        {TaglineRole, "tagline"},
        {CategoryRole, "category"},
        {AccentRole, "accent"},
        {SymbolNameRole, "symbolName"},
        {IconUrlRole, "iconUrl"},
        {StatusRole, "status"},
        {StatusLabelRole, "statusLabel"},
        {TileStatusRole, "tileStatus"},
        {StarredRole, "starred"},
        {InstallKindRole, "installKind"},
    };
}

QString AppListModel::idAt(int row) const
{
    return row >= 0 && row < m_apps.size() ? m_apps.at(row).id : QString();
}

QStringList AppListModel::ids() const
{
    QStringList result;
    result.reserve(m_apps.size());
    for (const AppManifestItem &app : m_apps)
        result.append(app.id);
    return result;
}
