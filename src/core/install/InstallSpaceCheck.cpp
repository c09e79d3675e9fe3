#include "InstallSpaceCheck.h"

#include "ArchiveProbe.h"
#include "BlockingWork.h"

namespace {

void throwIfCancelled(const std::atomic_bool &cancel)
{
    if (cancel.load())
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
}

}  // namespace

namespace InstallSpaceCheck {

QCoro::Task<InstallSpace::Archive> beforeDownload(Where where, QNetworkAccessManager *session, QUrl url, int timeoutMs,
                                                  std::shared_ptr<std::atomic_bool> cancel)
{
    QCoro::Task<InstallSpace::Archive> measuring = ArchiveProbe::measure(session, url, timeoutMs, cancel);
    const InstallSpace::Archive measured = co_await measuring;
    throwIfCancelled(*cancel);
    InstallSpace::require(InstallSpace::needs(*where.disk, where.tempDir, where.installRoot, measured, false));
    co_return measured;
}

QCoro::Task<InstallSpace::Archive> beforeExtraction(Where where, InstallSpace::Archive measured, QString archivePath,
                                                    std::shared_ptr<std::atomic_bool> cancel)
{
    QCoro::Task<std::optional<ZipCentralDirectory::Contents>> reading
        = BlockingWork::run([archivePath] { return ZipCentralDirectory::readFile(archivePath); });
    measured.contents = co_await reading;
    throwIfCancelled(*cancel);
    InstallSpace::require(InstallSpace::needs(*where.disk, where.tempDir, where.installRoot, measured, true));
    co_return measured;
}

}  // namespace InstallSpaceCheck
