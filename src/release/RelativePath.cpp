#include "RelativePath.h"

namespace RelativePath {

std::optional<QList<QByteArray>> components(const QByteArray &path)
{
    if (path.startsWith('/'))
        return std::nullopt;
    QList<QByteArray> parts;
    for (const QByteArray &part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..")
            return std::nullopt;
        parts.append(part);
    }
    return parts;
}

bool targetStaysInside(const QList<QByteArray> &linkParts, const QByteArray &target)
{
    if (target.isEmpty() || target.startsWith('/'))
        return false;
    qsizetype depth = linkParts.size() - 1;
    bool descended = false;
    for (const QByteArray &part : target.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (descended || --depth < 0)
                return false;
        } else {
            descended = true;
            ++depth;
        }
    }
    return true;
}

bool isPlain(const QByteArray &path)
{
    const auto parts = components(path);
    return parts && !parts->isEmpty() && parts->join('/') == path && !path.contains('\0');
}

QByteArray encodedField(const QByteArray &name)
{
    return name.toPercentEncoding("/");
}

std::optional<QByteArray> decodedField(const QByteArray &field)
{
    const QByteArray bytes = QByteArray::fromPercentEncoding(field);
    if (field.isEmpty() || encodedField(bytes) != field)
        return std::nullopt;
    return bytes;
}

}  // namespace RelativePath
