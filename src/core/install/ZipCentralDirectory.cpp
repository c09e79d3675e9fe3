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
constexpr qsizetype endSize = 22;
constexpr qsizetype zip64LocatorSize = 20;
constexpr qsizetype zip64EndSize = 56;
constexpr qsizetype entrySize = 46;

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

std::optional<Contents> read(const QByteArray &directory, const Location &location)
{
    if (directory.size() != location.size)
        return std::nullopt;
    Contents contents;
    qsizetype at = 0;
    while (at < directory.size()) {
        if (!fits(at, entrySize, directory.size()) || u32(directory, at) != entrySignature)
            return std::nullopt;
        const qsizetype nameLength = u16(directory, at + 28);
        const qsizetype extraLength = u16(directory, at + 30);
        const qsizetype commentLength = u16(directory, at + 32);
        const qsizetype nameAt = at + entrySize;
        const qsizetype extraAt = nameAt + nameLength;
        if (!fits(nameAt, nameLength + extraLength + commentLength, directory.size()))
            return std::nullopt;
        quint64 unpacked = u32(directory, at + 24);
        if (unpacked == 0xffffffff) {
            // The ZIP64 field holds the real size first.
            bool found = false;
            for (qsizetype field = extraAt; fits(field, 4, extraAt + extraLength);) {
                const quint16 id = u16(directory, field);
                const qsizetype length = u16(directory, field + 2);
                if (!fits(field + 4, length, extraAt + extraLength))
                    return std::nullopt;
                if (id == 0x0001 && length >= 8) {
                    unpacked = u64(directory, field + 4);
                    found = true;
                    break;
                }
                field += 4 + length;
            }
            if (!found || unpacked > quint64(std::numeric_limits<qint64>::max() / 4))
                return std::nullopt;
        }
        const bool folder = nameLength > 0 && directory.at(extraAt - 1) == '/';
        contents.unpackedBytes += qint64(unpacked);
        contents.diskBytes += folder ? blockBytes : roundedUp(qint64(unpacked));
        ++contents.entries;
        if (contents.unpackedBytes > std::numeric_limits<qint64>::max() / 4)
            return std::nullopt;
        at = extraAt + extraLength + commentLength;
    }
    if (contents.entries != location.entries)
        return std::nullopt;
    return contents;
}

std::optional<Contents> readFile(const QString &path)
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
    return read(file.read(location->size), *location);
}

}  // namespace ZipCentralDirectory
