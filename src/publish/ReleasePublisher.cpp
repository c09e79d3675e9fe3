#include "ReleasePublisher.h"

#include "install/RelativePath.h"
#include "install/Sha256Stream.h"
#include "install/ZipCentralDirectory.h"
#include "ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QtEndian>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace ReleasePublisher {
namespace {

[[noreturn]] void fail(const QString &why)
{
    throw PublishError(why.toStdString());
}

QList<QByteArray> sortedNames(const QByteArray &folder)
{
    QList<QByteArray> names;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        fail(QStringLiteral("cannot read the folder %1").arg(QFile::decodeName(folder)));
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// Writes one folder's entries, and below, into the archive; the list gets
// every entry but the compressed bytes' places, which only the written
// archive tells.
class TreeWriter
{
public:
    TreeWriter(ZipWriter &zip, QList<FileListEntry> &entries) : m_zip(zip), m_entries(entries) {}

    void add(const QByteArray &disk, const QByteArray &name)
    {
        struct stat st {};
        if (::lstat(disk.constData(), &st) != 0)
            fail(QStringLiteral("cannot read %1").arg(QFile::decodeName(disk)));
        FileListEntry entry;
        entry.path = name;
        entry.mode = int(st.st_mode & 0777);
        if (S_ISDIR(st.st_mode)) {
            entry.type = FileListEntry::Type::directory;
            check(m_zip.addDirectory(name, entry.mode));
            m_entries.append(entry);
            for (const QByteArray &child : sortedNames(disk))
                add(disk + '/' + child, name + '/' + child);
        } else if (S_ISLNK(st.st_mode)) {
            entry.type = FileListEntry::Type::link;
            QByteArray target(4096, Qt::Uninitialized);
            const ssize_t n = ::readlink(disk.constData(), target.data(), std::size_t(target.size()));
            if (n < 0)
                fail(QStringLiteral("cannot read the link %1").arg(QFile::decodeName(disk)));
            target.truncate(n);
            QList<QByteArray> below = name.split('/');
            below.removeFirst();
            if (!RelativePath::targetStaysInside(below, target))
                fail(QStringLiteral("the link %1 leads out of the app folder").arg(QString::fromUtf8(name)));
            entry.target = target;
            check(m_zip.addSymlink(name, target, entry.mode));
            m_entries.append(entry);
        } else if (S_ISREG(st.st_mode)) {
            entry.type = FileListEntry::Type::file;
            entry.size = st.st_size;
            entry.sha256 = copy(disk, name, entry);
            m_entries.append(entry);
        } else {
            fail(QStringLiteral("%1 is neither a folder, a file nor a link").arg(QFile::decodeName(disk)));
        }
    }

private:
    QByteArray copy(const QByteArray &disk, const QByteArray &name, const FileListEntry &entry)
    {
        QFile in(QFile::decodeName(disk));
        if (!in.open(QIODevice::ReadOnly))
            fail(QStringLiteral("cannot read %1: %2").arg(in.fileName(), in.errorString()));
        check(m_zip.beginFile(name, entry.size, entry.mode));
        Sha256Stream sha;
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        qint64 total = 0;
        qint64 n = 0;
        while ((n = in.read(buffer.data(), buffer.size())) > 0) {
            sha.update(buffer.constData(), std::size_t(n));
            check(m_zip.writeData(buffer.constData(), n));
            total += n;
        }
        if (n < 0 || total != entry.size)
            fail(QStringLiteral("%1 changed while it was read").arg(in.fileName()));
        return sha.finishHex().toLatin1();
    }

    void check(bool ok)
    {
        if (!ok)
            fail(m_zip.errorString());
    }

    ZipWriter &m_zip;
    QList<FileListEntry> &m_entries;
};

struct Placed {
    int method = 0;
    quint32 crc32 = 0;
    qint64 dataOffset = 0;
    qint64 compressedSize = 0;
};

quint16 u16(const QByteArray &data, qsizetype at) { return qFromLittleEndian<quint16>(data.constData() + at); }
quint32 u32(const QByteArray &data, qsizetype at) { return qFromLittleEndian<quint32>(data.constData() + at); }
quint64 u64(const QByteArray &data, qsizetype at) { return qFromLittleEndian<quint64>(data.constData() + at); }

// Where each entry's compressed bytes lie in the archive written, by name,
// from its central directory and local headers.
QHash<QByteArray, Placed> placesIn(const QString &archivePath)
{
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(archivePath));
    const qint64 size = file.size();
    const qint64 tailLength = qMin(size, ZipCentralDirectory::endSearchBytes);
    file.seek(size - tailLength);
    const auto location = ZipCentralDirectory::locate(file.read(tailLength), size);
    if (!location || !file.seek(location->offset))
        fail(QStringLiteral("the archive written has no readable directory"));
    const QByteArray directory = file.read(location->size);
    QHash<QByteArray, Placed> places;
    for (qsizetype at = 0; at + 46 <= directory.size();) {
        if (u32(directory, at) != 0x02014b50)
            fail(QStringLiteral("the archive written has a garbled directory"));
        const qsizetype nameLength = u16(directory, at + 28);
        const qsizetype extraLength = u16(directory, at + 30);
        const qsizetype commentLength = u16(directory, at + 32);
        Placed placed;
        placed.method = u16(directory, at + 10);
        placed.crc32 = u32(directory, at + 16);
        quint64 compressed = u32(directory, at + 20);
        quint64 unpacked = u32(directory, at + 24);
        quint64 offset = u32(directory, at + 42);
        const QByteArray name = directory.mid(at + 46, nameLength);
        // The ZIP64 field holds, in this order, the values the fixed fields defer.
        for (qsizetype field = at + 46 + nameLength; field + 4 <= at + 46 + nameLength + extraLength;) {
            const quint16 id = u16(directory, field);
            const qsizetype length = u16(directory, field + 2);
            if (id == 0x0001) {
                qsizetype value = field + 4;
                if (unpacked == 0xffffffff) { unpacked = u64(directory, value); value += 8; }
                if (compressed == 0xffffffff) { compressed = u64(directory, value); value += 8; }
                if (offset == 0xffffffff) { offset = u64(directory, value); }
            }
            field += 4 + length;
        }
        QByteArray local(30, Qt::Uninitialized);
        if (!file.seek(qint64(offset)) || file.read(local.data(), 30) != 30 || u32(local, 0) != 0x04034b50)
            fail(QStringLiteral("the archive written has a garbled entry"));
        placed.dataOffset = qint64(offset) + 30 + u16(local, 26) + u16(local, 28);
        placed.compressedSize = qint64(compressed);
        places.insert(name, placed);
        at += 46 + nameLength + extraLength + commentLength;
    }
    return places;
}

QByteArray sha256Of(const QString &path)
{
    return Sha256Stream::fileHex(path).toLatin1();
}

void moveIntoPlace(const QString &temporary, const QString &path)
{
    QFile::remove(path);
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        fail(QStringLiteral("cannot move %1 into place").arg(path));
    }
}

}  // namespace

