#include "ArchiveDownload.h"

#include "AppInstaller.h"
#include "BlockingWork.h"
#include "InstallFaultPoint.h"
#include "Sha256Stream.h"

#include <QCoroNetworkReply>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <memory>

namespace ArchiveDownload {
namespace {

constexpr qint64 blockSize = 1 << 20;
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

// The body's length as the server announced it; -1 when unknown or encoded.
qint64 announcedLength(const QNetworkReply *reply)
{
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (!announced.isValid() || !(encoding.isEmpty() || encoding == "identity"))
        return -1;
    return announced.toLongLong();
}

// Receives the body: hashes it and writes it to the file in large blocks.
struct Sink {
    QFile file;
    Sha256Stream sha;
    QByteArray pending;
    qint64 received = 0;
    std::optional<PlatformError> writeError;
    bool refusedRedirect = false;
    DownloadProgress onProgress;

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
        InstallFaultPoint::reach("downloading");
        return true;
    }

    void take(QNetworkReply *reply)
    {
        if (writeError || refusedRedirect)
            return;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const int code = status.toInt();
        if (!status.isValid() || code < 200 || code > 299) {
            // A redirect's or an error page's body is not the archive.
            if (reply->isOpen() && reply->bytesAvailable() > 0)
                reply->skip(reply->bytesAvailable());
            return;
        }
        while (reply->bytesAvailable() > 0) {
            const qsizetype start = pending.size();
            pending.resize(start + qsizetype(qMin<qint64>(reply->bytesAvailable(), blockSize)));
            const qint64 n = reply->read(pending.data() + start, pending.size() - start);
            pending.resize(start + qsizetype(qMax<qint64>(0, n)));
            if (n <= 0)
                break;
            sha.update(pending.constData() + start, std::size_t(n));
            received += n;
            if (pending.size() >= blockSize && !flush()) {
                reply->abort();
                return;
            }
        }
        if (onProgress)
            onProgress(received, announcedLength(reply));
    }
};

struct ReplyDeleter {
    void operator()(QNetworkReply *reply) const
    {
        if (!reply)
            return;
        reply->disconnect();
        if (reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }
};

QNetworkAccessManager *fallbackSession()
{
    thread_local QNetworkAccessManager *session = nullptr;
    if (!session)
        session = new QNetworkAccessManager;
    return session;
}

}  // namespace

bool isLocalHTTP(const QUrl &url)
{
    if (url.scheme() != QLatin1String("http"))
        return false;
    const QString host = url.host().toLower();
    return host == QLatin1String("localhost") || host == QLatin1String("127.0.0.1") || host == QLatin1String("::1");
}

bool isAllowedRemote(const QUrl &url)
{
    return url.scheme() == QLatin1String("https") || isLocalHTTP(url);
}

QCoro::Task<DownloadedArchive> fetch(QNetworkAccessManager *session, QUrl url, QString destination, int timeoutMs,
                                     DownloadProgress onProgress, std::shared_ptr<const std::atomic_bool> cancel)
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
    sink->file.setFileName(destination);
    if (!sink->file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        throw fileError(QStringLiteral("Could not write"), destination, sink->file.errorString());

    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    // Every hop must pass the same scheme rule as the first URL.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    std::unique_ptr<QNetworkReply, ReplyDeleter> reply((session ? session : fallbackSession())->get(request));
    QNetworkReply *raw = reply.get();
    raw->setReadBufferSize(replyBufferSize);
    QObject::connect(raw, &QNetworkReply::redirected, raw, [raw, sink](const QUrl &target) {
        if (isAllowedRemote(target)) {
            Q_EMIT raw->redirectAllowed();
        } else {
            sink->refusedRedirect = true;
            raw->abort();
        }
    });
    QObject::connect(raw, &QIODevice::readyRead, raw, [raw, sink] { sink->take(raw); });
    // A stalled transfer must stop at once too, so the flag is watched, not only checked on data.
    bool cancelled = false;
    QTimer watch;
    if (cancel) {
        QObject::connect(&watch, &QTimer::timeout, raw, [raw, cancel, &cancelled] {
            if (cancel->load() && !cancelled) {
                cancelled = true;
                raw->abort();
            }
        });
        watch.start(50);
    }

    co_await raw;
    watch.stop();
    if (cancelled || (cancel && cancel->load()))
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
    sink->take(raw);
    sink->flush();

    if (sink->writeError)
        throw *sink->writeError;
    if (sink->refusedRedirect)
        throw AppInstallerError(AppInstallerError::Kind::unsupportedDownloadScheme);
    const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        throw AppInstallerError(AppInstallerError::Kind::downloadFailed);
    switch (raw->error()) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        // We abort only for the reasons handled above; this is the transfer timeout.
        throw PlatformError(PlatformError::Domain::network, QStringLiteral("The request timed out."),
                            int(QNetworkReply::TimeoutError));
    default:
        throw PlatformError(PlatformError::Domain::network, raw->errorString(), int(raw->error()));
    }
    if (!status.isValid())
        throw AppInstallerError(AppInstallerError::Kind::downloadFailed);

    const qint64 announced = announcedLength(raw);
    if (announced >= 0 && announced != sink->received) {
        throw PlatformError(PlatformError::Domain::network,
                            QStringLiteral("The connection closed before the whole download arrived (%1 of %2 bytes).")
                                .arg(sink->received)
                                .arg(announced),
                            int(QNetworkReply::RemoteHostClosedError));
    }
    sink->file.close();
    co_return DownloadedArchive{sink->sha.finishHex(), sink->received};
}

}  // namespace ArchiveDownload
