#include "PartialUpdateStart.h"

#include "AppInstallerError.h"
#include "ArchiveDownload.h"
#include "BlockingWork.h"
#include "InstallFiles.h"
#include "PartialAssembly.h"
#include "install/InstallerLayers.h"
#include "log/Logging.h"

namespace {

void throwIfCancelled(const std::atomic_bool &cancel)
{
    if (cancel.load())
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
}

void fallBackToWholeArchive(const QString &appId, const QString &why, const std::function<void()> &onWholeArchive)
{
    qCWarning(lcInstall).noquote() << "Fetching the whole archive of" << appId << "instead of its changed files:" << why;
    if (onWholeArchive)
        onWholeArchive();
}

}  // namespace

namespace PartialUpdateStart {

QCoro::Task<bool> worthTrying(Request request)
{
    if (request.wholeArchiveAsked || !PartialUpdate::offered(request.app)
        || !ArchiveDownload::isAllowedRemote(*request.app.downloadUrl) || !request.listsKept)
        co_return false;
    QCoro::Task<bool> looking = BlockingWork::run(
        [root = request.installRoot, appId = request.app.id] { return PartialAssembly::hasInstalledCopy(root, appId); });
    const bool installed = co_await looking;
    if (!installed)
        co_return false;
    // Measuring found the server sends no parts: asking for them again would only cost a request.
    if (request.servesRanges == false) {
        fallBackToWholeArchive(request.app.id, QStringLiteral("the server ignores Range requests"), request.onWholeArchive);
        co_return false;
    }
    co_return true;
}

QCoro::Task<PartialUpdate::Outcome> assemble(PartialUpdate::Work work, std::function<void()> onWholeArchive)
{
    InstallFiles::createDirectories(work.extracted);
    const QString appId = work.app.id;
    const QString extracted = work.extracted;
    const std::shared_ptr<ExtractedChecksums> checksums = work.checksums;
    const std::shared_ptr<std::atomic_bool> cancel = work.cancel;
    QCoro::Task<PartialUpdate::Outcome> assembling = PartialUpdate::assemble(std::move(work));
    const PartialUpdate::Outcome outcome = co_await assembling;
    if (!outcome.assembled) {
        fallBackToWholeArchive(appId, outcome.fallbackReason, onWholeArchive);
        checksums->take();
        QCoro::Task<void> clearing = BlockingWork::run([extracted] { InstallFiles::removeTree(extracted); });
        co_await clearing;
        throwIfCancelled(*cancel);
        co_return outcome;
    }
    qCInfo(lcInstall) << "Updated" << appId << "from its installed copy:" << outcome.fetchedBytes << "bytes fetched,"
                      << outcome.reusedBytes << "bytes reused";
    co_return outcome;
}

}  // namespace PartialUpdateStart
