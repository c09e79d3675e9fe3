#include "StreamedTreeCheck.h"

#include "RelativePath.h"

#include <QSet>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace StreamedTreeCheck {
namespace {

using Entry = ZipCentralDirectory::Entry;

constexpr unsigned unixSystem = 3;
constexpr unsigned dosSystem = 0;
constexpr unsigned dosFolder = 0x10;
constexpr unsigned dosReadOnly = 0x01;
// A link's target is a path: more than this is no target.
constexpr qint64 longestTarget = 4096;

// The reader turns names flagged as UTF-8 into composed form; the directory keeps their bytes.
bool sameName(const QByteArray &streamed, const QByteArray &stated)
{
    if (streamed == stated)
        return true;
    const QString a = QString::fromUtf8(streamed);
    const QString b = QString::fromUtf8(stated);
    return a.toUtf8() == streamed && b.toUtf8() == stated
        && a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}

QString differs(const QByteArray &name, const char *what)
{
    return QStringLiteral("the entry \"%1\" %2 in the archive's directory").arg(QString::fromUtf8(name), QLatin1String(what));
}

std::optional<QByteArray> targetIn(const QByteArray &path, qint64 size)
{
    if (size <= 0 || size > longestTarget)
        return std::nullopt;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray target(size + 1, Qt::Uninitialized);
    const ssize_t got = ::read(fd, target.data(), size_t(target.size()));
    ::close(fd);
    if (got != size)
        return std::nullopt;
    target.truncate(size);
    if (target.contains('\0'))
        return std::nullopt;
    return target;
}

// The file holding a link's target becomes the link.
std::optional<QString> makeLink(const QByteArray &base, const StreamedEntry &streamed)
{
    const QByteArray path = base + '/' + streamed.relative;
    const std::optional<QByteArray> target = targetIn(path, streamed.size);
    const auto parts = RelativePath::components(streamed.relative);
    if (!target || !parts || !RelativePath::targetStaysInside(*parts, *target))
        return QStringLiteral("the link \"%1\" points outside the archive").arg(QString::fromUtf8(streamed.name));
    if (::unlink(path.constData()) != 0 || ::symlink(target->constData(), path.constData()) != 0)
        return QStringLiteral("could not make the link \"%1\"").arg(QString::fromUtf8(streamed.name));
    return std::nullopt;
}

std::optional<QString> setMode(const QByteArray &path, unsigned mode, const QByteArray &name)
{
    if (::chmod(path.constData(), mode) != 0)
        return QStringLiteral("could not set the mode of \"%1\"").arg(QString::fromUtf8(name));
    return std::nullopt;
}

// One entry against its line in the directory; links made, files' modes set.
std::optional<QString> settleEntry(const QByteArray &base, const StreamedEntry &streamed, const Entry &stated,
                                   QSet<QByteArray> &links)
{
    if (!sameName(streamed.name, stated.name))
        return differs(streamed.name, "is named otherwise");
    if (streamed.kind == StreamedEntry::Kind::skipped)
        return std::nullopt;
    const unsigned mode = unixMode(stated);
    if (mode == 0)
        return differs(streamed.name, "states no mode");
    const unsigned type = mode & S_IFMT;
    if (streamed.kind == StreamedEntry::Kind::folder)
        return type == S_IFDIR ? std::nullopt : std::optional(differs(streamed.name, "is not a folder"));
    if (stated.unpackedBytes != streamed.size || stated.crc32 != streamed.crc32)
        return differs(streamed.name, "has another size or CRC-32");
    if (type == S_IFLNK) {
        links.insert(streamed.relative);
        return makeLink(base, streamed);
    }
    if (type != S_IFREG)
        return differs(streamed.name, "is not a file");
    return setMode(base + '/' + streamed.relative, (mode & 0777) | 0600, streamed.name);
}

bool belowALink(const QByteArray &relative, const QSet<QByteArray> &links)
{
    for (qsizetype slash = relative.indexOf('/'); slash >= 0; slash = relative.indexOf('/', slash + 1)) {
        if (links.contains(relative.left(slash)))
            return true;
    }
    return false;
}

// Folders last, deepest first: their times stay as stated once nothing more is written inside.
std::optional<QString> settleFolders(const QByteArray &base, const QList<StreamedEntry> &streamed,
                                     const QList<Entry> &directory)
{
    QList<qsizetype> folders;
    for (qsizetype i = 0; i < streamed.size(); ++i) {
        if (streamed[i].kind == StreamedEntry::Kind::folder)
            folders.append(i);
    }
    std::stable_sort(folders.begin(), folders.end(), [&](qsizetype a, qsizetype b) {
        return streamed[a].relative.count('/') > streamed[b].relative.count('/');
    });
    for (const qsizetype i : std::as_const(folders)) {
        const QByteArray path = base + '/' + streamed[i].relative;
        if (const auto problem = setMode(path, (unixMode(directory[i]) & 0777) | 0700, streamed[i].name))
            return problem;
        const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(streamed[i].mtime), 0}};
        ::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW);
    }
    return std::nullopt;
}

}  // namespace

unsigned unixMode(const Entry &entry)
{
    const unsigned system = entry.madeBy >> 8;
    if (system == unixSystem)
        return entry.externalAttributes >> 16;
    if (system == dosSystem) {
        const unsigned mode = entry.externalAttributes & dosFolder || entry.folder ? S_IFDIR | 0775 : S_IFREG | 0664;
        return entry.externalAttributes & dosReadOnly ? mode & ~0222u : mode;
    }
    return 0;
}

std::optional<QString> settle(const QByteArray &base, const QList<StreamedEntry> &streamed,
                              const QList<Entry> &directory, QHash<QByteArray, quint32> *checksums)
{
    if (streamed.size() != directory.size())
        return QStringLiteral("the archive's directory lists %1 entries, its headers %2").arg(directory.size()).arg(streamed.size());
    QSet<QByteArray> links;
    for (qsizetype i = 0; i < streamed.size(); ++i) {
        if (const auto problem = settleEntry(base, streamed[i], directory[i], links))
            return problem;
    }
    for (const StreamedEntry &entry : streamed) {
        if (entry.kind != StreamedEntry::Kind::skipped && belowALink(entry.relative, links))
            return QStringLiteral("the archive entry \"%1\" passes through a link").arg(QString::fromUtf8(entry.name));
    }
    if (const auto problem = settleFolders(base, streamed, directory))
        return problem;
    if (checksums) {
        for (const StreamedEntry &entry : streamed) {
            if (entry.kind == StreamedEntry::Kind::file && !links.contains(entry.relative))
                checksums->insert(entry.relative, entry.crc32);
        }
    }
    return std::nullopt;
}

}  // namespace StreamedTreeCheck