Release publish(const QString &appFolder, const QString &outputDir, const QString &archiveName)
{
    const QFileInfo folder(appFolder);
    if (!folder.isDir() || folder.isSymLink())
        fail(QStringLiteral("%1 is not a folder").arg(appFolder));
    if (!QDir().mkpath(outputDir))
        fail(QStringLiteral("cannot create %1").arg(outputDir));
    Release release;
    release.archivePath = QDir(outputDir).filePath(archiveName);
    release.listPath = release.archivePath + QStringLiteral(".files");
    const QString temporary = release.archivePath + QStringLiteral(".part");
    QFile::remove(temporary);
    try {
        ZipWriter zip;
        if (!zip.openFile(temporary))
            fail(zip.errorString());
        TreeWriter(zip, release.list.entries)
            .add(QFile::encodeName(folder.absoluteFilePath()), QFile::encodeName(folder.fileName()));
        if (!zip.close())
            fail(zip.errorString());
        const QHash<QByteArray, Placed> places = placesIn(temporary);
        for (FileListEntry &entry : release.list.entries) {
            if (entry.type != FileListEntry::Type::file)
                continue;
            const auto place = places.constFind(entry.path);
            if (place == places.cend())
                fail(QStringLiteral("%1 is missing from the archive written").arg(QString::fromUtf8(entry.path)));
            entry.method = place->method;
            entry.crc32 = place->crc32;
            entry.dataOffset = place->dataOffset;
            entry.compressedSize = place->compressedSize;
        }
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    release.list.archiveSize = QFileInfo(temporary).size();
    release.archiveSha256 = sha256Of(temporary);
    release.list.archiveSha256 = release.archiveSha256;
    QString problem;
    const QByteArray listBytes = release.list.encode();
    QSaveFile list(release.listPath);
    // What the launcher would refuse is not published.
    if (!FileList::decode(listBytes, &problem)) {
        QFile::remove(temporary);
        fail(QStringLiteral("the release cannot be listed: %1").arg(problem));
    }
    if (!list.open(QIODevice::WriteOnly) || list.write(listBytes) != listBytes.size() || !list.commit()) {
        QFile::remove(temporary);
        fail(QStringLiteral("cannot write %1").arg(release.listPath));
    }
    moveIntoPlace(temporary, release.archivePath);
    release.listSha256 = sha256Of(release.listPath);
    return release;
}

QJsonObject catalogFields(const Release &release, const QUrl &baseUrl)
{
    QUrl base = baseUrl;
    if (!base.path().endsWith(QLatin1Char('/')))
        base.setPath(base.path() + QLatin1Char('/'));
    const auto beside = [&base](const QString &path) {
        return base.resolved(QUrl(QString::fromUtf8(QUrl::toPercentEncoding(QFileInfo(path).fileName())))).toString();
    };
    return QJsonObject{
        {QStringLiteral("downloadUrl"), beside(release.archivePath)},
        {QStringLiteral("sha256"), QString::fromLatin1(release.archiveSha256)},
        {QStringLiteral("fileListUrl"), beside(release.listPath)},
        {QStringLiteral("fileListSha256"), QString::fromLatin1(release.listSha256)},
    };
}

int rolloutPercent(const QString &text)
{
    bool ok = false;
    const int percent = text.toInt(&ok);
    if (!ok || percent < 0 || percent > 100)
        fail(QStringLiteral("the rollout \"%1\" is not a whole number from 0 to 100").arg(text));
    return percent;
}

QByteArray updateCatalog(const QByteArray &catalog, const QString &appId, const QJsonObject &fields)
{
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(catalog, &error);
    if (!document.isObject())
        fail(QStringLiteral("the catalog is not a JSON object: %1").arg(error.errorString()));
    QJsonObject root = document.object();
    QJsonArray apps = root.value(QLatin1String("apps")).toArray();
    bool found = false;
    for (qsizetype i = 0; i < apps.size(); ++i) {
        QJsonObject app = apps.at(i).toObject();
        if (app.value(QLatin1String("id")).toString() != appId)
            continue;
        for (auto it = fields.constBegin(); it != fields.constEnd(); ++it)
            app.insert(it.key(), it.value());
        apps.replace(i, app);
        found = true;
    }
    if (!found)
        fail(QStringLiteral("the catalog has no app \"%1\"").arg(appId));
    root.insert(QStringLiteral("apps"), apps);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace ReleasePublisher
