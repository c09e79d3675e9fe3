#include "InstallFiles.h"

#include "FileError.h"
#include "FolderEntries.h"
#include "UniqueFd.h"
#include "errors/LauncherError.h"
#include "faults/FaultPoint.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace InstallFiles {
namespace {

constexpr size_t copyBlockSize = 1 << 20;

QList<QByteArray> directoryEntries(const QByteArray &path)
{
    std::optional<QList<QByteArray>> names = FolderEntries::sorted(path);
    if (!names)
        throwFileError(QStringLiteral("Could not read the folder"), path, errno);
    return *std::move(names);
}

void writeAll(int fd, const char *data, size_t length, const QByteArray &path)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwFileError(QStringLiteral("Could not copy"), path, errno);
        }
        data += n;
        length -= size_t(n);
    }
}

void copyFile(const QByteArray &from, const QByteArray &to, mode_t mode)
{
    UniqueFd in(::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (in.get() < 0)
        throwFileError(QStringLiteral("Could not read"), from, errno);
    UniqueFd out(::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (out.get() < 0)
        throwFileError(QStringLiteral("Could not copy"), to, errno);

    bool plainCopy = false;
#ifdef __linux__
    for (;;) {
        const ssize_t n = ::copy_file_range(in.get(), nullptr, out.get(), nullptr, 64 << 20, 0);
        if (n == 0)
            break;
        if (n > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EPERM) {
            // Only before anything was copied can the plain loop take over.
            if (::lseek(out.get(), 0, SEEK_CUR) == 0) {
                plainCopy = true;
                break;
            }
        }
        throwFileError(QStringLiteral("Could not copy"), to, errno);
    }
#else
    plainCopy = true;
#endif
    if (plainCopy) {
        QByteArray buffer(copyBlockSize, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::read(in.get(), buffer.data(), copyBlockSize);
            if (n == 0)
                break;
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throwFileError(QStringLiteral("Could not read"), from, errno);
            }
            writeAll(out.get(), buffer.constData(), size_t(n), to);
        }
    }
    if (::fchmod(out.get(), mode & 0777) != 0)
        throwFileError(QStringLiteral("Could not copy"), to, errno);
    if (::fsync(out.get()) != 0)
        throwFileError(QStringLiteral("Could not copy"), to, errno);
    if (const int error = out.close())
        throwFileError(QStringLiteral("Could not copy"), to, error);
    FaultPoint::reach("copying");
}

void syncOrThrow(const QByteArray &path)
{
    UniqueFd fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0)
        throwFileError(QStringLiteral("Could not copy"), path, errno);
}

void copyDirectory(const QByteArray &from, const QByteArray &to, mode_t mode)
{
    if (::mkdir(to.constData(), 0700) != 0)
        throwFileError(QStringLiteral("Could not copy"), to, errno);
    for (const QByteArray &name : directoryEntries(from)) {
        const QByteArray source = from + '/' + name;
        const QByteArray target = to + '/' + name;
        struct stat st {};
        if (::lstat(source.constData(), &st) != 0)
            throwFileError(QStringLiteral("Could not read"), source, errno);
        if (S_ISDIR(st.st_mode)) {
            copyDirectory(source, target, st.st_mode);
        } else if (S_ISREG(st.st_mode)) {
            copyFile(source, target, st.st_mode);
        } else if (S_ISLNK(st.st_mode)) {
            QByteArray link(PATH_MAX, Qt::Uninitialized);
            const ssize_t n = ::readlink(source.constData(), link.data(), size_t(link.size()));
            if (n < 0 || n >= link.size())
                throwFileError(QStringLiteral("Could not read"), source, n < 0 ? errno : ENAMETOOLONG);
            link.truncate(n);
            if (::symlink(link.constData(), target.constData()) != 0)
                throwFileError(QStringLiteral("Could not copy"), target, errno);
        }
        // Anything else (sockets, devices) is not part of an app.
    }
    if (::chmod(to.constData(), (mode & 0777) | 0700) != 0)
        throwFileError(QStringLiteral("Could not copy"), to, errno);
    syncOrThrow(to);
}

std::optional<QByteArray> findIn(const QByteArray &dir)
{
    QList<QByteArray> names;
    try {
        names = directoryEntries(dir);
    } catch (const PlatformError &) {
        return std::nullopt;
    }
    for (const QByteArray &name : names) {
        // macOS tools mirror the bundle's folders under __MACOSX for its metadata.
        if (name.startsWith('.') || name == "__MACOSX")
            continue;
        const QByteArray path = dir + '/' + name;
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            continue;
        if (name.endsWith(".app"))
            return path;
        if (auto found = findIn(path))
            return found;
    }
    return std::nullopt;
}

