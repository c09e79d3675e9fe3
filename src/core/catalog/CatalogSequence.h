#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QUrl>

#include <optional>

class CatalogCache;
class CatalogPublicKeys;

// The highest catalog sequence accepted for one manifest URL, kept beside the
// stored copy ("<copy>.sequence") so a replayed older catalog cannot freeze or
// roll back what the user sees. Every process of the launcher shares it.
namespace CatalogSequence {

struct Record {
    qint64 sequence = 0;
    // Raw digest of the body accepted at that sequence, per language asked
    // ("en"): each language's catalog is its own document of one sequence.
    QMap<QString, QByteArray> bodySha256;

    friend bool operator==(const Record &, const Record &) = default;
};

enum class Verdict {
    accepted,     // newer, or the same bytes again; kept on disk
    older,        // below the sequence already seen
    conflicting,  // the sequence already seen, with other bytes
};

QString recordPath(const CatalogCache &cache, const QUrl &endpoint);
// Nullopt when missing or unreadable.
std::optional<Record> readRecord(const QString &path);
// One step (QSaveFile); false with a warning when the disk refuses.
bool writeRecord(const QString &path, const Record &record);

// How a body in language (decoded with sequence) compares to what was seen;
// none seen: accepted. A language not seen at that sequence is accepted.
Verdict judge(const std::optional<Record> &seen, qint64 sequence, const QString &language, const QByteArray &bodySha256);

// Under a lock shared by every process: judges the body against the kept
// record (a missing or corrupt one counts as the stored copy's own sequence),
// then, when accepted, replaces the stored copy and raises the record. A
// refused body touches nothing.
struct Offered {
    QUrl endpoint;  // the manifest URL without its "lang" item
    QString language;
    QByteArray body;
    QByteArray signature;
    qint64 sequence = 0;
    QDateTime fetchedAt;
};
Verdict keep(const CatalogCache &cache, const CatalogPublicKeys &keys, const Offered &offered);

}  // namespace CatalogSequence
