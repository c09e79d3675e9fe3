#include "CatalogFetch.h"

#include "catalog/ManifestClient.h"
#include "i18n/RelativeTime.h"
#include "log/Logging.h"

QCoro::Task<CatalogFetch> CatalogFetch::run(std::shared_ptr<ManifestLoading> loader, VantrelLocale locale)
{
    CatalogFetch fetch;
    if (!loader)
        co_return fetch;
    try {
        fetch.manifest = co_await loader->loadManifest(locale);
    } catch (const ManifestClientError &e) {
        fetch.unverified = e.kind() == ManifestClientError::Kind::invalidSignature;
        fetch.reason = e.localizedDescription();
        qCInfo(lcStore) << "Catalog refresh failed:" << e.debugDescription() << "- the catalog shown stays";
    } catch (const LauncherError &e) {
        fetch.reason = e.localizedDescription();
        qCInfo(lcStore) << "Catalog refresh failed:" << e.debugDescription() << "- the catalog shown stays";
    } catch (...) {
        // The kind of failure does not matter: the catalog shown stays.
        fetch.reason = QStringLiteral("Unknown error.");
        qCInfo(lcStore) << "Catalog refresh failed; the catalog shown stays";
    }
    co_return fetch;
}

std::function<QString()> CatalogFetch::failureWording(bool unverified, const std::optional<QDateTime> &shownFetchedAt)
{
    return [unverified, shownFetchedAt] {
        // The built-in catalog has no fetch time.
        if (!shownFetchedAt)
            return qtTrId(unverified ? "errorCatalogSignature" : "errorManifestFallback");
        const QString time = RelativeTime::shortText(*shownFetchedAt, QDateTime::currentDateTimeUtc());
        return qtTrId(unverified ? "errorCatalogSignatureStored" : "errorManifestStored").arg(time);
    };
}
