#pragma once

#include <QString>
#include <stdexcept>

struct SampleArchive;

class PackagingError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

namespace BundleZip {

// A sample bundle's icon: the app's tile as the launcher draws it (its
// accent's gradient on a rounded square, its symbol from symbolFont, the
// family of the loaded icon font; a ring where that is empty), as an .icns
// file where Qt's image plugins write one (a PNG elsewhere).
struct Icon {
    QString fileName;  // below Contents/Resources
    QByteArray bytes;
};
Icon icon(const SampleArchive &archive, const QString &symbolFont);

// The Info.plist (XML) of a sample bundle; it names the icon file.
QByteArray infoPlist(const SampleArchive &archive, const QString &iconFile);

// Publishes archivePath and its file list beside it: NAME.app/Contents/Info.plist,
// NAME.app/Contents/MacOS/EXECUTABLE (a copy of program, mode 0755) and the
// icon in NAME.app/Contents/Resources, staged as a folder first.
// Written to temporary names first, so a half-written release is never left
// under the final name. Throws PackagingError.
void write(const SampleArchive &archive, const QString &program, const QString &archivePath, const QString &symbolFont);

}  // namespace BundleZip
