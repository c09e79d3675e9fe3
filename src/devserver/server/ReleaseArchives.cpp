#include "ReleaseArchives.h"

#include "Sha256Stream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool ReleaseArchives::isServableName(const QString &name)
{
    // An archive, or the file list published beside it.
    const bool list = name.endsWith(QLatin1String(".zip.files"));
    if (name.size() <= (list ? 10 : 4) || !(list || name.endsWith(QLatin1String(".zip"))))
        return false;
    if (name.startsWith(QLatin1Char('.')) || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            return false;
    }
    return true;
}

std::optional<QString> ReleaseArchives::pathFor(const QString &name) const
{
    if (!isServableName(name))
        return std::nullopt;
    const QString path = QDir(m_directory).filePath(name);
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return std::nullopt;
    return path;
}

QMap<QString, QString> ReleaseArchives::checksums(const QStringList &names, QStringList *missing) const
{
    QMap<QString, QString> result;
    for (const QString &name : names) {
        const auto path = pathFor(name);
        const auto sum = path ? Sha256Stream::fileHex(*path) : std::nullopt;
        if (sum)
            result.insert(name, *sum);
        else if (missing)
            missing->append(name);
    }
    return result;
}
