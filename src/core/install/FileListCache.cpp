#include "FileListCache.h"

#include "AppInstallerError.h"
#include "ArchiveDownload.h"

#include <QCoroTimer>
#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int failureKeptMs = 60'000;
constexpr int pollMs = 20;

QCoro::Task<void> run(std::shared_ptr<FileListFetch> fetch, QNetworkAccessManager *session, QUrl url, QString sha256Hex,
                      int timeoutMs)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/files.list");
    // A list this large is not a list: its download stops there.
    auto tooLarge = std::make_shared<std::atomic_bool>(false);
    ArchiveDownload::DownloadProgress watch = [fetch, tooLarge](qint64 received, qint64) {
        fetch->fetchedBytes = received;
        if (received > FileListCache::largestList)
            tooLarge->store(true);
    };
    try {
        QCoro::Task<DownloadedArchive> getting = ArchiveDownload::fetch(session, url, path, timeoutMs, std::move(watch), tooLarge);
        const DownloadedArchive got = co_await getting;
        if (url.scheme() == QLatin1String("file"))
            fetch->fetchedBytes = 0;
        QFile file(path);
        if (got.sha256Hex != sha256Hex)
            fetch->problem = QStringLiteral("the file list's SHA-256 differs from the catalog's");
        else if (!file.open(QIODevice::ReadOnly))
            fetch->problem = QStringLiteral("the file list could not be read");
        else
            fetch->bytes = file.readAll();
    } catch (const AppInstallerError &error) {
        fetch->problem = error.kind() == AppInstallerError::Kind::cancelled ? QStringLiteral("the file list is too large")
                                                                             : QStringLiteral("the file list could not be fetched");
    } catch (const PlatformError &error) {
        fetch->problem = QStringLiteral("the file list could not be fetched: %1").arg(error.localizedDescription());
    }
    fetch->unclaimedBytes = fetch->fetchedBytes;
    fetch->finished = true;
    if (!fetch->bytes)
        fetch->expires.setRemainingTime(failureKeptMs);
}

// Until the fetch has ended; a cancel ends this wait only, others may wait for the same fetch.
QCoro::Task<void> untilFinished(std::shared_ptr<FileListFetch> fetch, std::shared_ptr<const std::atomic_bool> cancel)
{
    while (!fetch->finished) {
        if (cancel && cancel->load())
            throw AppInstallerError(AppInstallerError::Kind::cancelled);
        QCoro::Task<> pause = QCoro::sleepFor(std::chrono::milliseconds(pollMs));
        co_await pause;
    }
}

}  // namespace

QCoro::Task<FileListCache::Answer> FileListCache::fetch(QNetworkAccessManager *session, QUrl url, QString sha256Hex,
                                                        int timeoutMs, std::shared_ptr<const std::atomic_bool> cancel)
{
    sha256Hex = sha256Hex.toLower();
    std::shared_ptr<FileListFetch> fetch = m_fetches.value(sha256Hex);
    if (!fetch || (fetch->finished && !fetch->bytes && fetch->expires.hasExpired())) {
        fetch = std::make_shared<FileListFetch>();
        fetch->expires = QDeadlineTimer::Forever;
        m_fetches.insert(sha256Hex, fetch);
        run(fetch, session, url, sha256Hex, timeoutMs);  // runs on by itself
    }
    QCoro::Task<void> waiting = untilFinished(fetch, std::move(cancel));
    co_await waiting;
    co_return Answer{fetch->bytes, fetch->problem};
}

QCoro::Task<qint64> FileListCache::claim(QString sha256Hex)
{
    const std::shared_ptr<FileListFetch> fetch = m_fetches.value(sha256Hex.toLower());
    if (!fetch)
        co_return 0;
    QCoro::Task<void> waiting = untilFinished(fetch, {});
    co_await waiting;
    co_return std::exchange(fetch->unclaimedBytes, 0);
}
