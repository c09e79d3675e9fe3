#include "QuickSwitcherModel.h"

#include "catalog/ManifestPolicy.h"
#include "store/LauncherStore.h"

QuickSwitcherModel::QuickSwitcherModel(QObject *parent)
    : CatalogRowsModel(AppSearch::SearchKeys::Fields::withoutTags, parent)
{
}

void QuickSwitcherModel::connectStore(LauncherStore *store, StoreLink &link)
{
    link << connect(store, &LauncherStore::localeChanged, this, [this] { redrawRows({HintRole}); })
         << connect(store->checks(), &InstalledAppChecks::verificationsChanged, this, [this] { redrawRows({HintRole}); });
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
        QString hint = qtTrId(store()->state(app).hasInstalledCopy() ? "quickOpenHint" : "quickInstallHint");
        if (store()->checks()->isDamaged(app.id))
            hint += QStringLiteral(" · ") + qtTrId("verifyDamaged");
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
