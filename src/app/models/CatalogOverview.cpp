#include "CatalogOverview.h"

#include "store/LauncherStore.h"

#include <algorithm>

CatalogOverview::CatalogOverview(QObject *parent) : QObject(parent) {}

void CatalogOverview::setStore(LauncherStore *store)
{
    if (!m_store.reset(store))
        return;
    if (store) {
        m_store << connect(store, &LauncherStore::manifestChanged, this, &CatalogOverview::recompute)
                << connect(store, &LauncherStore::includeBetaAppsChanged, this, &CatalogOverview::recompute);
    }
    recompute();
    Q_EMIT storeChanged();
}

QStringList CatalogOverview::sortedCategories(const QStringList &categories)
{
    QStringList result = categories;
    // QString's operator< compares UTF-16 code units; order them by code point.
    std::sort(result.begin(), result.end(), [](const QString &a, const QString &b) {
        const QList<uint> ua = a.toUcs4();
        const QList<uint> ub = b.toUcs4();
        return std::lexicographical_compare(ua.begin(), ua.end(), ub.begin(), ub.end());
    });
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

void CatalogOverview::recompute()
{
    int visible = 0;
    int published = 0;
    QStringList categories;
    Lifecycle lifecycle = Lifecycle::Empty;
    QVariant featured;
    if (const LauncherStore *store = m_store.get()) {
        const auto visibleApps = ManifestPolicy::visibleApps(store->manifest(), store->includeBetaApps());
        visible = int(visibleApps.size());
        for (const AppManifestItem &app : visibleApps)
            categories.append(app.category);
        categories = sortedCategories(categories);
        const CatalogLifecycle stage = ManifestPolicy::catalogLifecycle(store->manifest(), store->includeBetaApps());
        published = int(stage.publishedApps.size());
        lifecycle = Lifecycle(stage.kind);
        if (stage.featuredApp)
            featured = QVariant::fromValue(*stage.featuredApp);
    }
    const bool same = visible == m_visibleCount && published == m_publishedCount && categories == m_categories
        && lifecycle == m_lifecycle && featured == m_featuredApp;
    if (same)
        return;
    m_visibleCount = visible;
    m_publishedCount = published;
    m_categories = categories;
    m_lifecycle = lifecycle;
    m_featuredApp = featured;
    Q_EMIT changed();
}
