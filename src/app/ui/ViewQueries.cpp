#include "ViewQueries.h"

#include "catalog/ManifestPolicy.h"
#include "store/LauncherStore.h"

ViewQueries::ViewQueries(QObject *parent) : QObject(parent) {}

QVariant ViewQueries::visibleApp(LauncherStore *store, const QString &appId) const
{
    if (!store)
        return {};
    for (const AppManifestItem &app : ManifestPolicy::visibleApps(store->manifest(), store->includeBetaApps())) {
        if (app.id == appId)
            return QVariant::fromValue(app);
    }
    return {};
}

QVariantList ViewQueries::visibleAppChoices(LauncherStore *store) const
{
    QVariantList choices;
    if (!store)
        return choices;
    for (const AppManifestItem &app : ManifestPolicy::visibleApps(store->manifest(), store->includeBetaApps()))
        choices.append(QVariantMap{{QStringLiteral("text"), app.name}, {QStringLiteral("value"), app.id}});
    return choices;
}
