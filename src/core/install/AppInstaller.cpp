#include "AppInstaller.h"

#include "ArchiveDownload.h"
#include "BackgroundCleanup.h"
#include "BlockingWork.h"
#include "BundlePlacement.h"
#include "DownloadSize.h"
#include "ExpectedArchiveFiles.h"
#include "ExtractedBundle.h"
#include "FileListCache.h"
#include "GrowingArchive.h"
#include "InstallFiles.h"
#include "InstallLocks.h"
#include "InstallProgress.h"
#include "InstallSpaceCheck.h"
#include "PartialUpdateStart.h"
#include "UpdateSize.h"
#include "catalog/ManifestPolicy.h"
#include "faults/FaultPoint.h"
#include "install/InstallerLayers.h"
#include "log/Logging.h"
#include "system/SystemLayers.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTimer>
#include <QUuid>

#include <exception>

namespace {

using Kind = AppInstallerError::Kind;

struct InstallContext {
    QString installRoot;
    QString tempDir;
    QPointer<QNetworkAccessManager> session;
    AppInstaller::Layers layers;
    std::shared_ptr<FileListCache> lists;
    int timeoutMs = 60000;
};

QString freshUuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

void throwIfCancelled(const std::atomic_bool &cancel)
{
    if (cancel.load())
        throw AppInstallerError(Kind::cancelled);
}

// One install from its checks to its clean-up, one member a phase, in the
// order they run. Whatever it holds goes with it: destroyed before its
// clean-up (the application quits mid-install), it stops the workers and
// removes what is its own.
class InstallRun
{
public:
    InstallRun(InstallContext context, AppManifestItem app, InstallControl control)
        : m_ctx(std::move(context))
        , m_app(std::move(app))
        , m_control(std::move(control))
        , m_cancel(m_control.cancel ? m_control.cancel : std::make_shared<std::atomic_bool>(false))
    {
    }
    ~InstallRun()
    {
        if (!m_mustCleanUp)
            return;
        m_cancel->store(true);
        InstallFiles::removeTree(m_staged);
        InstallFiles::removeTree(m_workDir);
    }
    InstallRun(const InstallRun &) = delete;
    InstallRun &operator=(const InstallRun &) = delete;

    // Metadata and system checks: no file-system work before these pass.
    void check()
    {
        if (m_control.repairVersion && *m_control.repairVersion != m_app.version)
            throw AppInstallerError::versionNotOffered(*m_control.repairVersion);
        if (!m_app.downloadUrl)
            throw AppInstallerError(Kind::missingDownloadURL);
        if (!m_app.sha256)
            throw AppInstallerError(Kind::invalidReleaseMetadata);
        m_expectedSha256 = m_app.sha256->toLower();
        switch (ManifestPolicy::installCheck(m_app, m_ctx.layers.systemVersion->operatingSystemVersion())) {
        case ManifestPolicy::InstallCheck::passes:
            break;
        case ManifestPolicy::InstallCheck::noPublishedRelease:
        case ManifestPolicy::InstallCheck::notReleased:
            throw AppInstallerError(Kind::invalidReleaseMetadata);
        case ManifestPolicy::InstallCheck::systemTooOld:
            throw AppInstallerError::unsupportedMacOS(m_app.minMacOS);
        }
    }

    // Before anything is written: what the archive and its unpacked files
    // will take, against the free space where they go.
    QCoro::Task<void> checkSpace()
    {
        if (!m_ctx.layers.diskSpace)
            co_return;
        QCoro::Task<InstallSpace::Archive> checking
            = InstallSpaceCheck::beforeDownload(spaceWhere(), m_ctx.session.data(), *m_app.downloadUrl, m_ctx.timeoutMs, m_cancel);
        m_measured = co_await checking;
        m_downloadedBytes += m_measured.receivedBytes;
    }

    // One install per app at a time, across processes, then a work folder of its own.
    QCoro::Task<void> lock()
    {
        // The lock lives in the install root, so the root is made first.
        InstallFiles::createDirectories(m_ctx.installRoot);
        QCoro::Task<std::unique_ptr<FileLock>> locking = InstallLocks::waitForAppLock(m_ctx.installRoot, m_app.id, m_cancel);
        m_appLock = co_await locking;
        m_mustCleanUp = true;
        const QString workDir = tempBase() + QStringLiteral("/VantrelInstall-") + freshUuid();
        try {
            InstallFiles::createDirectories(workDir);
            m_workDir = workDir;
            // Locked before it is seen: a clean-up in another process that found
            // the lock file free would take the new folder for a dead install's.
            m_workLock = FileLock::createHeld(InstallLocks::workLockPath(workDir));
        } catch (...) {
            m_mustCleanUp = false;
            InstallFiles::removeTree(m_workDir);
            m_appLock->removeAndRelease();
            throw;
        }
    }

