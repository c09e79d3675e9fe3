// An app's icon: a rounded square with the accent gradient; the remote icon
// (loaded asynchronously) when the app has one and it loads, else the app's
// symbol. Set `app` (a catalog record) or the three fields directly. `size` is
// at the design's text size; the icon grows with the desktop's text.
import QtQuick
import Vantrel

Item {
    id: icon
    property var app: null
    property real size: 42
    property int accent: app ? app.accent : Accent.Lime
    property string symbolName: app ? app.symbolName : ""
    property var iconUrl: app ? app.iconUrl : null

    readonly property bool imageShown: remote.status === Image.Ready
    readonly property real side: VNT.px(size)
    implicitWidth: side
    implicitHeight: side
    width: side
    height: side

    // The plate with its shadow around it, painted as one.
    IconPlate {
        x: -shadowReach
        y: -shadowReach
        width: icon.side + 2 * shadowReach
        height: icon.side + 2 * shadowReach + shadowOffsetY
        radius: icon.side * 0.22
        startColor: VNT.accentGradientStops(icon.accent)[0]
        endColor: VNT.accentGradientStops(icon.accent)[1]
        shadowColor: VNT.accentColor(icon.accent)
        shadowOpacity: 0.16
        shadowBlur: 16
        shadowOffsetY: 8
    }

    Symbol {
        objectName: "appIconSymbol"
        // Centred by hand: icons are many to a screen.
        x: VNT.centred(icon.side, width)
        y: VNT.centred(icon.side, height)
        visible: !icon.imageShown
        name: icon.symbolName
        size: icon.size * 0.48  // Symbol scales it with the text
        font.weight: Font.DemiBold
        color: VNT.inkOn(icon.accent)
    }

    Image {
        id: remote
        objectName: "appIconImage"
        x: icon.side * 0.08
        y: x
        width: icon.side - x - x
        height: width
        asynchronous: true
        cache: false
        fillMode: Image.PreserveAspectFit
        smooth: true
        source: icon.iconUrl ? icon.iconUrl : ""
        visible: icon.imageShown
    }
}
