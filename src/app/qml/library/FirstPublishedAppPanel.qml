// Home with exactly one published app: a card button featuring it (icon,
// "ready to install" and status badges, name, tagline, the first-app body)
// with its install label at the trailing edge. Choosing it selects the app.
import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Vantrel

VantrelTile {
    id: panel
    objectName: "firstAppPanel"
    required property LauncherStore store
    property var app: null
    signal chosen()
    readonly property string installLabel: {
        store.installStates, store.locale
        return app ? store.stateFor(app.id).label() : ""
    }

    padding: 18
    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    Accessible.name: qsTrId("firstAppTitle") + ": " + (app ? app.name : "")
    onClicked: {
        if (!app)
            return
        store.selectedAppID = app.id
        chosen()
    }

    background: VantrelCard {
        radius: 10
        FocusRing { target: panel; radius: 10 }
    }

    // The install label sits beside the text while the text keeps room for
    // the name on one line (or 360); narrower, it moves under the text.
    contentItem: GridLayout {
        id: content
        readonly property bool sideBySide: width - 68 - 18 - 18 - installLabel.implicitWidth
                                           >= Math.min(nameMetrics.advanceWidth(name.text), 360)
        columns: sideBySide ? 3 : 2
        columnSpacing: 18
        rowSpacing: 12
        VantrelAppIcon {
            app: panel.app
            size: 68
            Layout.alignment: Qt.AlignTop
            Layout.rowSpan: content.sideBySide ? 1 : 2
        }
        ColumnLayout {
            spacing: 6
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignTop
            RowLayout {
                spacing: 6
                AppBadge { text: qsTrId("firstAppTitle"); color: VNT.lime }
                AppBadge {
                    text: panel.app ? qsTrId(CatalogRules.releaseStatusId(panel.app.status)) : ""
                    color: VNT.accentColor(panel.app ? panel.app.accent : Accent.Lime)
                }
            }
            VantrelText {
                id: name
                objectName: "firstAppName"
                text: panel.app ? panel.app.name : ""
                font: VNT.display(28, Font.DemiBold)
                color: VNT.fg0
                Layout.fillWidth: true
                wrapMode: Text.WordWrap
                FontMetrics { id: nameMetrics; font: name.font }
            }
            VantrelText {
                text: panel.app ? panel.app.tagline : ""
                font: VNT.system(13.5)
                color: VNT.fg2
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            VantrelText {
                text: qsTrId(PlatformText.id("firstAppBody"))
                font: VNT.system(12.5)
                color: VNT.fg2
                lineHeight: VNT.lineFactor(font.pixelSize, 3)
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }
        VantrelText {
            id: installLabel
            objectName: "firstAppInstallLabel"
            text: panel.installLabel
            font: VNT.mono(10.5)
            color: VNT.fg2
            Layout.alignment: Qt.AlignTop | Qt.AlignLeft
        }
    }
}
