#include "ArchiveProbe.h"

#include "ArchiveDownload.h"
#include "BlockingWork.h"
#include "log/Logging.h"
#include "net/OwnedReply.h"
#include "net/ReplyOrCancel.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace ArchiveProbe {
namespace {

// One answer to a range request.
struct Part {
    bool ranged = false;      // 206 with a readable Content-Range
    qint64 start = -1;        // of the bytes in body
    qint64 total = -1;        // the archive's length; -1 unknown
    QByteArray body;
    QByteArray etag;
    int status = 0;
    qint64 received = 0;  // body bytes read, of an answer stopped at its headers too
};

QCoro::Task<Part> fetchPart(QNetworkAccessManager *session, QUrl url, QByteArray range, QByteArray ifRange,
                            qint64 maximumBytes, int timeoutMs, std::shared_ptr<const std::atomic_bool> cancel)
{
    OwnedReply reply(ArchiveDownload::rangedGet(session, url, range, ifRange, timeoutMs));
    QNetworkReply *raw = reply.get();
    Part part;
    // Only a part is wanted: a whole answer (ranges not served) is dropped at its headers.
    QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, [raw, &part] {
        const int status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400)
            return;
        part.status = status;
        if (status == 200)
            part.total = ArchiveDownload::announcedLength(raw);
        if (const auto known = ArchiveDownload::contentRange(raw); status == 206 && known && known->second > known->first) {
            part.ranged = true;
            part.start = known->first;
            part.total = known->second;
            part.etag = raw->rawHeader("ETag").trimmed();
        } else {
            part.received += raw->bytesAvailable();
            raw->abort();
        }
    });
    QObject::connect(raw, &QIODevice::readyRead, raw, [raw, &part, maximumBytes] {
        const QByteArray chunk = raw->readAll();
        part.received += chunk.size();
        part.body += chunk;
        if (part.body.size() > maximumBytes) {
            part.ranged = false;
            raw->abort();
        }
    });
    QCoro::Task<bool> finishing = replyOrCancel(raw, cancel);
    if (co_await finishing)
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
    if (part.ranged && raw->error() == QNetworkReply::NoError) {
        const QByteArray rest = raw->readAll();
        part.received += rest.size();
        part.body += rest;
    } else {
        part.ranged = false;
    }
    co_return part;
}

QCoro::Task<InstallSpace::Archive> measureRemote(QNetworkAccessManager *session, QUrl url, int timeoutMs,
                                                 std::shared_ptr<const std::atomic_bool> cancel)
{
    using namespace ZipCentralDirectory;
    InstallSpace::Archive archive;
    QCoro::Task<Part> asking = fetchPart(session, url, "bytes=-" + QByteArray::number(endSearchBytes), {},
                                         endSearchBytes, timeoutMs, cancel);
    const Part tail = co_await asking;
    archive.archiveBytes = tail.total;
    archive.receivedBytes = tail.received;
    if (tail.status == 200 || tail.status == 206)
        archive.servesRanges = tail.status == 206;
    if (!tail.ranged || tail.start + tail.body.size() != tail.total)
        co_return archive;
    const std::optional<Location> location = locate(tail.body, tail.total);
    if (!location || location->size > maximumDirectoryBytes)
        co_return archive;
    QByteArray directory;
    if (location->offset >= tail.start) {
        directory = tail.body.mid(location->offset - tail.start, location->size);
    } else {
        // The directory starts before the tail: from it to the end, of the same file (the
        // open-ended form every server that serves ranges knows).
        const qint64 rest = tail.total - location->offset;
        QCoro::Task<Part> more = fetchPart(session, url, "bytes=" + QByteArray::number(location->offset) + '-',
                                           tail.etag, rest, timeoutMs, cancel);
        const Part fromDirectory = co_await more;
        archive.receivedBytes += fromDirectory.received;
        if (!fromDirectory.ranged || fromDirectory.start != location->offset || fromDirectory.total != tail.total
            || fromDirectory.body.size() != rest)
            co_return archive;
        directory = fromDirectory.body.left(location->size);
    }
    archive.contents = read(directory, *location);
    co_return archive;
}

}  // namespace

QCoro::Task<InstallSpace::Archive> measure(QNetworkAccessManager *session, QUrl url, int timeoutMs,
                                           std::shared_ptr<const std::atomic_bool> cancel)
{
    if (url.scheme() == QLatin1String("file")) {
        QCoro::Task<InstallSpace::Archive> reading = BlockingWork::run([path = url.toLocalFile()] {
            InstallSpace::Archive archive;
            const QFileInfo info(path);
            archive.archiveBytes = info.isFile() ? info.size() : -1;
            archive.contents = ZipCentralDirectory::readFile(path);
            return archive;
        });
        co_return co_await reading;
    }
    if (!session || !ArchiveDownload::isAllowedRemote(url))
        co_return InstallSpace::Archive{};
    QCoro::Task<InstallSpace::Archive> asking = measureRemote(session, url, timeoutMs, cancel);
    const InstallSpace::Archive archive = co_await asking;
    qCInfo(lcInstall) << "Archive measured:" << archive.archiveBytes << "bytes,"
                      << (archive.contents ? archive.contents->diskBytes : -1) << "bytes unpacked";
    co_return archive;
}

}  // namespace ArchiveProbe
