#pragma once

#include <QList>
#include <QString>

// App folders as a maker has them before publishing: "Notes.app"
// (com.vantrel.notes) with incompressible parts, a compressible text, an
// empty file, programs with execute bits, a private file, a closed folder and
// two links. Version "1.0" and any other differ in Info.plist and the parts
// changedParts names.
namespace ReleaseFolders {

inline const QString bundleName = QStringLiteral("Notes.app");
inline constexpr int partCount = 24;
inline constexpr int partBytes = 48 * 1024;
inline const QList<int> changedParts = {3, 11, 17};

// Writes root/Notes.app afresh; false when a file could not be written.
bool write(const QString &root, const QString &version);

}  // namespace ReleaseFolders
