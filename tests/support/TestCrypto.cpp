#include "TestCrypto.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace TestCrypto {

QSslConfiguration Identity::serverConfiguration() const
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    char *pem = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &pem);
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(QSslKey(QByteArray(pem, size), QSsl::Ec));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

Identity certificate(const QString &altNames, int fromDays, int toDays, const Identity *issuer, bool authority)
{
    Identity identity{std::shared_ptr<EVP_PKEY>(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"), EVP_PKEY_free), {}};
    std::unique_ptr<X509, decltype(&X509_free)> cert(X509_new(), X509_free);
    static long serial = 1;
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial++);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), long(fromDays) * 86400);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), long(toDays) * 86400);
    X509_set_pubkey(cert.get(), identity.key.get());
    X509_NAME_add_entry_by_txt(X509_get_subject_name(cert.get()), "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char *>(authority ? "Test CA" : "Test server"), -1, -1, 0);
    X509 *issuerCert = issuer ? reinterpret_cast<X509 *>(issuer->certificate.handle()) : cert.get();
    X509_set_issuer_name(cert.get(), X509_get_subject_name(issuerCert));
    X509V3_CTX ctx;
    X509V3_set_ctx(&ctx, issuerCert, cert.get(), nullptr, nullptr, 0);
    const QByteArray constraints = authority ? "critical,CA:TRUE" : "CA:FALSE";
    const QByteArray names = altNames.toLatin1();
    for (const auto &[nid, value] : {std::pair{NID_basic_constraints, constraints.constData()}, std::pair{NID_subject_alt_name, names.constData()}}) {
        X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
        X509_add_ext(cert.get(), extension, -1);
        X509_EXTENSION_free(extension);
    }
    X509_sign(cert.get(), issuer ? issuer->key.get() : identity.key.get(), EVP_sha256());
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    PEM_write_bio_X509(bio.get(), cert.get());
    char *pem = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &pem);
    identity.certificate = QSslCertificate(QByteArray(pem, size));
    return identity;
}

void trust(const Identity &authority)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificate(authority.certificate);
    QSslConfiguration::setDefaultConfiguration(configuration);
}

Signer::Signer() : m_key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"), EVP_PKEY_free) {}

QByteArray Signer::publicKey() const
{
    QByteArray raw(32, Qt::Uninitialized);
    size_t length = 32;
    EVP_PKEY_get_raw_public_key(m_key.get(), reinterpret_cast<unsigned char *>(raw.data()), &length);
    return raw.toBase64();
}

QByteArray Signer::sign(const QByteArray &body) const
{
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    QByteArray signature(64, Qt::Uninitialized);
    size_t length = 64;
    EVP_DigestSignInit(ctx.get(), nullptr, nullptr, nullptr, m_key.get());
    EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char *>(signature.data()), &length,
                   reinterpret_cast<const unsigned char *>(body.constData()), size_t(body.size()));
    return signature.toBase64();
}

}  // namespace TestCrypto
