#include "ZipBuilder.h"

#include "ZipWriter.h"

#include <QCryptographicHash>

#include <plist/plist.h>

ZipBuilder &ZipBuilder::addFile(const QString &name, const QByteArray &content, int mode)
{
    m_entries.append(Entry{Kind::file, name, content, mode});
    return *this;
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

QStringList ZipBuilder::hostileKinds()
{
    return {QStringLiteral("dot-dot entry"), QStringLiteral("dot-dot inside a name"), QStringLiteral("absolute entry"),
            QStringLiteral("write through an absolute link"), QStringLiteral("write through a relative link"),
            QStringLiteral("write through an inside link"), QStringLiteral("link to an absolute path"),
            QStringLiteral("link replacing a file"), QStringLiteral("file written twice"),
            QStringLiteral("chain of links leaving")};
}

ZipBuilder ZipBuilder::hostile(const QString &kind, const QString &bundleId, const QString &outside, const QString &up)
{
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Notes.app"), bundleId, QStringLiteral("Notes"));
    const QString contents = QStringLiteral("Notes.app/Contents/");
    switch (hostileKinds().indexOf(kind)) {
    case 0: zip.addFile(up + QStringLiteral("/evil"), "owned"); break;
    case 1: zip.addFile(QStringLiteral("Notes.app/../") + up + QStringLiteral("/evil"), "owned"); break;
    case 2: zip.addFile(outside + QStringLiteral("/evil"), "owned"); break;
    case 3: zip.addSymlink(contents + QStringLiteral("out"), outside).addFile(contents + QStringLiteral("out/evil"), "owned"); break;
    case 4: zip.addSymlink(QStringLiteral("Notes.app/out"), QStringLiteral("../") + up).addFile(QStringLiteral("Notes.app/out/evil"), "owned"); break;
    // The link alone is harmless; writing through it is not allowed.
    case 5: zip.addSymlink(QStringLiteral("Notes.app/Current"), QStringLiteral("Contents")).addFile(QStringLiteral("Notes.app/Current/evil"), "owned"); break;
    case 6: zip.addSymlink(contents + QStringLiteral("secrets"), outside); break;
    case 7: zip.addSymlink(contents + QStringLiteral("Info.plist"), QStringLiteral("../../") + up + QStringLiteral("/evil")); break;
    case 8: zip.addFile(contents + QStringLiteral("Info.plist"), "replaced"); break;
    // Each link alone looks inside; followed together they leave the bundle.
    case 9: zip.addSymlink(contents + QStringLiteral("a/up"), QStringLiteral("../..")).addSymlink(contents + QStringLiteral("escape"), QStringLiteral("a/up/..")); break;
    default: qFatal("unknown hostile archive %s", qPrintable(kind));
    }
    return zip;
}

ZipBuilder &ZipBuilder::setStored(bool stored)
{
    m_stored = stored;
    return *this;
}

ZipBuilder &ZipBuilder::setUtf8Flag(bool flagged)
{
    m_utf8Flag = flagged;
    return *this;
}

ZipBuilder &ZipBuilder::setZip64(bool always)
{
    m_zip64 = always;
    return *this;
}

ZipBuilder &ZipBuilder::add(const ZipBuilder &other)
{
    m_entries.append(other.m_entries);
    return *this;
}

bool ZipBuilder::write(ZipWriter &zip) const
{
    zip.setUtf8Flag(m_utf8Flag);
    if (!zip.setCompression(m_stored ? ZipWriter::Compression::store : ZipWriter::Compression::deflate))
        return false;
    for (const Entry &e : m_entries) {
        const QByteArray name = e.name.toUtf8();
        bool written = false;
        switch (e.kind) {
        case Kind::file:
            written = zip.addFile(name, e.content, e.mode);
            break;
        case Kind::directory:
            written = zip.addDirectory(name, e.mode);
            break;
        case Kind::symlink:
            written = zip.addSymlink(name, e.content, e.mode);
            break;
        case Kind::fill: {
            written = zip.beginFile(name, e.fillSize, e.mode);
            const QByteArray chunk(1 << 20, e.fill);
            for (qint64 left = e.fillSize; written && left > 0; left -= chunk.size())
                written = zip.writeData(chunk.constData(), qMin<qint64>(left, chunk.size()));
            break;
        }
        }
        if (!written)
            return false;
    }
    return zip.close();
}

bool ZipBuilder::writeTo(const QString &path, QString *error) const
{
    ZipWriter zip;
    const bool written = (!m_zip64 || zip.forceZip64()) && zip.openFile(path) && write(zip);
    if (!written && error)
        *error = zip.errorString();
    return written;
}

QByteArray ZipBuilder::build() const
{
    QByteArray bytes;
    ZipWriter zip;
    if ((m_zip64 && !zip.forceZip64()) || !zip.openBuffer(&bytes) || !write(zip))
        return {};
    return bytes;
}

QByteArray ZipBuilder::infoPlist(const QMap<QString, QString> &keys, PlistFormat format)
{
    plist_t dict = plist_new_dict();
    for (auto it = keys.begin(); it != keys.end(); ++it)
        plist_dict_set_item(dict, it.key().toUtf8().constData(), plist_new_string(it.value().toUtf8().constData()));
    char *data = nullptr;
    uint32_t length = 0;
    const bool binary = format == PlistFormat::binary;
    binary ? plist_to_bin(dict, &data, &length) : plist_to_xml(dict, &data, &length);
    const QByteArray out(data, qsizetype(length));
    binary ? plist_to_bin_free(data) : plist_to_xml_free(data);
    plist_free(dict);
    return out;
}

QString ZipBuilder::sha256Hex(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}
