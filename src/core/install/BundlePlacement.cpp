#include "BundlePlacement.h"

#include "AppInstallerError.h"
#include "InstallFiles.h"
#include "InstallLocks.h"
#include "InstallReceipt.h"
#include "InstalledCopies.h"
#include "faults/FaultPoint.h"
#include "install/InstallerLayers.h"
#include "log/Logging.h"

#include <QFileInfo>
#include <QUuid>

namespace {

void throwIfCancelled(const std::atomic_bool &cancel)
{
    if (cancel.load())
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
}

}  // namespace

BundlePlacement BundlePlacement::of(const QString &root, const QString &source)
{
    BundlePlacement placement;
    placement.root = root;
    placement.bundleName = QFileInfo(source).fileName();
    placement.source = source;
    placement.staged = root + QStringLiteral("/.") + placement.bundleName + QLatin1Char('.')
        + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".staged");
    placement.destination = root + QLatin1Char('/') + placement.bundleName;
    return placement;
}

void BundlePlacement::run() const
{
    const BundleTree tree = stage();
    const Replaced replaced = judgeReplaced();
    swap(tree);
    keepPreviousCopy(replaced);
}

// The bundle moved (or copied) beside the installed one and flushed to
// disk; yields the tree placed, for the receipt.
BundleTree BundlePlacement::stage() const
{
    InstallLocks::removeDeadStaged(root, bundleName);
    throwIfCancelled(*cancel);
    InstallFiles::placeTreeDurably(source, staged);
    InstallFiles::syncDirectory(root);
    BundleTree tree = BundleTree::describe(staged, checksums);
    FaultPoint::hold("staged", *cancel);
    // The last moment to stop: after the swap the new bundle stays.
    throwIfCancelled(*cancel);
    return tree;
}

// A damaged copy is not kept, and neither is the copy kept before it: going
// back past the damage would skip a version.
BundlePlacement::Replaced BundlePlacement::judgeReplaced() const
{
    Replaced replaced;
    if (repairing)
        return replaced;
    replaced.note = InstalledCopies::replacedNote(destination, app.id, app.version);
    if (replaced.note) {
        if (const std::optional<QString> wrong = InstalledCopies::damage(destination, app.id)) {
            qCInfo(lcInstall) << "The replaced copy is damaged and is not kept:" << *wrong;
            replaced = {std::nullopt, true};
        }
    }
    return replaced;
}

// The staged copy in place in one step; the old copy, if any, is left at
// the staged path.
void BundlePlacement::swap(const BundleTree &tree) const
{
    // Read before the new note replaces it.
    const QByteArray oldNote = InstallReceipt::noteOf(destination);
    InstallReceipt::write(root, bundleName, app, staged, &tree);
    FaultPoint::reach("before-swap");
    try {
        replacer->exchange(destination, staged);
    } catch (const PlatformError &) {
        // The old copy stays, and so does what its note says about it.
        try {
            InstallReceipt::writeNote(destination, oldNote);
            InstallReceipt::removeUnreferencedTrees(root, bundleName);
        } catch (const PlatformError &error) {
            qCWarning(lcInstall) << "The note of the copy in place could not be put back:" << error.localizedDescription();
        }
        throw;
    }
    FaultPoint::reach("after-swap");
}

// The replaced copy becomes the previous copy; the one before it, if any,
// lands at the staged path, and tree files no note names any more go.
void BundlePlacement::keepPreviousCopy(const Replaced &replaced) const
{
    try {
        if (replaced.note)
            InstalledCopies::keepReplaced(destination, staged, *replaced.note, *replacer);
        else if (replaced.damaged)
            InstalledCopies::discardPrevious(destination);
    } catch (const PlatformError &error) {
        // The new bundle is in place; only the way back is lost, and the old copy goes.
        qCWarning(lcInstall) << "The replaced copy could not be kept:" << error.localizedDescription();
    }
    InstallReceipt::removeUnreferencedTrees(root, bundleName);
}
