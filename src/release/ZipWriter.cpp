#include "ZipWriter.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

#include <clocale>
#include <locale.h>
#include <memory>

ZipWriter::ZipWriter() : m_archive(archive_write_new())
{
    archive_write_set_format_zip(m_archive);
    archive_write_zip_set_compression_deflate(m_archive);
    // No padding after the last byte of the archive.
    archive_write_set_bytes_in_last_block(m_archive, 1);
}

ZipWriter::~ZipWriter()
{
    archive_write_free(m_archive);
}

bool ZipWriter::openFile(const QString &path)
{
    return open(archive_write_open_filename(m_archive, QFile::encodeName(path).constData()));
}

bool ZipWriter::openBuffer(QByteArray *bytes)
{
    const auto append = [](struct archive *, void *data, const void *buffer, size_t length) -> la_ssize_t {
        static_cast<QByteArray *>(data)->append(static_cast<const char *>(buffer), qsizetype(length));
        return la_ssize_t(length);
    };
    return open(archive_write_open(m_archive, bytes, nullptr, append, nullptr));
}

bool ZipWriter::open(int status)
{
    return status == ARCHIVE_OK || fail("cannot create the archive");
}

bool ZipWriter::setCompression(Compression compression)
{
    const int status = compression == Compression::store ? archive_write_zip_set_compression_store(m_archive)
                                                         : archive_write_zip_set_compression_deflate(m_archive);
    return status == ARCHIVE_OK || fail("cannot set the compression");
}

bool ZipWriter::forceZip64()
{
    return archive_write_set_format_option(m_archive, "zip", "zip64", "1") == ARCHIVE_OK
        || fail("cannot set the Zip64 option");
}

bool ZipWriter::addFile(const QByteArray &name, const QByteArray &content, int mode)
{
    return beginFile(name, content.size(), mode) && (content.isEmpty() || writeData(content.constData(), content.size()));
}

bool ZipWriter::beginFile(const QByteArray &name, qint64 size, int mode)
{
    return addEntry(name, AE_IFREG, mode, size);
}

bool ZipWriter::writeData(const char *data, qint64 size)
{
    return archive_write_data(m_archive, data, size_t(size)) == size || fail("cannot write data");
}

bool ZipWriter::addDirectory(const QByteArray &name, int mode)
{
    return addEntry(name.endsWith('/') ? name : name + '/', AE_IFDIR, mode, 0);
}

bool ZipWriter::addSymlink(const QByteArray &name, const QByteArray &target, int mode)
{
    return addEntry(name, AE_IFLNK, mode, 0, target);
}

bool ZipWriter::addEntry(const QByteArray &name, unsigned type, int mode, qint64 size, const QByteArray &symlink)
{
    const std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname(entry.get(), name.constData());
    archive_entry_set_filetype(entry.get(), type);
    archive_entry_set_perm(entry.get(), mode_t(mode));
    archive_entry_set_size(entry.get(), size);
    archive_entry_set_mtime(entry.get(), time_t(entryTime), 0);
    if (type == AE_IFLNK)
        archive_entry_set_symlink(entry.get(), symlink.constData());
    // libarchive flags non-ASCII names as UTF-8 exactly when the locale's
    // character set is UTF-8; the locale of this thread decides, for this call only.
    const locale_t names = newlocale(LC_CTYPE_MASK, m_utf8Flag ? "C.UTF-8" : "C", locale_t(nullptr));
    const locale_t previous = names ? uselocale(names) : locale_t(nullptr);
    const int status = archive_write_header(m_archive, entry.get());
    if (names) {
        uselocale(previous);
        freelocale(names);
    }
    return status == ARCHIVE_OK || fail("cannot add an entry");
}

bool ZipWriter::close()
{
    return archive_write_close(m_archive) == ARCHIVE_OK || fail("cannot finish the archive");
}

bool ZipWriter::fail(const char *what)
{
    const char *reason = archive_error_string(m_archive);
    m_error = QString::fromLatin1(what) + QStringLiteral(": ")
        + (reason ? QString::fromUtf8(reason) : QStringLiteral("unknown error"));
    return false;
}
