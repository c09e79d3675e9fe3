// An empty list: a symbol, a title and a body for the list it stands for
// (Selected and Updates have their own; every other list says there are no apps).
import QtQuick
import QtQuick.Layouts
import Vantrel

VantrelCard {
    id: empty
    objectName: "emptyState_" + spec.name
    required property LauncherStore store
    property int kind: AppListModel.Kind.None
    readonly property var spec: kind === AppListModel.Kind.Selected ? { name: "selected", symbol: "star", title: "noSelectedTitle", body: "noSelectedBody" }
                              : kind === AppListModel.Kind.Updates ? { name: "updates", symbol: "arrow.down.circle", title: "noUpdatesTitle", body: "noUpdatesBody" }
                              : { name: "generic", symbol: "tray", title: "noAppsTitle", body: "noAppsBody" }
    radius: 10
    implicitHeight: Math.max(180, stack.implicitHeight + 48)

    ColumnLayout {
        id: stack
        anchors.centerIn: parent
        width: parent.width - 48
        spacing: 8
        Symbol {
            name: empty.spec.symbol
            size: 24
            color: VNT.fg3
            Layout.alignment: Qt.AlignHCenter
        }
        VantrelText {
            objectName: "emptyTitle"
            text: qsTrId(empty.spec.title)
            font: VNT.system(13, Font.Medium)
            color: VNT.fg0
            Layout.alignment: Qt.AlignHCenter
        }
        VantrelText {
            text: qsTrId(empty.spec.body)
            font: VNT.system(12)
            color: VNT.fg2
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            Layout.fillWidth: true
        }
    }
}
