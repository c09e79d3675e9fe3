#include "SigningKey.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <unistd.h>

namespace {

const char keyFileName[] = "catalog-signing-key.pem";

EVP_PKEY *readKey(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray pem = file.readAll();
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.constData(), int(pem.size())), BIO_free);
    EVP_PKEY *key = bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr;
    if (key && EVP_PKEY_get_id(key) != EVP_PKEY_ED25519) {
        EVP_PKEY_free(key);
        throw SigningKeyError(QStringLiteral("%1 is not an Ed25519 key").arg(path).toStdString());
    }
    return key;
}

// Writes a new key with O_EXCL, so two services starting at once keep one key.
EVP_PKEY *createKey(const QString &path)
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"), EVP_PKEY_free);
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    if (!key || !bio || PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        throw SigningKeyError("could not make a signing key");
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    const bool written = ::write(fd, data, size_t(size)) == size;
    ::close(fd);
    if (!written)
        throw SigningKeyError(QStringLiteral("could not write %1").arg(path).toStdString());
    return key.release();
}

}  // namespace

SigningKey::SigningKey(EVP_PKEY *key) : m_key(key, EVP_PKEY_free) {}

SigningKey SigningKey::loadOrCreate(const QString &dataDir)
{
    if (!QDir().mkpath(dataDir))
        throw SigningKeyError(QStringLiteral("cannot create the data folder %1").arg(dataDir).toStdString());
    const QString path = QDir(dataDir).filePath(QLatin1String(keyFileName));
    EVP_PKEY *key = QFile::exists(path) ? readKey(path) : createKey(path);
    if (!key)
        key = readKey(path);  // another service made it first
    if (!key)
        throw SigningKeyError(QStringLiteral("cannot read the signing key %1").arg(path).toStdString());
    return SigningKey(key);
}

SigningKey SigningKey::load(const QString &pemPath)
{
    EVP_PKEY *key = readKey(pemPath);
    if (!key)
        throw SigningKeyError(QStringLiteral("cannot read the signing key %1").arg(pemPath).toStdString());
    return SigningKey(key);
}

QByteArray SigningKey::publicKeyBase64() const
{
    QByteArray raw(32, Qt::Uninitialized);
    size_t length = size_t(raw.size());
    if (EVP_PKEY_get_raw_public_key(m_key.get(), reinterpret_cast<unsigned char *>(raw.data()), &length) != 1)
        throw SigningKeyError("could not read the public key");
    raw.resize(qsizetype(length));
    return raw.toBase64();
}

QByteArray SigningKey::sign(const QByteArray &body) const
{
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    QByteArray signature(64, Qt::Uninitialized);
    size_t length = size_t(signature.size());
    if (!ctx || EVP_DigestSignInit(ctx.get(), nullptr, nullptr, nullptr, m_key.get()) != 1
        || EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char *>(signature.data()), &length,
                          reinterpret_cast<const unsigned char *>(body.constData()), size_t(body.size()))
            != 1)
        throw SigningKeyError("could not sign the catalog");
    return signature.left(qsizetype(length)).toBase64();
}
