#pragma once

#include <QString>

// The bench's app as a maker's folder, for publishing with a file list:
// Bench.app with an Info.plist, a program and `files` resources, half the
// bytes random, half text-like. Generation 0 is the older version; a later
// generation changes one file in changeEvery, text and binary alike (every
// file when changeEvery is 1), made larger than the rest so one file in
// twenty holds about a tenth of the bytes.
namespace BundleFolder {

struct Shape {
    int files = 2000;
    qint64 unpackedBytes = 300LL << 20;
    int changeEvery = 20;
};

// Writes root/Bench.app afresh; returns its unpacked bytes. Throws std::runtime_error.
qint64 write(const QString &root, const Shape &shape, int generation);

}  // namespace BundleFolder
