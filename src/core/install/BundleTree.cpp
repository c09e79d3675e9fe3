#include "BundleTree.h"

#include "FileError.h"
#include "RelativePath.h"
#include "Crc32.h"
#include "errors/LauncherError.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray header = "vantrel-bundle-tree 1";
constexpr qint64 largestSize = qint64(1) << 60;

QByteArray checksumText(quint32 crc32)
{
    return QByteArray::number(crc32, 16).rightJustified(8, '0');
}

std::optional<quint32> checksum(const QByteArray &field)
{
    bool ok = false;
    const quint32 value = field.toUInt(&ok, 16);
    if (!ok || checksumText(value) != field)
        return std::nullopt;
    return value;
}

// Numbers as encode writes them, nothing else ("+1", "01", " 1" are not).
std::optional<int> mode(const QByteArray &field)
{
    bool ok = false;
    const int value = field.toInt(&ok, 8);
    if (!ok || value < 0 || value > 0777 || QByteArray::number(value, 8) != field)
        return std::nullopt;
    return value;
}

std::optional<BundleEntry> entryOf(const QByteArray &line, QString *why)
{
    const QList<QByteArray> f = line.split(' ');
    BundleEntry entry;
    const auto bad = [why](const QString &text) {
        *why = text;
        return std::nullopt;
    };
    if (f.value(0) == "d" && f.size() == 3) {
        entry.type = BundleEntry::Type::directory;
        const auto m = mode(f[1]);
        const auto path = RelativePath::decodedField(f[2]);
        if (!m || !path)
            return bad(QStringLiteral("a folder line is garbled"));
        entry.mode = *m;
        entry.path = *path;
    } else if (f.value(0) == "f" && f.size() == 5) {
        const auto m = mode(f[1]);
        bool ok = false;
        entry.size = f[2].toLongLong(&ok);
        const auto crc32 = checksum(f[3]);
        const auto path = RelativePath::decodedField(f[4]);
        if (!m || !ok || entry.size < 0 || entry.size > largestSize || QByteArray::number(entry.size) != f[2] || !crc32 || !path)
            return bad(QStringLiteral("a file line is garbled"));
        entry.mode = *m;
        entry.crc32 = *crc32;
        entry.path = *path;
    } else if (f.value(0) == "l" && f.size() == 3) {
        entry.type = BundleEntry::Type::link;
        const auto path = RelativePath::decodedField(f[1]);
        const auto target = RelativePath::decodedField(f[2]);
        if (!path || !target || target->contains('\0'))
            return bad(QStringLiteral("a link line is garbled"));
        entry.path = *path;
        entry.target = *target;
    } else {
        return bad(QStringLiteral("a line is garbled"));
    }
    if (!RelativePath::isPlain(entry.path))
        return bad(QStringLiteral("the path \"%1\" leaves the bundle").arg(QString::fromUtf8(entry.path)));
    if (entry.type == BundleEntry::Type::link && !RelativePath::targetStaysInside(entry.path.split('/'), entry.target))
        return bad(QStringLiteral("the link \"%1\" leads out of the bundle").arg(QString::fromUtf8(entry.path)));
    return entry;
}

void describeFolder(const QByteArray &root, const QByteArray &relative, const QHash<QByteArray, quint32> &known,
                    QList<BundleEntry> &entries)
{
    const QByteArray folder = relative.isEmpty() ? root : root + '/' + relative;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        throwFileError(QStringLiteral("Could not read"), folder, errno);
    QList<QByteArray> names;
    while (const dirent *item = ::readdir(dir)) {
        const QByteArray name(item->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    for (const QByteArray &name : std::as_const(names)) {
        BundleEntry entry;
        entry.path = relative.isEmpty() ? name : relative + '/' + name;
        const QByteArray path = root + '/' + entry.path;
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0)
            throwFileError(QStringLiteral("Could not read"), path, errno);
        if (S_ISDIR(st.st_mode)) {
            entry.type = BundleEntry::Type::directory;
            entry.mode = int(st.st_mode & 0777);
            entries.append(entry);
            describeFolder(root, entry.path, known, entries);
        } else if (S_ISREG(st.st_mode)) {
            entry.mode = int(st.st_mode & 0777);
            entry.size = qint64(st.st_size);
            const auto found = known.constFind(entry.path);
            entry.crc32 = found != known.cend() ? *found : Crc32::ofFile(QFile::decodeName(path));
            entries.append(entry);
        } else if (S_ISLNK(st.st_mode)) {
            entry.type = BundleEntry::Type::link;
            QByteArray target(PATH_MAX, Qt::Uninitialized);
            const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
            if (n < 0 || n >= target.size())
                throwFileError(QStringLiteral("Could not read"), path, n < 0 ? errno : ENAMETOOLONG);
            target.truncate(n);
            entry.target = target;
            entries.append(entry);
        } else {
            // The extraction never makes these.
            throwFileError(QStringLiteral("Could not read"), path, EINVAL);
        }
    }
}

}  // namespace

QByteArray BundleTree::encode() const
{
    QByteArray out = header + '\n';
    for (const BundleEntry &e : entries) {
        switch (e.type) {
        case BundleEntry::Type::directory:
            out += "d " + QByteArray::number(e.mode, 8) + ' ' + RelativePath::encodedField(e.path);
            break;
        case BundleEntry::Type::file:
            out += "f " + QByteArray::number(e.mode, 8) + ' ' + QByteArray::number(e.size) + ' ' + checksumText(e.crc32) + ' '
                + RelativePath::encodedField(e.path);
            break;
        case BundleEntry::Type::link:
            out += "l " + RelativePath::encodedField(e.path) + ' ' + RelativePath::encodedField(e.target);
            break;
        }
        out += '\n';
    }
    return out;
}

std::optional<BundleTree> BundleTree::decode(const QByteArray &bytes, QString *problem)
{
    QString why;
    const auto refuse = [&](const QString &text) -> std::optional<BundleTree> {
        if (problem)
            *problem = text;
        return std::nullopt;
    };
    if (!bytes.endsWith('\n'))
        return refuse(QStringLiteral("it is cut short"));
    QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.takeFirst() != header)
        return refuse(QStringLiteral("it is not a bundle tree"));
    BundleTree tree;
    tree.entries.reserve(lines.size());
    QHash<QByteArray, BundleEntry::Type> types;
    for (const QByteArray &line : std::as_const(lines)) {
        std::optional<BundleEntry> entry = entryOf(line, &why);
        if (!entry)
            return refuse(why);
        if (!tree.entries.isEmpty() && tree.entries.last().path >= entry->path)
            return refuse(QStringLiteral("its paths are out of order or given twice"));
        const QByteArray parent = entry->path.left(qMax<qsizetype>(0, entry->path.lastIndexOf('/')));
        if (!parent.isEmpty() && types.value(parent, BundleEntry::Type::file) != BundleEntry::Type::directory)
            return refuse(QStringLiteral("the path \"%1\" is not below a folder it lists").arg(QString::fromUtf8(entry->path)));
        types.insert(entry->path, entry->type);
        tree.entries.append(std::move(*entry));
    }
    return tree;
}

BundleTree BundleTree::describe(const QString &root, const QHash<QByteArray, quint32> &knownChecksums)
{
    BundleTree tree;
    describeFolder(QFile::encodeName(root), {}, knownChecksums, tree.entries);
    std::sort(tree.entries.begin(), tree.entries.end(), [](const BundleEntry &a, const BundleEntry &b) { return a.path < b.path; });
    return tree;
}
