// An on/off switch with its label hidden (the row carries the title); Space
// toggles it.
import QtQuick
import QtQuick.Templates as T
import Vantrel

T.Switch {
    id: control
    implicitWidth: 38
    implicitHeight: 22
    padding: 0
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: { toggle(); toggled() }
    Keys.onEnterPressed: { toggle(); toggled() }
    // Qt's own toggle action flips `checked` without `toggled`; the owner listens to that.
    Accessible.onToggleAction: { toggle(); toggled() }
    Accessible.onPressAction: { toggle(); toggled() }

    indicator: Rectangle {
        width: 38
        height: 22
        radius: 11
        color: control.checked ? VNT.lime : VNT.bg3
        border.width: 1
        border.color: control.checked ? VNT.lime : VNT.fg2
        opacity: control.enabled ? 1 : 0.5
        Behavior on color { ColorAnimation { duration: 120 } }

        Rectangle {
            width: 18
            height: 18
            radius: 9
            y: 2
            x: control.checked ? parent.width - width - 2 : 2
            color: control.checked ? "#FFFFFF" : VNT.fg1
            Behavior on x { NumberAnimation { duration: 120; easing.type: Easing.InOutQuad } }
        }
        FocusRing { target: control; radius: 13 }
    }
    contentItem: Item {}
}
