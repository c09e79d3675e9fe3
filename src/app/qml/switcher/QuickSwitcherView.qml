// The keyboard-first overlay over the library window: type to narrow the
// published apps and the installed apps the catalog does not list (name,
// tagline, category), move with Up/Down, Return runs the
// highlighted app (opens it when installed or updatable, installs it
// otherwise). Escape empties the query, and closes once it is empty; a click
// on the backdrop closes. Holds only the query and the highlighted row; the
// host inserts it afresh for every presentation.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

Item {
    id: switcher
    objectName: "quickSwitcher"
    required property LauncherStore store
    property bool isPresented: true
    property alias query: searchField.text
    property int selectedIndex: 0
    readonly property alias results: resultsModel

    Accessible.role: Accessible.Dialog
    Accessible.name: qsTrId("sidebarQuickSwitcher")

    QuickSwitcherModel {
        id: resultsModel
        store: switcher.store
        query: searchField.text
    }

    function close() { isPresented = false }

    function moveUp() {
        if (resultsModel.count > 0)
            selectedIndex = Math.max(0, selectedIndex - 1)
    }
    function moveDown() {
        if (resultsModel.count > 0)
            selectedIndex = Math.min(resultsModel.count - 1, selectedIndex + 1)
    }
    function submit() {
        if (selectedIndex >= 0 && selectedIndex < resultsModel.count)
            run(resultsModel.idAt(selectedIndex))
    }
    // Opens an app with a copy installed (one with an update available too),
    // installs every other one: the store decides.
    function run(appId) {
        store.selectedAppID = appId
        store.openApp(appId)
        close()
    }

    onSelectedIndexChanged: if (selectedIndex >= 0 && selectedIndex < resultsModel.count)
                                resultList.positionViewAtIndex(selectedIndex, ListView.Contain)

    // Backdrop: the whole window, black at 45 %; a click closes.
    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.45)
        MouseArea {
            objectName: "quickSwitcherBackdrop"
            anchors.fill: parent
            onClicked: switcher.close()
        }
    }

    SoftShadow {
        anchors.fill: panel
        color: "black"
        opacityTotal: 0.55
        blur: 30
        offsetY: 0
        radius: 14
    }

    Rectangle {
        id: panel
        objectName: "quickSwitcherPanel"
        width: 620
        height: column.implicitHeight
        anchors.centerIn: parent
        radius: 14
        clip: true
        // Opaque: the 92 % fill sits on a blurred material, and Qt Quick draws
        // no backdrop blur, so anything less lets the library read through.
        color: VNT.bg2
        border.width: 1
        border.color: Qt.rgba(1, 1, 1, 0.08)

        // Clicks on the panel do not reach the backdrop.
        MouseArea { anchors.fill: parent }

        // Space the panel may take: the window less a margin above and below.
        readonly property real maxHeight: Math.max(200, switcher.height - 80)
        readonly property real chromeHeight: searchRow.implicitHeight + 1 + header.implicitHeight + 10 + 1 + 34

        ColumnLayout {
            id: column
            anchors.left: parent.left
            anchors.right: parent.right
            spacing: 0

            // Search row.
            RowLayout {
                id: searchRow
                Layout.fillWidth: true
                Layout.margins: 16
                spacing: 12
                Symbol {
                    name: "magnifyingglass"
                    size: 16
                    color: VNT.fg2
                }
                TextField {
                    id: searchField
                    objectName: "quickSearchField"
                    Layout.fillWidth: true
                    placeholderText: qsTrId("quickSearchPlaceholder")
                    placeholderTextColor: VNT.fg2
                    color: VNT.fg0
                    selectionColor: VNT.withAlpha(VNT.lime, 0.35)
                    selectedTextColor: VNT.fg0
                    font: VNT.system(18)
                    leftPadding: 0
                    rightPadding: 0
                    topPadding: 2
                    bottomPadding: 2
                    background: Item {}
                    focus: true
                    Accessible.name: qsTrId("quickSearchPlaceholder")
                    onTextChanged: switcher.selectedIndex = 0
                    Keys.onUpPressed: switcher.moveUp()
                    Keys.onDownPressed: switcher.moveDown()
                    Keys.onReturnPressed: switcher.submit()
                    Keys.onEnterPressed: switcher.submit()
                    Keys.onEscapePressed: text.length > 0 ? clear() : switcher.close()
                    // The switcher is modal: Tab stays in it.
                    KeyNavigation.tab: searchField
                    KeyNavigation.backtab: searchField
                }
                ClearFieldButton {
                    objectName: "quickSearchClearButton"
                    field: searchField
                }
                Rectangle {
                    implicitWidth: escLabel.implicitWidth + 14
                    implicitHeight: 22
                    radius: 5
                    color: VNT.bg3
                    border.width: 1
                    border.color: VNT.line2
                    VantrelText {
                        id: escLabel
                        anchors.centerIn: parent
                        text: "ESC"
                        font: VNT.mono(10)
                        color: VNT.fg2
                    }
                }
            }

            Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: VNT.line }

            // Results header.
            VantrelText {
                id: header
                objectName: "quickResultsHeader"
                Layout.fillWidth: true
                leftPadding: 16
                rightPadding: 16
                topPadding: 12
                bottomPadding: 12
                text: qsTrId("quickResults", resultsModel.count)
                font.family: VNT.systemFamily
                font.pixelSize: VNT.px(10)
                font.letterSpacing: 0.8
                color: VNT.fg2
            }

            // No results.
            Item {
                objectName: "quickNoResults"
                visible: resultsModel.count === 0
                Layout.fillWidth: true
                implicitHeight: 96
                VantrelText {
                    anchors.centerIn: parent
                    text: qsTrId("quickNoResults")
                    font: VNT.system(13)
                    color: VNT.fg2
                }
            }

            ListView {
                id: resultList
                objectName: "quickResultList"
                visible: resultsModel.count > 0
                Layout.fillWidth: true
                implicitHeight: Math.min(contentHeight, Math.max(48, panel.maxHeight - panel.chromeHeight))
                interactive: contentHeight > height
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                keyNavigationEnabled: false
                model: resultsModel
                reuseItems: true
                delegate: Item {
                    id: rowItem
                    required property int index
                    required property string appId
                    required property var app
                    required property string name
                    required property string hint
                    readonly property bool highlighted: index === switcher.selectedIndex
                    objectName: "quickRow_" + appId
                    width: resultList.width
                    height: 48

                    Rectangle {
                        anchors.fill: parent
                        anchors.leftMargin: 8
                        anchors.rightMargin: 8
                        radius: 7
                        color: rowItem.highlighted ? VNT.withAlpha(VNT.lime, 0.12) : "transparent"

                        RowLayout {
                            anchors.fill: parent
                            anchors.leftMargin: 12
                            anchors.rightMargin: 12
                            spacing: 12
                            VantrelAppIcon { app: rowItem.app; size: 30 }
                            ColumnLayout {
                                spacing: 1
                                Layout.fillWidth: true
                                Text {
                                    text: rowItem.name
                                    font: VNT.system(13.5)
                                    color: VNT.fg0
                                    elide: Text.ElideRight
                                    Layout.fillWidth: true
                                }
                                Text {
                                    objectName: "quickRowHint"
                                    text: rowItem.hint
                                    font: VNT.system(11)
                                    color: rowItem.highlighted ? VNT.fg1 : VNT.fg2
                                    elide: Text.ElideRight
                                    Layout.fillWidth: true
                                }
                            }
                            Rectangle {
                                implicitWidth: returnLabel.implicitWidth + 14
                                implicitHeight: 22
                                radius: 5
                                color: "transparent"
                                border.width: 1
                                border.color: VNT.withAlpha(VNT.lime, 0.4)
                                Text {
                                    id: returnLabel
                                    anchors.centerIn: parent
                                    text: "↵"
                                    font: VNT.mono(11)
                                    color: VNT.lime
                                }
                            }
                        }
                    }
                    MouseArea {
                        anchors.fill: parent
                        anchors.leftMargin: 8
                        anchors.rightMargin: 8
                        cursorShape: Qt.PointingHandCursor
                        onClicked: {
                            switcher.selectedIndex = rowItem.index
                            switcher.run(rowItem.appId)
                        }
                    }
                    Accessible.role: Accessible.Button
                    Accessible.name: rowItem.name + ", " + rowItem.hint
                    Accessible.onPressAction: { switcher.selectedIndex = rowItem.index; switcher.run(rowItem.appId) }
                }
            }

            Item { implicitHeight: 10; Layout.fillWidth: true }
            Rectangle { Layout.fillWidth: true; implicitHeight: 1; color: VNT.line }

            // Footer.
            Item {
                Layout.fillWidth: true
                implicitHeight: 34
                VantrelText {
                    anchors.left: parent.left
                    anchors.leftMargin: 16
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTrId("quickFooterLeft")
                    font: VNT.mono(10)
                    color: VNT.fg2
                }
                VantrelText {
                    anchors.right: parent.right
                    anchors.rightMargin: 16
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTrId("quickFooterRight")
                    font: VNT.mono(10)
                    color: VNT.fg2
                }
            }
        }
    }

    Component.onCompleted: searchField.forceActiveFocus()
}
