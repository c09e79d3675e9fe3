#include "ZipCentralDirectory.h"

#include <QFile>
#include <QtEndian>

#include <limits>

namespace ZipCentralDirectory {
namespace {

constexpr quint32 endSignature = 0x06054b50;
constexpr quint32 zip64LocatorSignature = 0x07064b50;
constexpr quint32 zip64EndSignature = 0x06064b50;
constexpr quint32 entrySignature = 0x02014b50;
constexpr quint32 localSignature = 0x04034b50;
constexpr qsizetype endSize = 22;
constexpr qsizetype zip64LocatorSize = 20;
constexpr qsizetype zip64EndSize = 56;
constexpr qsizetype entrySize = 46;
constexpr qsizetype localSize = 30;

// Little-endian reads that never look past the buffer (callers check the range).
quint16 u16(const QByteArray &data, qsizetype at) { return qFromLittleEndian<quint16>(data.constData() + at); }
quint32 u32(const QByteArray &data, qsizetype at) { return qFromLittleEndian<quint32>(data.constData() + at); }
quint64 u64(const QByteArray &data, qsizetype at) { return qFromLittleEndian<quint64>(data.constData() + at); }

bool fits(qsizetype at, qsizetype length, qsizetype size) { return at >= 0 && length >= 0 && at <= size - length; }

qint64 roundedUp(qint64 bytes)
{
    return (bytes + blockBytes - 1) / blockBytes * blockBytes;
}

// The ZIP64 record's values when the end record defers to it.
std::optional<Location> zip64Location(const QByteArray &tail, qsizetype endAt, qint64 tailStart)
{
    const qsizetype locatorAt = endAt - zip64LocatorSize;
    if (!fits(locatorAt, zip64LocatorSize, tail.size()) || u32(tail, locatorAt) != zip64LocatorSignature)
        return std::nullopt;
    const quint64 recordOffset = u64(tail, locatorAt + 8);
    if (recordOffset > quint64(std::numeric_limits<qint64>::max()) || qint64(recordOffset) < tailStart)
        return std::nullopt;
    const qsizetype recordAt = qsizetype(qint64(recordOffset) - tailStart);
    if (!fits(recordAt, zip64EndSize, tail.size()) || u32(tail, recordAt) != zip64EndSignature)
        return std::nullopt;
    const quint64 entries = u64(tail, recordAt + 32);
    const quint64 size = u64(tail, recordAt + 40);
    const quint64 offset = u64(tail, recordAt + 48);
    constexpr quint64 limit = quint64(std::numeric_limits<qint64>::max() / 2);
    if (entries > limit || size > limit || offset > limit)
        return std::nullopt;
    return Location{qint64(offset), qint64(size), qint64(entries)};
}

}  // namespace

std::optional<Location> locate(const QByteArray &tail, qint64 archiveSize)
{
    if (tail.size() < endSize || archiveSize < tail.size())
        return std::nullopt;
    const qint64 tailStart = archiveSize - tail.size();
    // The last end record whose comment reaches exactly to the archive's end.
    for (qsizetype at = tail.size() - endSize; at >= 0 && tail.size() - at <= endSize + 65535; --at) {
        if (u32(tail, at) != endSignature || at + endSize + u16(tail, at + 20) != tail.size())
            continue;
        Location location{u32(tail, at + 16), u32(tail, at + 12), u16(tail, at + 10)};
        const bool deferred = location.entries == 0xffff || location.size == 0xffffffff || location.offset == 0xffffffff;
        if (deferred) {
            const std::optional<Location> wide = zip64Location(tail, at, tailStart);
            if (!wide)
                return std::nullopt;
            location = *wide;
        }
        // The directory lies before its end record.
        const qint64 endOffset = tailStart + at;
        if (location.offset > endOffset || location.size > endOffset - location.offset)
            return std::nullopt;
        return location;
    }
    return std::nullopt;
}

namespace {

// Every entry of a whole directory, in its order, handed to take; false when
// an entry is malformed or the count differs from location.entries.
template <typename Take>
bool walk(const QByteArray &directory, const Location &location, Take take)
{
    if (directory.size() != location.size)
        return false;
    qint64 count = 0;
    qsizetype at = 0;
    while (at < directory.size()) {
        if (!fits(at, entrySize, directory.size()) || u32(directory, at) != entrySignature)
            return false;
        const qsizetype nameLength = u16(directory, at + 28);
        const qsizetype extraLength = u16(directory, at + 30);
        const qsizetype commentLength = u16(directory, at + 32);
        const qsizetype nameAt = at + entrySize;
        const qsizetype extraAt = nameAt + nameLength;
        if (!fits(nameAt, nameLength + extraLength + commentLength, directory.size()))
            return false;
        Entry entry;
        entry.name = directory.mid(nameAt, nameLength);
        entry.madeBy = u16(directory, at + 4);
        entry.flags = u16(directory, at + 8);
        entry.externalAttributes = u32(directory, at + 38);
        entry.method = u16(directory, at + 10);
        entry.crc32 = u32(directory, at + 16);
        // Each value too large for its field is in the ZIP64 field instead, in this order.
        quint64 values[3] = {u32(directory, at + 24), u32(directory, at + 20), u32(directory, at + 42)};
        int wide = 0;
        while (wide < 3 && values[wide] != 0xffffffff)
            ++wide;
        for (qsizetype field = extraAt; wide < 3 && fits(field, 4, extraAt + extraLength);) {
            const quint16 id = u16(directory, field);
            const qsizetype length = u16(directory, field + 2);
            if (!fits(field + 4, length, extraAt + extraLength))
                return false;
            if (id == 0x0001) {
                for (qsizetype read = 0; wide < 3 && read + 8 <= length; read += 8) {
                    values[wide] = u64(directory, field + 4 + read);
                    while (++wide < 3 && values[wide] != 0xffffffff) {
                    }
                }
                break;
            }
            field += 4 + length;
        }
        // -1 for a value still unstated or beyond belief.
        const auto stated = [](quint64 value) {
            return value == 0xffffffff || value > quint64(std::numeric_limits<qint64>::max() / 4) ? -1 : qint64(value);
        };
        // The unpacked size must be known; the others only matter to whoever reads the entry.
        entry.unpackedBytes = stated(values[0]);
        if (entry.unpackedBytes < 0)
            return false;
        entry.packedBytes = stated(values[1]);
        entry.localHeaderOffset = stated(values[2]);
        entry.folder = nameLength > 0 && directory.at(extraAt - 1) == '/';
        if (!take(std::move(entry)))
            return false;
        ++count;
        at = extraAt + extraLength + commentLength;
    }
    return count == location.entries;
}

// The directory's bytes and place in an archive on disk.
std::optional<std::pair<QByteArray, Location>> directoryOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    const qint64 tailLength = qMin(size, endSearchBytes);
    if (!file.seek(size - tailLength))
        return std::nullopt;
    const QByteArray tail = file.read(tailLength);
    const std::optional<Location> location = locate(tail, size);
    if (!location || location->size > maximumDirectoryBytes || !file.seek(location->offset))
        return std::nullopt;
    return std::pair{file.read(location->size), *location};
}

}  // namespace

