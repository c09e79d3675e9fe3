#pragma once

#include "CatalogCache.h"
#include "CatalogSignature.h"
#include "Models.h"
#include "errors/LauncherError.h"
#include "i18n/VantrelLocale.h"

#include <QCoroTask>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class AppProperties;

// The manifest loader the store holds.
class ManifestLoading
{
public:
    virtual ~ManifestLoading() = default;
    // Throws on any failure (ManifestClientError, PlatformError, DecodingError).
    virtual QCoro::Task<LauncherManifest> loadManifest(VantrelLocale locale) = 0;
    // The catalog the last successful load kept on disk, verified and decoded
    // again; nullopt when there is none or it is unusable.
    virtual std::optional<StoredCatalog> storedManifest() const { return std::nullopt; }
    // The file storedManifest reads; empty when nothing is kept on disk.
    virtual QString storedCatalogPath() const { return {}; }
};

class ManifestClientError : public LauncherError
{
public:
    // invalidSignature: keys are configured and the body's signature is
    // missing, malformed or by none of them. With keys configured, also:
    // noFreshness: "sequence" or "expiresAt" is missing or malformed;
    // older: the sequence is below one already accepted for this URL;
    // conflicting: the sequence already accepted, with other bytes.
    enum class Kind { invalidResponse, invalidSignature, noFreshness, older, conflicting };
    explicit ManifestClientError(Kind kind = Kind::invalidResponse) : m_kind(kind) {}
    // httpStatus: the refused status code, or -1 when the answer was not HTTP.
    ManifestClientError(Kind kind, int httpStatus) : m_kind(kind), m_httpStatus(httpStatus) {}
    Kind kind() const { return m_kind; }
    int httpStatus() const { return m_httpStatus; }
    // No text of its own: the store shows its own message for a failed refresh.
    QString localizedDescription() const override;
    QString debugDescription() const override;

private:
    Kind m_kind;
    int m_httpStatus = -1;
};

class RemoteManifestClient : public ManifestLoading
{
public:
    RemoteManifestClient(QUrl endpoint, QNetworkAccessManager *session);

    QUrl endpoint() const { return m_endpoint; }

    // "VANTREL_MANIFEST_URL", then the "VantrelManifestURL" property, then the
    // local development service.
    static QUrl defaultEndpoint(const AppProperties &properties);
    static QUrl builtInEndpoint();

    // endpoint with exactly one trailing "lang" query item.
    static QUrl requestUrl(const QUrl &endpoint, VantrelLocale locale);

    // After verification and decoding succeed, the body is kept in the cache
    // (when one is set) before the manifest is returned.
    QCoro::Task<LauncherManifest> loadManifest(VantrelLocale locale) override;
    std::optional<StoredCatalog> storedManifest() const override;
    QString storedCatalogPath() const override { return m_cache ? m_cache->pathFor(m_endpoint) : QString(); }

    // Where successful loads keep their body; none: nothing is kept.
    void setCache(std::shared_ptr<const CatalogCache> cache) { m_cache = std::move(cache); }

    // With keys configured, every manifest body must carry a signature by one
    // of them, checked before the body is decoded; it must carry a sequence and
    // an expiry too, and a sequence never goes back (kept beside the cache).
    void setPublicKeys(CatalogPublicKeys keys) { m_publicKeys = std::move(keys); }

    // Timeout of one request; tests may shorten it.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

private:
    QUrl m_endpoint;
    QNetworkAccessManager *m_session;
    CatalogPublicKeys m_publicKeys;
    std::shared_ptr<const CatalogCache> m_cache;
    int m_timeoutMs = 60000;
};
