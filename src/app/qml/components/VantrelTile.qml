// The base of every clickable card, tile and list row: a keyboard stop with a
// focus ring (`FocusRing` in the background), Space/Return/Enter act as a
// click, and the accessibility press and toggle actions do what a click does
// (Qt 6.4's own handling accepts them without emitting clicked). A checkable
// tile is announced as a check box with its checked state.
import QtQuick
import QtQuick.Templates as T
import Vantrel

T.AbstractButton {
    id: control
    focusPolicy: Qt.StrongFocus
    hoverEnabled: true

    // What a mouse click does: a checkable tile flips first, then clicks.
    function activate() {
        if (!enabled)
            return
        if (checkable) {
            toggle()
            toggled()
        }
        clicked()
    }

    Keys.onReturnPressed: activate()
    Keys.onEnterPressed: activate()
    Accessible.onPressAction: activate()
    Accessible.onToggleAction: activate()
}
