#pragma once

#include <QString>

#include <memory>

// Serves the files of one folder over loopback HTTP from its own threads,
// with single ranges ("bytes=A-B", "bytes=A-", "bytes=-N"), If-Range against
// a fixed ETag, and, when asked, at a paced rate, as a link of that speed
// would deliver them.
class ReleaseServer
{
public:
    explicit ReleaseServer(const QString &folder);
    ~ReleaseServer();
    ReleaseServer(const ReleaseServer &) = delete;
    ReleaseServer &operator=(const ReleaseServer &) = delete;

    // http://127.0.0.1:<port>/<name>
    QString url(const QString &name) const;
    // Bytes per second from now on; 0: as fast as loopback goes.
    void setPace(qint64 bytesPerSecond);
    // Body bytes sent since the last call.
    qint64 takeSentBytes();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
