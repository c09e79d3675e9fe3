#pragma once

#include <QtGlobal>

#include <cstddef>
#include <functional>

class QIODevice;

// The unpacking of one ZIP entry's bytes, fetched on their own: kept apart so
// another inflater can take its place.
namespace EntryInflate {

// Reads compressedSize bytes from in, stored (method 0) or raw deflate
// (method 8), and hands what they unpack to in order to out. False when the
// bytes run short, the stream is damaged or does not end with them, or it
// would unpack to more than maximumSize bytes. Blocking.
using Sink = std::function<void(const char *data, std::size_t length)>;
bool unpack(QIODevice &in, qint64 compressedSize, int method, qint64 maximumSize, const Sink &out);

}  // namespace EntryInflate
