#pragma once

#include "system/SystemLayers.h"

// Reads CFBundleIdentifier and CFBundleExecutable from a bundle's
// Contents/Info.plist, XML or binary.
class PlistBundleInspector : public BundleInspector
{
public:
    std::optional<QString> bundleIdentifier(const QString &bundlePath) const override;
    std::optional<QString> executableName(const QString &bundlePath) const override;

    // A string value of the top-level dictionary of Contents/Info.plist;
    // nullopt when the file is missing, unreadable, too large, not a
    // property list, or the key is absent or not a string.
    static std::optional<QString> stringValue(const QString &bundlePath, const char *key);
};
