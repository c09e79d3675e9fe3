#pragma once

#include <QCoroTask>
#include <QString>

#include <atomic>
#include <memory>

// An exclusive advisory lock (flock) on a small file. The system releases it
// when the holder closes it or dies, so a crashed install never blocks the
// next one.
class FileLock
{
public:
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Creates the file when missing and locks it without waiting; nullptr
    // when another holder has it. Throws PlatformError(fileSystem) when the
    // file cannot be created.
    static std::unique_ptr<FileLock> tryAcquire(const QString &path);
    // Like tryAcquire, but never creates the file: nullptr when it is
    // missing or held.
    static std::unique_ptr<FileLock> tryAcquireExisting(const QString &path);
    // Makes the file, which must not exist, already locked: it appears under
    // `path` only once held, so nobody can take it for a dead holder's.
    // Throws PlatformError(fileSystem) when it cannot be made.
    static std::unique_ptr<FileLock> createHeld(const QString &path);

    // Removes the file while still holding it, then releases the lock.
    void removeAndRelease();

private:
    FileLock(int fd, QString path) : m_fd(fd), m_path(std::move(path)) {}
    static std::unique_ptr<FileLock> acquire(const QString &path, bool create);

    int m_fd;
    QString m_path;
};

namespace InstallLocks {

// The per-app lock file in the install root: ".<appId>.vantrel-lock" (ids
// that are not plain names are replaced by a digest).
QString appLockPath(const QString &installRoot, const QString &appId);

// Takes the app's lock, waiting while another install (in any process) holds
// it. Throws AppInstallerError(cancelled) once cancel is set, and
// PlatformError(fileSystem, EBUSY) when the wait lasts beyond all reason.
QCoro::Task<std::unique_ptr<FileLock>> waitForAppLock(QString installRoot, QString appId,
                                                      std::shared_ptr<std::atomic_bool> cancel);

// The lock file a running install holds beside its staged copy.
QString stagedLockPath(const QString &stagedPath);

// The lock file inside a work directory.
QString workLockPath(const QString &workDir);

// Removes hidden ".staged" items (and their lock files) in installRoot that
// no live install holds; with bundleName set, only those of that bundle.
// Returns how many items were removed.
int removeDeadStaged(const QString &installRoot, const QString &bundleName = QString());

// Whether a staged copy of bundleName, or its lock file, is in installRoot:
// an install (or a removal) is placing that bundle, or died doing so.
bool placementInFlight(const QString &installRoot, const QString &bundleName);

// Removes "VantrelInstall-" work directories in tempDir that no live install
// holds. Returns how many were removed.
int removeDeadWorkDirectories(const QString &tempDir);

// Removes lock files in installRoot whose holder is gone.
int removeDeadLockFiles(const QString &installRoot);

}  // namespace InstallLocks
