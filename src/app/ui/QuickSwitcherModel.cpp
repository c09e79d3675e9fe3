#include "QuickSwitcherModel.h"

#include "catalog/ManifestPolicy.h"
#include "store/LauncherStore.h"

#include <algorithm>

namespace QuickSwitcherSearch {

QString query(const QString &text)
{
    // QString::trimmed() strips spaces, tabs and line breaks at both ends.
    return text.trimmed().toLower();
}

bool matches(const AppManifestItem &app, const QString &query)
{
    return LibrarySearch::lowerContains(app.name, query) || LibrarySearch::lowerContains(app.tagline, query)
        || LibrarySearch::lowerContains(app.category, query);
}

QList<AppManifestItem> results(const QList<AppManifestItem> &publishedApps, const QString &text)
{
    const QString q = query(text);
    if (q.isEmpty())
        return publishedApps;
    QList<AppManifestItem> found;
    for (const AppManifestItem &app : publishedApps) {
        if (matches(app, q))
            found.append(app);
    }
    return found;
}

}  // namespace QuickSwitcherSearch

QuickSwitcherModel::QuickSwitcherModel(QObject *parent) : AscendingRowsModel(parent) {}

void QuickSwitcherModel::setStore(LauncherStore *store)
{
    if (m_store == store)
        return;
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_store = store;
    if (store) {
        m_connections << connect(store, &LauncherStore::manifestChanged, this, &QuickSwitcherModel::rebuildBase)
                      << connect(store, &LauncherStore::includeBetaAppsChanged, this, &QuickSwitcherModel::rebuildBase)
                      << connect(store, &LauncherStore::installStateChanged, this,
                                 &QuickSwitcherModel::onInstallStateChanged)
                      << connect(store, &LauncherStore::localeChanged, this, [this] {
                             if (!m_rows.isEmpty())
                                 Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), {HintRole});
                         })
                      << connect(store, &QObject::destroyed, this, [this] { setStore(nullptr); });
    }
    rebuildBase();
    Q_EMIT storeChanged();
}

void QuickSwitcherModel::setQuery(const QString &query)
{
    if (m_query == query)
        return;
    const QString previous = QuickSwitcherSearch::query(m_query);
    const QString next = QuickSwitcherSearch::query(query);
    m_query = query;
    if (next != previous) {
        // Typing on narrows the shown rows: only they can still match.
        const bool narrows = !previous.isEmpty() && next.contains(previous);
        showRows(narrows ? m_keys.matching(next, m_rows) : m_keys.matching(next));
    }
    Q_EMIT queryChanged();
}

void QuickSwitcherModel::rebuildBase()
{
    QList<AppManifestItem> base;
    if (m_store)
        base = ManifestPolicy::publishedApps(m_store->manifest(), m_store->includeBetaApps());
    LibrarySearch::SearchKeys keys(base, LibrarySearch::SearchKeys::Fields::withoutTags);
    QList<int> rows = keys.matching(QuickSwitcherSearch::query(m_query));
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
        for (const int row : std::as_const(changed))
            Q_EMIT dataChanged(index(row), index(row));
        return;
    }
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

void QuickSwitcherModel::showRows(const QList<int> &next)
{
    if (next == m_rows)
        return;
    const int oldCount = count();
    moveRowsTo(next);
    if (oldCount != count())
        Q_EMIT countChanged();
}

void QuickSwitcherModel::onInstallStateChanged(const QString &appId)
{
    const auto it = m_baseIndexesById.constFind(appId);
    if (it == m_baseIndexesById.constEnd())
        return;
    for (const int baseIndex : *it) {
        if (const int found = rowOfBaseIndex(baseIndex); found >= 0) {
            const QModelIndex row = index(found);
            Q_EMIT dataChanged(row, row, {OpensRole, HintRole});
            return;
        }
    }
}

int QuickSwitcherModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant QuickSwitcherModel::data(const QModelIndex &index, int role) const
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
        return app.accentRawValue();
    case SymbolNameRole:
        return app.symbolName;
    case IconUrlRole:
        return app.iconUrl ? QVariant(*app.iconUrl) : QVariant();
    case OpensRole:
        return m_store && m_store->state(app).isInstalledOrUpdatable();
    case HintRole:
        if (!m_store)
            return QString();
        return VantrelCopy::text(m_store->state(app).isInstalledOrUpdatable() ? CopyKey::quickOpenHint
                                                                              : CopyKey::quickInstallHint,
                                 m_store->locale());
    default:
        return {};
    }
}

QHash<int, QByteArray> QuickSwitcherModel::roleNames() const
{
    return {
        {AppIdRole, "appId"},   {AppRole, "app"},         {NameRole, "name"},   {AccentRole, "accent"},
        {SymbolNameRole, "symbolName"}, {IconUrlRole, "iconUrl"}, {OpensRole, "opens"}, {HintRole, "hint"},
    };
}

QString QuickSwitcherModel::idAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? appAt(row).id : QString();
}

QStringList QuickSwitcherModel::ids() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const int i : m_rows)
        result.append(m_base.at(i).id);
    return result;
}
