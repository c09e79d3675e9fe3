// Gives keyboard focus back to the control that had it when a modal pop-up
// opened. Place it inside the pop-up (in its background), where it sees the
// window's focus; opening and closing keep focus for the keyboard user.
import QtQuick
import QtQuick.Templates as T

Item {
    id: keeper
    required property T.Popup popup
    property Item opener: null

    Connections {
        target: keeper.popup
        function onAboutToShow() {
            const focused = keeper.Window.activeFocusItem
            // Not when one pop-up replaces another: its own items are no opener.
            if (focused && !keeper.popup.contentItem.contains(focused.mapToItem(keeper.popup.contentItem, 0, 0)))
                keeper.opener = focused
        }
        function onClosed() {
            if (keeper.opener && keeper.opener.visible)
                keeper.opener.forceActiveFocus(Qt.PopupFocusReason)
            keeper.opener = null
        }
    }
}
