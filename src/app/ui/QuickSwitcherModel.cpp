#include "QuickSwitcherModel.h"

#include "catalog/ManifestPolicy.h"
#include "store/LauncherStore.h"

namespace QuickSwitcherSearch {

QString query(const QString &text)
{
    // QString::trimmed() strips spaces, tabs and line breaks at both ends.
    return text.trimmed().toLower();
}

bool matches(const AppManifestItem &app, const QString &query)
{
    return app.name.toLower().contains(query) || app.tagline.toLower().contains(query)
        || app.category.toLower().contains(query);
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

QuickSwitcherModel::QuickSwitcherModel(QObject *parent) : QAbstractListModel(parent) {}

void QuickSwitcherModel::setStore(LauncherStore *store)
{
    if (m_store == store)
        return;
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_store = store;
    if (store) {
        m_connections << connect(store, &LauncherStore::manifestChanged, this, &QuickSwitcherModel::recompute)
                      << connect(store, &LauncherStore::includeBetaAppsChanged, this, &QuickSwitcherModel::recompute)
                      << connect(store, &LauncherStore::installStateChanged, this,
                                 &QuickSwitcherModel::onInstallStateChanged)
                      << connect(store, &LauncherStore::localeChanged, this, [this] {
                             if (!m_apps.isEmpty())
                                 Q_EMIT dataChanged(index(0), index(int(m_apps.size()) - 1), {HintRole});
                         })
                      << connect(store, &QObject::destroyed, this, [this] { setStore(nullptr); });
    }
    recompute();
    Q_EMIT storeChanged();
}

void QuickSwitcherModel::setQuery(const QString &query)
{
    if (m_query == query)
        return;
    const bool changed = QuickSwitcherSearch::query(query) != QuickSwitcherSearch::query(m_query);
    m_query = query;
    if (changed)
        recompute();
    Q_EMIT queryChanged();
}

void QuickSwitcherModel::recompute()
{
    QList<AppManifestItem> next;
    if (m_store)
        next = QuickSwitcherSearch::results(
            ManifestPolicy::publishedApps(m_store->manifest(), m_store->includeBetaApps()), m_query);
    if (next == m_apps)
        return;
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

void QuickSwitcherModel::onInstallStateChanged(const QString &appId)
{
    const auto it = m_rowById.constFind(appId);
    if (it != m_rowById.constEnd())
        Q_EMIT dataChanged(index(*it), index(*it), {OpensRole, HintRole});
}

int QuickSwitcherModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_apps.size());
}

QVariant QuickSwitcherModel::data(const QModelIndex &index, int role) const
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
    return row >= 0 && row < m_apps.size() ? m_apps.at(row).id : QString();
}

QStringList QuickSwitcherModel::ids() const
{
    QStringList result;
    result.reserve(m_apps.size());
    for (const AppManifestItem &app : m_apps)
        result.append(app.id);
    return result;
}
