#include "Crc32.h"

#include "InstallFiles.h"

#include <libdeflate.h>

void Crc32::update(const char *data, std::size_t length)
{
    // Readers hand out empty blocks as null.
    if (length == 0)
        return;
    m_value = quint32(libdeflate_crc32(m_value, data, length));
}

quint32 Crc32::ofFile(const QString &path)
{
    Crc32 crc;
    InstallFiles::readInBlocks(path, [&crc](const char *data, std::size_t length) { crc.update(data, length); });
    return crc.value();
}
