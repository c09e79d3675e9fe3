#pragma once

#include "errors/LauncherError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <atomic>
#include <locale.h>
#include <memory>
#include <vector>

struct archive;
struct archive_entry;

// What a ZIP archive will write, read from its headers alone and checked as a
// whole before a byte is written: names that are absolute or contain "..",
// symbolic links whose target is absolute or leads out, hard links and special
// files, entries under a link or a file, and any path given twice (folders
// aside) are refused, in whatever order the entries come. macOS metadata
// (anything under "__MACOSX/") is left out. Checked this way, the entries can
// then be written in any order, by several readers at once.
namespace ZipEntryPlan {

struct ReaderDeleter {
    void operator()(struct archive *reader) const;
};
struct EntryDeleter {
    void operator()(archive_entry *entry) const;
};
using Reader = std::unique_ptr<struct archive, ReaderDeleter>;
using Entry = std::unique_ptr<archive_entry, EntryDeleter>;

PlatformError archiveError(const QString &message);
PlatformError damaged(struct archive *reader);
PlatformError cancelled();

// libarchive turns names flagged as UTF-8 into the locale's character set and
// drops those it cannot convert (every non-ASCII one under the "C" locale).
// While one of these lives, the calling thread reads names as UTF-8: flagged
// names arrive as written, unflagged ones keep their bytes, which is how
// macOS tools write UTF-8 names.
class Utf8Names
{
public:
    Utf8Names();
    ~Utf8Names();
    Utf8Names(const Utf8Names &) = delete;
    Utf8Names &operator=(const Utf8Names &) = delete;

private:
    locale_t m_locale;
    locale_t m_previous = locale_t(nullptr);
};

// AppleDouble metadata ("._NAME" files holding another file's macOS
// attributes) begins with these bytes; such files are not written.
inline constexpr qsizetype appleDoubleMagicBytes = 4;
bool isAppleDouble(QByteArrayView start);

// Opens a ZIP archive for reading in blocks of blockSize bytes.
Reader open(const QString &archivePath, size_t blockSize);

struct Item {
    enum class Kind { skipped, folder, file, link };
    Kind kind = Kind::skipped;
    QByteArray name;      // as the archive spells it
    QByteArray relative;  // where it goes, below the destination
    qint64 declaredSize = 0;   // files: what the header claims, at most the write cap
    bool sizeStated = false;   // files: whether the header claims any
    bool dotUnderscore = false;  // a file named "._NAME": maybe AppleDouble metadata
};

struct Plan {
    QByteArray destination;
    QList<Item> items;           // one per entry, in the archive's order
    std::vector<Entry> folders;  // ready to write: absolute path, owner may enter
    std::vector<Entry> links;    // ready to write: absolute path
    qint64 declaredBytes = 0;    // what the files claim to unpack to
    QByteArray pathOf(const Item &item) const { return destination + '/' + item.relative; }
};

// Throws PlatformError(archive) for a damaged or hostile archive, or when cancel is set.
Plan read(const QString &archivePath, const QByteArray &destination, qint64 maximumEntries, qint64 writeCap,
          const std::atomic_bool *cancel);

}  // namespace ZipEntryPlan
