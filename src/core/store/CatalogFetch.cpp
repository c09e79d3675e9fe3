#include "CatalogFetch.h"

#include "catalog/ManifestClient.h"
#include "i18n/RelativeTime.h"
#include "log/Logging.h"

namespace {

CatalogFetch::Refused refusal(ManifestClientError::Kind kind)
{
    switch (kind) {
    case ManifestClientError::Kind::invalidSignature: return CatalogFetch::Refused::signature;
    case ManifestClientError::Kind::noFreshness: return CatalogFetch::Refused::freshness;
    case ManifestClientError::Kind::older: return CatalogFetch::Refused::older;
    case ManifestClientError::Kind::conflicting: return CatalogFetch::Refused::conflicting;
    case ManifestClientError::Kind::invalidResponse: break;
    }
    return CatalogFetch::Refused::no;
}

}  // namespace

QCoro::Task<CatalogFetch> CatalogFetch::run(std::shared_ptr<ManifestLoading> loader, VantrelLocale locale)
{
    CatalogFetch fetch;
    if (!loader)
        co_return fetch;
    try {
        fetch.manifest = co_await loader->loadManifest(locale);
    } catch (const ManifestClientError &e) {
        fetch.refused = refusal(e.kind());
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

std::function<QString()> CatalogFetch::failureWording(Refused refused, const std::optional<QDateTime> &shownFetchedAt)
{
    // These say themselves which catalog stays.
    if (refused == Refused::freshness)
        return [] { return qtTrId("errorCatalogNoFreshness"); };
    if (refused == Refused::older)
        return [] { return qtTrId("errorCatalogOlder"); };
    if (refused == Refused::conflicting)
        return [] { return qtTrId("errorCatalogConflicting"); };
    const bool unverified = refused == Refused::signature;
    return [unverified, shownFetchedAt] {
        // The built-in catalog has no fetch time.
        if (!shownFetchedAt)
            return qtTrId(unverified ? "errorCatalogSignature" : "errorManifestFallback");
        const QString time = RelativeTime::shortText(*shownFetchedAt, QDateTime::currentDateTimeUtc());
        return qtTrId(unverified ? "errorCatalogSignatureStored" : "errorManifestStored").arg(time);
    };
}
