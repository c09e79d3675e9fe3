#pragma once

#include <QByteArray>
#include <QString>

// Throws PlatformError(fileSystem) saying what failed on the item at path,
// with the system's message for error. Only the item's own name is shown:
// full paths would reveal the user's home.
[[noreturn]] void throwFileError(const QString &what, const QByteArray &path, int error);
