#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>

// The CRC-32 a ZIP archive keeps for each entry, fed in pieces (libdeflate's,
// several times zlib's speed): the checksum an install records for each file
// it places and a verify compares.
class Crc32
{
public:
    void update(const char *data, std::size_t length);
    quint32 value() const { return m_value; }

    // Of a file read in large blocks; throws PlatformError(fileSystem).
    static quint32 ofFile(const QString &path);

private:
    quint32 m_value = 0;
};
