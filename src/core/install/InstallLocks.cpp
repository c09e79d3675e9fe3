#include "InstallLocks.h"

#include "AppInstallerError.h"
#include "InstallFiles.h"
#include "Sha256Stream.h"
#include "errors/LauncherError.h"

#include <QCoroTimer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A work directory without a lock file may be one being created right now;
// only one this old is taken for a crash leftover.
constexpr qint64 unlockedWorkDirGraceSeconds = 60;

// Another install of the same app may hold the lock for a whole download;
// waiting longer than this means that process is stuck.
constexpr auto maxLockWait = std::chrono::minutes(10);

const QRegularExpression &stagedPattern()
{
    // ".<bundle>.<UUID>.staged", and ".old" for a copy moved aside.
    static const QRegularExpression pattern(QStringLiteral(
        "^\\.(.+)\\.[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\\.staged(\\.old)?$"));
    return pattern;
}

}  // namespace

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::unique_ptr<FileLock> FileLock::acquire(const QString &path, bool create)
{
    const QByteArray name = QFile::encodeName(path);
    // Another holder may remove the file between our open and our lock; then
    // the lock we got is on a file nobody else can see, so try again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
        if (fd < 0) {
            if (!create && errno == ENOENT)
                return nullptr;
            const int error = errno;
            throw PlatformError(PlatformError::Domain::fileSystem,
                                QStringLiteral("Could not create the lock file \"%1\": %2")
                                    .arg(QFileInfo(path).fileName(), QString::fromLocal8Bit(std::strerror(error))),
                                error);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        struct stat held {};
        struct stat current {};
        if (::fstat(fd, &held) == 0 && ::lstat(name.constData(), &current) == 0 && held.st_ino == current.st_ino
            && held.st_dev == current.st_dev) {
            return std::unique_ptr<FileLock>(new FileLock(fd, path));
        }
        ::close(fd);
        if (!create)
            return nullptr;
    }
    return nullptr;
}

std::unique_ptr<FileLock> FileLock::createHeld(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray unlocked = name + ".new";
    const int fd = ::open(unlocked.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_CREAT | O_EXCL, 0600);
    // A new file nobody else can see yet: its lock is ours at once. link()
    // puts it in place only if nothing is there yet.
    const bool held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::link(unlocked.constData(), name.constData()) == 0;
    const int error = errno;
    if (fd >= 0)
        ::unlink(unlocked.constData());
    if (!held) {
        if (fd >= 0)
            ::close(fd);
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("Could not create the lock file \"%1\": %2")
                                .arg(QFileInfo(path).fileName(), QString::fromLocal8Bit(std::strerror(error))),
                            error);
    }
    return std::unique_ptr<FileLock>(new FileLock(fd, path));
}

std::unique_ptr<FileLock> FileLock::tryAcquire(const QString &path)
{
    return acquire(path, true);
}

std::unique_ptr<FileLock> FileLock::tryAcquireExisting(const QString &path)
{
    try {
        return acquire(path, false);
    } catch (const PlatformError &) {
        return nullptr;
    }
}

void FileLock::removeAndRelease()
{
    if (m_fd < 0)
        return;
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}

namespace InstallLocks {

QString appLockPath(const QString &installRoot, const QString &appId)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]{0,99}$"));
    QString name = appId;
    if (!plain.match(appId).hasMatch()) {
        const QByteArray raw = appId.toUtf8();
        Sha256Stream digest;
        digest.update(raw.constData(), std::size_t(raw.size()));
        name = QStringLiteral("app-") + digest.finishHex().left(32);
    }
    return installRoot + QStringLiteral("/.") + name + QStringLiteral(".vantrel-lock");
}

