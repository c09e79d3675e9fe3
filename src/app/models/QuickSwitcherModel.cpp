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

QuickSwitcherModel::QuickSwitcherModel(QObject *parent)
    : CatalogRowsModel(LibrarySearch::SearchKeys::Fields::withoutTags, parent)
{
}

void QuickSwitcherModel::connectStore(LauncherStore *store, StoreLink &link)
{
    link << connect(store, &LauncherStore::localeChanged, this, [this] { redrawRows({HintRole}); });
}

void QuickSwitcherModel::setQuery(const QString &query)
{
    if (setSearch(query))
        Q_EMIT queryChanged();
}

QList<AppManifestItem> QuickSwitcherModel::computeBase() const
{
    if (!store())
        return {};
    // Installed apps the catalog does not list are opened from here too.
    return ManifestPolicy::publishedApps(store()->manifest(), store()->includeBetaApps())
        + store()->unlistedInstalledApps();
}

void QuickSwitcherModel::onInstallStateChanged(const QString &appId)
{
    redrawApp(appId, {OpensRole, HintRole});
}

QVariant QuickSwitcherModel::viewData(const AppManifestItem &app, int role) const
{
    switch (role) {
    case OpensRole:
        return store() && store()->state(app).hasInstalledCopy();
    case HintRole:
        if (!store())
            return QString();
    {
        const QString hint = qtTrId(store()->state(app).hasInstalledCopy() ? "quickOpenHint" : "quickInstallHint");
        const QString notListed = store()->notListedKey(app.id);
        return notListed.isEmpty() ? hint : hint + QStringLiteral(" · ") + qtTrId(qPrintable(notListed));
    }
    default:
        return {};
    }
}

QHash<int, QByteArray> QuickSwitcherModel::viewRoleNames() const
{
    return {{OpensRole, "opens"}, {HintRole, "hint"}};
}
