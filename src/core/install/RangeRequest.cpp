#include "RangeRequest.h"

#include "AppInstallerError.h"
#include "ArchiveDownload.h"
#include "net/OwnedReply.h"
#include "net/ReplyOrCancel.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace RangeRequest {
namespace {

// Receives the part; set by the reply's signals.
struct Receipt {
    QFile file;
    qint64 written = 0;
    qint64 received = 0;  // of answers not taken
    bool failed = false;
    Answer answer;
    bool judged = false;
};

// What an answer's headers make of it: the part asked for, or why not.
Answer judged(QNetworkReply *raw, int status, qint64 first, qint64 last, qint64 archiveSize, const QByteArray &ifRange)
{
    Answer answer;
    answer.etag = raw->rawHeader("ETag").trimmed();
    const auto range = ArchiveDownload::contentRange(raw);
    const QByteArray encoding = raw->rawHeader("Content-Encoding").trimmed().toLower();
    if (status == 200) {
        answer.outcome = Answer::Outcome::whole;
        answer.why = ifRange.isEmpty() ? QStringLiteral("the server ignores Range requests")
                                       : QStringLiteral("the archive changed on the server (If-Range)");
    } else if (status != 206 || !range) {
        answer.outcome = Answer::Outcome::broken;
        answer.why = QStringLiteral("the server answered a range request with status %1").arg(status);
    } else if (range->second != archiveSize || (!ifRange.isEmpty() && answer.etag != ifRange)) {
        answer.outcome = Answer::Outcome::changed;
        answer.why = QStringLiteral("the archive on the server is not the one the list describes");
    } else if (range->first != first || ArchiveDownload::announcedLength(raw) != last - first + 1
               || !(encoding.isEmpty() || encoding == "identity")) {
        answer.outcome = Answer::Outcome::refused;
        answer.why = QStringLiteral("the server answered another range than asked for");
    } else {
        answer.outcome = Answer::Outcome::part;
    }
    return answer;
}

}  // namespace

QCoro::Task<Answer> fetch(QNetworkAccessManager *session, QUrl url, qint64 first, qint64 last, qint64 archiveSize,
                          QByteArray ifRange, QString destination, int timeoutMs,
                          std::shared_ptr<const std::atomic_bool> cancel, std::function<void(qint64)> onBytes)
{
    auto receipt = std::make_shared<Receipt>();
    receipt->file.setFileName(destination);
    if (!receipt->file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw PlatformError(PlatformError::Domain::fileSystem, receipt->file.errorString());

    const QByteArray range = "bytes=" + QByteArray::number(first) + '-' + QByteArray::number(last);
    OwnedReply reply(ArchiveDownload::rangedGet(session, url, range, ifRange, timeoutMs));
    QNetworkReply *raw = reply.get();
    // The answer is judged at its headers: only the exact part is read.
    QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, [raw, receipt, first, last, archiveSize, ifRange] {
        const int status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400)
            return;
        receipt->judged = true;
        receipt->answer = judged(raw, status, first, last, archiveSize, ifRange);
        if (receipt->answer.outcome == Answer::Outcome::part)
            return;
        // Stopped at its headers: what came with them is all that is read.
        receipt->received += raw->bytesAvailable();
        raw->abort();
    });
    QObject::connect(raw, &QIODevice::readyRead, raw, [raw, receipt, onBytes] {
        if (!receipt->judged || receipt->answer.outcome != Answer::Outcome::part) {
            // What came with the headers of an answer stopped there still came.
            receipt->received += raw->bytesAvailable();
            raw->skip(raw->bytesAvailable());
            return;
        }
        const QByteArray chunk = raw->readAll();
        if (receipt->file.write(chunk) != chunk.size()) {
            receipt->failed = true;
            raw->abort();
            return;
        }
        receipt->written += chunk.size();
        if (onBytes)
            onBytes(receipt->written);
    });
    QCoro::Task<bool> finishing = replyOrCancel(raw, cancel);
    if (co_await finishing)
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
    if (receipt->failed)
        throw PlatformError(PlatformError::Domain::fileSystem, receipt->file.errorString());
    Answer answer = receipt->answer;
    if (!receipt->judged) {
        answer.outcome = Answer::Outcome::broken;
        answer.why = raw->errorString();
    } else if (answer.outcome == Answer::Outcome::part) {
        const QByteArray rest = raw->readAll();
        if (receipt->file.write(rest) != rest.size())
            throw PlatformError(PlatformError::Domain::fileSystem, receipt->file.errorString());
        receipt->written += rest.size();
        if (raw->error() != QNetworkReply::NoError || receipt->written != last - first + 1) {
            answer.outcome = Answer::Outcome::broken;
            answer.why = QStringLiteral("the part ended after %1 of %2 bytes").arg(receipt->written).arg(last - first + 1);
        }
    }
    receipt->file.close();
    answer.received = receipt->written + receipt->received;
    co_return answer;
}

}  // namespace RangeRequest
