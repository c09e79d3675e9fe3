#pragma once

#include <QSslCertificate>
#include <QSslConfiguration>
#include <memory>

typedef struct evp_pkey_st EVP_PKEY;

// Certificates made with OpenSSL while the tests run; no key is committed.
namespace TestCrypto {

struct Identity {
    std::shared_ptr<EVP_PKEY> key;
    QSslCertificate certificate;
    // What a LoopbackHttpServer needs to present this identity.
    QSslConfiguration serverConfiguration() const;
};

// A P-256 certificate for altNames ("IP:127.0.0.1"), valid from fromDays to
// toDays around now, issued by issuer (none: self-signed).
Identity certificate(const QString &altNames, int fromDays = -1, int toDays = 30, const Identity *issuer = nullptr,
                     bool authority = false);

// Trusts the authority in this process's default TLS configuration: the only
// way the clients under test learn of it.
void trust(const Identity &authority);

}  // namespace TestCrypto
