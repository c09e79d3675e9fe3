#include "PartialUpdate.h"

#include "AppInstallerError.h"
#include "ArchiveDownload.h"
#include "BlockingWork.h"
#include "FileList.h"
#include "FileListCache.h"
#include "InstallFiles.h"
#include "PartialAssembly.h"
#include "RangeRequest.h"
#include "catalog/ManifestPolicy.h"
#include "log/Logging.h"

#include <QFile>

namespace PartialUpdate {
namespace {

// Gaps up to this are fetched rather than asked for apart; runs stay below the next.
constexpr qint64 coalescedGap = 64 << 10;
constexpr qint64 longestRun = 16 << 20;
constexpr int maximumRetries = 3;
// Past this share of the archive, one whole download (extracted on several
// threads) costs less than the ranges.
constexpr double largestShare = 0.8;

Outcome fallBack(QString why, qint64 fetched)
{
    Outcome outcome;
    outcome.fallbackReason = std::move(why);
    outcome.fetchedBytes = fetched;
    return outcome;
}

void throwIfCancelled(const std::atomic_bool &cancel)
{
    if (cancel.load())
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
}

struct FetchedList {
    std::optional<FileList> list;
    QString problem;
};

QCoro::Task<FetchedList> fetchList(Work work)
{
    FetchedList fetched;
    QCoro::Task<FileListCache::Answer> asking
        = work.lists->fetch(work.session, *work.app.fileListUrl, *work.app.fileListSha256, work.timeoutMs, work.cancel);
    const FileListCache::Answer answer = co_await asking;
    if (!answer.bytes) {
        fetched.problem = answer.problem;
        co_return fetched;
    }
    QString problem;
    fetched.list = FileList::decode(*answer.bytes, &problem);
    if (!fetched.list)
        fetched.problem = QStringLiteral("the file list was refused: %1").arg(problem);
    co_return fetched;
}

qint64 bytesOf(const QList<PartialAssembly::Run> &runs)
{
    qint64 bytes = 0;
    for (const PartialAssembly::Run &run : runs)
        bytes += run.bytes();
    return bytes;
}

std::optional<QString> tooMuchOf(const FileList &list, qint64 toFetch)
{
    if (double(toFetch) <= largestShare * double(list.archiveSize))
        return std::nullopt;
    return QStringLiteral("most of the archive changed (%1 of %2 bytes)").arg(toFetch).arg(list.archiveSize);
}

QString partPathOf(const Work &work)
{
    return work.workDir + QStringLiteral("/part");
}

struct Fetching {
    QByteArray etag;  // of the first part: every later one must be of the same archive
    qint64 done = 0;  // bytes of the runs unpacked so far
    qint64 total = 0;  // bytes of all the runs known so far
    qint64 wire = 0;   // every byte received, of parts refused or broken off too
    int retries = 0;
};

// Fetches the runs one after another and unpacks each; why to fall back, if
// anything was not as the list says. Takes references: awaited at once.
QCoro::Task<std::optional<QString>> fetchRuns(const Work &work, const FileList &list, const QList<PartialAssembly::Run> &runs,
                                              Fetching *state)
{
    const QString partPath = partPathOf(work);
    for (qsizetype i = 0; i < runs.size();) {
        const PartialAssembly::Run &run = runs[i];
        std::function<void(qint64)> onBytes = [onFetched = work.onFetched, done = state->done, total = state->total](qint64 bytes) {
            if (onFetched)
                onFetched(done + bytes, total);
        };
        QCoro::Task<RangeRequest::Answer> asking
            = RangeRequest::fetch(work.session, *work.app.downloadUrl, run.first, run.last, list.archiveSize, state->etag,
                                  partPath, work.timeoutMs, work.cancel, std::move(onBytes));
        const RangeRequest::Answer answer = co_await asking;
        state->wire += answer.received;
        throwIfCancelled(*work.cancel);
        if (answer.outcome == RangeRequest::Answer::Outcome::broken && state->retries < maximumRetries) {
            ++state->retries;
            qCInfo(lcInstall) << "A range of the archive broke off, asking again:" << answer.why;
            continue;
        }
        if (answer.outcome != RangeRequest::Answer::Outcome::part)
            co_return answer.why;
        if (state->etag.isEmpty())
            state->etag = answer.etag;
        QCoro::Task<std::optional<QByteArray>> unpacking = BlockingWork::run(
            [list, run, partPath, extracted = work.extracted, checksums = work.checksums, cancel = work.cancel] {
                return PartialAssembly::unpackRun(list, run, partPath, extracted, checksums.get(), cancel.get());
            });
        const std::optional<QByteArray> mismatch = co_await unpacking;
        throwIfCancelled(*work.cancel);
        state->done += run.bytes();
        if (mismatch)
            co_return QStringLiteral("the entry \"%1\" does not match the file list").arg(QString::fromUtf8(*mismatch));
        ++i;
    }
    co_return std::nullopt;
}

}  // namespace

bool offered(const AppManifestItem &app)
{
    return app.fileListUrl && app.fileListSha256 && app.sha256 && ManifestPolicy::isValidSha256(*app.fileListSha256)
        && (ArchiveDownload::isAllowedRemote(*app.fileListUrl) || app.fileListUrl->scheme() == QLatin1String("file"));
}

// What the installed copy may give, from its tree alone.
struct ReusePlan {
    QHash<QByteArray, PartialAssembly::InstalledFolder> installed;
    PartialAssembly::Sorted sorted;
};

struct ChangedAndReused {
    std::optional<QString> problem;
    PartialAssembly::Reused reused;
};

// The installed copy is read while the files known to have changed come in.
QCoro::Task<ChangedAndReused> fetchWhileReusing(const Work &work, const FileList &list, const ReusePlan &plan,
                                                const QList<PartialAssembly::Run> &changed, Fetching *state)
{
    QCoro::Task<PartialAssembly::Reused> reusing = BlockingWork::run(
        [list, files = plan.sorted.toLookAt, installed = plan.installed, extracted = work.extracted,
         checksums = work.checksums, cancel = work.cancel] {
            return PartialAssembly::placeReusable(list, files, installed, extracted, checksums.get(), cancel.get());
        });
    std::optional<QString> problem;
    std::exception_ptr failure;
    try {
        QCoro::Task<std::optional<QString>> fetching = fetchRuns(work, list, changed, state);
        problem = co_await fetching;
    } catch (...) {
        failure = std::current_exception();
    }
    PartialAssembly::Reused reused;
    try {
        // Always waited for: it writes into the work folder.
        reused = co_await reusing;
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
    co_return ChangedAndReused{problem, reused};
}

QCoro::Task<Outcome> assemble(Work work)
{
    QCoro::Task<FetchedList> listing = fetchList(work);
    const FetchedList fetched = co_await listing;
    throwIfCancelled(*work.cancel);
    if (!fetched.list)
        co_return fallBack(fetched.problem, 0);
    const FileList &list = *fetched.list;
    if (list.archiveSha256 != work.app.sha256->toLower().toLatin1())
        co_return fallBack(QStringLiteral("the file list describes another archive"), 0);

    QCoro::Task<std::optional<ReusePlan>> planning = BlockingWork::run(
        [list, root = work.installRoot, appId = work.app.id, extracted = work.extracted]() -> std::optional<ReusePlan> {
            ReusePlan plan{PartialAssembly::installedFolders(list, root, appId), {}};
            if (plan.installed.isEmpty())
                return std::nullopt;
            PartialAssembly::makeFolders(list, extracted);
            plan.sorted = PartialAssembly::sortOut(list, plan.installed);
            return plan;
        });
    const std::optional<ReusePlan> plan = co_await planning;
    throwIfCancelled(*work.cancel);
    if (!plan)
        co_return fallBack(QStringLiteral("no installed copy of the app to reuse"), 0);

    Fetching state;
    const QList<PartialAssembly::Run> changed = PartialAssembly::runs(list, plan->sorted.toFetch, coalescedGap, longestRun);
    state.total = bytesOf(changed);
    if (const std::optional<QString> why = tooMuchOf(list, state.total))
        co_return fallBack(*why, 0);
    if (work.onFetched)
        work.onFetched(0, state.total);

    QCoro::Task<ChangedAndReused> fetchingAndReusing = fetchWhileReusing(work, list, *plan, changed, &state);
    const ChangedAndReused first = co_await fetchingAndReusing;
    std::optional<QString> problem = first.problem;
    const PartialAssembly::Reused &reused = first.reused;
    throwIfCancelled(*work.cancel);
    if (problem)
        co_return fallBack(*problem, state.wire);

    // Installed files that did not hold what their tree says (damaged).
    const QList<PartialAssembly::Run> damaged = PartialAssembly::runs(list, reused.missing, coalescedGap, longestRun);
    state.total += bytesOf(damaged);
    if (const std::optional<QString> why = tooMuchOf(list, state.total))
        co_return fallBack(*why, state.wire);
    if (!damaged.isEmpty()) {
        if (work.onFetched)
            work.onFetched(state.done, state.total);
        QCoro::Task<std::optional<QString>> fetching = fetchRuns(work, list, damaged, &state);
        problem = co_await fetching;
        if (problem)
            co_return fallBack(*problem, state.wire);
    }

    QCoro::Task<void> finishing = BlockingWork::run([list, extracted = work.extracted, partPath = partPathOf(work)] {
        QFile::remove(partPath);
        PartialAssembly::finish(list, extracted);
    });
    co_await finishing;
    throwIfCancelled(*work.cancel);
    Outcome outcome;
    outcome.reusedBytes = reused.bytes;
    outcome.fetchedBytes = state.wire;
    outcome.assembled = true;
    co_return outcome;
}

}  // namespace PartialUpdate
