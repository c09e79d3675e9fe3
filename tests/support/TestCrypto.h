#pragma once

#include <QByteArray>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QString>
#include <memory>

typedef struct evp_pkey_st EVP_PKEY;

// Keys and certificates made with OpenSSL while the tests run; none is committed.
namespace TestCrypto {

struct Identity {
    std::shared_ptr<EVP_PKEY> key;
    QSslCertificate certificate;
    // What a LoopbackHttpServer needs to present this identity.
    QSslConfiguration serverConfiguration() const;
};

// A P-256 certificate for altNames ("IP:127.0.0.1,DNS:localhost"), valid from
// fromDays to toDays around now, issued by issuer (none: self-signed).
Identity certificate(const QString &altNames, int fromDays = -1, int toDays = 30, const Identity *issuer = nullptr,
                     bool authority = false);

// Trusts the authority's certificate in this process's default TLS configuration.
void trust(const Identity &authority);

// An Ed25519 key pair for signed catalogs, in their base64 forms.
class Signer
{
public:
    Signer();
    QByteArray publicKey() const;
    QByteArray sign(const QByteArray &body) const;

private:
    std::shared_ptr<EVP_PKEY> m_key;
};

}  // namespace TestCrypto
