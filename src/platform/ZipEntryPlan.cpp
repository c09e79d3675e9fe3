#include "ZipEntryPlan.h"

#include "RelativePath.h"

#include <QFile>
#include <QHash>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>

namespace ZipEntryPlan {
namespace {

// Headers are small and far apart: small reads skip the data between them cheaply.
constexpr size_t headerBlockSize = 64 << 10;

PlatformError refused(const char *why, const QByteArray &name)
{
    return archiveError(QStringLiteral("The archive entry \"%1\" %2.").arg(QString::fromUtf8(name), QLatin1String(why)));
}

// The entry as the writer takes it: an absolute path below the destination.
Entry prepared(archive_entry *entry, const QByteArray &path, bool folder)
{
    Entry copy(archive_entry_clone(entry));
    archive_entry_set_pathname(copy.get(), path.constData());
    if (folder)
        archive_entry_set_perm(copy.get(), (archive_entry_perm(copy.get()) & 0777) | 0700);
    return copy;
}

}  // namespace

void ReaderDeleter::operator()(struct archive *reader) const
{
    archive_read_free(reader);
}

void EntryDeleter::operator()(archive_entry *entry) const
{
    archive_entry_free(entry);
}

PlatformError archiveError(const QString &message)
{
    return PlatformError(PlatformError::Domain::archive, message);
}

PlatformError damaged(struct archive *reader)
{
    const char *text = archive_error_string(reader);
    return archiveError(QStringLiteral("The archive is damaged: %1").arg(QString::fromUtf8(text ? text : "unknown error")));
}

PlatformError cancelled()
{
    return archiveError(QStringLiteral("The extraction was cancelled."));
}

Utf8Names::Utf8Names() : m_locale(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr)))
{
    if (m_locale)
        m_previous = uselocale(m_locale);
}

Utf8Names::~Utf8Names()
{
    if (m_locale) {
        uselocale(m_previous);
        freelocale(m_locale);
    }
}

bool isAppleDouble(QByteArrayView start)
{
    static constexpr char magic[appleDoubleMagicBytes] = {0x00, 0x05, 0x16, 0x07};
    return start.startsWith(QByteArrayView(magic, appleDoubleMagicBytes));
}

Reader open(const QString &archivePath, size_t blockSize)
{
    Reader reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(archivePath).constData(), blockSize) != ARCHIVE_OK) {
        throw archiveError(QStringLiteral("Could not open the archive: %1")
                               .arg(QString::fromUtf8(archive_error_string(reader.get()))));
    }
    return reader;
}

Plan read(const QString &archivePath, const QByteArray &destination, qint64 maximumEntries, qint64 writeCap,
          const std::atomic_bool *cancel)
{
    using Kind = Item::Kind;
    const Utf8Names utf8;
    const Reader reader = open(archivePath, headerBlockSize);
    Plan plan;
    plan.destination = destination;
    QHash<QByteArray, Kind> kinds;  // what each path below the destination will be
    archive_entry *entry = nullptr;
    for (;;) {
        if (cancel && cancel->load())
            throw cancelled();
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_WARN)
            throw damaged(reader.get());
        if (plan.items.size() >= maximumEntries)
            throw archiveError(QStringLiteral("The archive has too many entries."));

        const char *rawName = archive_entry_pathname(entry);
        if (!rawName)
            throw archiveError(QStringLiteral("An entry's name in the archive cannot be read."));
        Item item;
        item.name = rawName;
        const auto parts = RelativePath::components(item.name);
        if (!parts)
            throw refused("points outside the archive", item.name);
        if (parts->isEmpty() || parts->contains("__MACOSX")) {
            plan.items.append(item);
            continue;
        }
        const mode_t type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry) || (type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK))
            throw refused("is not a file, folder or link", item.name);
        if (type == AE_IFLNK) {
            const char *target = archive_entry_symlink(entry);
            if (!RelativePath::targetStaysInside(*parts, QByteArray(target ? target : "")))
                throw archiveError(QStringLiteral("The link \"%1\" points outside the archive.").arg(QString::fromUtf8(item.name)));
        }
        item.kind = type == AE_IFDIR ? Kind::folder : type == AE_IFLNK ? Kind::link : Kind::file;
        item.relative = parts->join('/');
        const auto seen = kinds.constFind(item.relative);
        if (seen != kinds.cend() && (*seen != Kind::folder || item.kind != Kind::folder))
            throw refused("appears twice", item.name);
        kinds.insert(item.relative, item.kind);

        if (item.kind == Kind::file) {
            item.dotUnderscore = parts->last().size() > 2 && parts->last().startsWith("._");
            item.sizeStated = archive_entry_size_is_set(entry);
            if (item.sizeStated)
                item.declaredSize = std::clamp<qint64>(archive_entry_size(entry), 0, writeCap);
            plan.declaredBytes += item.declaredSize;
        } else {
            const bool folder = item.kind == Kind::folder;
            (folder ? plan.folders : plan.links).push_back(prepared(entry, plan.pathOf(item), folder));
        }
        plan.items.append(item);
    }

    // Nothing is written under a link or a file, whichever entry comes first.
    for (const Item &item : std::as_const(plan.items)) {
        for (qsizetype slash = item.relative.indexOf('/'); slash >= 0; slash = item.relative.indexOf('/', slash + 1)) {
            const Kind above = kinds.value(item.relative.left(slash), Kind::skipped);
            if (above == Kind::link)
                throw refused("passes through a link", item.name);
            if (above == Kind::file)
                throw refused("appears twice", item.name);
        }
    }
    return plan;
}

}  // namespace ZipEntryPlan
