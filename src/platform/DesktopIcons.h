#pragma once

#include "catalog/Models.h"

#include <QImage>
#include <QList>
#include <QString>

#include <optional>

// The pictures of an installed app's desktop icons: the bundle's own icon,
// read with the bounds a downloaded file needs, or the launcher's drawn one.
namespace DesktopIcons {

// The sizes the icon theme gets, in pixels.
inline const QList<int> sizes = {16, 24, 32, 48, 64, 128, 256, 512};
// No icon file of a real bundle comes near this; a larger one is not read at all.
inline constexpr qint64 maxFileBytes = 16 * 1024 * 1024;
// Nor does any picture in it need more memory than this to decode.
inline constexpr int allocationLimitMb = 64;

// The file Contents/Info.plist names as CFBundleIconFile, below
// Contents/Resources (".icns" added when it has no extension), as one
// picture at its largest; a null image when the bundle names none or the
// file is refused: a name that is no plain file name, a link leading out of
// the bundle, no regular file, larger than maxFileBytes, or not a picture
// Qt's image plugins can decode within allocationLimitMb.
QImage bundleIcon(const QString &bundlePath);

// An app's symbol as a glyph of a loaded font (a process with a GUI only).
struct Symbol {
    QString fontFamily;
    QChar glyph;
};

// The launcher's own app icon, the tile the views draw: a rounded square in
// the accent's gradient with the symbol in the colour they draw it on it;
// without a symbol, a plain ring in that colour stands in.
QImage drawnIcon(AppAccent accent, int side, const std::optional<Symbol> &symbol = std::nullopt);

// The picture scaled into a side x side square, aspect kept, centred.
QImage atSize(const QImage &picture, int side);

}  // namespace DesktopIcons