    // When the record offers a file list: the release's tree built from the
    // installed copy and ranges of the archive. False when it cannot be
    // trusted to (the reason is logged); the whole archive is fetched then.
    QCoro::Task<bool> assembleFromInstalled()
    {
        // A list fetched to tell this update's size counts towards it, used or not.
        if (m_app.fileListSha256 && m_ctx.lists) {
            QCoro::Task<qint64> claiming = m_ctx.lists->claim(*m_app.fileListSha256);
            m_downloadedBytes += co_await claiming;
        }
        PartialUpdateStart::Request request{m_app, m_ctx.installRoot, m_control.repairVersion || m_control.fullArchive,
                                            m_ctx.lists != nullptr, m_measured.servesRanges, m_control.onWholeArchive};
        QCoro::Task<bool> deciding = PartialUpdateStart::worthTrying(std::move(request));
        if (!co_await deciding)
            co_return false;
        QCoro::Task<PartialUpdate::Outcome> assembling = PartialUpdateStart::assemble(partialWork(), m_control.onWholeArchive);
        const PartialUpdate::Outcome outcome = co_await assembling;
        m_downloadedBytes += outcome.fetchedBytes;
        if (outcome.assembled)
            m_reusedBytes = outcome.reusedBytes;
        co_return outcome.assembled;
    }

    // The archive into the work folder, hashed as it arrives, against the
    // catalog's checksum; where it can be, unpacked into the work folder at
    // the same time (unpackAlongside). True when it was.
    QCoro::Task<bool> downloadAndVerify()
    {
        if (!unpacksAlongside()) {
            QCoro::Task<DownloadedArchive> download = fetchArchive({});
            const DownloadedArchive downloaded = co_await download;
            verify(downloaded);
            co_return false;
        }
        QCoro::Task<bool> streaming = unpackAlongside();
        co_return co_await streaming;
    }

    // When the archive's directory could not be read ahead, it is read now,
    // before a byte is unpacked.
    QCoro::Task<void> checkUnpackedSpace()
    {
        if (!m_ctx.layers.diskSpace || m_measured.contents)
            co_return;
        QCoro::Task<InstallSpace::Archive> checking
            = InstallSpaceCheck::beforeExtraction(spaceWhere(), m_measured, archivePath(), m_cancel);
        m_measured = co_await checking;
    }

    // Unpacked on workers into the work folder.
    QCoro::Task<void> extract()
    {
        InstallFiles::createDirectories(extractedPath());
        try {
            // The workers count what they write; the progress follows on this thread.
            auto unpacked = std::make_shared<ExtractionProgress>();
            QTimer poll;
            poll.setInterval(int(InstallProgress::minimumIntervalMs));
            QObject::connect(&poll, &QTimer::timeout, [progress = m_progress, unpacked] {
                progress->extraction(unpacked->writtenBytes.load(), unpacked->totalBytes.load());
            });
            poll.start();
            // Closures are never temporaries inside co_await (GCC 12 destroys them twice).
            QCoro::Task<void> extraction = BlockingWork::run(
                [extractor = m_ctx.layers.extractor, archive = archivePath(), extracted = extractedPath(), cancel = m_cancel, unpacked,
                 checksums = m_checksums] {
                    extractor->extractZip(archive, extracted, cancel.get(), unpacked.get(), checksums.get());
                });
            co_await extraction;
        } catch (const PlatformError &error) {
            throwIfCancelled(*m_cancel);
            if (error.domain() == PlatformError::Domain::archive)
                throw AppInstallerError(Kind::extractionFailed);
            throw;
        }
        throwIfCancelled(*m_cancel);
    }