QCoro::Task<std::unique_ptr<FileLock>> waitForAppLock(QString installRoot, QString appId,
                                                      std::shared_ptr<std::atomic_bool> cancel)
{
    const QString path = appLockPath(installRoot, appId);
    const auto deadline = std::chrono::steady_clock::now() + maxLockWait;
    auto delay = std::chrono::milliseconds(20);
    for (;;) {
        if (cancel->load())
            throw AppInstallerError(AppInstallerError::Kind::cancelled);
        if (auto lock = FileLock::tryAcquire(path))
            co_return lock;
        if (std::chrono::steady_clock::now() > deadline) {
            throw PlatformError(PlatformError::Domain::fileSystem,
                                QStringLiteral("Another install of this app is still running."), EBUSY);
        }
        co_await QCoro::sleepFor(delay);
        delay = std::min(delay * 2, std::chrono::milliseconds(250));
    }
}

QString stagedLockPath(const QString &stagedPath)
{
    return stagedPath + QStringLiteral(".lock");
}

QString workLockPath(const QString &workDir)
{
    return workDir + QStringLiteral("/.lock");
}

int removeDeadStaged(const QString &installRoot, const QString &bundleName)
{
    int removed = 0;
    const QDir root(installRoot);
    const QStringList names = root.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = stagedPattern().match(name);
        if (!match.hasMatch())
            continue;
        if (!bundleName.isEmpty() && match.captured(1) != bundleName)
            continue;
        QString stagedName = name;
        if (!match.captured(2).isEmpty())
            stagedName.chop(4);
        const QString lockPath = stagedLockPath(root.filePath(stagedName));
        std::unique_ptr<FileLock> lock;
        if (QFileInfo::exists(lockPath)) {
            lock = FileLock::tryAcquireExisting(lockPath);
            if (!lock)
                continue;  // a running install owns it
        }
        InstallFiles::removeTree(root.filePath(name));
        if (lock && !QFileInfo::exists(root.filePath(stagedName))
            && !QFileInfo::exists(root.filePath(stagedName + QStringLiteral(".old"))))
            lock->removeAndRelease();
        ++removed;
    }
    return removed;
}

bool placementInFlight(const QString &installRoot, const QString &bundleName)
{
    const QStringList names = QDir(installRoot).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(names.cbegin(), names.cend(), [&bundleName](const QString &name) {
        const QString staged = name.endsWith(QLatin1String(".staged.lock")) ? name.chopped(5) : name;
        const QRegularExpressionMatch match = stagedPattern().match(staged);
        return match.hasMatch() && match.captured(1) == bundleName;
    });
}

int removeDeadWorkDirectories(const QString &tempDir)
{
    int removed = 0;
    const QDir dir(tempDir);
    const QFileInfoList entries = dir.entryInfoList({QStringLiteral("VantrelInstall-*")},
                                                    QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        const QString lockPath = workLockPath(entry.absoluteFilePath());
        std::unique_ptr<FileLock> lock;
        if (QFileInfo::exists(lockPath)) {
            lock = FileLock::tryAcquireExisting(lockPath);
            if (!lock)
                continue;
        } else if (entry.lastModified().secsTo(QDateTime::currentDateTime()) < unlockedWorkDirGraceSeconds) {
            continue;
        }
        InstallFiles::removeTree(entry.absoluteFilePath());
        ++removed;
    }
    return removed;
}

int removeDeadLockFiles(const QString &installRoot)
{
    int removed = 0;
    const QDir root(installRoot);
    const QStringList names = root.entryList({QStringLiteral(".*.vantrel-lock"), QStringLiteral(".*.staged.lock")},
                                             QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (name.endsWith(QStringLiteral(".staged.lock"))) {
            const QString staged = root.filePath(name.chopped(5));
            if (QFileInfo::exists(staged) || QFileInfo::exists(staged + QStringLiteral(".old")))
                continue;  // removeDeadStaged decides about these
        }
        if (auto lock = FileLock::tryAcquireExisting(root.filePath(name))) {
            lock->removeAndRelease();
            ++removed;
        }
    }
    return removed;
}

}  // namespace InstallLocks
