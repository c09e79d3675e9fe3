#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class DirectoryReplacer;

// The copies of one installed bundle in the install root: the bundle and,
// after an update, the copy that update replaced, kept hidden beside it as
// ".<bundle>.previous" with its note (one generation per app). Blocking: run
// off the main thread while holding the app's lock. Failures throw
// PlatformError(fileSystem) and leave the bundle as it was.
namespace InstalledCopies {

QString previousPath(const QString &bundlePath);

// Read before a copy of newVersion replaces the bundle at bundlePath: the
// bundle's note when it vouches for appId's bundle at another version, that
// is when the replaced copy is worth keeping; nullopt otherwise.
std::optional<QByteArray> replacedNote(const QString &bundlePath, const QString &appId, const QString &newVersion);

// After the swap: the replaced copy, now at replaced, becomes the previous
// copy under the note read before; the copy it supersedes, if any, is left at
// replaced for the caller to remove.
void keepReplaced(const QString &bundlePath, const QString &replaced, const QByteArray &note,
                  const DirectoryReplacer &replacer);

// What is wrong with the copy at path by its own note (BundleVerifier), for
// people; nullopt when it is as its install placed it, or when its note names
// no tree to compare with (installed before verification existed). Unchanged
// files of a kept copy share their data with the installed one since partial
// updates, so damage to one reaches the other.
std::optional<QString> damage(const QString &path, const QString &appId);

// Deletes the bundle's previous copy and its note, if there is one.
void discardPrevious(const QString &bundlePath);

// The version of the previous copy, when its note vouches for it.
std::optional<QString> previousVersion(const QString &bundlePath, const QString &appId);

// Exchanges the bundle and its previous copy in one step, notes first, so
// the bundle's note is never wrong about what is in place; returns the
// version now in place. A damaged previous copy is never put back: it is
// discarded, and the refusal says why.
QString rollBack(const QString &bundlePath, const QString &appId, const DirectoryReplacer &replacer);

// Whether the desktop's trash can take the bundle: a trash folder on its
// filesystem exists or can be made.
bool trashCanTake(const QString &bundlePath);

// Deletes the previous copy and both notes, then moves the bundle to the
// trash (toTrash) or deletes it for good.
void remove(const QString &bundlePath, bool toTrash);

// Deletes the folder at path by first renaming it to a staged name guarded by
// a lock file, so a removal cut short is finished by the next start's
// leftover clean-up.
void discard(const QString &path);

}  // namespace InstalledCopies
