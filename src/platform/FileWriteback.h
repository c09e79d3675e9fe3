#pragma once

#include <QByteArray>

#include <fcntl.h>
#include <unistd.h>

// Starts writing a finished file to disk without waiting, so the flush
// before the swap finds little left to do while extraction goes on.
inline void startWriteback(const QByteArray &path)
{
#ifdef __linux__
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) {
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}
