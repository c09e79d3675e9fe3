#pragma once

#include "BundleVerification.h"

#include <QString>

#include <atomic>

// How far a verify has come: written by its threads, read by whoever reports it.
struct VerifyProgress {
    std::atomic<qint64> readBytes{0};
    std::atomic<qint64> totalBytes{0};  // known once the entries are checked
};

// Compares an installed bundle with the tree its receipt records
// (InstallReceipt::treeReceipt): every entry's type, permission bits, size,
// content (CRC-32) and link target, and what the bundle holds beyond it.
// Read-only: the bundle is opened once and everything below it is reached
// one component at a time without following a link (HeldFolder), files are
// opened read-only, nothing is written and no time is set. A receipt that
// cannot be read is reported as such before anything in the bundle is read.
namespace BundleVerifier {

// Blocking; the contents are read by up to `threads` threads (0: one per
// core, at most 4). Throws PlatformError(fileSystem) when the bundle cannot
// be opened or read, or is replaced while it is checked.
BundleVerification verify(const QString &bundlePath, const QString &appId, const std::atomic_bool *cancel = nullptr,
                          VerifyProgress *progress = nullptr, int threads = 0);

}  // namespace BundleVerifier
