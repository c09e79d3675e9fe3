#include "ManifestClient.h"
#include "async/WorkerCryptoState.h"
#include "codec/EnumNames.h"

#include "CatalogSequence.h"
#include "ManifestDecoder.h"
#include "system/SystemLayers.h"
#include "net/ServiceEndpoints.h"
#include "net/OwnedReply.h"

#include <QCoroFuture>
#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QProcessEnvironment>
#include <QtConcurrent/QtConcurrentRun>
#include <memory>

QString ManifestClientError::localizedDescription() const
{
    if (m_kind == Kind::invalidSignature)
        return QStringLiteral("The catalog's signature could not be verified.");
    if (m_kind == Kind::noFreshness)
        return QStringLiteral("The catalog has no valid sequence or expiry.");
    if (m_kind == Kind::older)
        return QStringLiteral("The catalog is older than one already seen.");
    if (m_kind == Kind::conflicting)
        return QStringLiteral("The catalog has the sequence of one already seen but other contents.");
    if (m_httpStatus >= 0)
        return QStringLiteral("The server answered with HTTP status %1.").arg(m_httpStatus);
    return QStringLiteral("The server's answer was not an HTTP response.");
}

QString ManifestClientError::debugDescription() const
{
    switch (m_kind) {
    case Kind::invalidSignature:
        return QStringLiteral("invalidSignature");
    case Kind::noFreshness:
        return QStringLiteral("noFreshness");
    case Kind::older:
        return QStringLiteral("older");
    case Kind::conflicting:
        return QStringLiteral("conflicting");
    case Kind::invalidResponse:
        break;
    }
    return QStringLiteral("invalidResponse");
}

RemoteManifestClient::RemoteManifestClient(QUrl endpoint, QNetworkAccessManager *session)
    : m_endpoint(std::move(endpoint)), m_session(session)
{
}

QUrl RemoteManifestClient::builtInEndpoint()
{
    return QUrl(QStringLiteral("http://127.0.0.1:8787/api/launcher/manifest"));
}

QUrl RemoteManifestClient::defaultEndpoint(const AppProperties &properties)
{
    return ServiceEndpoints::configuredURL(QStringLiteral("VANTREL_MANIFEST_URL"), QStringLiteral("VantrelManifestURL"),
                                           properties, builtInEndpoint());
}

QUrl RemoteManifestClient::requestUrl(const QUrl &endpoint, VantrelLocale locale)
{
    if (!endpoint.isValid())
        return endpoint;
    // Work on the encoded query so every other item keeps its exact spelling.
    QStringList items;
    if (endpoint.hasQuery()) {
        const QString query = endpoint.query(QUrl::FullyEncoded);
        if (!query.isEmpty()) {
            for (const QString &item : query.split(QLatin1Char('&'))) {
                const QString name = item.section(QLatin1Char('='), 0, 0);
                if (QUrl::fromPercentEncoding(name.toUtf8()) != QLatin1String("lang"))
                    items.append(item);
            }
        }
    }
    items.append(QStringLiteral("lang=") + EnumNames::name(locale));
    QUrl url = endpoint;
    url.setQuery(items.join(QLatin1Char('&')), QUrl::StrictMode);
    if (!url.isValid())
        return endpoint;
    return url;
}

namespace {

// Body received so far; the reply is aborted once it passes the cap.
struct BodyBuffer {
    QByteArray data;
    bool tooLarge = false;
};

// Not a coroutine: the closure goes straight to the pool (GCC 12 destroys
// closures made inside a coroutine twice). Unsigned catalogs (no keys) are
// kept as they come; signed ones only when their sequence does not go back.
QFuture<CatalogSequence::Verdict> keepInBackground(std::shared_ptr<const CatalogCache> cache, CatalogPublicKeys keys,
                                                   CatalogSequence::Offered offered)
{
    return QtConcurrent::run([cache = std::move(cache), keys = std::move(keys), offered = std::move(offered)] {
        const WorkerCryptoStateRelease release;
        if (keys.isConfigured())
            return CatalogSequence::keep(*cache, keys, offered);
        cache->write(offered.endpoint, offered.body, offered.signature, offered.fetchedAt);
        return CatalogSequence::Verdict::accepted;
    });
}

// With keys configured, a catalog must say how fresh it is.
void requireFreshness(const LauncherManifest &manifest, const CatalogPublicKeys &keys)
{
    if (keys.isConfigured() && (manifest.sequence <= 0 || !manifest.expiresAt.isValid()))
        throw ManifestClientError(ManifestClientError::Kind::noFreshness);
}

void refuseVerdict(CatalogSequence::Verdict verdict)
{
    if (verdict == CatalogSequence::Verdict::older)
        throw ManifestClientError(ManifestClientError::Kind::older);
    if (verdict == CatalogSequence::Verdict::conflicting)
        throw ManifestClientError(ManifestClientError::Kind::conflicting);
}

}  // namespace

