#pragma once

#include "BundleTree.h"
#include "catalog/Models.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class DirectoryReplacer;

// A checked bundle put in place under the install root: staged beside the
// installed copy, swapped in in one atomic step, the replaced copy kept as
// the previous one. One blocking job on a worker, so nothing but the cancel
// flag comes between the staging copy and the swap; it holds copies of what
// it needs, never the install itself.
struct BundlePlacement {
    QString root;
    QString bundleName;
    QString source;  // the checked bundle in the work folder
    QString staged;  // a fresh hidden path beside destination
    QString destination;
    AppManifestItem app;
    // The extraction's checksums of the bundle's files, by path below it.
    QHash<QByteArray, quint32> checksums;
    // A repair discards the copy it replaces: the kept previous copy stays.
    bool repairing = false;
    std::shared_ptr<const DirectoryReplacer> replacer;
    std::shared_ptr<std::atomic_bool> cancel;

    // The paths for placing source, a bundle folder, right in root.
    static BundlePlacement of(const QString &root, const QString &source);

    // Stages, swaps and keeps the previous copy. Blocking. Throws
    // AppInstallerError(cancelled) until the swap, PlatformError(fileSystem)
    // when the staging or the swap fails; the copy in place then stays.
    void run() const;

private:
    // What becomes of the copy in place: its note when it is worth keeping as
    // the previous copy.
    struct Replaced {
        std::optional<QByteArray> note;
        bool damaged = false;
    };

    BundleTree stage() const;
    Replaced judgeReplaced() const;
    void swap(const BundleTree &tree) const;
    void keepPreviousCopy(const Replaced &replaced) const;
};
