// An update the catalog releases gradually and has not offered this computer
// yet: a quiet line saying so, and Update now, which takes it at once.
import QtQuick
import QtQuick.Layouts
import Vantrel

RowLayout {
    id: line
    required property LauncherStore store
    property var app
    readonly property string version: app ? store.manage.stagedUpdates[app.id] || "" : ""

    objectName: "stagedUpdateLine"
    visible: version !== ""
    spacing: 8
    VantrelText {
        objectName: "stagedUpdateText"
        text: line.store.locale && line.version !== "" ? qsTrId("stagedRolloutLine").arg(line.version) : ""
        font: VNT.system(12)
        color: VNT.fg2
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    VantrelButton {
        objectName: "stagedUpdateNowButton"
        variant: VantrelButton.Variant.Secondary
        text: qsTrId("stagedUpdateNow")
        onClicked: line.store.installApp(line.app.id)
    }
}
