#include "InstalledCopyOperations.h"

#include "BlockingWork.h"
#include "BundleRepair.h"
#include "BundleVerifier.h"
#include "InstallLocks.h"
#include "InstallProgress.h"
#include "InstalledCopies.h"
#include "errors/LauncherError.h"
#include "install/InstallerLayers.h"
#include "log/Logging.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>

namespace {

// The per-app lock for an operation on an installed copy, let go, file and all, when the hold goes.
struct RemoveAndRelease {
    void operator()(FileLock *lock) const
    {
        lock->removeAndRelease();
        delete lock;
    }
};
using AppLockHold = std::unique_ptr<FileLock, RemoveAndRelease>;

QCoro::Task<AppLockHold> holdAppLock(QString installRoot, QString appId)
{
    QCoro::Task<std::unique_ptr<FileLock>> locking
        = InstallLocks::waitForAppLock(installRoot, appId, std::make_shared<std::atomic_bool>(false));
    std::unique_ptr<FileLock> lock = co_await locking;
    co_return AppLockHold(lock.release());
}

// Stops the verify's threads when whoever awaits it goes first, and only then.
struct StopUnlessDone {
    std::shared_ptr<std::atomic_bool> cancel;
    bool done = false;
    ~StopUnlessDone()
    {
        if (!done)
            cancel->store(true);
    }
};

// The operations' coroutines take what they need by value: the object that
// started them may go while they wait.

QCoro::Task<InstalledApp> rollBackIn(QString installRoot, QString appId, QUrl bundleUrl,
                                     std::shared_ptr<const DirectoryReplacer> replacer)
{
    const QString bundle = InstalledCopyOperations::bundleInRoot(installRoot, bundleUrl);
    QCoro::Task<AppLockHold> locking = holdAppLock(installRoot, appId);
    const AppLockHold hold = co_await locking;
    QCoro::Task<QString> swap = BlockingWork::run([bundle, appId, replacer] {
        return InstalledCopies::rollBack(bundle, appId, *replacer);
    });
    const QString version = co_await swap;
    co_return InstalledApp{QUrl::fromLocalFile(bundle), version};
}

QCoro::Task<bool> discardDamagedPreviousIn(QString installRoot, QString appId, QUrl bundleUrl)
{
    const auto damaged = [](const QString &bundle, const QString &appId) {
        return InstalledCopies::previousVersion(bundle, appId)
            && InstalledCopies::damage(InstalledCopies::previousPath(bundle), appId).has_value();
    };
    try {
        const QString bundle = InstalledCopyOperations::bundleInRoot(installRoot, bundleUrl);
        // Looked at without the app's lock, as a verify is: a sound copy, the
        // common case, then never keeps another process waiting.
        QCoro::Task<bool> looking = BlockingWork::run([bundle, appId, damaged] { return damaged(bundle, appId); });
        if (!co_await looking)
            co_return false;
        QCoro::Task<AppLockHold> locking = holdAppLock(installRoot, appId);
        const AppLockHold hold = co_await locking;
        QCoro::Task<bool> discarding = BlockingWork::run([bundle, appId, damaged] {
            if (!damaged(bundle, appId))
                return false;  // replaced meanwhile by a sound copy
            qCInfo(lcInstall) << "The copy kept for going back is damaged and goes:" << appId;
            InstalledCopies::discardPrevious(bundle);
            return true;
        });
        co_return co_await discarding;
    } catch (const LauncherError &error) {
        qCWarning(lcInstall) << "The copy kept for going back could not be checked:" << appId << error.localizedDescription();
    }
    co_return false;
}

QCoro::Task<void> removeIn(QString installRoot, QString appId, QUrl bundleUrl, bool toTrash)
{
    const QString bundle = InstalledCopyOperations::bundleInRoot(installRoot, bundleUrl);
    QCoro::Task<AppLockHold> locking = holdAppLock(installRoot, appId);
    const AppLockHold hold = co_await locking;
    QCoro::Task<void> removal = BlockingWork::run([bundle, toTrash] { InstalledCopies::remove(bundle, toTrash); });
    co_await removal;
}

QCoro::Task<int> repairPermissionsIn(QString installRoot, QString appId, QUrl bundleUrl)
{
    const QString bundle = InstalledCopyOperations::bundleInRoot(installRoot, bundleUrl);
    QCoro::Task<AppLockHold> locking = holdAppLock(installRoot, appId);
    const AppLockHold hold = co_await locking;
    QCoro::Task<int> repair = BlockingWork::run([bundle, appId] { return BundleRepair::restorePermissions(bundle, appId); });
    co_return co_await repair;
}

QCoro::Task<BundleVerification> verifyIn(QString installRoot, QString appId, QUrl bundleUrl, VerifyControl control)
{
    const QString bundle = InstalledCopyOperations::bundleInRoot(installRoot, bundleUrl);
    auto progress = std::make_shared<VerifyProgress>();
    StopUnlessDone stop{control.cancel ? control.cancel : std::make_shared<std::atomic_bool>(false)};
    // The threads count what they read; the caller hears it on this thread.
    QTimer poll;
    poll.setInterval(int(InstallProgress::minimumIntervalMs));
    QObject::connect(&poll, &QTimer::timeout, [progress, onProgress = control.onProgress] {
        onProgress(progress->readBytes.load(), progress->totalBytes.load());
    });
    if (control.onProgress)
        poll.start();
    QCoro::Task<BundleVerification> checking = BlockingWork::run([bundle, appId, cancel = stop.cancel, progress] {
        return BundleVerifier::verify(bundle, appId, cancel.get(), progress.get());
    });
    try {
        BundleVerification result = co_await checking;
        stop.done = true;
        co_return result;
    } catch (...) {
        stop.done = true;
        throw;
    }
}

}  // namespace

