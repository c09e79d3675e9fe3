#pragma once

#include "BundleVerification.h"
#include "InstalledApp.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <optional>

// The interface the store holds for what can be done with an installed copy
// once its install is over. Bundles are given by the URL the install yielded.
class InstalledCopyHandling
{
public:
    virtual ~InstalledCopyHandling() = default;

    // The version of the copy an update replaced and kept, when there is one.
    // Reads a small note; fine on the main thread.
    virtual std::optional<QString> previousVersion(const QString &appId, const QUrl &bundle) const = 0;
    // Checks the kept previous copy against its own note and discards it
    // when it is damaged, so that roll back is offered only where it can
    // succeed; true when one was discarded. Waits for a running install of
    // the app. Never throws.
    virtual QCoro::Task<bool> discardDamagedPrevious(QString appId, QUrl bundle)
    {
        Q_UNUSED(appId);
        Q_UNUSED(bundle);
        co_return false;
    }
    // Puts the kept copy back in place and keeps the replaced one in its
    // stead; yields the bundle now in place. Waits for a running install of
    // the app. Throws PlatformError.
    virtual QCoro::Task<InstalledApp> rollBack(QString appId, QUrl bundle) = 0;
    // Whether remove() can put the bundle in the desktop's trash, so the
    // user may restore it; otherwise it deletes it for good.
    virtual bool removesToTrash(const QUrl &bundle) const = 0;
    // Removes the bundle (to the trash or for good, as toTrash says), its kept
    // previous copy and its notes. Waits for a running install of the app.
    // Throws PlatformError; the bundle then stays.
    virtual QCoro::Task<void> remove(QString appId, QUrl bundle, bool toTrash) = 0;

    // Compares the bundle with what its install placed (BundleVerifier), on
    // worker threads; never changes a file. Takes no lock: a copy replaced
    // meanwhile fails the verify. Throws PlatformError when the bundle
    // cannot be read.
    virtual QCoro::Task<BundleVerification> verify(QString appId, QUrl bundle, VerifyControl control = {}) = 0;
    // Puts back the permission bits the receipt records (BundleRepair), with
    // no download; returns how many entries changed. Waits for a running
    // install of the app. Throws PlatformError.
    virtual QCoro::Task<int> repairPermissions(QString appId, QUrl bundle) = 0;
};
