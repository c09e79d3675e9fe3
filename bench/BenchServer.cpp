#include "BenchServer.h"

#include <QFile>
#include <QFileInfo>

#include <httplib.h>

#include <chrono>
#include <fcntl.h>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

struct BenchServer::Impl {
    httplib::Server server;
    std::thread thread;
    const char *data = nullptr;
    size_t size = 0;
    int port = 0;
    QString name;
};

BenchServer::BenchServer(const QString &filePath)
    : d(std::make_unique<Impl>())
{
    const int fd = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        throw std::runtime_error("cannot open the archive to serve");
    d->size = size_t(st.st_size);
    void *map = ::mmap(nullptr, d->size, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        throw std::runtime_error("cannot map the archive to serve");
    d->data = static_cast<const char *>(map);
    d->name = QFileInfo(filePath).fileName();

    Impl *impl = d.get();
    d->server.Get("/" + d->name.toStdString(), [impl](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(impl->size, "application/zip",
                                 [impl](size_t offset, size_t length, httplib::DataSink &sink) {
                                     const size_t n = std::min<size_t>(length, 4 << 20);
                                     return sink.write(impl->data + offset, n);
                                 });
    });
    d->port = d->server.bind_to_any_port("127.0.0.1");
    if (d->port <= 0)
        throw std::runtime_error("cannot listen on loopback");
    d->thread = std::thread([impl] { impl->server.listen_after_bind(); });
    while (!d->server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

BenchServer::~BenchServer()
{
    d->server.stop();
    if (d->thread.joinable())
        d->thread.join();
    ::munmap(const_cast<char *>(d->data), d->size);
}

QString BenchServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(d->port).arg(d->name);
}
