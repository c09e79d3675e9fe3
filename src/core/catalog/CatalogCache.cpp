#include "CatalogCache.h"

#include "CatalogSignature.h"
#include "ManifestDecoder.h"
#include "errors/LauncherError.h"
#include "faults/FaultPoint.h"
#include "log/Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <variant>

namespace {

// A copy: these header lines, an empty line, then the body's exact bytes.
constexpr char magicLine[] = "vantrel-catalog-copy 1";
constexpr char urlField[] = "url: ";
constexpr char fetchedField[] = "fetched: ";
constexpr char signatureField[] = "signature: ";  // base64 of the header's value, empty when unsigned
constexpr char lengthField[] = "length: ";
constexpr qint64 headerRoom = 64 * 1024;

struct ParsedCopy {
    QByteArray url;
    QDateTime fetchedAt;
    QByteArray signature;
    QByteArray body;
};

// The copy's fields, or the reason it is unusable.
std::variant<ParsedCopy, QString> parse(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0)
        return QStringLiteral("no header");
    const QList<QByteArray> lines = bytes.left(end).split('\n');
    const auto field = [&](int index, const char *name) -> std::optional<QByteArray> {
        if (index >= lines.size() || !lines[index].startsWith(name))
            return std::nullopt;
        return lines[index].mid(qstrlen(name));
    };
    if (lines.size() != 5 || lines[0] != magicLine)
        return QStringLiteral("not a catalog copy");
    const auto url = field(1, urlField);
    const auto fetched = field(2, fetchedField);
    const auto signature = field(3, signatureField);
    const auto length = field(4, lengthField);
    if (!url || !fetched || !signature || !length)
        return QStringLiteral("a header field is missing");
    ParsedCopy copy;
    copy.url = *url;
    copy.fetchedAt = QDateTime::fromString(QString::fromLatin1(*fetched), Qt::ISODateWithMs);
    if (!copy.fetchedAt.isValid())
        return QStringLiteral("the fetch time does not parse");
    const auto decoded = QByteArray::fromBase64Encoding(*signature, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return QStringLiteral("the signature field is not base64");
    copy.signature = decoded.decoded;
    bool ok = false;
    const qint64 declared = length->toLongLong(&ok);
    // A view of bytes' own memory, which the caller keeps.
    copy.body = QByteArray::fromRawData(bytes.constData() + end + 2, bytes.size() - end - 2);
    if (!ok || declared != copy.body.size())
        return QStringLiteral("the body is not as long as recorded (truncated?)");
    return copy;
}

}  // namespace

CatalogCache::CatalogCache(QString folder) : m_folder(std::move(folder)) {}

QString CatalogCache::defaultFolder()
{
    // The launcher's CacheLocation whichever program asks: the command-line
    // tool has an application name of its own but shares the window's copy.
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/Vantrel/VantrelLauncher/catalogs");
}

QString CatalogCache::pathFor(const QUrl &endpoint) const
{
    const QByteArray hash = QCryptographicHash::hash(endpoint.toEncoded(), QCryptographicHash::Sha256).toHex();
    return m_folder + QLatin1Char('/') + QString::fromLatin1(hash.left(32)) + QStringLiteral(".catalog");
}

bool CatalogCache::write(const QUrl &endpoint, const QByteArray &body, const QByteArray &signature,
                         const QDateTime &fetchedAt) const
{
    if (!QDir().mkpath(m_folder)) {
        qCWarning(lcCatalog) << "Cannot create the catalog cache folder; the catalog is not kept";
        return false;
    }
    QByteArray header = QByteArray(magicLine) + '\n';
    header += urlField + endpoint.toEncoded() + '\n';
    header += fetchedField + fetchedAt.toUTC().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    header += signatureField + signature.toBase64() + '\n';
    header += lengthField + QByteArray::number(body.size()) + "\n\n";

    QSaveFile file(pathFor(endpoint));
    const qsizetype half = body.size() / 2;
    bool written = file.open(QIODevice::WriteOnly) && file.write(header) == header.size()
        && file.write(body.constData(), half) == half;
    // Crash tests stop here and after the whole body: the copy in place must stay whole.
    FaultPoint::reach("catalog-copy-writing");
    written = written && file.write(body.constData() + half, body.size() - half) == body.size() - half;
    FaultPoint::reach("catalog-copy-written");
    if (!written || !file.commit()) {
        qCWarning(lcCatalog).noquote() << "Cannot keep the catalog on disk:" << file.errorString();
        file.cancelWriting();
        return false;
    }
    FaultPoint::reach("catalog-copy-committed");
    return true;
}

std::optional<StoredCatalog> CatalogCache::read(const QUrl &endpoint, const CatalogPublicKeys &keys) const
{
    const QString path = pathFor(endpoint);
    const QFileInfo info(path);
    if (!info.exists()) {
        qCInfo(lcCatalog) << "No stored catalog for this manifest URL";
        return std::nullopt;
    }
    // Unusable: said once, and the copy goes so that it is not read again.
    const auto ignore = [&path](const QString &why) -> std::optional<StoredCatalog> {
        qCWarning(lcCatalog).noquote() << "Ignoring the stored catalog:" << why;
        QFile::remove(path);
        return std::nullopt;
    };
    if (info.size() > ManifestDecoder::maximumDocumentSize + headerRoom)
        return ignore(QStringLiteral("it is too large"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcCatalog).noquote() << "Ignoring the stored catalog: it cannot be read:" << file.errorString();
        return std::nullopt;
    }
    // Mapped, not read: a large catalog is not copied before it is decoded. A
    // copy is only ever replaced whole (renamed over), so the mapped one stays.
    const uchar *mapped = info.size() > 0 ? file.map(0, info.size()) : nullptr;
    const QByteArray bytes = mapped ? QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), info.size())
                                    : file.readAll();
    const auto parsed = parse(bytes);
    if (const QString *why = std::get_if<QString>(&parsed))
        return ignore(*why);
    const ParsedCopy &copy = std::get<ParsedCopy>(parsed);
    if (copy.url != endpoint.toEncoded())
        return ignore(QStringLiteral("it was stored for another manifest URL"));
    // As for a fresh answer: nothing unverified reaches the decoder.
    if (keys.isConfigured() && !keys.verify(copy.body, copy.signature))
        return ignore(QStringLiteral("its signature could not be verified"));
    try {
        return StoredCatalog{ManifestDecoder::decode(copy.body), copy.fetchedAt.toUTC()};
    } catch (const LauncherError &e) {
        return ignore(QStringLiteral("it does not decode: ") + e.debugDescription());
    }
}
