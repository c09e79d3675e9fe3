#include "WholeEntryInflater.h"

#include "ZipEntryPlan.h"

#include <QFile>
#include <QSet>
#include <QtEndian>

#include <libdeflate.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 localSignature = 0x04034b50;
constexpr qint64 localHeaderBytes = 30;
constexpr quint16 deflated = 8;
constexpr quint16 encrypted = 0x0001;
constexpr quint16 sizesFollowData = 0x0008;

quint16 u16(const char *at) { return qFromLittleEndian<quint16>(at); }
quint32 u32(const char *at) { return qFromLittleEndian<quint32>(at); }

// pread(2) of exactly length bytes; false on a short read or an error.
bool readAt(int fd, char *into, qint64 length, qint64 offset)
{
    while (length > 0) {
        const ssize_t got = ::pread(fd, into, size_t(length), off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        into += got;
        length -= got;
        offset += got;
    }
    return true;
}

PlatformError refused(const QByteArray &name, const char *why)
{
    return ZipEntryPlan::archiveError(
        QStringLiteral("The archive is damaged: the entry \"%1\" %2.").arg(QString::fromUtf8(name), QLatin1String(why)));
}

}  // namespace

char *WholeEntryInflater::Buffer::reserve(qint64 bytes)
{
    // At least one byte, so an empty entry still has somewhere to go.
    if (bytes > capacity || !data) {
        capacity = qMax<qint64>(1, bytes);
        data.reset(new char[size_t(capacity)]);
    }
    return data.get();
}

WholeEntryInflater::WholeEntryInflater(const QString &archivePath, qint64 mostBytes)
    : m_fd(::open(QFile::encodeName(archivePath).constData(), O_RDONLY | O_CLOEXEC)),
      m_mostBytes(mostBytes),
      m_decompressor(libdeflate_alloc_decompressor())
{
    struct stat st {};
    if (m_fd >= 0 && ::fstat(m_fd, &st) == 0)
        m_archiveBytes = st.st_size;
}

WholeEntryInflater::~WholeEntryInflater()
{
    if (m_fd >= 0)
        ::close(m_fd);
    libdeflate_free_decompressor(m_decompressor);
}

bool WholeEntryInflater::takes(const Entry &entry) const
{
    // Deflate grows data by a few bytes in a thousand at most: no entry this
    // road takes needs more, and what it reads is held in memory.
    return m_fd >= 0 && m_decompressor && entry.method == deflated && !(entry.flags & encrypted) && !entry.folder
        && entry.unpackedBytes <= m_mostBytes && entry.packedBytes >= 0 && entry.localHeaderOffset >= 0
        && entry.packedBytes <= m_mostBytes + m_mostBytes / 64 + 1024;
}

std::optional<QByteArrayView> WholeEntryInflater::inflate(const Entry &entry)
{
    if (!takes(entry) || entry.localHeaderOffset > m_archiveBytes - localHeaderBytes)
        return std::nullopt;
    char header[localHeaderBytes];
    if (!readAt(m_fd, header, localHeaderBytes, entry.localHeaderOffset) || u32(header) != localSignature)
        return std::nullopt;
    const quint16 flags = u16(header + 6);
    const qint64 nameBytes = u16(header + 26);
    const qint64 dataAt = entry.localHeaderOffset + localHeaderBytes + nameBytes + u16(header + 28);
    if (u16(header + 8) != entry.method || (flags & encrypted) || nameBytes != entry.name.size()
        || dataAt > m_archiveBytes - entry.packedBytes)
        return std::nullopt;
    // What the local header states, where it states anything (a header whose
    // sizes follow the data may hold zeros), agrees with the directory.
    const auto agrees = [&](quint32 local, quint64 stated) {
        return local == stated || local == 0xffffffff || (local == 0 && (flags & sizesFollowData));
    };
    if (!agrees(u32(header + 14), entry.crc32) || !agrees(u32(header + 18), quint64(entry.packedBytes))
        || !agrees(u32(header + 22), quint64(entry.unpackedBytes)))
        return std::nullopt;
    char *packed = m_packed.reserve(qMax(nameBytes, entry.packedBytes));
    if (!readAt(m_fd, packed, nameBytes, entry.localHeaderOffset + localHeaderBytes)
        || QByteArrayView(packed, nameBytes) != entry.name)
        return std::nullopt;
    if (!readAt(m_fd, packed, entry.packedBytes, dataAt))
        return std::nullopt;

    char *unpacked = m_unpacked.reserve(entry.unpackedBytes);
    size_t unpackedBytes = 0;
    const libdeflate_result result = libdeflate_deflate_decompress(
        m_decompressor, packed, size_t(entry.packedBytes), unpacked, size_t(entry.unpackedBytes), &unpackedBytes);
    if (result == LIBDEFLATE_INSUFFICIENT_SPACE)
        throw refused(entry.name, "unpacks to more than it states");
    if (result != LIBDEFLATE_SUCCESS)
        throw refused(entry.name, "cannot be inflated");
    if (unpackedBytes != size_t(entry.unpackedBytes))
        throw refused(entry.name, "unpacks to less than it states");
    m_lastCrc32 = libdeflate_crc32(0, unpacked, unpackedBytes);
    if (m_lastCrc32 != entry.crc32)
        throw refused(entry.name, "fails its CRC check");
    return QByteArrayView(unpacked, qsizetype(unpackedBytes));
}

QHash<QByteArray, WholeEntryInflater::Entry> WholeEntryInflater::directoryByName(const QString &archivePath)
{
    QHash<QByteArray, Entry> byName;
    const std::optional<QList<Entry>> entries = ZipCentralDirectory::entriesOfFile(archivePath);
    if (!entries)
        return byName;
    QSet<QByteArray> twice;
    for (const Entry &entry : *entries) {
        if (byName.contains(entry.name))
            twice.insert(entry.name);
        byName.insert(entry.name, entry);
    }
    for (const QByteArray &name : std::as_const(twice))
        byName.remove(name);
    return byName;
}
