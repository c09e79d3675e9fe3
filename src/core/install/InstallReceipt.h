#pragma once

#include "BundleTree.h"
#include "catalog/Models.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A small note beside each placed bundle (".<bundle>.vantrel-receipt" in the
// install root) naming the app and version it holds, the catalog's record of
// the app as it was installed (so the app can be shown once the catalog drops
// it), and the identity (device, inode and creation time) of the folder that
// was swapped in. It is
// written before the swap; since the swap moves that very folder into place,
// the note describes the bundle exactly when the identities match. After a
// crash between the swap and the recording of the install, the next start
// learns from it which version is really on disk.
//
// The note also names the tree the install placed (BundleTree), kept in a
// file of its own beside it (".<bundle>.<UUID>.vantrel-tree", too large for
// the note), and that file's SHA-256. A fresh name for every install means
// the note's rename alone switches a copy to its new tree, and notes that
// follow their folders (kept copy, roll back) take their tree along; trees
// no note names are removed by the installer under the app's lock and by the
// leftover clean-up. Notes written before verification existed name no tree.
namespace InstallReceipt {

// Writes the tree file, then the note for staged, which is about to become
// installRoot/bundleName. Durable (written, flushed, renamed). Throws
// PlatformError(fileSystem). Without a tree, the note is as versions before
// verification wrote it.
void write(const QString &installRoot, const QString &bundleName, const AppManifestItem &app, const QString &staged,
           const BundleTree *tree = nullptr);

// What a bundle's note says about its tree, read as untrusted input.
struct TreeReceipt {
    enum class State {
        described,   // the tree, whole and checked
        legacy,      // no tree: installed before verification existed
        unreadable,  // garbled, cut short, for another app or copy, or naming paths that leave the bundle
    };
    State state = State::unreadable;
    QString version;  // described and legacy: what the note names, when it names one
    BundleTree tree;  // described
    QString problem;  // unreadable: why, for logs
};
// Reads nothing but the note and its tree file in the install root.
TreeReceipt treeReceipt(const QString &bundlePath, const QString &appId);

// Removes the tree files of bundleName that no note in installRoot names.
// Call while holding the app's lock.
void removeUnreferencedTrees(const QString &installRoot, const QString &bundleName);

// The leftover clean-up's part: tree files no note names, of bundles no
// install is placing right now. Returns how many were removed.
int removeDeadTrees(const QString &installRoot);

// The version the bundle at bundlePath holds for appId, when its note
// matches the folder there now; nullopt otherwise. Any folder in the install
// root may carry a note, the kept previous copy of a bundle too.
std::optional<QString> placedVersion(const QString &bundlePath, const QString &appId);

// The catalog's record of appId that the bundle's note keeps; nullopt when
// the note has none (notes of older versions) or it does not decode.
std::optional<AppManifestItem> recordedApp(const QString &bundlePath, const QString &appId);

// The note of the folder at path as it stands (empty when there is none),
// and writing such a note for another path, for when that folder moves
// there: the identity inside stays the folder's, so the note holds only once
// it has moved. Writing is durable and throws PlatformError(fileSystem); an
// empty note removes the path's note.
QByteArray noteOf(const QString &path);
void writeNote(const QString &path, const QByteArray &note);

// Exchanges the notes of a and b, for when their folders are exchanged.
// Durable. Throws PlatformError(fileSystem).
void exchange(const QString &a, const QString &b);

// Removes the note of the folder at path; errors are ignored.
void remove(const QString &path) noexcept;

}  // namespace InstallReceipt
