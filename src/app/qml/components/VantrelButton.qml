// The launcher's button: a primary (lime), secondary or ghost (no fill or
// border) variant. While pressed only the fill dims. Optional leading `symbol`
// (in `symbolFrameWidth`), `fillWidth` to push a trailing `hint` to the far
// edge; where the label and the hint do not both fit, the hint goes and the
// label stays whole. `destructive` draws an action that loses something.
import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Vantrel

T.Button {
    id: control
    enum Variant { Primary, Secondary, Ghost }
    property int variant: VantrelButton.Variant.Secondary
    property string symbol: ""
    property real symbolFrameWidth: -1
    property string hint: ""
    property bool fillWidth: false
    property bool destructive: false

    readonly property color textColor: destructive ? "#FFFFFF" : variant === VantrelButton.Variant.Primary ? VNT.ink : VNT.fg0
    readonly property color fillColor: destructive ? VNT.dangerFill : variant === VantrelButton.Variant.Primary ? VNT.lime
                                       : variant === VantrelButton.Variant.Secondary ? VNT.bg3 : "transparent"
    readonly property color borderColor: destructive ? VNT.dangerFill : variant === VantrelButton.Variant.Primary ? VNT.lime
                                         : variant === VantrelButton.Variant.Secondary ? VNT.line2 : "transparent"

    // 34 at the design's text size; taller when the desktop's text is larger.
    implicitHeight: Math.max(34, Math.ceil(contentItem.implicitHeight) + 12)
    implicitWidth: contentItem.implicitWidth + leftPadding + rightPadding
    leftPadding: variant === VantrelButton.Variant.Ghost ? 8 : 14
    rightPadding: leftPadding
    topPadding: 0
    bottomPadding: 0
    font: VNT.system(13, Font.Medium)
    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.5
    Accessible.name: text
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Accessible.onPressAction: if (enabled) clicked()

    contentItem: Item {
        implicitWidth: row.implicitWidth
        implicitHeight: row.implicitHeight
    RowLayout {
        id: row
        // Centred in a wider button unless it spreads to a trailing hint;
        // by hand, as anchors are an object each.
        y: VNT.centred(parent.height, height)
        x: control.fillWidth ? 0 : Math.max(0, (parent.width - width) / 2)
        width: control.fillWidth ? parent.width : Math.min(implicitWidth, parent.width)
        spacing: 6
        Symbol {
            id: glyph
            objectName: "buttonSymbol"
            visible: control.symbol !== ""
            name: control.symbol
            size: 13
            frameWidth: control.symbolFrameWidth
            color: control.textColor
            // Its frame grows with the text, so the label keeps its distance.
            Layout.preferredWidth: width
        }
        Text {
            id: label
            objectName: "buttonLabel"
            text: control.text
            font: control.font
            color: control.textColor
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
            Layout.fillWidth: control.fillWidth
        }
        Text {
            id: hintText
            objectName: "buttonHint"
            // Shown only beside the whole label: the hint gives way first.
            readonly property real roomForLabel: control.availableWidth - row.spacing - implicitWidth
                                                 - (glyph.visible ? row.spacing + glyph.width : 0)
            visible: control.hint !== "" && (control.width <= 0 || label.implicitWidth <= roomForLabel)
            text: control.hint
            font: VNT.mono(10)
            color: VNT.fg2
        }
    }
    }

    background: Item {
        implicitHeight: 34
        Rectangle {
            width: parent.width
            height: parent.height
            radius: 8
            color: control.fillColor
            opacity: control.down ? 0.75 : 1
        }
        Rectangle {
            width: parent.width
            height: parent.height
            radius: 8
            color: "transparent"
            border.width: control.variant === VantrelButton.Variant.Ghost ? 0 : 1
            border.color: control.borderColor
        }
        FocusRing { target: control; radius: 8 }
    }
}
