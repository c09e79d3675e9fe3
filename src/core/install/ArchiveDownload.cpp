#include "ArchiveDownload.h"

#include "AppInstaller.h"
#include "BlockingWork.h"
#include "GrowingArchive.h"
#include "Sha256Stream.h"
#include "faults/FaultPoint.h"

#include "log/Logging.h"
#include "net/OwnedReply.h"
#include "net/ReplyOrCancel.h"

#include <QCoroTimer>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <chrono>
#include <cerrno>
#include <cstring>
#include <memory>

namespace ArchiveDownload {
namespace {

constexpr qint64 blockSize = 1 << 20;
// Requests for the rest of a broken-off download, per install.
constexpr int maximumResumptions = 3;
// Qt stops reading from the socket once this much is waiting, which keeps
// memory flat when the disk is slower than the network.
constexpr qint64 replyBufferSize = 4 << 20;

PlatformError fileError(const QString &what, const QString &path, const QString &reason, int code = 0)
{
    return PlatformError(PlatformError::Domain::fileSystem,
                         QStringLiteral("%1 \"%2\": %3").arg(what, QFileInfo(path).fileName(), reason), code);
}

DownloadedArchive copyAndHash(const QString &source, const QString &destination, const std::atomic_bool *cancel)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw fileError(QStringLiteral("Could not read"), source, in.errorString());
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw fileError(QStringLiteral("Could not write"), destination, out.errorString());
    Sha256Stream sha;
    QByteArray buffer(blockSize, Qt::Uninitialized);
    DownloadedArchive result;
    for (;;) {
        if (cancel && cancel->load())
            throw AppInstallerError(AppInstallerError::Kind::cancelled);
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0)
            throw fileError(QStringLiteral("Could not read"), source, in.errorString());
        if (n == 0)
            break;
        sha.update(buffer.constData(), std::size_t(n));
        if (out.write(buffer.constData(), n) != n)
            throw fileError(QStringLiteral("Could not write"), destination, out.errorString());
        result.size += n;
    }
    if (!out.flush())
        throw fileError(QStringLiteral("Could not write"), destination, out.errorString());
    out.close();
    result.sha256Hex = sha.finishHex();
    return result;
}

bool isIdentityEncoded(const QNetworkReply *reply)
{
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    return encoding.isEmpty() || encoding == "identity";
}

// What If-Range may carry: a strong ETag, else Last-Modified.
QByteArray rangeValidator(const QNetworkReply *reply)
{
    const QByteArray etag = reply->rawHeader("ETag").trimmed();
    if (!etag.isEmpty() && !etag.startsWith("W/"))
        return etag;
    return reply->rawHeader("Last-Modified").trimmed();
}

PlatformError breakError(const QString &text, QNetworkReply::NetworkError code = QNetworkReply::RemoteHostClosedError)
{
    return PlatformError(PlatformError::Domain::network, text, int(code));
}

// Receives the archive over one or more requests: hashes it and writes it to
// the file in large blocks.
struct Sink {
    QFile file;
    std::unique_ptr<Sha256Stream> sha = std::make_unique<Sha256Stream>();
    QByteArray pending;
    qint64 received = 0;   // bytes of the archive so far, across requests
    qint64 total = -1;     // the archive's announced length; -1 unknown
    bool everReceived = false;
    QByteArray validator;  // of the last whole answer, for If-Range
    bool rangeable = true; // identity-encoded: received counts the file's own bytes
    std::optional<PlatformError> writeError;
    DownloadProgress onProgress;
    std::shared_ptr<GrowingArchive> growing;

    // The request under way.
    qint64 offset = 0;     // its Range start (0: the whole file)
    bool answered = false; // its answer was looked at
    bool misplaced = false;
    bool refusedRedirect = false;

    void beginRequest(qint64 from)
    {
        offset = from;
        answered = misplaced = refusedRedirect = false;
    }

