#include "HeldFolder.h"

#include "RelativePath.h"
#include "errors/LauncherError.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Non-blocking: a named pipe put in a file's place must not hang the open.
constexpr int fileFlags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;

}  // namespace

HeldFolder::HeldFolder(const QString &path)
    : m_fd(::open(QFile::encodeName(path).constData(), folderFlags))
{
    if (!m_fd.isValid()) {
        const int error = errno == ELOOP ? ENOTDIR : errno;
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("Could not open \"%1\": %2")
                                .arg(QFileInfo(path).fileName(), QString::fromLocal8Bit(std::strerror(error))),
                            error);
    }
}

UniqueFd HeldFolder::openFolder(const QByteArray &relative) const
{
    const auto parts = RelativePath::components(relative);
    if (!parts) {
        errno = EINVAL;
        return UniqueFd();
    }
    UniqueFd current(::openat(m_fd.get(), ".", folderFlags));
    for (const QByteArray &part : *parts) {
        if (!current.isValid())
            break;
        current = UniqueFd(::openat(current.get(), part.constData(), folderFlags));
    }
    return current;
}

UniqueFd HeldFolder::openFile(const QByteArray &relative) const
{
    const UniqueFd parent = openFolder(parentOf(relative));
    if (!parent.isValid())
        return UniqueFd();
    const QByteArray name = nameOf(relative);
    if (name.isEmpty() || name == "." || name == "..") {
        errno = EINVAL;
        return UniqueFd();
    }
#ifdef O_NOATIME
    UniqueFd file(::openat(parent.get(), name.constData(), fileFlags | O_NOATIME));
    // Only the owner may leave the access time alone.
    if (file.isValid() || errno != EPERM)
        return file;
#endif
    return UniqueFd(::openat(parent.get(), name.constData(), fileFlags));
}

bool HeldFolder::isAt(const QString &path) const
{
    struct stat held {};
    struct stat now {};
    return ::fstat(m_fd.get(), &held) == 0 && ::lstat(QFile::encodeName(path).constData(), &now) == 0
        && held.st_dev == now.st_dev && held.st_ino == now.st_ino;
}

QByteArray HeldFolder::parentOf(const QByteArray &relative)
{
    const qsizetype slash = relative.lastIndexOf('/');
    return slash < 0 ? QByteArray() : relative.left(slash);
}

QByteArray HeldFolder::nameOf(const QByteArray &relative)
{
    return relative.mid(relative.lastIndexOf('/') + 1);
}
