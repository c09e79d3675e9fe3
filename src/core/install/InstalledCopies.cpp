#include "InstalledCopies.h"

#include "BundleVerifier.h"
#include "InstallFiles.h"
#include "InstallLocks.h"
#include "InstallReceipt.h"
#include "InstallerLayers.h"
#include "errors/LauncherError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace InstalledCopies {
namespace {

PlatformError fileError(const QString &what, const QString &path, int error)
{
    return PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("%1 \"%2\": %3").arg(what, QFileInfo(path).fileName(), QString::fromLocal8Bit(std::strerror(error))), error);
}

std::optional<struct stat> statOf(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}

bool isWritableFolder(const QString &path)
{
    const auto st = statOf(path);
    return st && S_ISDIR(st->st_mode) && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

// The highest folder above path on the same filesystem: where that filesystem's trash lives.
QString filesystemTop(const QString &path, dev_t device)
{
    QString top = QFileInfo(path).absolutePath();
    for (QString up = QFileInfo(top).absolutePath(); up != top; up = QFileInfo(top).absolutePath()) {
        const auto st = statOf(up);
        if (!st || st->st_dev != device)
            break;
        top = up;
    }
    return top;
}

// "$top/.Trash/$uid" under an administrator's sticky "$top/.Trash", else "$top/.Trash-$uid".
bool topTrashCanTake(const QString &top)
{
    const QString uid = QString::number(::getuid());
    const QString shared = top + QStringLiteral("/.Trash");
    const auto sharedSt = statOf(shared);
    if (sharedSt && S_ISDIR(sharedSt->st_mode) && (sharedSt->st_mode & S_ISVTX)) {
        const QString own = shared + QLatin1Char('/') + uid;
        if (statOf(own) ? isWritableFolder(own) : isWritableFolder(shared))
            return true;
    }
    const QString own = top + QStringLiteral("/.Trash-") + uid;
    return statOf(own) ? isWritableFolder(own) : isWritableFolder(top);
}

}  // namespace

QString previousPath(const QString &bundlePath)
{
    const QFileInfo bundle(bundlePath);
    return bundle.absolutePath() + QStringLiteral("/.") + bundle.fileName() + QStringLiteral(".previous");
}

std::optional<QByteArray> replacedNote(const QString &bundlePath, const QString &appId, const QString &newVersion)
{
    const std::optional<QString> placed = InstallReceipt::placedVersion(bundlePath, appId);
    if (!placed || *placed == newVersion)
        return std::nullopt;
    return InstallReceipt::noteOf(bundlePath);
}

void keepReplaced(const QString &bundlePath, const QString &replaced, const QByteArray &note,
                  const DirectoryReplacer &replacer)
{
    const QString previous = previousPath(bundlePath);
    // Until the exchange the note matches neither folder, so no wrong version is ever offered.
    InstallReceipt::writeNote(previous, note);
    replacer.exchange(previous, replaced);
}

std::optional<QString> damage(const QString &path, const QString &appId)
{
    BundleVerification found;
    try {
        found = BundleVerifier::verify(path, appId);
    } catch (const PlatformError &error) {
        return error.localizedDescription();
    }
    switch (found.status) {
    case BundleVerification::Status::intact:
    case BundleVerification::Status::legacyReceipt:
        return std::nullopt;
    case BundleVerification::Status::damaged:
    case BundleVerification::Status::unreadableReceipt:
    case BundleVerification::Status::cancelled:
        break;
    }
    return found.summary();
}

void discardPrevious(const QString &bundlePath)
{
    const QString previous = previousPath(bundlePath);
    if (statOf(previous))
        discard(previous);
    InstallReceipt::remove(previous);
    InstallReceipt::removeUnreferencedTrees(QFileInfo(bundlePath).absolutePath(), QFileInfo(bundlePath).fileName());
}

std::optional<QString> previousVersion(const QString &bundlePath, const QString &appId)
{
    return InstallReceipt::placedVersion(previousPath(bundlePath), appId);
}

QString rollBack(const QString &bundlePath, const QString &appId, const DirectoryReplacer &replacer)
{
    const QString previous = previousPath(bundlePath);
    const std::optional<QString> version = previousVersion(bundlePath, appId);
    const auto bundle = statOf(bundlePath);
    if (!version || !bundle || !S_ISDIR(bundle->st_mode))
        throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("There is no earlier copy to go back to."), ENOENT);
    if (const std::optional<QString> wrong = damage(previous, appId)) {
        discardPrevious(bundlePath);
        throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("The copy of version %1 kept for going back is damaged (%2), so it was removed.").arg(*version, *wrong), EIO);
    }
    InstallReceipt::exchange(bundlePath, previous);
    try {
        replacer.exchange(bundlePath, previous);
    } catch (const PlatformError &) {
        InstallReceipt::exchange(bundlePath, previous);
        throw;
    }
    return *version;
}

bool trashCanTake(const QString &bundlePath)
{
    const auto bundle = statOf(bundlePath);
    const auto home = statOf(QDir::homePath());
    if (!bundle || !home)
        return false;
    if (bundle->st_dev != home->st_dev && topTrashCanTake(filesystemTop(bundlePath, bundle->st_dev)))
        return true;
    // The home trash, made when missing; a rename reaches it only on the bundle's filesystem.
    QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    while (!statOf(trash) && QFileInfo(trash).absolutePath() != trash)
        trash = QFileInfo(trash).absolutePath();
    const auto trashSt = statOf(trash);
    return trashSt && trashSt->st_dev == bundle->st_dev && isWritableFolder(trash);
}

// Qt 6.4 retries a trash entry forever when the home trash refuses it, so a
// trash that cannot take it is found out first.
bool homeTrashRefuses()
{
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    for (const QString &folder : {trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")}) {
        if (statOf(folder) && !isWritableFolder(folder))
            return true;
    }
    return false;
}

void remove(const QString &bundlePath, bool toTrash)
{
    if (toTrash && statOf(bundlePath) && homeTrashRefuses())
        throw fileError(QStringLiteral("Could not move to the trash"), bundlePath, EACCES);
    discardPrevious(bundlePath);
    if (statOf(bundlePath)) {
        // Qt makes the home trash only where its parent folder exists (6.4 then
        // falls back to the working folder), so that parent is made first.
        if (toTrash)
            QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        QFile bundle(bundlePath);
        if (!toTrash)
            discard(bundlePath);
        else if (!bundle.moveToTrash())
            throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("Could not move to the trash \"%1\": %2")
                                                                       .arg(QFileInfo(bundlePath).fileName(), bundle.errorString()));
    }
    InstallReceipt::remove(bundlePath);
    InstallReceipt::removeUnreferencedTrees(QFileInfo(bundlePath).absolutePath(), QFileInfo(bundlePath).fileName());
    InstallFiles::syncDirectory(QFileInfo(bundlePath).absolutePath());
}

void discard(const QString &path)
{
    const QFileInfo info(path);
    const QString root = info.absolutePath();
    QString name = info.fileName();
    if (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    const QString staged = root + QStringLiteral("/.") + name + QLatin1Char('.')
        + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".staged");
    std::unique_ptr<FileLock> lock = FileLock::tryAcquire(InstallLocks::stagedLockPath(staged));
    if (!lock)
        throw fileError(QStringLiteral("Could not remove"), path, EBUSY);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(staged).constData()) != 0) {
        const int error = errno;
        lock->removeAndRelease();
        throw fileError(QStringLiteral("Could not remove"), path, error);
    }
    InstallFiles::syncDirectory(root);
    InstallFiles::removeTree(staged);
    lock->removeAndRelease();
}

}  // namespace InstalledCopies
