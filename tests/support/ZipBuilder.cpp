#include "ZipBuilder.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>
#include <openssl/evp.h>

#include <memory>
#include <sys/stat.h>

namespace {

struct ArchiveWriterDeleter {
    void operator()(struct archive *a) const { archive_write_free(a); }
};
struct EntryDeleter {
    void operator()(archive_entry *e) const { archive_entry_free(e); }
};

QString xmlEscaped(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    out.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    out.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return out;
}

void appendBigEndian(QByteArray &out, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xff));
}

int bytesFor(quint64 value)
{
    if (value < 0x100)
        return 1;
    if (value < 0x10000)
        return 2;
    if (value < 0x100000000ull)
        return 4;
    return 8;
}

// Object header of a binary plist: 4-bit type, 4-bit length or 0xF + int.
void appendMarker(QByteArray &out, quint8 type, quint64 length)
{
    if (length < 15) {
        out.append(char((type << 4) | length));
        return;
    }
    out.append(char((type << 4) | 0x0f));
    const int n = bytesFor(length);
    const int power = n == 1 ? 0 : n == 2 ? 1 : n == 4 ? 2 : 3;
    out.append(char(0x10 | power));
    appendBigEndian(out, length, n);
}

void appendString(QByteArray &out, const QString &text)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        appendMarker(out, 0x5, quint64(text.size()));
        out.append(text.toLatin1());
        return;
    }
    appendMarker(out, 0x6, quint64(text.size()));
    for (QChar c : text)
        appendBigEndian(out, c.unicode(), 2);
}

QByteArray binaryPlist(const QMap<QString, QString> &keys)
{
    // Object 0 is the dictionary, then the keys, then the values.
    const quint64 count = quint64(keys.size());
    const quint64 objects = 1 + 2 * count;
    const int refSize = bytesFor(objects);
    QByteArray out("bplist00");
    QList<quint64> offsets;
    offsets.append(quint64(out.size()));
    appendMarker(out, 0xD, count);
    for (quint64 i = 0; i < count; ++i)
        appendBigEndian(out, 1 + i, refSize);
    for (quint64 i = 0; i < count; ++i)
        appendBigEndian(out, 1 + count + i, refSize);
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        offsets.append(quint64(out.size()));
        appendString(out, it.key());
    }
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        offsets.append(quint64(out.size()));
        appendString(out, it.value());
    }
    const quint64 tableOffset = quint64(out.size());
    const int offsetSize = bytesFor(tableOffset);
    for (quint64 offset : offsets)
        appendBigEndian(out, offset, offsetSize);
    out.append(QByteArray(6, '\0'));
    out.append(char(offsetSize));
    out.append(char(refSize));
    appendBigEndian(out, objects, 8);
    appendBigEndian(out, 0, 8);
    appendBigEndian(out, tableOffset, 8);
    return out;
}

QString hexOf(const unsigned char *digest, unsigned int length)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

}  // namespace

ZipBuilder &ZipBuilder::addFile(const QString &name, const QByteArray &content, int mode)
{
    m_entries.append(Entry{Kind::file, name, content, mode});
    return *this;
}

ZipBuilder &ZipBuilder::addExecutable(const QString &name, const QByteArray &content)
{
    return addFile(name, content, 0755);
}

ZipBuilder &ZipBuilder::addDirectory(const QString &name, int mode)
{
    m_entries.append(Entry{Kind::directory, name, {}, mode});
    return *this;
}

ZipBuilder &ZipBuilder::addSymlink(const QString &name, const QString &target)
{
    m_entries.append(Entry{Kind::symlink, name, target.toUtf8(), 0777});
    return *this;
}

ZipBuilder &ZipBuilder::addFillFile(const QString &name, qint64 size, char fill, int mode)
{
    Entry entry{Kind::fill, name, {}, mode};
    entry.fillSize = size;
    entry.fill = fill;
    m_entries.append(entry);
    return *this;
}

ZipBuilder &ZipBuilder::addBundle(const QString &bundlePath, const QString &bundleId, const QString &executable,
                                  PlistFormat format, const QString &version)
{
    QMap<QString, QString> keys;
    keys.insert(QStringLiteral("CFBundleIdentifier"), bundleId);
    keys.insert(QStringLiteral("CFBundleExecutable"), executable);
    keys.insert(QStringLiteral("CFBundleShortVersionString"), version);
    keys.insert(QStringLiteral("CFBundleName"), bundlePath.section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0));
    addDirectory(bundlePath);
    addDirectory(bundlePath + QStringLiteral("/Contents"));
    addFile(bundlePath + QStringLiteral("/Contents/Info.plist"), infoPlist(keys, format));
    addDirectory(bundlePath + QStringLiteral("/Contents/MacOS"));
    addExecutable(bundlePath + QStringLiteral("/Contents/MacOS/") + executable,
                  "#!/bin/sh\necho " + version.toUtf8() + "\n");
    return *this;
}

ZipBuilder &ZipBuilder::setStored(bool stored)
{
    m_stored = stored;
    return *this;
}