    // The first ".app" folder, its links kept inside it, its identifier the catalog's.
    QCoro::Task<void> findAndCheckBundle()
    {
        QCoro::Task<ExtractedBundle::Found> search = BlockingWork::run(
            [bundles = m_ctx.layers.bundles, archive = archivePath(), extracted = extractedPath(), bundleId = m_app.bundleId] {
                // Unpacked, the archive would only add to the flush before the swap.
                InstallFiles::removeTree(archive);
                return ExtractedBundle::find(extracted, *bundles, bundleId);
            });
        const ExtractedBundle::Found found = co_await search;
        throwIfCancelled(*m_cancel);
        switch (found.outcome) {
        case ExtractedBundle::Found::Outcome::notFound: throw AppInstallerError(Kind::appBundleNotFound);
        case ExtractedBundle::Found::Outcome::escapingLink: throw AppInstallerError(Kind::extractionFailed);
        case ExtractedBundle::Found::Outcome::identifierMismatch: throw AppInstallerError(Kind::bundleIdentifierMismatch);
        case ExtractedBundle::Found::Outcome::found: break;
        }
        m_bundle = found.path;
    }

    // Reserves the staged path beside the installed copy, then stages, swaps
    // and keeps the previous copy on a worker (BundlePlacement).
    QCoro::Task<void> place()
    {
        InstallFiles::createDirectories(m_ctx.installRoot);
        BundlePlacement placement = BundlePlacement::of(m_ctx.installRoot, m_bundle);
        placement.app = m_app;
        placement.checksums = bundleChecksums();
        placement.repairing = m_control.repairVersion.has_value();
        placement.replacer = m_ctx.layers.replacer;
        placement.cancel = m_cancel;
        m_stagedLock = FileLock::tryAcquire(InstallLocks::stagedLockPath(placement.staged));
        if (!m_stagedLock)
            throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("Could not reserve the staged copy."), EBUSY);
        m_staged = placement.staged;

        QCoro::Task<void> placing = BlockingWork::run([placement] { placement.run(); });
        co_await placing;
        if (m_control.onPlaced)
            m_control.onPlaced();
        if (m_control.onTransferred)
            m_control.onTransferred(m_downloadedBytes, m_reusedBytes);
        m_result = InstalledApp{QUrl::fromLocalFile(placement.destination), m_app.version};
    }

    // The app's lock goes at once. The staged path (empty, or holding the copy
    // beyond the kept one) and the work folder go, still under their locks:
    // after a failure before the outcome is known, after a success once the
    // caller has it.
    QCoro::Task<InstalledApp> cleanUp(std::exception_ptr failure)
    {
        m_progress.reset();
        m_mustCleanUp = false;
        m_appLock->removeAndRelease();
        std::shared_ptr<FileLock> heldStaged = std::move(m_stagedLock);
        std::shared_ptr<FileLock> heldWork = std::move(m_workLock);
        std::function<void()> cleanup = [staged = m_staged, workDir = m_workDir, heldStaged, heldWork] {
            FaultPoint::reach("cleaning-up");
            InstallFiles::removeTree(staged);
            InstallFiles::removeTree(workDir);
            if (heldStaged)
                heldStaged->removeAndRelease();
        };
        if (!failure) {
            BackgroundCleanup::schedule(std::move(cleanup));
            co_return m_result;
        }
        QCoro::Task<void> cleaning = BlockingWork::run(std::move(cleanup));
        co_await cleaning;
        std::rethrow_exception(failure);
    }

private:
    // Only over the network (a local file is there whole at once), and only
    // once the space for what it unpacks to is known to be there.
    bool unpacksAlongside() const
    {
        return m_app.downloadUrl->scheme() != QLatin1String("file")
            && (!m_ctx.layers.diskSpace || m_measured.contents.has_value());
    }

    QCoro::Task<DownloadedArchive> fetchArchive(std::shared_ptr<GrowingArchive> growing)
    {
        ArchiveDownload::DownloadProgress onDownload = byteCounter();
        QCoro::Task<DownloadedArchive> download = ArchiveDownload::fetch(
            m_ctx.session.data(), *m_app.downloadUrl, archivePath(), m_ctx.timeoutMs, std::move(onDownload), m_cancel,
            std::move(growing));
        const DownloadedArchive downloaded = co_await download;
        throwIfCancelled(*m_cancel);
        m_downloadedBytes += downloaded.size;
        FaultPoint::reach("downloaded");
        co_return downloaded;
    }

    void verify(const DownloadedArchive &downloaded) const
    {
        if (downloaded.sha256Hex != m_expectedSha256)
            throw AppInstallerError::checksumMismatch(m_expectedSha256, downloaded.sha256Hex);
    }