std::optional<Contents> read(const QByteArray &directory, const Location &location)
{
    Contents contents;
    const bool whole = walk(directory, location, [&contents](Entry entry) {
        contents.unpackedBytes += entry.unpackedBytes;
        contents.diskBytes += entry.folder ? blockBytes : roundedUp(entry.unpackedBytes);
        ++contents.entries;
        return contents.unpackedBytes <= std::numeric_limits<qint64>::max() / 4;
    });
    if (!whole)
        return std::nullopt;
    return contents;
}

std::optional<QList<Entry>> entries(const QByteArray &directory, const Location &location)
{
    QList<Entry> list;
    list.reserve(qsizetype(qMin<qint64>(location.entries, 1 << 20)));
    if (!walk(directory, location, [&list](Entry entry) {
            list.append(std::move(entry));
            return true;
        }))
        return std::nullopt;
    return list;
}

std::optional<Contents> readFile(const QString &path)
{
    const auto directory = directoryOf(path);
    return directory ? read(directory->first, directory->second) : std::nullopt;
}

std::optional<QList<Entry>> entriesOfFile(const QString &path)
{
    const auto directory = directoryOf(path);
    return directory ? entries(directory->first, directory->second) : std::nullopt;
}

std::optional<qint64> dataOffset(QIODevice &archive, const Entry &entry)
{
    if (entry.localHeaderOffset < 0 || !archive.seek(entry.localHeaderOffset))
        return std::nullopt;
    const QByteArray local = archive.read(localSize);
    if (local.size() != localSize || u32(local, 0) != localSignature)
        return std::nullopt;
    return entry.localHeaderOffset + localSize + u16(local, 26) + u16(local, 28);
}

}  // namespace ZipCentralDirectory