    void restartFromZero()
    {
        pending.clear();
        received = 0;
        total = -1;
        sha = std::make_unique<Sha256Stream>();
        if (!file.resize(0) || !file.seek(0))
            writeError = fileError(QStringLiteral("Could not write"), file.fileName(), file.errorString());
        if (growing)
            growing->restarted();
    }

    bool flush()
    {
        if (pending.isEmpty() || writeError)
            return !writeError;
        if (file.write(pending) != pending.size()) {
            // QFile loses the reason of an unbuffered write ("Unknown error"); errno still has it.
            const int error = errno;
            writeError = fileError(QStringLiteral("Could not write"), file.fileName(),
                                   error ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString(), error);
            return false;
        }
        pending.clear();
        if (growing)
            growing->written(received);
        FaultPoint::reach("downloading");
        return true;
    }

    // A resumed request continues the file only when the answer is the part
    // from offset; a whole answer replaces what came before.
    bool accept(QNetworkReply *reply, int code)
    {
        answered = true;
        if (offset > 0 && code == 206) {
            const auto range = contentRange(reply);
            if (!range || range->first != offset) {
                misplaced = true;
                return false;
            }
            const qint64 length = announcedLength(reply);
            total = range->second >= 0 ? range->second : length >= 0 ? offset + length : -1;
            return true;
        }
        if (offset > 0)
            restartFromZero();
        total = announcedLength(reply);
        validator = rangeValidator(reply);
        rangeable = isIdentityEncoded(reply);
        return !writeError;
    }

    void take(QNetworkReply *reply)
    {
        if (writeError || refusedRedirect || misplaced)
            return;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const int code = status.toInt();
        if (!status.isValid() || code < 200 || code > 299) {
            // A redirect's or an error page's body is not the archive.
            if (reply->isOpen() && reply->bytesAvailable() > 0)
                reply->skip(reply->bytesAvailable());
            return;
        }
        if (!answered && !accept(reply, code)) {
            reply->abort();
            return;
        }
        while (reply->bytesAvailable() > 0) {
            const qsizetype start = pending.size();
            pending.resize(start + qsizetype(qMin<qint64>(reply->bytesAvailable(), blockSize)));
            const qint64 n = reply->read(pending.data() + start, pending.size() - start);
            pending.resize(start + qsizetype(qMax<qint64>(0, n)));
            if (n <= 0)
                break;
            sha->update(pending.constData() + start, std::size_t(n));
            received += n;
            everReceived = true;
            if (pending.size() >= blockSize && !flush()) {
                reply->abort();
                return;
            }
        }
        if (onProgress)
            onProgress(received, total);
    }
};

QNetworkAccessManager *fallbackSession()
{
    thread_local QNetworkAccessManager *session = nullptr;
    if (!session)
        session = new QNetworkAccessManager;
    return session;
}

// Transport failures after which the same request may well succeed.
bool isBreak(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyTimeoutError:
        return true;
    default:
        return false;
    }
}

