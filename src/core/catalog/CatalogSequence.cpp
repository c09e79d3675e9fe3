#include "CatalogSequence.h"

#include "CatalogCache.h"
#include "CatalogSignature.h"
#include "faults/FaultPoint.h"
#include "log/Logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>

namespace CatalogSequence {

namespace {

constexpr char magic[] = "vantrel-catalog-sequence 1";
// Another process holds the lock while it writes one catalog: moments.
constexpr int lockWaitMs = 20000;

QString withSuffix(const CatalogCache &cache, const QUrl &endpoint, const QString &suffix)
{
    QString path = cache.pathFor(endpoint);
    path.chop(int(qstrlen(".catalog")));
    return path + suffix;
}

// What the record says, else the stored copy's own sequence, else nothing seen.
std::optional<Record> seenRecord(const CatalogCache &cache, const CatalogPublicKeys &keys, const QUrl &endpoint)
{
    if (auto record = readRecord(recordPath(cache, endpoint)))
        return record;
    const std::optional<StoredCatalog> stored = cache.read(endpoint, keys);
    if (!stored || stored->manifest.sequence <= 0)
        return std::nullopt;
    qCInfo(lcCatalog) << "No record of the catalog sequence; the stored catalog's own is used";
    // Its language is not known: only its sequence counts.
    return Record{stored->manifest.sequence, {}};
}

}  // namespace

QString recordPath(const CatalogCache &cache, const QUrl &endpoint)
{
    return withSuffix(cache, endpoint, QStringLiteral(".sequence"));
}

std::optional<Record> readRecord(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<QByteArray> lines = file.read(16 * 1024).split('\n');
    if (lines.size() < 2 || lines[0] != magic) {
        qCWarning(lcCatalog) << "Ignoring the catalog sequence record: it is not one";
        return std::nullopt;
    }
    bool ok = false;
    Record record;
    record.sequence = lines[1].toLongLong(&ok);
    bool damaged = !ok || record.sequence <= 0;
    // Then one "language digest" line each; the file ends with a newline.
    for (qsizetype i = 2; i < lines.size() && !damaged; ++i) {
        if (lines[i].isEmpty() && i == lines.size() - 1)
            break;
        const QList<QByteArray> parts = lines[i].split(' ');
        const QByteArray digest = parts.size() == 2 ? QByteArray::fromHex(parts[1]) : QByteArray();
        damaged = digest.size() != 32 || parts[0].isEmpty();
        record.bodySha256.insert(QString::fromLatin1(parts[0]), digest);
    }
    if (damaged) {
        qCWarning(lcCatalog) << "Ignoring the catalog sequence record: it is damaged";
        return std::nullopt;
    }
    return record;
}

bool writeRecord(const QString &path, const Record &record)
{
    QByteArray text = QByteArray(magic) + '\n' + QByteArray::number(record.sequence) + '\n';
    for (auto it = record.bodySha256.cbegin(); it != record.bodySha256.cend(); ++it)
        text += it.key().toLatin1() + ' ' + it.value().toHex() + '\n';
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        qCWarning(lcCatalog).noquote() << "Cannot keep the catalog sequence:" << file.errorString();
        return false;
    }
    return true;
}

Verdict judge(const std::optional<Record> &seen, qint64 sequence, const QString &language, const QByteArray &bodySha256)
{
    if (!seen || sequence > seen->sequence)
        return Verdict::accepted;
    if (sequence < seen->sequence)
        return Verdict::older;
    const auto known = seen->bodySha256.constFind(language);
    return known == seen->bodySha256.cend() || *known == bodySha256 ? Verdict::accepted : Verdict::conflicting;
}

Verdict keep(const CatalogCache &cache, const CatalogPublicKeys &keys, const Offered &offered)
{
    const QUrl &endpoint = offered.endpoint;
    if (!QDir().mkpath(cache.folder())) {
        qCWarning(lcCatalog) << "Cannot create the catalog cache folder; the catalog is not kept";
        return Verdict::accepted;
    }
    QLockFile lock(withSuffix(cache, endpoint, QStringLiteral(".lock")));
    if (!lock.tryLock(lockWaitMs)) {
        // Shown, not kept: the next refresh tries again.
        qCWarning(lcCatalog) << "The catalog sequence is locked by another process; the catalog is not kept";
        return Verdict::accepted;
    }
    const QByteArray hash = QCryptographicHash::hash(offered.body, QCryptographicHash::Sha256);
    const std::optional<Record> seen = seenRecord(cache, keys, endpoint);
    const Verdict verdict = judge(seen, offered.sequence, offered.language, hash);
    if (verdict != Verdict::accepted)
        return verdict;
    if (!cache.write(endpoint, offered.body, offered.signature, offered.fetchedAt))
        return verdict;
    // The other languages' digests stay while the sequence does.
    Record kept{offered.sequence, {}};
    if (seen && seen->sequence == offered.sequence)
        kept.bodySha256 = seen->bodySha256;
    kept.bodySha256.insert(offered.language, hash);
    FaultPoint::reach("catalog-sequence-writing");
    writeRecord(recordPath(cache, endpoint), kept);
    return verdict;
}

}  // namespace CatalogSequence
