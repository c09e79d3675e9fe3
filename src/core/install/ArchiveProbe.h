#pragma once

#include "InstallSpace.h"

#include <QCoroTask>
#include <QUrl>
#include <atomic>
#include <memory>

class QNetworkAccessManager;

// What an archive will take before its body is fetched: a file's size and
// central directory read in place; over HTTP the archive's end asked for with
// "Range: bytes=-N", then the rest of the central directory if it starts
// earlier. A server that answers ranges with the whole file only tells its
// length: that answer is dropped at its headers. Never throws but for
// cancel (AppInstallerError(cancelled)): what cannot be learnt stays unknown,
// and the download that follows reports the server's faults.
namespace ArchiveProbe {

QCoro::Task<InstallSpace::Archive> measure(QNetworkAccessManager *session, QUrl url, int timeoutMs,
                                           std::shared_ptr<const std::atomic_bool> cancel = {});

}  // namespace ArchiveProbe