    // A worker unpacks what the download has written so far and waits for
    // more; only once the whole archive matches the catalog's checksum may it
    // finish. When it cannot stream the archive, the archive is unpacked
    // whole afterwards. A file that differs from the release's file list
    // stops the download at once: the archive cannot match.
    QCoro::Task<bool> unpackAlongside()
    {
        QCoro::Task<std::optional<ExpectedFiles>> listing = ExpectedArchiveFiles::of(
            m_ctx.session.data(), m_ctx.lists, m_app, m_expectedSha256, m_ctx.timeoutMs, m_cancel);
        std::optional<ExpectedFiles> listed = co_await listing;
        if (m_app.fileListSha256 && m_ctx.lists) {
            QCoro::Task<qint64> claiming = m_ctx.lists->claim(*m_app.fileListSha256);
            m_downloadedBytes += co_await claiming;
        }
        const auto expected = listed ? std::make_shared<const ExpectedFiles>(std::move(*listed)) : nullptr;
        InstallFiles::createDirectories(extractedPath());
        auto growing = std::make_shared<GrowingArchive>(archivePath());
        QCoro::Task<StreamedUnpack> unpacking = BlockingWork::runOn(
            BlockingWork::waitingPool(),
            [extractor = m_ctx.layers.extractor, growing, extracted = extractedPath(), cancel = m_cancel,
             checksums = m_checksums, expected] {
                return extractor->streamZip(*growing, extracted, cancel.get(), nullptr, checksums.get(), expected.get());
            });
        std::exception_ptr failure;
        std::optional<DownloadedArchive> downloaded;
        try {
            QCoro::Task<DownloadedArchive> download = fetchArchive(growing);
            downloaded = co_await download;
        } catch (...) {
            failure = std::current_exception();
        }
        const bool handedOver = endStream(*growing, downloaded);
        // The worker ends promptly either way; it holds nothing of this frame.
        StreamedUnpack unpacked;
        try {
            unpacked = co_await unpacking;
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
        throwIfCancelled(*m_cancel);
        if (unpacked.outcome == StreamedUnpack::Outcome::fileListMismatch && !downloaded)
            throw AppInstallerError::checksumMismatch(m_expectedSha256, QString());
        if (failure)
            std::rethrow_exception(failure);
        verify(*downloaded);
        if (unpacked.outcome == StreamedUnpack::Outcome::unpacked) {
            progress()->extraction(1, 1);
            co_return true;
        }
        if (!handedOver)
            qCInfo(lcInstall) << "Unpacking the archive whole:" << unpacked.reason;
        co_return false;
    }

    // Only the archive the catalog names may finish unpacking, and only when
    // the stream is past half of it: otherwise unpacking it whole on every
    // core ends sooner. True when a matching archive is handed to that road.
    bool endStream(GrowingArchive &growing, const std::optional<DownloadedArchive> &downloaded) const
    {
        const bool matches = downloaded && downloaded->sha256Hex == m_expectedSha256;
        if (matches && 2 * growing.readSoFar() >= downloaded->size) {
            growing.complete(downloaded->size);
            return false;
        }
        if (matches)
            qCInfo(lcInstall) << "Unpacking the archive whole: the stream had read" << growing.readSoFar() << "of"
                              << downloaded->size << "bytes at the download's end.";
        growing.abandon();
        return matches;
    }

    PartialUpdate::Work partialWork()
    {
        PartialUpdate::Work work;
        work.session = m_ctx.session.data();
        work.app = m_app;
        work.installRoot = m_ctx.installRoot;
        work.workDir = m_workDir;
        work.extracted = extractedPath();
        work.timeoutMs = m_ctx.timeoutMs;
        work.cancel = m_cancel;
        work.checksums = m_checksums;
        work.lists = m_ctx.lists;
        work.onFetched = byteCounter();
        return work;
    }

    // The bytes of one transfer, published on top of what the install received before it.
    std::function<void(qint64, qint64)> byteCounter()
    {
        return [progress = progress(), bytes = m_bytes, before = m_downloadedBytes](qint64 received, qint64 total) {
            *bytes = {before + received, total >= 0 ? before + total : -1};
            progress->download(received, total);
        };
    }

    // The fraction and the bytes so far go out together, so both share its pace.
    std::shared_ptr<InstallProgress> progress()
    {
        if (!m_progress) {
            InstallProgress::Publish publish = [onProgress = std::move(m_control.onProgress),
                                                onBytes = std::move(m_control.onDownloadBytes), bytes = m_bytes](double fraction) {
                if (onBytes)
                    onBytes(bytes->first, bytes->second);
                if (onProgress)
                    onProgress(fraction);
            };
            m_progress = std::make_shared<InstallProgress>(std::move(publish));
        }
        return m_progress;
    }

    QString tempBase() const { return m_ctx.tempDir.isEmpty() ? QDir::tempPath() : m_ctx.tempDir; }
    InstallSpaceCheck::Where spaceWhere() const { return {m_ctx.layers.diskSpace, tempBase(), m_ctx.installRoot}; }
    QString archivePath() const { return m_workDir + QStringLiteral("/download.zip"); }
    QString extractedPath() const { return m_workDir + QStringLiteral("/extracted"); }

    // What the extraction summed of the chosen bundle, by path below it.
    QHash<QByteArray, quint32> bundleChecksums() const
    {
        const QByteArray prefix = QFile::encodeName(m_bundle.mid(extractedPath().size() + 1)) + '/';
        QHash<QByteArray, quint32> below;
        const QHash<QByteArray, quint32> all = m_checksums->take();
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            if (it.key().startsWith(prefix))
                below.insert(it.key().mid(prefix.size()), it.value());
        }
        return below;
    }