QList<QByteArray> components(const QByteArray &path)
{
    QList<QByteArray> parts;
    for (const QByteArray &part : path.split('/')) {
        if (!part.isEmpty() && part != ".")
            parts.append(part);
    }
    return parts;
}

// Follows the link at rootName/linkParts step by step inside root.
bool linkStaysInside(const QByteArray &rootName, const QList<QByteArray> &linkParts)
{
    QList<QByteArray> stack = linkParts.mid(0, linkParts.size() - 1);
    QByteArray first(PATH_MAX, Qt::Uninitialized);
    const QByteArray linkPath = rootName + '/' + linkParts.join('/');
    ssize_t n = ::readlink(linkPath.constData(), first.data(), size_t(first.size()));
    if (n <= 0 || n >= first.size())
        return false;
    first.truncate(n);
    if (first.startsWith('/'))
        return false;
    QList<QByteArray> pending = components(first);
    int hops = 0;
    while (!pending.isEmpty()) {
        const QByteArray part = pending.takeFirst();
        if (part == "..") {
            if (stack.isEmpty())
                return false;
            stack.removeLast();
            continue;
        }
        stack.append(part);
        const QByteArray path = rootName + '/' + stack.join('/');
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            continue;
        if (++hops > 40)
            return false;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return false;
        target.truncate(n);
        if (target.startsWith('/'))
            return false;
        stack.removeLast();
        pending = components(target) + pending;
    }
    return true;
}

bool linksInside(const QByteArray &rootName, const QList<QByteArray> &dirParts)
{
    const QByteArray dir = dirParts.isEmpty() ? rootName : rootName + '/' + dirParts.join('/');
    QList<QByteArray> names;
    try {
        names = directoryEntries(dir);
    } catch (const PlatformError &) {
        return false;
    }
    for (const QByteArray &name : names) {
        QList<QByteArray> parts = dirParts;
        parts.append(name);
        struct stat st {};
        if (::lstat((dir + '/' + name).constData(), &st) != 0)
            return false;
        if (S_ISLNK(st.st_mode)) {
            if (!linkStaysInside(rootName, parts))
                return false;
        } else if (S_ISDIR(st.st_mode)) {
            if (!linksInside(rootName, parts))
                return false;
        }
    }
    return true;
}

}  // namespace

void createDirectories(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(name.toStdString()), error);
    if (error)
        throwFileError(QStringLiteral("Could not create the folder"), name, error.value());
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throwFileError(QStringLiteral("Could not create the folder"), name, ENOTDIR);
}

void readInBlocks(const QString &path, const std::function<void(const char *, std::size_t)> &feed)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw PlatformError(PlatformError::Domain::fileSystem, file.errorString());
    QByteArray buffer(copyBlockSize, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(buffer.data(), buffer.size());
        if (n < 0)
            throw PlatformError(PlatformError::Domain::fileSystem, file.errorString());
        if (n == 0)
            break;
        feed(buffer.constData(), std::size_t(n));
    }
}

void removeTree(const QString &path) noexcept
{
    if (path.isEmpty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), ignored);
}

void syncDirectory(const QString &path) noexcept
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void copyTreeDurably(const QString &source, const QString &destination)
{
    const QByteArray from = QFile::encodeName(source);
    struct stat st {};
    if (::stat(from.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        throwFileError(QStringLiteral("Could not read"), from, errno ? errno : ENOTDIR);
    copyDirectory(from, QFile::encodeName(destination), st.st_mode);
}

void placeTreeDurably(const QString &source, const QString &destination)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(destination);
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        throwFileError(QStringLiteral("Could not copy"), to, EEXIST);
    // A rename keeps the data where extraction wrote it: no second copy of
    // every byte. Across filesystems (a separate /tmp) it fails and we copy.
    if (::rename(from.constData(), to.constData()) != 0) {
        copyTreeDurably(source, destination);
        return;
    }
    FaultPoint::reach("copying");
    // One flush of the filesystem writes the whole tree and its folders in a
    // single journal commit, where a flush per file would commit thousands.
    UniqueFd fd(::open(to.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        throwFileError(QStringLiteral("Could not copy"), to, errno);
#ifdef __linux__
    if (::syncfs(fd.get()) != 0)
        throwFileError(QStringLiteral("Could not copy"), to, errno);
#else
    ::sync();
#endif
}

std::optional<QString> findBundle(const QString &root)
{
    if (auto found = findIn(QFile::encodeName(root)))
        return QFile::decodeName(*found);
    return std::nullopt;
}

bool linksStayInside(const QString &root)
{
    return linksInside(QFile::encodeName(root), {});
}

}  // namespace InstallFiles
