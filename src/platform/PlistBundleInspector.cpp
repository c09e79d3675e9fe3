#include "PlistBundleInspector.h"

#include <QFile>
#include <QFileInfo>

#include <plist/plist.h>

#include <memory>

namespace {
// A real Info.plist is a few kilobytes; anything far larger is not one.
constexpr qint64 maxInfoPlistSize = 4 * 1024 * 1024;

struct PlistDeleter {
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
}  // namespace

std::optional<QString> PlistBundleInspector::stringValue(const QString &bundlePath, const char *key)
{
    const QString path = bundlePath + QStringLiteral("/Contents/Info.plist");
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxInfoPlistSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.read(maxInfoPlistSize + 1);
    if (data.isEmpty() || data.size() > maxInfoPlistSize)
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(data.constData(), uint32_t(data.size()), &root);
    std::unique_ptr<void, PlistDeleter> guard(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return std::nullopt;
    plist_t node = plist_dict_get_item(root, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    char *value = nullptr;
    plist_get_string_val(node, &value);
    if (!value)
        return std::nullopt;
    const QString result = QString::fromUtf8(value);
    free(value);
    return result;
}

std::optional<QString> PlistBundleInspector::bundleIdentifier(const QString &bundlePath) const
{
    return stringValue(bundlePath, "CFBundleIdentifier");
}

std::optional<QString> PlistBundleInspector::executableName(const QString &bundlePath) const
{
    return stringValue(bundlePath, "CFBundleExecutable");
}
