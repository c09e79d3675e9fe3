#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>
#include <QVariantMap>

#include <functional>

class SearchCatalog;

// GNOME Shell's search provider interface over the catalog: results are app
// ids, their metas name, tagline and icon; activating one shows the app's page
// in the launcher, "search in the app" the library filtered by the terms.
class GnomeSearchProvider : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")

public:
    // called runs on every call (the program's idle timer).
    GnomeSearchProvider(QObject *host, SearchCatalog *catalog, std::function<void()> called);

public Q_SLOTS:
    QStringList GetInitialResultSet(const QStringList &terms);
    QStringList GetSubsearchResultSet(const QStringList &previousResults, const QStringList &terms);
    QList<QVariantMap> GetResultMetas(const QStringList &identifiers);
    void ActivateResult(const QString &identifier, const QStringList &terms, uint timestamp);
    void LaunchSearch(const QStringList &terms, uint timestamp);

private:
    SearchCatalog *m_catalog;
    std::function<void()> m_called;
};
