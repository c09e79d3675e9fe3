#pragma once

#include "StoreLink.h"
#include "catalog/ManifestPolicy.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// Catalog figures the shell and the home page show (visible-app count,
// categories, lifecycle stage), recomputed only when the store's manifest or
// includeBetaApps changes.
class CatalogOverview : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(LauncherStore *store READ store WRITE setStore NOTIFY storeChanged)
    Q_PROPERTY(int visibleCount READ visibleCount NOTIFY changed)
    Q_PROPERTY(int publishedCount READ publishedCount NOTIFY changed)
    Q_PROPERTY(QStringList categories READ categories NOTIFY changed)
    // The catalog's stage, `CatalogOverview.Lifecycle.ComingSoonOnly` in the views.
    Q_PROPERTY(Lifecycle lifecycle READ lifecycle NOTIFY changed)
    Q_PROPERTY(QVariant featuredApp READ featuredApp NOTIFY changed)

public:
    // The core's stages, named as the views can read them.
    enum class Lifecycle {
        Empty = int(CatalogLifecycleKind::empty),
        ComingSoonOnly = int(CatalogLifecycleKind::comingSoonOnly),
        FirstPublishedApp = int(CatalogLifecycleKind::firstPublishedApp),
        MultiAppCatalog = int(CatalogLifecycleKind::multiAppCatalog),
    };
    Q_ENUM(Lifecycle)

    explicit CatalogOverview(QObject *parent = nullptr);

    LauncherStore *store() const { return m_store.get(); }
    void setStore(LauncherStore *store);
    int visibleCount() const { return m_visibleCount; }
    int publishedCount() const { return m_publishedCount; }
    QStringList categories() const { return m_categories; }
    Lifecycle lifecycle() const { return m_lifecycle; }
    QVariant featuredApp() const { return m_featuredApp; }

    // Distinct categories sorted by code point (case-sensitive, no locale rules).
    static QStringList sortedCategories(const QStringList &categories);

Q_SIGNALS:
    void storeChanged();
    void changed();

private:
    void recompute();

    StoreLink m_store;
    int m_visibleCount = 0;
    int m_publishedCount = 0;
    QStringList m_categories;
    Lifecycle m_lifecycle = Lifecycle::Empty;
    QVariant m_featuredApp;
};
