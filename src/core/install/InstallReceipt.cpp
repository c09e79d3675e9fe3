#include "InstallReceipt.h"

#include "catalog/ManifestDecoder.h"
#include "errors/LauncherError.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace InstallReceipt {
namespace {

QString receiptPath(const QString &installRoot, const QString &name)
{
    // Hidden folders (a kept previous copy) keep a single leading dot in their note's name.
    const QString plain = name.startsWith(QLatin1Char('.')) ? name.mid(1) : name;
    return installRoot + QStringLiteral("/.") + plain + QStringLiteral(".vantrel-receipt");
}

QString receiptOf(const QString &path)
{
    const QFileInfo info(path);
    return receiptPath(info.absolutePath(), info.fileName());
}

constexpr qint64 maxNoteSize = 64 * 1024;

std::optional<QString> identity(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    // Inode numbers get reused once a folder is deleted, so the folder's
    // creation time joins them (its modification time where the filesystem
    // keeps no creation time).
    qint64 seconds = st.st_mtim.tv_sec;
    qint64 nanoseconds = st.st_mtim.tv_nsec;
#if defined(__linux__) && defined(STATX_BTIME)
    struct statx sx {};
    if (::statx(AT_FDCWD, name.constData(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME)
        && sx.stx_btime.tv_sec != 0) {
        seconds = sx.stx_btime.tv_sec;
        nanoseconds = sx.stx_btime.tv_nsec;
    }
#elif defined(__APPLE__)
    seconds = st.st_birthtimespec.tv_sec;
    nanoseconds = st.st_birthtimespec.tv_nsec;
#endif
    return QStringLiteral("%1:%2:%3.%4")
        .arg(quint64(st.st_dev))
        .arg(quint64(st.st_ino))
        .arg(seconds)
        .arg(nanoseconds);
}

}  // namespace

void write(const QString &installRoot, const QString &bundleName, const AppManifestItem &app, const QString &staged)
{
    const std::optional<QString> id = identity(staged);
    if (!id)
        throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("The staged copy is missing."), ENOENT);
    // Release notes can be long and say nothing about the copy on disk.
    AppManifestItem kept = app;
    kept.releaseNotes.clear();
    writeNote(installRoot + QLatin1Char('/') + bundleName,
              QJsonDocument(QJsonObject{{QStringLiteral("appId"), app.id},
                                        {QStringLiteral("version"), app.version},
                                        {QStringLiteral("identity"), *id},
                                        {QStringLiteral("app"), ManifestDecoder::encodeApp(kept)}})
                  .toJson(QJsonDocument::Compact));
}

std::optional<QString> placedVersion(const QString &bundlePath, const QString &appId)
{
    const QJsonObject note = QJsonDocument::fromJson(noteOf(bundlePath)).object();
    const QJsonValue version = note.value(QStringLiteral("version"));
    if (note.value(QStringLiteral("appId")).toString() != appId || !version.isString()
        || note.value(QStringLiteral("identity")).toString() != identity(bundlePath))
        return std::nullopt;
    return version.toString();
}

std::optional<AppManifestItem> recordedApp(const QString &bundlePath, const QString &appId)
{
    const QJsonObject note = QJsonDocument::fromJson(noteOf(bundlePath)).object();
    if (note.value(QStringLiteral("appId")).toString() != appId || !note.value(QStringLiteral("app")).isObject())
        return std::nullopt;
    try {
        const AppManifestItem app = ManifestDecoder::decodeApp(note.value(QStringLiteral("app")).toObject());
        if (app.id == appId)
            return app;
    } catch (const DecodingError &) {
        // A note edited by hand names nothing then.
    }
    return std::nullopt;
}

QByteArray noteOf(const QString &path)
{
    QFile file(receiptOf(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxNoteSize)
        return {};
    return file.readAll();
}

void writeNote(const QString &path, const QByteArray &note)
{
    if (note.isEmpty()) {
        remove(path);
        return;
    }
    QSaveFile file(receiptOf(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(note) != note.size() || !file.commit()) {
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("Could not write the install note for \"%1\": %2")
                                .arg(QFileInfo(path).fileName(), file.errorString()));
    }
}

void exchange(const QString &a, const QString &b)
{
    const QByteArray noteOfA = noteOf(a);
    writeNote(a, noteOf(b));
    writeNote(b, noteOfA);
}

void remove(const QString &path) noexcept
{
    QFile::remove(receiptOf(path));
}

}  // namespace InstallReceipt
