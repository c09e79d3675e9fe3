#include "FileError.h"

#include "errors/LauncherError.h"

#include <QFile>

#include <cstring>

void throwFileError(const QString &what, const QByteArray &path, int error)
{
    const QString name = QFile::decodeName(path.mid(path.lastIndexOf('/') + 1));
    throw PlatformError(PlatformError::Domain::fileSystem,
                        QStringLiteral("%1 \"%2\": %3").arg(what, name, QString::fromLocal8Bit(std::strerror(error))),
                        error);
}
