#include "Crc32.h"

#include "InstallFiles.h"

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
    Crc32 crc;
    InstallFiles::readInBlocks(path, [&crc](const char *data, std::size_t length) { crc.update(data, length); });
    return crc.value();
}