// One request for the archive from sink->offset on. Nothing when the file is
// complete; the error when the transfer broke off (or must start again from
// zero) and may be asked for again; throws when asking again cannot help.
QCoro::Task<std::optional<PlatformError>> transfer(QNetworkAccessManager *session, QUrl url, int timeoutMs,
                                                   std::shared_ptr<Sink> sink,
                                                   std::shared_ptr<const std::atomic_bool> cancel,
                                                   std::shared_ptr<const std::atomic_bool> stop)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    // Every hop must pass the same scheme rule as the first URL.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    if (sink->offset > 0) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(sink->offset) + '-');
        // A file that changed meanwhile comes back whole instead of spliced.
        if (!sink->validator.isEmpty())
            request.setRawHeader("If-Range", sink->validator);
    }
    OwnedReply reply((session ? session : fallbackSession())->get(request));
    QNetworkReply *raw = reply.get();
    raw->setReadBufferSize(replyBufferSize);
    // Once on HTTPS, never down to plain HTTP, not even to loopback.
    const bool secure = url.scheme() == QLatin1String("https");
    QObject::connect(raw, &QNetworkReply::redirected, raw, [raw, sink, secure](const QUrl &target) {
        if (isAllowedRemote(target) && (!secure || target.scheme() == QLatin1String("https"))) {
            Q_EMIT raw->redirectAllowed();
        } else {
            sink->refusedRedirect = true;
            raw->abort();
        }
    });
    QObject::connect(raw, &QIODevice::readyRead, raw, [raw, sink] { sink->take(raw); });
    QCoro::Task<bool> finishing = replyOrCancel(raw, cancel, stop);
    if (co_await finishing)
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
    sink->take(raw);
    sink->flush();

    if (sink->writeError)
        throw *sink->writeError;
    if (sink->refusedRedirect)
        throw AppInstallerError(AppInstallerError::Kind::unsupportedDownloadScheme);
    const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // The part asked for is not there (or not where asked): start again from zero.
    if (sink->misplaced || (sink->offset > 0 && status.toInt() == 416)) {
        sink->restartFromZero();
        if (sink->writeError)
            throw *sink->writeError;
        co_return breakError(QStringLiteral("The server could not resume the download."));
    }
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        throw AppInstallerError(AppInstallerError::Kind::downloadFailed);
    switch (raw->error()) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        // We abort only for the reasons handled above; this is the transfer timeout.
        co_return breakError(QStringLiteral("The request timed out."), QNetworkReply::TimeoutError);
    case QNetworkReply::SslHandshakeFailedError:
        // A certificate the system does not trust for this host: the archive cannot be had from here.
        qCWarning(lcInstall) << "Refused the archive server's certificate:" << raw->errorString();
        throw AppInstallerError(AppInstallerError::Kind::downloadFailed);
    default:
        if (isBreak(raw->error()))
            co_return breakError(raw->errorString(), raw->error());
        throw PlatformError(PlatformError::Domain::network, raw->errorString(), int(raw->error()));
    }
    if (!status.isValid())
        throw AppInstallerError(AppInstallerError::Kind::downloadFailed);
    if (sink->total >= 0 && sink->total != sink->received) {
        co_return breakError(QStringLiteral("The connection closed before the whole download arrived (%1 of %2 bytes).")
                                 .arg(sink->received)
                                 .arg(sink->total));
    }
    co_return std::nullopt;
}

// Before resumption n (from 1): a short pause that grows, a twentieth of the
// stall timeout at most, cut short by cancel or stop.
QCoro::Task<void> pause(int n, int timeoutMs, std::shared_ptr<const std::atomic_bool> cancel,
                        std::shared_ptr<const std::atomic_bool> stop)
{
    const auto length = std::chrono::milliseconds(qMin(500 << (n - 1), qMax(timeoutMs / 20, 10)));
    const auto end = std::chrono::steady_clock::now() + length;
    const auto stopped = [&] { return (cancel && cancel->load()) || (stop && stop->load()); };
    while (std::chrono::steady_clock::now() < end) {
        if (stopped())
            throw AppInstallerError(AppInstallerError::Kind::cancelled);
        QCoro::Task<> slice = QCoro::sleepFor(std::chrono::milliseconds(20));
        co_await slice;
    }
    if (stopped())
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
}

}  // namespace

// The body's length as the server announced it; -1 when unknown or encoded.
qint64 announcedLength(const QNetworkReply *reply)
{
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (!announced.isValid() || !isIdentityEncoded(reply))
        return -1;
    return announced.toLongLong();
}

