#include "SearchCatalog.h"

#include "CompiledAppProperties.h"
#include "SettingsUserDefaults.h"
#include "catalog/CatalogCache.h"
#include "catalog/CatalogSignature.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestPolicy.h"
#include "store/InstallRecords.h"

#include <QFileInfo>

namespace {

QDateTime stamp(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified() : QDateTime();
}

}  // namespace

SearchCatalog::SearchCatalog(Sources sources) : m_sources(std::move(sources)) {}

SearchCatalog::Sources SearchCatalog::defaultSources()
{
    const CompiledAppProperties properties;
    // No network session: only the stored copy is ever read.
    auto client = std::make_shared<RemoteManifestClient>(RemoteManifestClient::defaultEndpoint(properties), nullptr);
    client->setPublicKeys(CatalogPublicKeys::configured(properties));
    auto cache = std::make_shared<CatalogCache>(CatalogCache::defaultFolder());
    client->setCache(cache);
    Sources sources;
    sources.catalogFile = cache->pathFor(client->endpoint());
    sources.recordsFile = SettingsUserDefaults().fileName();
    sources.readCatalog = [client]() -> std::optional<LauncherManifest> {
        const std::optional<StoredCatalog> stored = client->storedManifest();
        return stored ? std::optional(stored->manifest) : std::nullopt;
    };
    sources.readInstalledIds = [] {
        // A fresh read each time: another process wrote the file.
        const SettingsUserDefaults defaults;
        const QHash<QString, QString> versions = InstallRecords::loadStringDictionary(InstallRecords::versionsKey, defaults);
        return QSet<QString>(versions.keyBegin(), versions.keyEnd());
    };
    return sources;
}

void SearchCatalog::reloadIfChanged()
{
    const QDateTime catalogStamp = stamp(m_sources.catalogFile);
    const QDateTime recordsStamp = stamp(m_sources.recordsFile);
    if (m_loaded && catalogStamp == m_catalogStamp && recordsStamp == m_recordsStamp)
        return;
    m_loaded = true;
    m_catalogStamp = catalogStamp;
    m_recordsStamp = recordsStamp;
    const std::optional<LauncherManifest> manifest = m_sources.readCatalog();
    const QSet<QString> installed = m_sources.readInstalledIds();
    m_offered.clear();
    m_indexById.clear();
    m_loweredNames.clear();
    // Beta apps stay hidden, as the launcher hides them by default.
    for (const AppManifestItem &app : ManifestPolicy::visibleApps(manifest.value_or(LauncherManifest()), false)) {
        if (installed.contains(app.id))
            continue;
        m_indexById.insert(app.id, m_offered.size());
        m_offered.append(app);
        m_loweredNames.append(app.name.toLower());
    }
    m_keys = AppSearch::SearchKeys(m_offered, AppSearch::SearchKeys::Fields::withTags);
}

QStringList SearchCatalog::find(const QStringList &terms)
{
    const QString query = AppSearch::query(terms.join(QLatin1Char(' ')));
    if (query.size() < minimumQueryLength)
        return {};
    reloadIfChanged();
    QStringList first, second, rest;
    for (const int i : m_keys.matching(query)) {
        const QString &name = m_loweredNames.at(i);
        QStringList &rank = name.startsWith(query) ? first : name.contains(query) ? second : rest;
        rank.append(m_offered.at(i).id);
        if (first.size() >= maximumResults)
            break;
    }
    return (first + second + rest).mid(0, maximumResults);
}

std::optional<AppManifestItem> SearchCatalog::app(const QString &id)
{
    reloadIfChanged();
    const auto found = m_indexById.constFind(id);
    if (found == m_indexById.cend())
        return std::nullopt;
    return m_offered.at(*found);
}
