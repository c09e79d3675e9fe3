#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

// Blocking file-system steps of an install; run off the main thread.
// Failures throw PlatformError(fileSystem) with the system's message.
namespace InstallFiles {

// Creates path with its parents.
void createDirectories(const QString &path);

// Hands the file's bytes to feed in large blocks, in order.
void readInBlocks(const QString &path, const std::function<void(const char *, std::size_t)> &feed);

// Removes path and everything below it; errors are ignored.
void removeTree(const QString &path) noexcept;

// Flushes a directory's entries to disk; errors are ignored.
void syncDirectory(const QString &path) noexcept;

// Copies a directory tree to destination (which must not exist), keeping
// symbolic links as links and permission bits (without set-id and sticky
// bits), and flushes every file and folder to disk before returning.
void copyTreeDurably(const QString &source, const QString &destination);

// Moves a directory tree to destination (which must not exist) when both are
// on one filesystem, else copies it as copyTreeDurably does; either way every
// file and folder is on disk before returning. The source is gone or
// untouched afterwards, never half moved.
void placeTreeDurably(const QString &source, const QString &destination);

// The first folder whose name ends in ".app" (case-sensitive) in depth-first
// order below root, siblings in name order. Hidden entries and "__MACOSX"
// folders are skipped, and symbolic links are neither returned nor followed.
std::optional<QString> findBundle(const QString &root);

// Whether every symbolic link below root, followed through any links it
// passes, stays inside root (absolute targets never do).
bool linksStayInside(const QString &root);

}  // namespace InstallFiles
