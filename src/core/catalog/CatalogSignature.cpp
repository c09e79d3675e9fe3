#include "CatalogSignature.h"

#include "log/Logging.h"
#include "system/SystemLayers.h"

#include <QProcessEnvironment>
#include <QVariant>

#include <memory>
#include <openssl/evp.h>

namespace {

constexpr qsizetype keySize = 32;
constexpr qsizetype signatureSize = 64;

// The bytes of standard padded base64 of exactly size bytes; empty otherwise.
// Only the canonical spelling passes, so one signature has one accepted text.
QByteArray strictBase64(const QByteArray &text, qsizetype size)
{
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size || decoded.decoded.toBase64() != text)
        return {};
    return decoded.decoded;
}

bool verifyWith(const QByteArray &key, const QByteArray &body, const QByteArray &signature)
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> pkey(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char *>(key.constData()),
                                    std::size_t(key.size())),
        EVP_PKEY_free);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!pkey || !ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, pkey.get()) != 1)
        return false;
    return EVP_DigestVerify(ctx.get(), reinterpret_cast<const unsigned char *>(signature.constData()),
                            std::size_t(signature.size()), reinterpret_cast<const unsigned char *>(body.constData()),
                            std::size_t(body.size()))
        == 1;
}

}  // namespace

CatalogPublicKeys CatalogPublicKeys::parse(const QString &text)
{
    CatalogPublicKeys keys;
    keys.m_configured = !text.trimmed().isEmpty();
    for (const QString &entry : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QByteArray key = strictBase64(entry.trimmed().toLatin1(), keySize);
        if (key.isEmpty())
            qCWarning(lcCatalog) << "Skipping a catalog public key that is not the base64 of 32 bytes";
        else
            keys.m_keys.append(key);
    }
    if (keys.m_configured && keys.m_keys.isEmpty())
        qCWarning(lcCatalog) << "No usable catalog public key: every catalog will be refused";
    return keys;
}

CatalogPublicKeys CatalogPublicKeys::configured(const AppProperties &properties)
{
    const QString fromEnvironment = QProcessEnvironment::systemEnvironment().value(QStringLiteral("VANTREL_CATALOG_PUBLIC_KEYS"));
    if (!fromEnvironment.trimmed().isEmpty())
        return parse(fromEnvironment);
    const QVariant property = properties.value(QStringLiteral("VantrelCatalogPublicKeys"));
    return parse(property.typeId() == QMetaType::QString ? property.toString() : QString());
}

bool CatalogPublicKeys::verify(const QByteArray &body, const QByteArray &signature) const
{
    const QByteArray raw = strictBase64(signature.trimmed(), signatureSize);
    if (raw.isEmpty())
        return false;
    for (const QByteArray &key : m_keys) {
        if (verifyWith(key, body, raw))
            return true;
    }
    return false;
}
