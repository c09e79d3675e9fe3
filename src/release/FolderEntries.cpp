#include "FolderEntries.h"

#include <algorithm>
#include <dirent.h>

namespace FolderEntries {

std::optional<QList<QByteArray>> sorted(const QByteArray &path)
{
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return std::nullopt;
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace FolderEntries
