#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// Rules for "/"-separated paths below a folder, read as written: what an
// archive entry, an install receipt or a link may name without leaving the
// folder. Nothing here touches the disk.
namespace RelativePath {

// The components of path, dropping empty and "." ones; nullopt when the path
// is absolute or has a ".." component.
std::optional<QList<QByteArray>> components(const QByteArray &path);

// Whether path is written plainly: relative, no empty, "." or ".."
// components, no NUL. The records this launcher writes hold only such paths.
bool isPlain(const QByteArray &path);

// A path or link target as the text records write it, percent-encoded: names
// are the file system's bytes, not always text. decodedField yields the bytes
// only when the field is written exactly as encodedField writes them.
QByteArray encodedField(const QByteArray &name);
std::optional<QByteArray> decodedField(const QByteArray &field);

// Whether a link at linkParts (its own name last), with this target, stays
// inside the folder when read as written. Only leading ".." are allowed: ".."
// after a name may climb out of a link ("l/.."), which counting cannot see.
bool targetStaysInside(const QList<QByteArray> &linkParts, const QByteArray &target);

}  // namespace RelativePath
