#pragma once

#include "AppInstallerError.h"
#include "InstalledApp.h"
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

// The installer interface the store holds: installs and updates, and what
// they will download. What can be done with an installed copy afterwards is
// InstalledCopyHandling's.
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
