#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>

class QNetworkAccessManager;

// One "Range: bytes=FIRST-LAST" request for part of an archive, its body
// written to a file. Only the exact part of a file of the expected length
// is taken; anything else is stopped at its headers and said why.
namespace RangeRequest {

struct Answer {
    enum class Outcome {
        part,       // the bytes asked for, whole, in the file
        whole,      // the server answered with the whole file (no ranges, or If-Range said it changed)
        changed,    // another length or ETag than before: the archive was replaced
        broken,     // the transfer failed or ended early
        refused,    // a part of another place or length than asked for: asking again cannot help
    };
    Outcome outcome = Outcome::broken;
    QByteArray etag;  // of the part's answer
    QString why;      // for the log
    qint64 received = 0;  // body bytes that came in, whatever the outcome
};

// ifRange: the ETag the archive had so far (empty at first); the answer
// must carry the same one. cancel stops the transfer with
// AppInstallerError(cancelled). onBytes hears the bytes of this request so far.
QCoro::Task<Answer> fetch(QNetworkAccessManager *session, QUrl url, qint64 first, qint64 last, qint64 archiveSize,
                          QByteArray ifRange, QString destination, int timeoutMs,
                          std::shared_ptr<const std::atomic_bool> cancel, std::function<void(qint64)> onBytes = {});

}  // namespace RangeRequest
