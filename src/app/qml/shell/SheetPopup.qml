// A modal sheet over the window: shown while `presented`; when it closes for
// any other reason (Escape, Ctrl+W, outside click) `dismissedOtherwise` fires so the
// owner can write its store field back. Its single child is the content.
// `mayDismiss`, when set, is asked first and may keep the sheet open (to ask
// before a draft is lost); `closeKeysEnabled` lets a question over the sheet
// take Escape.
import QtQuick
import QtQuick.Templates as T
import Vantrel

T.Popup {
    id: sheet
    property bool presented: false
    signal dismissedOtherwise()
    default property alias content: holder.data
    // What assistive technology calls the sheet.
    property string accessibleName
    property var mayDismiss: null
    property bool closeKeysEnabled: true

    parent: T.Overlay.overlay
    anchors.centerIn: T.Overlay.overlay
    modal: true
    focus: true
    padding: 0
    closePolicy: mayDismiss ? T.Popup.NoAutoClose : T.Popup.CloseOnEscape
    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitBackgroundHeight + topInset + bottomInset, implicitContentHeight + topPadding + bottomPadding)
    width: Math.min(holder.implicitW, parent ? parent.width - 40 : 480)
    height: Math.min(holder.implicitH, parent ? parent.height - 40 : 600)

    T.Overlay.modal: Rectangle { color: Qt.rgba(0, 0, 0, 0.45) }
    background: Rectangle {
        color: VNT.bg1
        radius: 12
        border.color: VNT.line
        border.width: 1
    }
    // The edge is drawn over the content, which fills the sheet, so the sheet
    // stands out from the dimmed window behind it.
    property Item edge: Rectangle {
        objectName: "sheetEdge"
        parent: sheet.contentItem ? sheet.contentItem.parent : null
        anchors.fill: parent
        z: 100
        radius: 12
        color: "transparent"
        border.color: VNT.fg3
        border.width: 1
    }
    contentItem: Item {
        id: holder
        Accessible.role: Accessible.Dialog
        Accessible.name: sheet.accessibleName
        readonly property real implicitW: children.length > 0 ? Math.max(children[0].implicitWidth, 200) : 200
        readonly property real implicitH: children.length > 0 ? Math.max(children[0].implicitHeight, 80) : 80
        onChildrenChanged: {
            for (let i = 0; i < children.length; ++i)
                children[i].anchors.fill = holder
        }
    }

    CloseKeys {
        enabled: sheet.opened && sheet.closeKeysEnabled
        onActivated: if (!sheet.mayDismiss || sheet.mayDismiss()) sheet.close()
    }

    onPresentedChanged: presented ? open() : close()
    Component.onCompleted: if (presented) open()
    onClosed: if (presented) dismissedOtherwise()
}
