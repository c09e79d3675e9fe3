#include "AppListModel.h"

#include "LibrarySearch.h"
#include "catalog/ManifestPolicy.h"
#include "store/LauncherStore.h"

#include <algorithm>
#include <numeric>

AppListModel::AppListModel(QObject *parent) : AscendingRowsModel(parent) {}

void AppListModel::setStore(LauncherStore *store)
{
    if (m_store == store)
        return;
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_store = store;
    if (store) {
        m_connections << connect(store, &LauncherStore::manifestChanged, this, &AppListModel::rebuildBase)
                      << connect(store, &LauncherStore::includeBetaAppsChanged, this, &AppListModel::rebuildBase)
                      << connect(store, &LauncherStore::installStateChanged, this, &AppListModel::onInstallStateChanged)
                      << connect(store, &LauncherStore::selectedStarterAppIDsChanged, this, [this] {
                             if (m_kind == QLatin1String("selected"))
                                 rebuildBase();
                             else
                                 emitRowsChanged({StarredRole});
                         })
                      << connect(store, &LauncherStore::localeChanged, this, [this] {
                             emitRowsChanged({StatusLabelRole, TileStatusRole});
                         })
                      << connect(store, &QObject::destroyed, this, [this] { setStore(nullptr); });
    }
    rebuildBase();
    Q_EMIT storeChanged();
}

void AppListModel::setKind(const QString &kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    rebuildBase();
    Q_EMIT kindChanged();
}

void AppListModel::setSearchText(const QString &text)
{
    if (m_searchText == text)
        return;
    const QString previous = LibrarySearch::query(m_searchText);
    const QString next = LibrarySearch::query(text);
    m_searchText = text;
    if (next != previous && searchApplies()) {
        // Typing on narrows the shown rows: only they can still match.
        const bool narrows = !previous.isEmpty() && next.contains(previous);
        showRows(narrows ? m_keys.matching(next, m_rows) : m_keys.matching(next));
    }
    Q_EMIT searchTextChanged();
}

bool AppListModel::searchApplies() const
{
    return m_kind == QLatin1String("allApps") || m_kind == QLatin1String("selected")
        || m_kind == QLatin1String("updates");
}

QList<AppManifestItem> AppListModel::computeBase() const
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
        base = ManifestPolicy::publishedApps(manifest, beta);
    } else if (m_kind == QLatin1String("comingSoon")) {
        base = ManifestPolicy::catalogLifecycle(manifest, beta).comingSoonApps;
    }
    return base;
}

void AppListModel::rebuildBase()
{
    QList<AppManifestItem> base = computeBase();
    LibrarySearch::SearchKeys keys;
    QList<int> rows;
    if (searchApplies()) {
        keys = LibrarySearch::SearchKeys(base, LibrarySearch::SearchKeys::Fields::withTags);
        rows = keys.matching(LibrarySearch::query(m_searchText));
    } else {
        rows.resize(base.size());
        std::iota(rows.begin(), rows.end(), 0);
    }
    QHash<QString, QList<int>> indexes;
    indexes.reserve(base.size());
    for (int i = 0; i < base.size(); ++i)
        indexes[base[i].id].append(i);

    bool sameIds = rows.size() == m_rows.size();
    for (int i = 0; sameIds && i < rows.size(); ++i)
        sameIds = base[rows[i]].id == appAt(i).id;
    if (sameIds) {
        // The same rows: keep them, and redraw only those whose record changed.
        QList<int> changed;
        for (int i = 0; i < rows.size(); ++i) {
            if (!(base[rows[i]] == appAt(i)))
                changed.append(i);
        }
        m_base = std::move(base);
        m_keys = std::move(keys);
        m_baseIndexesById = std::move(indexes);
        m_rows = std::move(rows);
        if (!changed.isEmpty()) {
            ++m_recomputeCount;
            for (const int row : std::as_const(changed))
                Q_EMIT dataChanged(index(row), index(row));
        }
        return;
    }
    ++m_recomputeCount;
    const int oldCount = count();
    beginResetModel();
    m_base = std::move(base);
    m_keys = std::move(keys);
    m_baseIndexesById = std::move(indexes);
    m_rows = std::move(rows);
    endResetModel();
    if (oldCount != count())
        Q_EMIT countChanged();
}

void AppListModel::showRows(const QList<int> &next)
{
    if (next == m_rows)
        return;
    ++m_recomputeCount;
    const int oldCount = count();
    moveRowsTo(next);
    if (oldCount != count())
        Q_EMIT countChanged();
}

int AppListModel::rowOf(const QString &appId) const
{
    const auto it = m_baseIndexesById.constFind(appId);
    if (it == m_baseIndexesById.constEnd())
        return -1;
    for (const int baseIndex : *it) {
        if (const int row = rowOfBaseIndex(baseIndex); row >= 0)
            return row;
    }
    return -1;
}

void AppListModel::onInstallStateChanged(const QString &appId)
{
    if (m_kind == QLatin1String("updates") && m_store) {
        // Progress ticks do not move an app in or out of this list.
        const auto &states = m_store->installStates();
        const auto it = states.constFind(appId);
        const bool due = it != states.constEnd() && it->kind() == AppInstallState::Kind::updateAvailable;
        if (due != m_baseIndexesById.contains(appId))
            rebuildBase();
    }
    const int row = rowOf(appId);
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row), {TileStatusRole, InstallKindRole});
}

void AppListModel::emitRowsChanged(const QList<int> &roles)
{
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), roles);
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
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant AppListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const AppManifestItem &app = appAt(index.row());
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
    return row >= 0 && row < m_rows.size() ? appAt(row).id : QString();
}

QStringList AppListModel::ids() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const int i : m_rows)
        result.append(m_base.at(i).id);
    return result;
}
