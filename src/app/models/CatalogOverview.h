#pragma once

#include "StoreLink.h"

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
    // "empty", "comingSoonOnly", "firstPublishedApp" or "multiAppCatalog".
    Q_PROPERTY(QString lifecycleKind READ lifecycleKind NOTIFY changed)
    Q_PROPERTY(QVariant featuredApp READ featuredApp NOTIFY changed)

public:
    explicit CatalogOverview(QObject *parent = nullptr);

    LauncherStore *store() const { return m_store.get(); }
    void setStore(LauncherStore *store);
    int visibleCount() const { return m_visibleCount; }
    int publishedCount() const { return m_publishedCount; }
    QStringList categories() const { return m_categories; }
    QString lifecycleKind() const { return m_lifecycleKind; }
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
    QString m_lifecycleKind = QStringLiteral("empty");
    QVariant m_featuredApp;
};
