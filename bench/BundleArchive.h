#pragma once

#include <QString>

// Writes a zip that looks like a shipped app bundle: Bench.app with an
// Info.plist, a main binary, frameworks with versioned symbolic links, and
// many resources; part of the content compresses well, part not at all.
namespace BundleArchive {

struct Shape {
    int files = 2000;
    qint64 unpackedBytes = 300LL << 20;
    double incompressibleShare = 0.5;  // of the bytes
};

struct Written {
    qint64 archiveBytes = 0;
    qint64 unpackedBytes = 0;
    int files = 0;
    int links = 0;
};

inline const char *bundleName = "Bench.app";
inline const char *bundleIdentifier = "com.vantrel.bench";

Written write(const QString &path, const Shape &shape);

}  // namespace BundleArchive
