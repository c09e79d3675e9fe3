#pragma once

#include <QString>

#include <optional>

// A small note beside each placed bundle (".<bundle>.vantrel-receipt" in the
// install root) naming the app and version it holds and the identity (device,
// inode and creation time) of the folder that was swapped in. It is
// written before the swap; since the swap moves that very folder into place,
// the note describes the bundle exactly when the identities match. After a
// crash between the swap and the recording of the install, the next start
// learns from it which version is really on disk.
namespace InstallReceipt {

// Writes the note for staged, which is about to become installRoot/bundleName.
// Durable (written, flushed, renamed). Throws PlatformError(fileSystem).
void write(const QString &installRoot, const QString &bundleName, const QString &appId, const QString &version,
           const QString &staged);

// The version the bundle at bundlePath holds for appId, when its note
// matches the folder there now; nullopt otherwise.
std::optional<QString> placedVersion(const QString &bundlePath, const QString &appId);

}  // namespace InstallReceipt
