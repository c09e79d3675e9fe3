#pragma once

#include "ZipCentralDirectory.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// One entry as an archive's local headers gave it while it streamed in.
struct StreamedEntry {
    enum class Kind { skipped, folder, file };
    Kind kind = Kind::skipped;
    QByteArray name;      // as the reader gave it
    QByteArray relative;  // where it went, below the destination
    qint64 size = 0;      // files: the bytes written
    quint32 crc32 = 0;    // files: of those bytes
    qint64 mtime = 0;     // folders: seconds, to set once all they hold is in place
};

// Local headers carry no modes and no links, and may disagree with the
// directory at the archive's end, which is what the whole-archive road
// trusts. Once the archive is complete, the streamed tree is held to that
// directory: the same entries in the same order with the same names, sizes
// and CRC-32s. Then modes are set as the directory states them (set-id and
// sticky bits dropped, the owner always able to read and write, and to enter
// folders), links the directory states replace the files holding their
// targets, when those stay inside, and nothing may lie below a link.
namespace StreamedTreeCheck {

// Nothing when the tree now is what the directory states; otherwise what
// differs (the tree is then left half settled, for the caller to remove).
// checksums receives each file's CRC-32 by its path below base.
std::optional<QString> settle(const QByteArray &base, const QList<StreamedEntry> &streamed,
                              const QList<ZipCentralDirectory::Entry> &directory,
                              QHash<QByteArray, quint32> *checksums);

// The type and permission bits an entry of the directory states, as the
// whole-archive road reads them; 0 when it states none it can use.
unsigned unixMode(const ZipCentralDirectory::Entry &entry);

}  // namespace StreamedTreeCheck
