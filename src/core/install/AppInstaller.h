#pragma once

#include "AppInstallerError.h"
#include "BundleVerification.h"
#include "catalog/Models.h"

#include <QCoroTask>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class SystemVersionProvider;
class ArchiveExtractor;
class BundleInspector;
class DirectoryReplacer;
class DiskSpace;
class FileListCache;

struct InstalledApp {
    QUrl url;         // file URL of the placed bundle
    QString version;  // the catalog entry's version, unchanged

    friend bool operator==(const InstalledApp &, const InstalledApp &) = default;
};

// What the caller of an install hears while it runs.
struct InstallControl {
    // The finished fraction, rising from InstallProgress::start towards 1; called on the main
    // thread, at most ten times a second.
    std::function<void(double)> onProgress;
    // Set it to stop the install: the download or extraction stops at once and
    // the install throws AppInstallerError(cancelled). Once the new bundle is
    // swapped in, it is too late and the install completes.
    std::shared_ptr<std::atomic_bool> cancel;
    // The bytes received so far for the install and all it will receive
    // once known (-1: not known), heard with each onProgress while downloading.
    std::function<void(qint64, qint64)> onDownloadBytes;
    // Called on the main thread once the new bundle is in place: from then on
    // the install completes whatever the cancel flag says.
    std::function<void()> onPlaced;
    // Set to repair the installed copy of this version: an install like any
    // other (verified download, extraction, bundle check, atomic swap), but
    // the damaged copy it replaces is discarded instead of kept, so the kept
    // previous copy and its note stay as they are. When the catalog's version
    // is another, it fails with versionNotOffered before touching anything.
    std::optional<QString> repairVersion;
    // Take the whole archive even when the record offers a file list.
    bool fullArchive = false;
    // Called on the main thread once the new bundle is in place: the bytes
    // that came over the network for the install (its file list, measuring
    // the archive, parts and answers stopped at their headers included) and
    // those taken from the installed copy.
    std::function<void(qint64 downloaded, qint64 reused)> onTransferred;
    // Called on the main thread when an update that was to fetch only the
    // changed files takes the whole archive instead; why goes to the log.
    std::function<void()> onWholeArchive;
};

// The installer interface the store holds: installs and what can be done
// with an installed copy afterwards. Bundles are given by the URL the
// install yielded.
class AppInstalling
{
public:
    virtual ~AppInstalling() = default;
    // Throws AppInstallerError, PlatformError on failure.
    virtual QCoro::Task<InstalledApp> install(AppManifestItem app, InstallControl control = {}) = 0;

    // What updating the bundle to app will download, in bytes, told ahead
    // (UpdateSize); nullopt when it cannot be. Never throws.
    virtual QCoro::Task<std::optional<qint64>> updateSize(AppManifestItem app, QUrl bundle)
    {
        Q_UNUSED(app);
        Q_UNUSED(bundle);
        co_return std::nullopt;
    }
    // The size of the app's release archive as its server tells it (or as
    // the file is); nullopt when it cannot be learnt. Never throws.
    virtual QCoro::Task<std::optional<qint64>> downloadSize(AppManifestItem app)
    {
        Q_UNUSED(app);
        co_return std::nullopt;
    }

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

class AppInstaller : public AppInstalling
{
public:
    struct Layers {
        std::shared_ptr<const SystemVersionProvider> systemVersion;
        std::shared_ptr<const ArchiveExtractor> extractor;
        std::shared_ptr<const BundleInspector> bundles;
        std::shared_ptr<const DirectoryReplacer> replacer;
        // Without it, no space is checked before an install writes.
        std::shared_ptr<const DiskSpace> diskSpace;
    };

    AppInstaller(QUrl installRoot, QNetworkAccessManager *session, Layers layers);

    QUrl installRoot() const { return m_installRoot; }

    QCoro::Task<InstalledApp> install(AppManifestItem app, InstallControl control = {}) override;
    QCoro::Task<std::optional<qint64>> updateSize(AppManifestItem app, QUrl bundle) override;
    QCoro::Task<std::optional<qint64>> downloadSize(AppManifestItem app) override;
    std::optional<QString> previousVersion(const QString &appId, const QUrl &bundle) const override;
    QCoro::Task<bool> discardDamagedPrevious(QString appId, QUrl bundle) override;
    QCoro::Task<InstalledApp> rollBack(QString appId, QUrl bundle) override;
    bool removesToTrash(const QUrl &bundle) const override;
    QCoro::Task<void> remove(QString appId, QUrl bundle, bool toTrash) override;
    QCoro::Task<BundleVerification> verify(QString appId, QUrl bundle, VerifyControl control = {}) override;
    QCoro::Task<int> repairPermissions(QString appId, QUrl bundle) override;

    // The local-development exemption from the HTTPS rule.
    static bool isLocalHTTP(const QUrl &url);

    // Removes what interrupted installs left behind: "VantrelInstall-" work
    // directories in tempDir (empty: the system temporary directory) and
    // hidden ".staged" items, stale lock files and tree files no note names
    // in installRoot, skipping whatever a running install (in any process)
    // still holds; kept previous copies stay. Blocking; call at start.
    // Returns how many items were removed.
    static int removeLeftovers(const QString &installRoot, const QString &tempDir = QString());

    // Download timeout (no data for this long fails); tests may shorten it.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    // Directory that receives the "VantrelInstall-" work directories; defaults
    // to the system temporary directory.
    void setTemporaryDirectory(const QString &path) { m_tempDir = path; }

private:
    QString rootPath() const;

    QUrl m_installRoot;
    QNetworkAccessManager *m_session;
    Layers m_layers;
    std::shared_ptr<FileListCache> m_lists;
    int m_timeoutMs = 60000;
    QString m_tempDir;
};
