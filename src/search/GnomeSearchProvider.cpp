#include "GnomeSearchProvider.h"

#include "LauncherActivation.h"
#include "SearchCatalog.h"

#include <QDBusMetaType>

GnomeSearchProvider::GnomeSearchProvider(QObject *host, SearchCatalog *catalog, std::function<void()> called)
    : QDBusAbstractAdaptor(host), m_catalog(catalog), m_called(std::move(called))
{
    qDBusRegisterMetaType<QList<QVariantMap>>();  // the metas, aa{sv}
}

QStringList GnomeSearchProvider::GetInitialResultSet(const QStringList &terms)
{
    m_called();
    return m_catalog->find(terms);
}

QStringList GnomeSearchProvider::GetSubsearchResultSet(const QStringList &previousResults, const QStringList &terms)
{
    Q_UNUSED(previousResults);  // a fresh search of five is cheaper than trusting the caller's list
    m_called();
    return m_catalog->find(terms);
}

QList<QVariantMap> GnomeSearchProvider::GetResultMetas(const QStringList &identifiers)
{
    m_called();
    QList<QVariantMap> metas;
    for (const QString &id : identifiers) {
        const std::optional<AppManifestItem> app = m_catalog->app(id);
        if (!app)
            continue;
        // The app's own icon is a remote image the shell would fetch; the launcher's stands for it.
        metas.append({{QStringLiteral("id"), app->id},
                      {QStringLiteral("name"), app->name},
                      {QStringLiteral("description"), app->tagline},
                      {QStringLiteral("gicon"), QStringLiteral("vantrel-launcher")}});
    }
    return metas;
}

void GnomeSearchProvider::ActivateResult(const QString &identifier, const QStringList &terms, uint timestamp)
{
    Q_UNUSED(terms);
    Q_UNUSED(timestamp);
    m_called();
    if (m_catalog->app(identifier))
        LauncherActivation::show({LauncherLink::Kind::app, identifier});
}

void GnomeSearchProvider::LaunchSearch(const QStringList &terms, uint timestamp)
{
    Q_UNUSED(timestamp);
    m_called();
    const QString joined = terms.join(QLatin1Char(' ')).simplified();
    if (!joined.isEmpty())
        LauncherActivation::show({LauncherLink::Kind::search, joined});
}
