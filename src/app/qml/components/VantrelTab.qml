// A tab of a strip or a sidebar: announced as a page tab with a selected
// state, a keyboard stop with a focus ring (set `background` to include a
// `FocusRing`), and Space/Return/Enter or the accessibility press action
// choose it. `selected` comes from the owner; choosing only reports `clicked`.
import QtQuick
import QtQuick.Templates as T
import Vantrel

T.TabButton {
    id: control
    property bool selected: false
    // Selection belongs to the owner; a click must not flip a checked state.
    checkable: false
    autoExclusive: false
    focusPolicy: Qt.StrongFocus
    hoverEnabled: true
    Accessible.selectable: true
    Accessible.selected: selected

    function activate() {
        if (enabled)
            clicked()
    }

    Keys.onReturnPressed: activate()
    Keys.onEnterPressed: activate()
    Accessible.onPressAction: activate()
}
