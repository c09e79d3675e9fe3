#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace FolderEntries {

// The names in a folder but "." and "..", in byte order, so whatever is
// built from a tree comes out the same each time; nothing when the folder
// cannot be read (errno then says why).
std::optional<QList<QByteArray>> sorted(const QByteArray &path);

}  // namespace FolderEntries
