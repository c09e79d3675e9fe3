#include "InstallReceipt.h"

#include "errors/LauncherError.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <sys/stat.h>

namespace InstallReceipt {
namespace {

QString receiptPath(const QString &installRoot, const QString &bundleName)
{
    return installRoot + QStringLiteral("/.") + bundleName + QStringLiteral(".vantrel-receipt");
}

std::optional<QString> identity(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    // The folder's modification time joins device and inode: an inode number
    // alone may be reused by a folder made after the bundle was deleted.
    return QStringLiteral("%1:%2:%3.%4")
        .arg(quint64(st.st_dev))
        .arg(quint64(st.st_ino))
        .arg(qint64(st.st_mtim.tv_sec))
        .arg(qint64(st.st_mtim.tv_nsec));
}

}  // namespace

void write(const QString &installRoot, const QString &bundleName, const QString &appId, const QString &version,
           const QString &staged)
{
    const std::optional<QString> id = identity(staged);
    if (!id)
        throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("The staged copy is missing."), ENOENT);
    const QByteArray json = QJsonDocument(QJsonObject{{QStringLiteral("appId"), appId},
                                                      {QStringLiteral("version"), version},
                                                      {QStringLiteral("identity"), *id}})
                                .toJson(QJsonDocument::Compact);
    QSaveFile file(receiptPath(installRoot, bundleName));
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("Could not write the install note for \"%1\": %2").arg(bundleName, file.errorString()));
    }
}

std::optional<QString> placedVersion(const QString &bundlePath, const QString &appId)
{
    const QFileInfo bundle(bundlePath);
    QFile file(receiptPath(bundle.absolutePath(), bundle.fileName()));
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024)
        return std::nullopt;
    const QJsonObject note = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonValue version = note.value(QStringLiteral("version"));
    if (note.value(QStringLiteral("appId")).toString() != appId || !version.isString()
        || note.value(QStringLiteral("identity")).toString() != identity(bundlePath))
        return std::nullopt;
    return version.toString();
}

}  // namespace InstallReceipt
