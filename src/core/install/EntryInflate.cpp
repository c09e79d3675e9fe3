#include "EntryInflate.h"

#include <QByteArray>
#include <QIODevice>

#include <memory>
#include <zlib.h>

namespace EntryInflate {
namespace {

constexpr qint64 blockSize = 256 << 10;

bool copyStored(QIODevice &in, qint64 size, qint64 maximumSize, const Sink &out)
{
    if (size > maximumSize)
        return false;
    QByteArray buffer(qsizetype(qMin(blockSize, qMax<qint64>(size, 1))), Qt::Uninitialized);
    for (qint64 left = size; left > 0;) {
        const qint64 n = in.read(buffer.data(), qMin<qint64>(left, buffer.size()));
        if (n <= 0)
            return false;
        out(buffer.constData(), std::size_t(n));
        left -= n;
    }
    return true;
}

}  // namespace

bool unpack(QIODevice &in, qint64 compressedSize, int method, qint64 maximumSize, const Sink &out)
{
    if (method == 0)
        return copyStored(in, compressedSize, maximumSize, out);
    if (method != 8)
        return false;
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    const std::unique_ptr<z_stream, int (*)(z_stream *)> owner(&stream, inflateEnd);
    QByteArray input(qsizetype(blockSize), Qt::Uninitialized);
    QByteArray output(qsizetype(blockSize), Qt::Uninitialized);
    qint64 left = compressedSize;
    qint64 produced = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (stream.avail_in == 0) {
            if (left == 0)
                return false;
            const qint64 n = in.read(input.data(), qMin<qint64>(left, input.size()));
            if (n <= 0)
                return false;
            left -= n;
            stream.next_in = reinterpret_cast<Bytef *>(input.data());
            stream.avail_in = uInt(n);
        }
        stream.next_out = reinterpret_cast<Bytef *>(output.data());
        stream.avail_out = uInt(output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            return false;
        const qint64 made = output.size() - qint64(stream.avail_out);
        produced += made;
        if (produced > maximumSize)
            return false;
        if (made > 0)
            out(output.constData(), std::size_t(made));
    }
    // The entry's bytes end with its stream.
    return left == 0 && stream.avail_in == 0;
}

}  // namespace EntryInflate
