// Design tokens: the fixed dark palette, the five accents, the ink used on
// light accents, accent gradients and the display/mono font helpers.
// Every view takes its colours and fonts from here.
pragma Singleton
import QtQuick
import Vantrel

QtObject {
    readonly property color bg0: "#0B0D10"
    readonly property color bg1: "#11141A"
    readonly property color bg2: "#161A21"
    readonly property color bg3: "#1C2129"
    readonly property color line: "#262C36"
    readonly property color line2: "#2E3540"
    readonly property color fg0: "#F3F4F6"
    readonly property color fg1: "#C9CCD3"
    readonly property color fg2: "#8B909A"
    // Faint: decoration only (dividers, disabled marks). At 2.6-3.1 : 1 on the
    // backgrounds it is too faint for text; text uses fg2 at the least.
    readonly property color fg3: "#5A606B"

    readonly property color lime: Qt.rgba(0.74, 0.94, 0.34, 1)
    readonly property color violet: Qt.rgba(0.62, 0.42, 0.96, 1)
    readonly property color amber: Qt.rgba(0.96, 0.68, 0.30, 1)
    readonly property color blue: Qt.rgba(0.33, 0.68, 0.95, 1)
    readonly property color cyan: Qt.rgba(0.28, 0.82, 0.88, 1)

    // Dark ink on lime and the other light accents.
    readonly property color ink: "#0B1004"
    // Failures: text and symbols on the dark backgrounds, and the fill of a
    // destructive button (white text on it).
    readonly property color danger: "#F26B6B"
    readonly property color dangerFill: "#C4353B"

    readonly property string monoFamily: VantrelFonts.monoFamily
    readonly property string systemFamily: VantrelFonts.systemFamily
    // The desktop's text size relative to the design's (1 at the usual size).
    readonly property real textScale: VantrelFonts.textScale

    // A design font size in pixels at the desktop's text size.
    function px(size) {
        return size * textScale
    }

    // An app's accent (Accent.Violet, ...) to its colour.
    function accentColor(accent) {
        switch (accent) {
        case Accent.Violet: return violet
        case Accent.Amber: return amber
        case Accent.Blue: return blue
        case Accent.Cyan: return cyan
        default: return lime
        }
    }

    // accentGradient: the accent runs into violet; violet runs into lime.
    function accentGradientStops(accent) {
        return [accentColor(accent), accent === Accent.Violet ? lime : violet]
    }

    // Symbol colour on an accent: white on violet, ink elsewhere.
    function inkOn(accent) {
        return accent === Accent.Violet ? "#FFFFFF" : ink
    }

    // Extra space between lines (SwiftUI-style line spacing) as a Text
    // lineHeight factor for a font of pixel size `size`.
    function lineFactor(size, spacing) {
        return 1 + spacing / (size * 1.2)
    }

    // A state text as a screen reader is told it: a percentage in whole tens,
    // so an install is announced as it starts, every ten percent and at its end.
    function spokenProgress(text) {
        return String(text).replace(/(\d+)(\s*%)/, (all, n, rest) => (Math.floor(Number(n) / 10) * 10) + rest)
    }

    // Where anchors.centerIn would place an item `inner` long in one `outer`
    // long (odd lengths on whole pixels), for items that are many to a screen:
    // every item given anchors carries one more object.
    function centred(outer, inner) {
        const half = length => Math.trunc(length) % 2 ? (length + 1) / 2 : length / 2
        return half(outer) - half(inner)
    }

    function withAlpha(c, a) {
        return Qt.rgba(c.r, c.g, c.b, a)
    }

    // vantrelDisplay(size, weight): the display family when installed, else the
    // system font, at the given pixel size and weight.
    function display(size, weight) {
        return Qt.font({ family: VantrelFonts.displayFamily(), pixelSize: px(size),
                         weight: weight === undefined ? Font.Normal : weight })
    }
    function system(size, weight) {
        return Qt.font({ family: systemFamily, pixelSize: px(size),
                         weight: weight === undefined ? Font.Normal : weight })
    }
    function mono(size, weight) {
        return Qt.font({ family: monoFamily, pixelSize: px(size),
                         weight: weight === undefined ? Font.Normal : weight })
    }
}
