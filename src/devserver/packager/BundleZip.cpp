#include "BundleZip.h"

#include "SampleCatalog.h"

#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace {

// A fixed time stamp keeps archives of the same program byte-for-byte equal.
constexpr time_t kEntryTime = 1777766400;  // 2026-05-03T00:00:00Z

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

class Writer
{
public:
    explicit Writer(const QString &path) : m_archive(archive_write_new(), archive_write_free), m_path(path)
    {
        if (!m_archive || archive_write_set_format_zip(m_archive.get()) != ARCHIVE_OK
            || archive_write_zip_set_compression_deflate(m_archive.get()) != ARCHIVE_OK
            || archive_write_open_filename(m_archive.get(), QFile::encodeName(path).constData()) != ARCHIVE_OK)
            fail(QStringLiteral("cannot create"));
    }

    void directory(const QString &name)
    {
        Entry entry = header(name, AE_IFDIR, 0755, 0);
        if (archive_write_header(m_archive.get(), entry.get()) != ARCHIVE_OK)
            fail(QStringLiteral("cannot add ") + name);
    }

    void file(const QString &name, const QByteArray &data, int mode)
    {
        Entry entry = header(name, AE_IFREG, mode, data.size());
        if (archive_write_header(m_archive.get(), entry.get()) != ARCHIVE_OK
            || archive_write_data(m_archive.get(), data.constData(), size_t(data.size())) != data.size())
            fail(QStringLiteral("cannot add ") + name);
    }

    // Copies a file in blocks; a program can be large.
    void copy(const QString &name, const QString &source, int mode)
    {
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            throw PackagingError(QStringLiteral("cannot read %1: %2").arg(source, in.errorString()).toStdString());
        Entry entry = header(name, AE_IFREG, mode, in.size());
        if (archive_write_header(m_archive.get(), entry.get()) != ARCHIVE_OK)
            fail(QStringLiteral("cannot add ") + name);
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        qint64 read = 0;
        while ((read = in.read(buffer.data(), buffer.size())) > 0) {
            if (archive_write_data(m_archive.get(), buffer.constData(), size_t(read)) != read)
                fail(QStringLiteral("cannot write ") + name);
        }
        if (read < 0)
            throw PackagingError(QStringLiteral("cannot read %1: %2").arg(source, in.errorString()).toStdString());
    }

    void close()
    {
        if (archive_write_close(m_archive.get()) != ARCHIVE_OK)
            fail(QStringLiteral("cannot finish"));
    }

private:
    using Entry = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

    static Entry header(const QString &name, unsigned type, int mode, qint64 size)
    {
        Entry entry(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
        archive_entry_set_filetype(entry.get(), type);
        archive_entry_set_perm(entry.get(), mode);
        archive_entry_set_size(entry.get(), size);
        archive_entry_set_mtime(entry.get(), kEntryTime, 0);
        return entry;
    }

    [[noreturn]] void fail(const QString &what)
    {
        const char *reason = m_archive ? archive_error_string(m_archive.get()) : nullptr;
        throw PackagingError(QStringLiteral("%1 %2: %3")
                                 .arg(what, m_path, reason ? QString::fromUtf8(reason) : QStringLiteral("unknown error"))
                                 .toStdString());
    }

    std::unique_ptr<struct archive, decltype(&archive_write_free)> m_archive;
    QString m_path;
};

}  // namespace

namespace BundleZip {

QByteArray infoPlist(const SampleArchive &archive)
{
    QByteArray xml;
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    const auto add = [&xml](const char *key, const QString &value) {
        xml += "\t<key>" + QByteArray(key) + "</key>\n\t<string>" + escaped(value) + "</string>\n";
    };
    add("CFBundleExecutable", archive.executable);
    add("CFBundleIdentifier", archive.bundleId);
    add("CFBundleName", archive.appName);
    add("CFBundlePackageType", QStringLiteral("APPL"));
    add("CFBundleShortVersionString", archive.version);
    add("CFBundleVersion", archive.version);
    xml += "</dict>\n</plist>\n";
    return xml;
}

void write(const SampleArchive &archive, const QString &program, const QString &archivePath)
{
    const QString temporary = archivePath + QStringLiteral(".part");
    QFile::remove(temporary);
    try {
        Writer writer(temporary);
        const QString root = archive.bundleName + QLatin1Char('/');
        writer.directory(root);
        writer.directory(root + QStringLiteral("Contents/"));
        writer.file(root + QStringLiteral("Contents/Info.plist"), infoPlist(archive), 0644);
        writer.directory(root + QStringLiteral("Contents/MacOS/"));
        writer.copy(root + QStringLiteral("Contents/MacOS/") + archive.executable, program, 0755);
        writer.close();
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    QFile::remove(archivePath);
    if (!QFile::rename(temporary, archivePath)) {
        QFile::remove(temporary);
        throw PackagingError(QStringLiteral("cannot move %1 into place").arg(archivePath).toStdString());
    }
}

}  // namespace BundleZip
