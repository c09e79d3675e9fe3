#include "AtomicDirectoryReplacer.h"

#include "errors/LauncherError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/syscall.h>
#endif

namespace {

PlatformError fileError(const QString &what, const QString &path, int error)
{
    return PlatformError(PlatformError::Domain::fileSystem,
                         QStringLiteral("%1 \"%2\": %3").arg(what, QFileInfo(path).fileName(),
                                                             QString::fromLocal8Bit(std::strerror(error))),
                         error);
}

// 0 on success, else errno.
int exchangePaths(const QByteArray &from, const QByteArray &to)
{
#if defined(__linux__) && defined(SYS_renameat2)
    if (syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0)
        return 0;
    return errno;
#elif defined(__APPLE__)
    if (renamex_np(from.constData(), to.constData(), RENAME_SWAP) == 0)
        return 0;
    return errno;
#else
    return ENOSYS;
#endif
}

// Moves from to to, failing rather than replacing anything at to.
int moveNoReplace(const QByteArray &from, const QByteArray &to)
{
#if defined(__linux__) && defined(SYS_renameat2)
    if (syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#elif defined(__APPLE__)
    if (renamex_np(from.constData(), to.constData(), RENAME_EXCL) == 0)
        return 0;
    if (errno != ENOTSUP)
        return errno;
#endif
    // Filesystems without the flag: a hard link cannot work for directories, so
    // check and rename; the install root is ours and locked per app.
    struct stat st {};
    if (lstat(to.constData(), &st) == 0)
        return EEXIST;
    if (::rename(from.constData(), to.constData()) == 0)
        return 0;
    return errno;
}

void syncDirectory(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void removeTree(const QString &path)
{
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), ignored);
}

}  // namespace

bool AtomicDirectoryReplacer::exchange(const QString &destination, const QString &staged) const
{
    const QByteArray to = QFile::encodeName(destination);
    const QByteArray from = QFile::encodeName(staged);
    const QString parent = QFileInfo(destination).absolutePath();

    int error = moveNoReplace(from, to);
    if (error == 0) {
        syncDirectory(parent);
        return false;
    }
    if (error != EEXIST && error != ENOTEMPTY)
        throw fileError(QStringLiteral("Could not move the app into place at"), destination, error);

    error = exchangePaths(from, to);
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        // No atomic swap on this filesystem: move the old copy aside, put the
        // new one in, and move the old one back if that fails.
        const QByteArray aside = QFile::encodeName(staged + QStringLiteral(".old"));
        if (::rename(to.constData(), aside.constData()) != 0)
            throw fileError(QStringLiteral("Could not replace"), destination, errno);
        if (::rename(from.constData(), to.constData()) != 0) {
            const int moveError = errno;
            ::rename(aside.constData(), to.constData());
            throw fileError(QStringLiteral("Could not replace"), destination, moveError);
        }
        syncDirectory(parent);
        // The new copy is in place; the old one goes where a swap would have left it.
        if (::rename(aside.constData(), from.constData()) != 0)
            removeTree(QFile::decodeName(aside));
        return ::access(from.constData(), F_OK) == 0;
    }
    if (error != 0)
        throw fileError(QStringLiteral("Could not replace"), destination, error);
    syncDirectory(parent);
    return true;
}
