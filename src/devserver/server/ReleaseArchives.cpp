#include "ReleaseArchives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <openssl/evp.h>

bool ReleaseArchives::isServableName(const QString &name)
{
    // An archive, or the file list published beside it.
    const bool list = name.endsWith(QLatin1String(".zip.files"));
    if (name.size() <= (list ? 10 : 4) || !(list || name.endsWith(QLatin1String(".zip"))))
        return false;
    if (name.startsWith(QLatin1Char('.')) || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            return false;
    }
    return true;
}

std::optional<QString> ReleaseArchives::pathFor(const QString &name) const
{
    if (!isServableName(name))
        return std::nullopt;
    const QString path = QDir(m_directory).filePath(name);
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return std::nullopt;
    return path;
}

std::optional<QString> ReleaseArchives::sha256OfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return std::nullopt;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(buffer.data(), buffer.size());
        if (read < 0)
            return std::nullopt;
        if (read == 0)
            break;
        EVP_DigestUpdate(context.get(), buffer.constData(), size_t(read));
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return std::nullopt;
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

QMap<QString, QString> ReleaseArchives::checksums(const QStringList &names, QStringList *missing) const
{
    QMap<QString, QString> result;
    for (const QString &name : names) {
        const auto path = pathFor(name);
        const auto sum = path ? sha256OfFile(*path) : std::nullopt;
        if (sum)
            result.insert(name, *sum);
        else if (missing)
            missing->append(name);
    }
    return result;
}