InstalledCopyOperations::InstalledCopyOperations(QUrl installRoot, std::shared_ptr<const DirectoryReplacer> replacer)
    : m_installRoot(std::move(installRoot)), m_replacer(std::move(replacer))
{
}

QString InstalledCopyOperations::bundleInRoot(const QString &installRoot, const QUrl &bundle)
{
    const QString path = QDir::cleanPath(bundle.toLocalFile());
    const QFileInfo info(path);
    if (!bundle.isLocalFile() || info.absolutePath() != installRoot || !info.fileName().endsWith(QLatin1String(".app")))
        throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("The app is not in the launcher's folder."), ENOENT);
    return path;
}

std::optional<QString> InstalledCopyOperations::previousVersion(const QString &appId, const QUrl &bundle) const
{
    try {
        return InstalledCopies::previousVersion(bundleInRoot(rootPath(), bundle), appId);
    } catch (const PlatformError &) {
        return std::nullopt;  // a bundle elsewhere has no previous copy of ours
    }
}

QCoro::Task<bool> InstalledCopyOperations::discardDamagedPrevious(QString appId, QUrl bundle)
{
    return discardDamagedPreviousIn(rootPath(), std::move(appId), std::move(bundle));
}

QCoro::Task<InstalledApp> InstalledCopyOperations::rollBack(QString appId, QUrl bundle)
{
    return rollBackIn(rootPath(), std::move(appId), std::move(bundle), m_replacer);
}

bool InstalledCopyOperations::removesToTrash(const QUrl &bundle) const
{
    return InstalledCopies::trashCanTake(bundle.toLocalFile());
}

QCoro::Task<void> InstalledCopyOperations::remove(QString appId, QUrl bundle, bool toTrash)
{
    return removeIn(rootPath(), std::move(appId), std::move(bundle), toTrash);
}

QCoro::Task<BundleVerification> InstalledCopyOperations::verify(QString appId, QUrl bundle, VerifyControl control)
{
    return verifyIn(rootPath(), std::move(appId), std::move(bundle), std::move(control));
}

QCoro::Task<int> InstalledCopyOperations::repairPermissions(QString appId, QUrl bundle)
{
    return repairPermissionsIn(rootPath(), std::move(appId), std::move(bundle));
}

QString InstalledCopyOperations::rootPath() const
{
    return QDir::cleanPath(m_installRoot.toLocalFile());
}
