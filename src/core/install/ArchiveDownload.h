#pragma once

#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class GrowingArchive;
class QNetworkAccessManager;

// What arrived: the lower-case SHA-256 of the bytes written and their count.
struct DownloadedArchive {
    QString sha256Hex;
    qint64 size = 0;
};

class QNetworkReply;

namespace ArchiveDownload {

// "https", or "http" to one of the loopback hosts.
bool isAllowedRemote(const QUrl &url);
bool isLocalHTTP(const QUrl &url);

// The body's length as the server announced it; -1 when unknown or encoded.
qint64 announcedLength(const QNetworkReply *reply);
// START and TOTAL of "bytes START-END/TOTAL" (TOTAL -1 for "*"); nullopt when malformed.
std::optional<std::pair<qint64, qint64>> contentRange(const QNetworkReply *reply);

// GET of one part of url ("Range: <range>", If-Range when given), following
// redirects only to allowed URLs and never from HTTPS down to HTTP; a refused
// redirect aborts the reply. The caller owns the reply.
QNetworkReply *rangedGet(QNetworkAccessManager *session, const QUrl &url, const QByteArray &range,
                         const QByteArray &ifRange, int timeoutMs);

// Fetches url into the file at destination, computing the SHA-256 while the
// bytes arrive; memory use does not depend on the archive's size. A file URL
// is copied (off the main thread). Redirects are followed only to allowed
// URLs. A transfer that breaks off (closed early, reset, no data for
// timeoutMs) after some bytes arrived is resumed up to three times, each after
// a short pause: "Range: bytes=N-" with If-Range, appending to the file and
// continuing the hash; an answer that is not the part from N starts the file
// again from zero. Throws AppInstallerError (unsupportedDownloadScheme;
// downloadFailed: a refused status, or still broken after the last
// resumption) and PlatformError (network: transport failures before any byte
// arrived, a timeout after timeoutMs without data; fileSystem: writing).
// onProgress, when set, hears the bytes received so far and the announced
// length (-1 when the server sends none) as they arrive. Setting cancel stops
// the transfer at once with AppInstallerError(cancelled). growing, when set,
// hears how far the file is written and when it starts again from zero
// (never whether it is complete: that is the caller's word), and its stop
// flag stops the transfer as cancel does.
using DownloadProgress = std::function<void(qint64 received, qint64 total)>;
QCoro::Task<DownloadedArchive> fetch(QNetworkAccessManager *session, QUrl url, QString destination, int timeoutMs,
                                     DownloadProgress onProgress = {},
                                     std::shared_ptr<const std::atomic_bool> cancel = {},
                                     std::shared_ptr<GrowingArchive> growing = {});

}  // namespace ArchiveDownload
