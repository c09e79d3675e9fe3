// A symbol by name (the catalog's symbolName or a view's symbol), drawn as a
// glyph of the icon font compiled into the binary; unknown names show the
// fallback glyph. `size` is the font size, `frameWidth` an optional fixed width,
// both at the design's text size: symbols grow with the desktop's text.
import QtQuick
import Vantrel

Text {
    id: symbol
    property string name
    property real size: 13
    property real frameWidth: -1

    text: SymbolGlyphs.glyph(name)
    font.family: SymbolGlyphs.fontFamily
    font.pixelSize: Math.max(1, Math.round(VNT.px(size) * 1.1))
    color: VNT.fg0
    width: frameWidth >= 0 ? VNT.px(frameWidth) : implicitWidth
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    renderType: Text.QtRendering
    Accessible.ignored: true
}
