#include "DownloadSize.h"

#include "ArchiveProbe.h"

namespace DownloadSize {

QCoro::Task<std::optional<qint64>> of(QNetworkAccessManager *session, AppManifestItem app, int timeoutMs)
{
    if (!app.downloadUrl)
        co_return std::nullopt;
    QCoro::Task<InstallSpace::Archive> measuring = ArchiveProbe::measure(session, *app.downloadUrl, timeoutMs);
    const InstallSpace::Archive archive = co_await measuring;
    co_return archive.archiveBytes >= 0 ? std::optional(archive.archiveBytes) : std::nullopt;
}

}  // namespace DownloadSize
