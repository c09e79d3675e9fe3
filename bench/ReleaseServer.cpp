#include "ReleaseServer.h"

#include <QDir>
#include <QFile>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

struct ReleaseServer::Impl {
    httplib::Server server;
    std::thread thread;
    QString folder;
    int port = 0;
    std::atomic<qint64> pace{0};
    std::atomic<qint64> sent{0};
};

namespace {

const std::string etag = "\"bench-release\"";

// The part asked for, when the request asks for one of the current file.
std::optional<std::pair<qint64, qint64>> requestedRange(const httplib::Request &req, qint64 size)
{
    if (!req.has_header("Range") || (req.has_header("If-Range") && req.get_header_value("If-Range") != etag))
        return std::nullopt;
    const QString range = QString::fromStdString(req.get_header_value("Range"));
    if (!range.startsWith(QLatin1String("bytes=")) || range.contains(QLatin1Char(',')))
        return std::nullopt;
    const QString first = range.mid(6).section(QLatin1Char('-'), 0, 0);
    const QString last = range.mid(6).section(QLatin1Char('-'), 1);
    if (first.isEmpty())
        return std::pair<qint64, qint64>{qMax<qint64>(0, size - last.toLongLong()), size - 1};
    return std::pair<qint64, qint64>{first.toLongLong(), last.isEmpty() ? size - 1 : qMin(last.toLongLong(), size - 1)};
}

}  // namespace

ReleaseServer::ReleaseServer(const QString &folder)
    : d(std::make_unique<Impl>())
{
    d->folder = folder;
    Impl *impl = d.get();
    // Range handling is the server's own, so the library must not cut the body again.
    d->server.Get(R"(/([^/]+))", [impl](const httplib::Request &req, httplib::Response &res) {
        auto file = std::make_shared<QFile>(QDir(impl->folder).filePath(QString::fromStdString(req.matches[1])));
        if (!file->open(QIODevice::ReadOnly)) {
            res.status = 404;
            return;
        }
        const qint64 size = file->size();
        const auto range = requestedRange(req, size);
        const_cast<httplib::Request &>(req).ranges.clear();
        const qint64 from = range ? range->first : 0;
        const qint64 to = range ? range->second : size - 1;
        res.set_header("ETag", etag);
        res.set_header("Accept-Ranges", "bytes");
        if (range) {
            res.status = 206;
            res.set_header("Content-Range", "bytes " + std::to_string(from) + '-' + std::to_string(to) + '/' + std::to_string(size));
        }
        res.set_content_provider(size_t(to - from + 1), "application/octet-stream",
                                 [impl, file, from](size_t offset, size_t length, httplib::DataSink &sink) {
                                     const qint64 pace = impl->pace.load();
                                     const size_t block = pace > 0 ? size_t(qMax<qint64>(pace / 100, 1024)) : size_t(1) << 20;
                                     file->seek(from + qint64(offset));
                                     const QByteArray bytes = file->read(qint64(std::min(length, block)));
                                     if (pace > 0)
                                         std::this_thread::sleep_for(std::chrono::microseconds(bytes.size() * 1000000 / pace));
                                     impl->sent += bytes.size();
                                     return !bytes.isEmpty() && sink.write(bytes.constData(), size_t(bytes.size()));
                                 });
    });
    d->port = d->server.bind_to_any_port("127.0.0.1");
    if (d->port <= 0)
        throw std::runtime_error("cannot listen on loopback");
    d->thread = std::thread([impl] { impl->server.listen_after_bind(); });
    while (!d->server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

ReleaseServer::~ReleaseServer()
{
    d->server.stop();
    if (d->thread.joinable())
        d->thread.join();
}

QString ReleaseServer::url(const QString &name) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(d->port).arg(name);
}

void ReleaseServer::setPace(qint64 bytesPerSecond)
{
    d->pace = bytesPerSecond;
}

qint64 ReleaseServer::takeSentBytes()
{
    return d->sent.exchange(0);
}