// START and TOTAL of "bytes START-END/TOTAL" (TOTAL -1 for "*"); nullopt when malformed.
std::optional<std::pair<qint64, qint64>> contentRange(const QNetworkReply *reply)
{
    const QByteArray value = reply->rawHeader("Content-Range").trimmed();
    if (!value.startsWith("bytes "))
        return std::nullopt;
    const qsizetype dash = value.indexOf('-');
    const qsizetype slash = value.indexOf('/');
    bool startOk = false, totalOk = false;
    const qint64 start = dash > 6 ? value.mid(6, dash - 6).trimmed().toLongLong(&startOk) : -1;
    const QByteArray totalText = slash > dash ? value.mid(slash + 1).trimmed() : QByteArray();
    const qint64 total = totalText == "*" ? -1 : totalText.toLongLong(&totalOk);
    if (!startOk || (!totalOk && total != -1))
        return std::nullopt;
    return std::pair{start, total};
}

bool isLocalHTTP(const QUrl &url)
{
    if (url.scheme() != QLatin1String("http"))
        return false;
    const QString host = url.host().toLower();
    return host == QLatin1String("localhost") || host == QLatin1String("127.0.0.1") || host == QLatin1String("::1");
}

QNetworkReply *rangedGet(QNetworkAccessManager *session, const QUrl &url, const QByteArray &range,
                         const QByteArray &ifRange, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setRawHeader("Range", range);
    if (!ifRange.isEmpty())
        request.setRawHeader("If-Range", ifRange);
    QNetworkReply *reply = session->get(request);
    const bool secure = url.scheme() == QLatin1String("https");
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, secure](const QUrl &target) {
        if (isAllowedRemote(target) && (!secure || target.scheme() == QLatin1String("https")))
            Q_EMIT reply->redirectAllowed();
        else
            reply->abort();
    });
    return reply;
}

bool isAllowedRemote(const QUrl &url)
{
    return url.scheme() == QLatin1String("https") || isLocalHTTP(url);
}

QCoro::Task<DownloadedArchive> fetch(QNetworkAccessManager *session, QUrl url, QString destination, int timeoutMs,
                                     DownloadProgress onProgress, std::shared_ptr<const std::atomic_bool> cancel,
                                     std::shared_ptr<GrowingArchive> growing)
{
    if (url.scheme() == QLatin1String("file")) {
        // Closures are never temporaries inside co_await (GCC 12 destroys them twice).
        QCoro::Task<DownloadedArchive> copy
            = BlockingWork::run([source = url.toLocalFile(), destination, cancel] {
                  return copyAndHash(source, destination, cancel.get());
              });
        const DownloadedArchive copied = co_await copy;
        co_return copied;
    }
    if (!isAllowedRemote(url))
        throw AppInstallerError(AppInstallerError::Kind::unsupportedDownloadScheme);

    auto sink = std::make_shared<Sink>();
    sink->onProgress = std::move(onProgress);
    sink->growing = growing;
    const std::shared_ptr<const std::atomic_bool> stop = growing ? growing->stopFlag() : nullptr;
    sink->file.setFileName(destination);
    if (!sink->file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw fileError(QStringLiteral("Could not write"), destination, sink->file.errorString());

    for (int resumptions = 0;; ++resumptions) {
        if (!sink->rangeable && sink->received > 0)
            sink->restartFromZero();
        sink->beginRequest(sink->received);
        QCoro::Task<std::optional<PlatformError>> request = transfer(session, url, timeoutMs, sink, cancel, stop);
        const std::optional<PlatformError> broken = co_await request;
        if (!broken)
            break;
        // Nothing arrived yet: the server is not there, nothing to resume.
        if (!sink->everReceived)
            throw *broken;
        qCInfo(lcInstall) << "Download broke off after" << sink->received << "bytes:" << broken->localizedDescription();
        if (resumptions == maximumResumptions)
            throw AppInstallerError(AppInstallerError::Kind::downloadFailed);
        QCoro::Task<void> waiting = pause(resumptions + 1, timeoutMs, cancel, stop);
        co_await waiting;
    }
    sink->file.close();
    co_return DownloadedArchive{sink->sha->finishHex(), sink->received};
}

}  // namespace ArchiveDownload
