#pragma once

#include "InstallSpace.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <atomic>
#include <memory>

class DiskSpace;
class QNetworkAccessManager;

// The install's two looks at free space (InstallSpace): before anything is
// written, and before a byte is unpacked when the archive's directory could
// not be read ahead. Each throws AppInstallerError(notEnoughSpace) when a
// file system is short, and AppInstallerError(cancelled) once cancel is set.
namespace InstallSpaceCheck {

// Where the install writes: its work folder's parent and the install root.
struct Where {
    std::shared_ptr<const DiskSpace> disk;
    QString tempDir;
    QString installRoot;
};

// Measures the archive at url (ArchiveProbe) against the space it and its
// unpacked files take; yields what measuring learnt.
QCoro::Task<InstallSpace::Archive> beforeDownload(Where where, QNetworkAccessManager *session, QUrl url, int timeoutMs,
                                                  std::shared_ptr<std::atomic_bool> cancel);

// Reads the directory of the downloaded archive, which measured lacks,
// against the space its unpacked files take; yields measured with it.
QCoro::Task<InstallSpace::Archive> beforeExtraction(Where where, InstallSpace::Archive measured, QString archivePath,
                                                    std::shared_ptr<std::atomic_bool> cancel);

}  // namespace InstallSpaceCheck
