#pragma once

#include "ZipCentralDirectory.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>

struct libdeflate_decompressor;

// Inflates a deflated ZIP entry in one call with libdeflate, reading its data
// straight from the archive at the place the central directory states, into a
// buffer of the size the directory states. The result is checked against that
// size and the stated CRC-32 before anyone sees it, so an entry that unpacks
// to more than it states is refused with nothing written at all. Only plain
// entries take this road: deflated, not encrypted, sizes and place stated, a
// local header that agrees; inflate() answers nothing for any other, and the
// caller reads it the ordinary way. One per thread.
class WholeEntryInflater
{
public:
    using Entry = ZipCentralDirectory::Entry;

    // Opens the archive; entries larger than mostBytes unpacked are left to the caller.
    WholeEntryInflater(const QString &archivePath, qint64 mostBytes);
    ~WholeEntryInflater();
    WholeEntryInflater(const WholeEntryInflater &) = delete;
    WholeEntryInflater &operator=(const WholeEntryInflater &) = delete;

    // Whether the directory's entry may take this road at all.
    bool takes(const Entry &entry) const;

    // The entry's bytes, valid until the next call; nothing when the entry is
    // not for this road after all. Throws PlatformError(archive) when the data
    // is damaged, unpacks to another size than stated or fails its CRC-32.
    std::optional<QByteArrayView> inflate(const Entry &entry);

    // The CRC-32 of the last bytes inflate() returned (the stated one, checked).
    quint32 lastCrc32() const { return m_lastCrc32; }

    // The entries of the archive's directory by name, those stated twice left
    // out; empty when the directory cannot be read.
    static QHash<QByteArray, Entry> directoryByName(const QString &archivePath);

private:
    struct Buffer {
        std::unique_ptr<char[]> data;
        qint64 capacity = 0;
        char *reserve(qint64 bytes);
    };

    int m_fd = -1;
    qint64 m_archiveBytes = 0;
    qint64 m_mostBytes = 0;
    libdeflate_decompressor *m_decompressor = nullptr;
    Buffer m_packed;
    Buffer m_unpacked;
    quint32 m_lastCrc32 = 0;
};
