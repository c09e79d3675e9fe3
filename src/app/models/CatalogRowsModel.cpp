#include "CatalogRowsModel.h"

#include <numeric>

CatalogRowsModel::CatalogRowsModel(AppSearch::SearchKeys::Fields searchedFields, QObject *parent)
    : AscendingRowsModel(parent), m_searchedFields(searchedFields)
{
}

void CatalogRowsModel::setStore(LauncherStore *store)
{
    if (!m_store.reset(store))
        return;
    if (store) {
        m_store << connect(store, &LauncherStore::manifestChanged, this, &CatalogRowsModel::rebuildBase)
                << connect(store, &LauncherStore::includeBetaAppsChanged, this, &CatalogRowsModel::rebuildBase)
                << connect(store, &LauncherStore::unlistedInstalledAppsChanged, this, &CatalogRowsModel::rebuildBase)
                << connect(store, &LauncherStore::installStateChanged, this, &CatalogRowsModel::onInstallStateChanged)
                << connect(store, &QObject::destroyed, this, [this] { setStore(nullptr); });
        connectStore(store, m_store);
    }
    rebuildBase();
    Q_EMIT storeChanged();
}

bool CatalogRowsModel::setSearch(const QString &text)
{
    if (m_search == text)
        return false;
    // The library and the switcher trim and lower the text the same way.
    const QString previous = AppSearch::query(m_search);
    const QString next = AppSearch::query(text);
    m_search = text;
    if (next != previous && searchApplies()) {
        // Typing on narrows the shown rows: only they can still match.
        const bool narrows = !previous.isEmpty() && next.contains(previous);
        showRows(narrows ? m_keys.matching(next, m_rows) : m_keys.matching(next));
    }
    return true;
}

void CatalogRowsModel::rebuildBase()
{
    QList<AppManifestItem> base = computeBase();
    AppSearch::SearchKeys keys;
    QList<int> rows;
    if (searchApplies()) {
        keys = AppSearch::SearchKeys(base, m_searchedFields);
        rows = keys.matching(AppSearch::query(m_search));
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

void CatalogRowsModel::showRows(const QList<int> &next)
{
    if (next == m_rows)
        return;
    ++m_recomputeCount;
    const int oldCount = count();
    moveRowsTo(next);
    if (oldCount != count())
        Q_EMIT countChanged();
}

int CatalogRowsModel::rowOf(const QString &appId) const
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

void CatalogRowsModel::redrawApp(const QString &appId, const QList<int> &roles)
{
    if (const int row = rowOf(appId); row >= 0)
        Q_EMIT dataChanged(index(row), index(row), roles);
}

void CatalogRowsModel::redrawRows(const QList<int> &roles)
{
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), roles);
}

int CatalogRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant CatalogRowsModel::data(const QModelIndex &index, int role) const
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
    case AccentRole:
        return int(app.accent);
    case SymbolNameRole:
        return app.symbolName;
    case IconUrlRole:
        return app.iconUrl ? QVariant(*app.iconUrl) : QVariant();
    default:
        return viewData(app, role);
    }
}

QHash<int, QByteArray> CatalogRowsModel::roleNames() const
{
    QHash<int, QByteArray> names{
        {AppIdRole, "appId"},
        {AppRole, "app"},
        {NameRole, "name"},
        {AccentRole, "accent"},
        {SymbolNameRole, "symbolName"},
        {IconUrlRole, "iconUrl"},
    };
    names.insert(viewRoleNames());
    return names;
}

QString CatalogRowsModel::idAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? appAt(row).id : QString();
}

QStringList CatalogRowsModel::ids() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const int i : m_rows)
        result.append(m_base.at(i).id);
    return result;
}
