#include "Sha256Stream.h"

#include <QFile>

#include <openssl/evp.h>

#include <new>

Sha256Stream::Sha256Stream()
    : m_ctx(EVP_MD_CTX_new())
{
    if (!m_ctx || EVP_DigestInit_ex(m_ctx, EVP_sha256(), nullptr) != 1)
        throw std::bad_alloc();
}

Sha256Stream::~Sha256Stream()
{
    EVP_MD_CTX_free(m_ctx);
}

void Sha256Stream::update(const char *data, std::size_t length)
{
    if (length > 0)
        EVP_DigestUpdate(m_ctx, data, length);
}

QString Sha256Stream::finishHex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_ctx, digest, &length);
    static const char hex[] = "0123456789abcdef";
    QString out;
    out.reserve(int(length) * 2);
    for (unsigned int i = 0; i < length; ++i) {
        out.append(QLatin1Char(hex[digest[i] >> 4]));
        out.append(QLatin1Char(hex[digest[i] & 0x0f]));
    }
    return out;
}

std::optional<QString> Sha256Stream::fileHex(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    Sha256Stream stream;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(buffer.data(), buffer.size());
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return stream.finishHex();
        stream.update(buffer.constData(), std::size_t(n));
    }
}
