#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// What an install placed under a bundle, entry by entry: the installed tree a
// verify compares the disk with. Kept in a file of its own beside the
// bundle's receipt (InstallReceipt), one line an entry after a header line:
//   vantrel-bundle-tree 1
//   d MODE PATH
//   f MODE SIZE CRC32 PATH
//   l PATH TARGET
// MODE in octal, CRC32 in lower-case hexadecimal (eight digits), PATH and
// TARGET percent-encoded: names are the file system's bytes, not always text.
struct BundleEntry {
    enum class Type { directory, file, link };

    QByteArray path;     // below the bundle, "/"-separated
    Type type = Type::file;
    int mode = 0;        // read, write and execute bits (folders and files); set-id and sticky bits aside
    qint64 size = 0;     // files
    quint32 crc32 = 0;   // files
    QByteArray target;   // links, as written

    friend bool operator==(const BundleEntry &, const BundleEntry &) = default;
};

struct BundleTree {
    // In byte order of their paths, so a folder comes before what it holds.
    QList<BundleEntry> entries;

    QByteArray encode() const;

    // The tree a file holds, checked as input: nullopt (and why in problem)
    // when it is cut short or garbled, names a path that is absolute, climbs
    // (".."), lies below something other than a folder it lists (through a
    // link), or appears twice, or holds a link that leads out of the bundle.
    static std::optional<BundleTree> decode(const QByteArray &bytes, QString *problem = nullptr);

    // The tree below root as it stands. Files take their CRC-32 from
    // knownChecksums (by path below root) and are read only when it has none.
    // Blocking; throws PlatformError(fileSystem).
    static BundleTree describe(const QString &root, const QHash<QByteArray, quint32> &knownChecksums = {});

    friend bool operator==(const BundleTree &, const BundleTree &) = default;
};
