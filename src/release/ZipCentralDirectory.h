#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

class QIODevice;

// What a ZIP archive's central directory says it unpacks to, read before the
// archive is extracted (or even downloaded: the directory sits at its end).
// The extractor checks every entry again as it writes; this only sizes the
// work, so a directory that lies makes the extraction fail, never overflow.
namespace ZipCentralDirectory {

// Enough of an archive's end to hold the end record, its longest comment and
// the ZIP64 locator and record before it.
inline constexpr qint64 endSearchBytes = 22 + 65535 + 20 + 56;
// A directory larger than this is not read ahead (one of 100 000 entries is
// far smaller); the space is then checked from the archive's size alone.
inline constexpr qint64 maximumDirectoryBytes = 32 << 20;

struct Location {
    qint64 offset = 0;   // of the directory, from the archive's start
    qint64 size = 0;     // its bytes
    qint64 entries = 0;  // as the end record counts them
};

// The directory's place, from tail: the last tail.size() bytes of an archive
// of archiveSize bytes. Nothing when tail holds no end record, or the record
// points outside the archive.
std::optional<Location> locate(const QByteArray &tail, qint64 archiveSize);

// Block size the disk need is rounded to, per entry.
inline constexpr qint64 blockBytes = 4096;

struct Contents {
    qint64 entries = 0;
    qint64 unpackedBytes = 0;  // the entries' sizes as stated
    // What they take on disk at most: each file rounded up to whole blocks,
    // each folder one block.
    qint64 diskBytes = 0;
};

// The entries of a whole directory (location.size bytes); nothing when an
// entry is malformed or the count differs from location.entries.
std::optional<Contents> read(const QByteArray &directory, const Location &location);

// Both of the above from an archive on disk; nothing when it is not a
// readable ZIP (the extractor then says why). Blocking.
std::optional<Contents> readFile(const QString &path);

// One entry as the directory states it: what lets a reader go straight to
// its data and check what it unpacks.
struct Entry {
    QByteArray name;  // the bytes as stored
    quint16 flags = 0;
    quint16 method = 0;  // 0 stored, 8 deflated
    quint32 crc32 = 0;
    qint64 packedBytes = -1;        // -1: not stated
    qint64 unpackedBytes = 0;
    qint64 localHeaderOffset = -1;  // -1: not stated
    bool folder = false;
    quint16 madeBy = 0;  // the high byte names the system: 0 MS-DOS, 3 Unix, 19 macOS
    quint32 externalAttributes = 0;  // Unix systems: the mode in the high 16 bits
};

// Every entry of a whole directory, in its order; nothing as for read().
std::optional<QList<Entry>> entries(const QByteArray &directory, const Location &location);
std::optional<QList<Entry>> entriesOfFile(const QString &path);

// Where entry's packed bytes start in archive, past its local header; nothing
// when that header is missing or not where the directory says.
std::optional<qint64> dataOffset(QIODevice &archive, const Entry &entry);

}  // namespace ZipCentralDirectory
