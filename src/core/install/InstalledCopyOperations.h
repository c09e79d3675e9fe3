#pragma once

#include "InstalledCopyHandling.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <memory>

class DirectoryReplacer;

// The installed copies under one install root. Each operation first checks
// that the bundle is a folder right in the install root, then does its
// blocking work on the installer's workers (BlockingWork); all but verify
// hold the app's lock meanwhile, so they wait for a running install.
class InstalledCopyOperations : public InstalledCopyHandling
{
public:
    // replacer: the atomic swap a roll back makes.
    InstalledCopyOperations(QUrl installRoot, std::shared_ptr<const DirectoryReplacer> replacer);

    QUrl installRoot() const { return m_installRoot; }

    std::optional<QString> previousVersion(const QString &appId, const QUrl &bundle) const override;
    // Never throws: a copy that cannot be checked is left as it is.
    QCoro::Task<bool> discardDamagedPrevious(QString appId, QUrl bundle) override;
    QCoro::Task<InstalledApp> rollBack(QString appId, QUrl bundle) override;
    bool removesToTrash(const QUrl &bundle) const override;
    QCoro::Task<void> remove(QString appId, QUrl bundle, bool toTrash) override;
    // Takes no lock: a copy replaced meanwhile fails the verify.
    QCoro::Task<BundleVerification> verify(QString appId, QUrl bundle, VerifyControl control = {}) override;
    QCoro::Task<int> repairPermissions(QString appId, QUrl bundle) override;

    // The bundle's path when it is a ".app" folder right in installRoot;
    // throws PlatformError(fileSystem, ENOENT) otherwise.
    static QString bundleInRoot(const QString &installRoot, const QUrl &bundle);

private:
    QString rootPath() const;

    QUrl m_installRoot;
    std::shared_ptr<const DirectoryReplacer> m_replacer;
};
