// The clear button at the end of a search field: shown while the field holds
// text; a click empties it (`cleared` fires) and gives it the focus back.
// Escape in the field does the same, so the button takes no Tab stop.
import QtQuick
import QtQuick.Templates as T
import Vantrel

T.AbstractButton {
    id: button
    property Item field
    signal cleared()

    visible: field !== null && field.text.length > 0
    focusPolicy: Qt.NoFocus
    implicitWidth: glyph.implicitWidth + 4
    implicitHeight: glyph.implicitHeight
    Accessible.role: Accessible.Button
    Accessible.name: qsTrId("clearSearch")
    Accessible.onPressAction: clicked()

    contentItem: Symbol {
        id: glyph
        name: "xmark.circle.fill"
        size: 13
        color: button.hovered ? VNT.fg1 : VNT.fg2
    }
    onClicked: {
        field.clear()
        field.forceActiveFocus()
        cleared()
    }
}
