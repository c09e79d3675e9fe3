#include "ReleasePublisher.h"

#include "FolderEntries.h"
#include "RelativePath.h"
#include "Sha256Stream.h"
#include "ZipCentralDirectory.h"
#include "ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace ReleasePublisher {
namespace {

[[noreturn]] void fail(const QString &why)
{
    throw PublishError(why.toStdString());
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
            const std::optional<QList<QByteArray>> children = FolderEntries::sorted(disk);
            if (!children)
                fail(QStringLiteral("cannot read the folder %1").arg(QFile::decodeName(disk)));
            for (const QByteArray &child : *children)
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

// Where each file's packed bytes lie in the archive written, which only
// its directory and local headers tell.
void placeFiles(const QString &archivePath, QList<FileListEntry> &listed)
{
    QFile file(archivePath);
    const auto entries = ZipCentralDirectory::entriesOfFile(archivePath);
    if (!entries || !file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("the archive written has no readable directory"));
    QHash<QByteArray, ZipCentralDirectory::Entry> byName;
    for (const ZipCentralDirectory::Entry &entry : *entries)
        byName.insert(entry.name, entry);
    for (FileListEntry &listedEntry : listed) {
        if (listedEntry.type != FileListEntry::Type::file)
            continue;
        const auto entry = byName.constFind(listedEntry.path);
        if (entry == byName.cend())
            fail(QStringLiteral("%1 is missing from the archive written").arg(QString::fromUtf8(listedEntry.path)));
        const std::optional<qint64> dataAt = ZipCentralDirectory::dataOffset(file, *entry);
        if (!dataAt || entry->packedBytes < 0)
            fail(QStringLiteral("the archive written has a garbled entry"));
        listedEntry.method = entry->method;
        listedEntry.crc32 = entry->crc32;
        listedEntry.dataOffset = *dataAt;
        listedEntry.compressedSize = entry->packedBytes;
    }
}

QByteArray sha256Of(const QString &path)
{
    const std::optional<QString> digest = Sha256Stream::fileHex(path);
    if (!digest)
        fail(QStringLiteral("cannot read %1").arg(path));
    return digest->toLatin1();
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
        placeFiles(temporary, release.list.entries);
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
