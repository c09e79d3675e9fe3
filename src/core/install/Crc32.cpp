#include "Crc32.h"

#include "errors/LauncherError.h"

#include <QByteArray>
#include <QFile>

#include <zlib.h>

void Crc32::update(const char *data, std::size_t length)
{
    // zlib answers a null buffer with the initial value, and readers hand out empty blocks as null.
    if (length == 0)
        return;
    m_value = quint32(crc32_z(m_value, reinterpret_cast<const Bytef *>(data), length));
}

quint32 Crc32::ofFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw PlatformError(PlatformError::Domain::fileSystem, file.errorString());
    Crc32 crc;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(buffer.data(), buffer.size());
        if (n < 0)
            throw PlatformError(PlatformError::Domain::fileSystem, file.errorString());
        if (n == 0)
            break;
        crc.update(buffer.constData(), std::size_t(n));
    }
    return crc.value();
}