    InstallContext m_ctx;
    AppManifestItem m_app;
    InstallControl m_control;
    std::shared_ptr<std::atomic_bool> m_cancel;
    QString m_expectedSha256;
    InstallSpace::Archive m_measured;
    std::unique_ptr<FileLock> m_appLock;
    QString m_workDir;
    std::unique_ptr<FileLock> m_workLock;
    std::shared_ptr<InstallProgress> m_progress;
    std::shared_ptr<std::pair<qint64, qint64>> m_bytes = std::make_shared<std::pair<qint64, qint64>>(0, -1);
    qint64 m_downloadedBytes = 0;
    qint64 m_reusedBytes = 0;
    std::shared_ptr<ExtractedChecksums> m_checksums = std::make_shared<ExtractedChecksums>();
    QString m_bundle;
    QString m_staged;
    std::unique_ptr<FileLock> m_stagedLock;
    InstalledApp m_result;
    // From the app's lock to the clean-up: what the destructor must remove.
    bool m_mustCleanUp = false;
};

// The phases in the order docs/developers/architecture.md gives; every path past the lock ends in the clean-up.
QCoro::Task<InstalledApp> runInstall(InstallContext ctx, AppManifestItem app, InstallControl control)
{
    InstallRun run(std::move(ctx), std::move(app), std::move(control));
    run.check();
    QCoro::Task<void> spaceCheck = run.checkSpace();
    co_await spaceCheck;
    QCoro::Task<void> locking = run.lock();
    co_await locking;
    std::exception_ptr failure;
    try {
        QCoro::Task<bool> partial = run.assembleFromInstalled();
        const bool assembled = co_await partial;
        if (!assembled) {
            QCoro::Task<bool> download = run.downloadAndVerify();
            if (!co_await download) {
                QCoro::Task<void> unpackedCheck = run.checkUnpackedSpace();
                co_await unpackedCheck;
                QCoro::Task<void> extraction = run.extract();
                co_await extraction;
            }
        }
        QCoro::Task<void> search = run.findAndCheckBundle();
        co_await search;
        QCoro::Task<void> placement = run.place();
        co_await placement;
    } catch (...) {
        failure = std::current_exception();
    }
    QCoro::Task<InstalledApp> cleaning = run.cleanUp(failure);
    co_return co_await cleaning;
}

}  // namespace

AppInstaller::AppInstaller(QUrl installRoot, QNetworkAccessManager *session, Layers layers)
    : m_installRoot(std::move(installRoot))
    , m_session(session)
    , m_layers(std::move(layers))
    , m_lists(std::make_shared<FileListCache>())
{
}

QCoro::Task<InstalledApp> AppInstaller::install(AppManifestItem app, InstallControl control)
{
    InstallContext ctx;
    ctx.installRoot = rootPath();
    ctx.tempDir = m_tempDir;
    ctx.session = m_session;
    ctx.layers = m_layers;
    ctx.lists = m_lists;
    ctx.timeoutMs = m_timeoutMs;
    return runInstall(std::move(ctx), std::move(app), std::move(control));
}

QCoro::Task<std::optional<qint64>> AppInstaller::updateSize(AppManifestItem app, QUrl bundle)
{
    return UpdateSize::estimate(m_session, m_lists, std::move(app), bundle.toLocalFile(), m_timeoutMs);
}

QCoro::Task<std::optional<qint64>> AppInstaller::downloadSize(AppManifestItem app)
{
    return DownloadSize::of(m_session, std::move(app), m_timeoutMs);
}

QString AppInstaller::rootPath() const
{
    return QDir::cleanPath(m_installRoot.toLocalFile());
}
