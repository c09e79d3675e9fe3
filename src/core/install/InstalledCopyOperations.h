#pragma once

#include "AppInstaller.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <memory>

class DirectoryReplacer;

// What AppInstaller does with an installed copy besides installing it. Each
// first checks that the bundle is a folder right in the install root, then
// does its blocking work on the installer's workers (BlockingWork); all but
// verify hold the app's lock meanwhile, so they wait for a running install.
namespace InstalledCopyOperations {

// The bundle's path when it is a ".app" folder right in installRoot; throws
// PlatformError(fileSystem, ENOENT) otherwise.
QString bundleInRoot(const QString &installRoot, const QUrl &bundle);

QCoro::Task<InstalledApp> rollBack(QString installRoot, QString appId, QUrl bundle,
                                   std::shared_ptr<const DirectoryReplacer> replacer);
// Never throws: a copy that cannot be checked is left as it is.
QCoro::Task<bool> discardDamagedPrevious(QString installRoot, QString appId, QUrl bundle);
QCoro::Task<void> remove(QString installRoot, QString appId, QUrl bundle, bool toTrash);
QCoro::Task<int> repairPermissions(QString installRoot, QString appId, QUrl bundle);
// Takes no lock: a copy replaced meanwhile fails the verify.
QCoro::Task<BundleVerification> verify(QString installRoot, QString appId, QUrl bundle, VerifyControl control);

}  // namespace InstalledCopyOperations
