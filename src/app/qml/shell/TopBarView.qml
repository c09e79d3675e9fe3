// The top bar: breadcrumb Library › Catalog, the search field (typing narrows
// the library at once; Escape or its clear button empties it) and the
// quick-switch button.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

Item {
    id: bar
    objectName: "topBar"
    required property LauncherStore store
    property string searchText: ""
    signal searchEdited(string text)
    signal quickSwitcherRequested()
    readonly property alias searchField: field
    // 56 at the design's text size; as the text grows, so does the bar around its controls.
    implicitHeight: Math.max(56, quickSwitchButton.implicitHeight + 22)

    Rectangle {
        anchors.fill: parent
        color: VNT.withAlpha(VNT.bg0, 0.72)
    }
    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: VNT.line
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 24
        anchors.rightMargin: 24
        spacing: 14

        RowLayout {
            spacing: 6
            Layout.minimumWidth: implicitWidth
            VantrelText {
                text: qsTrId("topLibrary")
                font: VNT.system(13)
                color: VNT.fg2
            }
            Symbol {
                name: "chevron.right"
                size: 10
                color: VNT.fg3
            }
            VantrelText {
                text: qsTrId("topCatalog")
                font: VNT.system(13)
                color: VNT.fg0
            }
        }

        Item { Layout.fillWidth: true }

        // 260 by 32 at the design's text size, 2 lower than the button beside it
        // at any text size; narrower in a narrow window, so the button stays in it.
        Rectangle {
            objectName: "searchBox"
            Layout.fillWidth: true
            Layout.preferredWidth: 260 * Math.max(1, VNT.textScale / 1.5)
            Layout.maximumWidth: Layout.preferredWidth
            Layout.minimumWidth: 140
            Layout.preferredHeight: Math.max(32, quickSwitchButton.implicitHeight - 2)
            radius: 7
            color: VNT.bg2
            border.color: field.activeFocus ? VNT.withAlpha(VNT.lime, 0.6) : VNT.fg3
            border.width: 1

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 10
                anchors.rightMargin: 10
                spacing: 8
                Symbol {
                    name: "magnifyingglass"
                    size: 13
                    color: VNT.fg3
                }
                TextField {
                    id: field
                    objectName: "searchField"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    text: bar.searchText
                    placeholderText: qsTrId("topSearchApps")
                    placeholderTextColor: VNT.fg2
                    color: VNT.fg0
                    selectionColor: VNT.withAlpha(VNT.lime, 0.35)
                    selectedTextColor: VNT.fg0
                    font: VNT.system(13)
                    leftPadding: 0
                    rightPadding: 0
                    topPadding: 0
                    bottomPadding: 0
                    verticalAlignment: TextInput.AlignVCenter
                    background: null
                    activeFocusOnTab: true
                    Accessible.name: placeholderText
                    onTextEdited: bar.searchEdited(text)
                    Keys.onEscapePressed: (event) => {
                        event.accepted = text.length > 0
                        if (event.accepted) {
                            clear()
                            bar.searchEdited("")
                        }
                    }
                }
                ClearFieldButton {
                    objectName: "searchClearButton"
                    field: field
                    onCleared: bar.searchEdited("")
                }
            }
        }

        VantrelButton {
            id: quickSwitchButton
            objectName: "topQuickSwitchButton"
            Layout.minimumWidth: implicitWidth
            variant: VantrelButton.Variant.Secondary
            symbol: KeyHints.shortcutSymbol()
            text: qsTrId("topQuickSwitch")
            onClicked: bar.quickSwitcherRequested()
        }
    }
}