QCoro::Task<LauncherManifest> RemoteManifestClient::loadManifest(VantrelLocale locale)
{
    // Copy what the request needs: the client may be gone after the co_await.
    const QUrl url = requestUrl(m_endpoint, locale);
    const int timeoutMs = m_timeoutMs;
    const CatalogPublicKeys keys = m_publicKeys;
    const std::shared_ptr<const CatalogCache> cache = m_cache;
    const QUrl endpoint = m_endpoint;
    const QPointer<QNetworkAccessManager> session = m_session;
    if (!session)
        throw PlatformError(PlatformError::Domain::network, QStringLiteral("No network session."));

    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferNetwork);
    OwnedReply reply(session->get(request));

    auto body = std::make_shared<BodyBuffer>();
    QNetworkReply *raw = reply.get();
    auto take = [raw, body] {
        if (body->tooLarge)
            return;
        body->data.append(raw->readAll());
        if (body->data.size() > ManifestDecoder::maximumDocumentSize) {
            body->tooLarge = true;
            body->data = QByteArray();
            raw->abort();
        }
    };
    QObject::connect(raw, &QNetworkReply::readyRead, raw, take);
    QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, [raw, body] {
        const qint64 announced = raw->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > ManifestDecoder::maximumDocumentSize && !body->tooLarge) {
            body->tooLarge = true;
            raw->abort();
        }
    });

    if (!raw->isFinished())
        co_await qCoro(raw).waitForFinished(std::chrono::milliseconds(-1));

    if (body->tooLarge)
        throw DecodingError(QStringLiteral("the document is too large (more than %1 MiB)")
                                .arg(ManifestDecoder::maximumDocumentSize / (1024 * 1024)));

    const QVariant statusAttribute = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : -1;
    if (status >= 0 && (status < 200 || status > 299))
        throw ManifestClientError(ManifestClientError::Kind::invalidResponse, status);
    if (raw->error() != QNetworkReply::NoError)
        throw PlatformError(PlatformError::Domain::network, raw->errorString(), int(raw->error()));
    if (status < 0)
        throw ManifestClientError(ManifestClientError::Kind::invalidResponse, -1);

    take();
    if (body->tooLarge)
        throw DecodingError(QStringLiteral("the document is too large (more than %1 MiB)")
                                .arg(ManifestDecoder::maximumDocumentSize / (1024 * 1024)));
    // Nothing of an unverified body reaches the decoder.
    const QByteArray signature = raw->rawHeader(CatalogSignature::headerName);
    if (keys.isConfigured() && !keys.verify(body->data, signature))
        throw ManifestClientError(ManifestClientError::Kind::invalidSignature, status);
    LauncherManifest manifest = ManifestDecoder::decode(body->data);
    requireFreshness(manifest, keys);
    // Only a verified, decoded body is kept; the write (flushed to disk) runs off the main thread.
    if (cache) {
        const QFuture<CatalogSequence::Verdict> kept = keepInBackground(
            cache, keys,
            {endpoint, EnumNames::name(locale), body->data, signature, manifest.sequence, QDateTime::currentDateTimeUtc()});
        refuseVerdict(co_await kept);
    }
    co_return manifest;
}

std::optional<StoredCatalog> RemoteManifestClient::storedManifest() const
{
    return m_cache ? m_cache->read(m_endpoint, m_publicKeys) : std::nullopt;
}
