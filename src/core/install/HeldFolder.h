#pragma once

#include "UniqueFd.h"

#include <QByteArray>
#include <QString>

// A folder opened once, and what lies below it reached one component at a
// time without following a symbolic link: nothing outside the folder is ever
// opened, whatever a path names or the disk holds. Opens read-only.
class HeldFolder
{
public:
    // Throws PlatformError(fileSystem) when path is no folder (a link to one neither).
    explicit HeldFolder(const QString &path);

    int fd() const { return m_fd.get(); }

    // The folder at relative ("" for this one); invalid, with errno set, when
    // it is missing, when a component is a link (ELOOP) or no folder
    // (ENOTDIR), or when the path is absolute or climbs ("..": EINVAL).
    UniqueFd openFolder(const QByteArray &relative) const;
    // The regular file at relative, read-only, its access time left alone
    // where the system allows; invalid, with errno set, like openFolder.
    UniqueFd openFile(const QByteArray &relative) const;

    // Whether path still names the held folder.
    bool isAt(const QString &path) const;

    // The folder part and the name of a relative path.
    static QByteArray parentOf(const QByteArray &relative);
    static QByteArray nameOf(const QByteArray &relative);

private:
    UniqueFd m_fd;
};