bool ZipBuilder::write(struct archive *archive, QString *error) const
{
    auto fail = [&](const char *what) {
        if (error)
            *error = QString::fromLatin1(what) + QStringLiteral(": ")
                + QString::fromUtf8(archive_error_string(archive) ? archive_error_string(archive) : "unknown");
        return false;
    };
    for (const Entry &e : m_entries) {
        std::unique_ptr<archive_entry, EntryDeleter> entry(archive_entry_new());
        QString name = e.name;
        if (e.kind == Kind::directory && !name.endsWith(QLatin1Char('/')))
            name += QLatin1Char('/');
        const QByteArray rawName = name.toUtf8();
        archive_entry_set_pathname(entry.get(), rawName.constData());
        archive_entry_set_mtime(entry.get(), 1777766400, 0);
        switch (e.kind) {
        case Kind::file:
            archive_entry_set_filetype(entry.get(), AE_IFREG);
            archive_entry_set_size(entry.get(), e.content.size());
            break;
        case Kind::fill:
            archive_entry_set_filetype(entry.get(), AE_IFREG);
            archive_entry_set_size(entry.get(), e.fillSize);
            break;
        case Kind::directory:
            archive_entry_set_filetype(entry.get(), AE_IFDIR);
            archive_entry_set_size(entry.get(), 0);
            break;
        case Kind::symlink:
            archive_entry_set_filetype(entry.get(), AE_IFLNK);
            archive_entry_set_symlink(entry.get(), e.content.constData());
            archive_entry_set_size(entry.get(), 0);
            break;
        }
        archive_entry_set_perm(entry.get(), mode_t(e.mode));
        if (archive_write_header(archive, entry.get()) != ARCHIVE_OK)
            return fail("write header");
        if (e.kind == Kind::file && !e.content.isEmpty()) {
            if (archive_write_data(archive, e.content.constData(), size_t(e.content.size())) < 0)
                return fail("write data");
        } else if (e.kind == Kind::fill) {
            const QByteArray chunk(1 << 20, e.fill);
            qint64 left = e.fillSize;
            while (left > 0) {
                const qint64 n = qMin<qint64>(left, chunk.size());
                if (archive_write_data(archive, chunk.constData(), size_t(n)) < 0)
                    return fail("write data");
                left -= n;
            }
        }
    }
    if (archive_write_close(archive) != ARCHIVE_OK)
        return fail("close");
    return true;
}

bool ZipBuilder::writeTo(const QString &path, QString *error) const
{
    std::unique_ptr<struct archive, ArchiveWriterDeleter> archive(archive_write_new());
    archive_write_set_format_zip(archive.get());
    if (m_stored)
        archive_write_zip_set_compression_store(archive.get());
    else
        archive_write_zip_set_compression_deflate(archive.get());
    archive_write_set_bytes_in_last_block(archive.get(), 1);
    if (archive_write_open_filename(archive.get(), QFile::encodeName(path).constData()) != ARCHIVE_OK) {
        if (error)
            *error = QString::fromUtf8(archive_error_string(archive.get()));
        return false;
    }
    return write(archive.get(), error);
}

QByteArray ZipBuilder::build() const
{
    QByteArray bytes;
    std::unique_ptr<struct archive, ArchiveWriterDeleter> archive(archive_write_new());
    archive_write_set_format_zip(archive.get());
    if (m_stored)
        archive_write_zip_set_compression_store(archive.get());
    else
        archive_write_zip_set_compression_deflate(archive.get());
    archive_write_set_bytes_in_last_block(archive.get(), 1);
    auto append = [](struct archive *, void *data, const void *buffer, size_t length) -> la_ssize_t {
        static_cast<QByteArray *>(data)->append(static_cast<const char *>(buffer), qsizetype(length));
        return la_ssize_t(length);
    };
    if (archive_write_open(archive.get(), &bytes, nullptr, append, nullptr) != ARCHIVE_OK)
        return {};
    if (!write(archive.get(), nullptr))
        return {};
    return bytes;
}

QByteArray ZipBuilder::infoPlist(const QMap<QString, QString> &keys, PlistFormat format)
{
    if (format == PlistFormat::binary)
        return binaryPlist(keys);
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<dict>\n");
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        xml += QStringLiteral("\t<key>%1</key>\n\t<string>%2</string>\n")
                   .arg(xmlEscaped(it.key()), xmlEscaped(it.value()));
    }
    xml += QStringLiteral("</dict>\n</plist>\n");
    return xml.toUtf8();
}

QString ZipBuilder::sha256Hex(const QByteArray &data)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.constData(), size_t(data.size()), digest, &length, EVP_sha256(), nullptr);
    return hexOf(digest, length);
}

QString ZipBuilder::sha256HexOfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    EVP_MD_CTX *ctx = EVP_MD_CTX_new();
    EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(buffer.data(), buffer.size());
        if (n <= 0)
            break;
        EVP_DigestUpdate(ctx, buffer.constData(), size_t(n));
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(ctx, digest, &length);
    EVP_MD_CTX_free(ctx);
    return hexOf(digest, length);
}
