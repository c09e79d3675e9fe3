#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

// What a release archive holds, entry by entry, published beside it so an
// update can take unchanged files from the installed copy and fetch only the
// others, each by its own byte range of the archive. One line an entry after
// a header line and the archive's line:
//   vantrel-file-list 1
//   archive SIZE SHA256
//   d MODE PATH
//   f MODE SIZE SHA256 CRC32 METHOD OFFSET COMPRESSED PATH
//   l MODE PATH TARGET
// MODE in octal, SHA256 and CRC32 in lower-case hexadecimal, METHOD 0
// (stored) or 8 (deflate), OFFSET where the entry's compressed bytes start
// in the archive, PATH and TARGET percent-encoded as in BundleTree.
struct FileListEntry {
    enum class Type { directory, file, link };

    Type type = Type::file;
    QByteArray path;       // "/"-separated, from the archive's root
    int mode = 0;          // read, write and execute bits
    qint64 size = 0;       // files: unpacked bytes
    QByteArray sha256;     // files: 64 lower-case hexadecimal digits
    quint32 crc32 = 0;     // files
    int method = 8;        // files: 0 stored, 8 deflate
    qint64 dataOffset = 0; // files
    qint64 compressedSize = 0;
    QByteArray target;     // links, as written

    friend bool operator==(const FileListEntry &, const FileListEntry &) = default;
};

struct FileList {
    qint64 archiveSize = 0;
    QByteArray archiveSha256;  // lower-case hexadecimal
    QList<FileListEntry> entries;

    QByteArray encode() const;

    // The list a file holds, read as hostile input: nullopt (and why in
    // problem) when it is garbled, names a path that is absolute, climbs,
    // repeats, is hidden metadata ("._" names) or lies below anything but a
    // folder the list names, holds a link that leads out of its top folder,
    // or an entry whose bytes lie outside the archive or whose size its
    // compressed bytes cannot hold.
    static std::optional<FileList> decode(const QByteArray &bytes, QString *problem = nullptr);

    friend bool operator==(const FileList &, const FileList &) = default;
};
