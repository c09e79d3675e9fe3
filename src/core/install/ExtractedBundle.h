#pragma once

#include <QString>

class BundleInspector;

// The bundle an install takes from what it unpacked: the first ".app" folder
// (InstallFiles::findBundle), its links kept inside it, its identifier the
// catalog's. Blocking; called on a worker.
namespace ExtractedBundle {

struct Found {
    enum class Outcome { found, notFound, escapingLink, identifierMismatch } outcome = Outcome::notFound;
    QString path;  // empty when notFound
};

Found find(const QString &extracted, const BundleInspector &bundles, const QString &bundleId);

}  // namespace ExtractedBundle
