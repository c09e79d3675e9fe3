#include "TestCrypto.h"

#include <QSslKey>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace TestCrypto {

QSslConfiguration Identity::serverConfiguration() const
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    EVP_PKEY_up_ref(key.get());  // the QSslKey takes one reference
    configuration.setPrivateKey(QSslKey(reinterpret_cast<Qt::HANDLE>(key.get())));
    return configuration;
}

Identity certificate(const QString &altNames, int fromDays, int toDays, const Identity *issuer, bool authority)
{
    Identity identity{std::shared_ptr<EVP_PKEY>(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"), EVP_PKEY_free), QSslCertificate()};
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
    const QByteArray names = altNames.toLatin1();
    for (const auto &[nid, value] : {std::pair{NID_basic_constraints, authority ? "critical,CA:TRUE" : "CA:FALSE"},
                                     std::pair{NID_subject_alt_name, names.constData()}}) {
        X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
        X509_add_ext(cert.get(), extension, -1);
        X509_EXTENSION_free(extension);
    }
    X509_sign(cert.get(), issuer ? issuer->key.get() : identity.key.get(), EVP_sha256());
    const int size = i2d_X509(cert.get(), nullptr);
    QByteArray der(size, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(der.data());
    i2d_X509(cert.get(), &out);
    identity.certificate = QSslCertificate(der, QSsl::Der);
    return identity;
}

void trust(const Identity &authority)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificate(authority.certificate);
    QSslConfiguration::setDefaultConfiguration(configuration);
}

}  // namespace TestCrypto
