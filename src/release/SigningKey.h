#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <stdexcept>

typedef struct evp_pkey_st EVP_PKEY;

class SigningKeyError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The key the service signs its catalogs with: an Ed25519 private key in PEM
// form, "catalog-signing-key.pem" in the data folder, made on first use and
// readable by its owner only.
class SigningKey
{
public:
    // Throws SigningKeyError when the key can be neither read nor made.
    static SigningKey loadOrCreate(const QString &dataDir);
    // A maker's key file as it is; throws SigningKeyError when it is missing or not Ed25519.
    static SigningKey load(const QString &pemPath);

    // Standard padded base64 of the 32 raw public key bytes: what the launcher is given.
    QByteArray publicKeyBase64() const;
    // Standard padded base64 of the 64-byte signature of body: the X-Vantrel-Signature value.
    QByteArray sign(const QByteArray &body) const;

private:
    explicit SigningKey(EVP_PKEY *key);
    std::shared_ptr<EVP_PKEY> m_key;
};
