#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class AppProperties;

// The Ed25519 keys a catalog must be signed with. Empty (not configured):
// catalogs are taken unsigned. Configured but without one usable key: no
// catalog verifies, so a typo never turns the check off.
class CatalogPublicKeys
{
public:
    CatalogPublicKeys() = default;

    // Comma-separated standard padded base64 of each key's 32 raw bytes.
    // Blank text configures nothing; unusable entries are skipped with a warning.
    static CatalogPublicKeys parse(const QString &text);

    // "VANTREL_CATALOG_PUBLIC_KEYS", then the "VantrelCatalogPublicKeys" property;
    // a blank variable falls through, so it cannot switch compiled-in keys off.
    static CatalogPublicKeys configured(const AppProperties &properties);

    bool isConfigured() const { return m_configured; }
    int usableKeyCount() const { return int(m_keys.size()); }

    // True when signature (the header's value: standard padded base64 of 64
    // bytes) is a valid signature of exactly body by one of the keys.
    bool verify(const QByteArray &body, const QByteArray &signature) const;

private:
    bool m_configured = false;
    QList<QByteArray> m_keys;
};

namespace CatalogSignature {
// The response header carrying the signature of the manifest body.
inline constexpr char headerName[] = "X-Vantrel-Signature";
}  // namespace CatalogSignature
