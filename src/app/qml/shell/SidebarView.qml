// The sidebar: brand header, the five section rows (All apps shows the
// visible-app count; Preferences opens the settings window and never becomes
// selected), the category list sorted by code point (choosing one shows All
// apps of that category, choosing it again shows every category), then the
// feedback and quick-switcher buttons.
import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Vantrel

Rectangle {
    id: sidebar
    objectName: "sidebar"
    required property LauncherStore store
    required property CatalogOverview overview
    property int selectedSection: LibrarySection.Home
    property string selectedCategory: ""
    signal sectionChosen(int section)
    signal categoryChosen(string category)  // "" for every category
    signal quickSwitcherRequested()

    color: VNT.bg1

    // `name` only names the row's object.
    readonly property var sections: [
        { section: LibrarySection.Home, name: "home", key: "sidebarHome", symbol: "house" },
        { section: LibrarySection.AllApps, name: "allApps", key: "sidebarAllApps", symbol: "square.grid.2x2" },
        { section: LibrarySection.Selected, name: "selected", key: "sidebarSelected", symbol: "star" },
        { section: LibrarySection.Updates, name: "updates", key: "sidebarUpdates", symbol: "arrow.down.circle" },
        { section: LibrarySection.Settings, name: "settings", key: "sidebarPreferences", symbol: "gearshape" }
    ]

    Rectangle {
        anchors.right: parent.right
        width: 1
        height: parent.height
        color: VNT.line
    }

    // Scrolls where the window is shorter than the rows (large text on a small screen).
    Flickable {
        id: scroller
        objectName: "sidebarScroll"
        anchors.fill: parent
        contentWidth: width
        contentHeight: Math.max(height, column.implicitHeight + 24)
        boundsBehavior: Flickable.StopAtBounds
        interactive: contentHeight > height
        clip: true

        ColumnLayout {
            id: column
            x: 12
            y: 12
            width: scroller.width - 24
            height: scroller.contentHeight - 24
            spacing: 4

            // Header: the mark beside the brand text.
            RowLayout {
                spacing: 9
                Layout.leftMargin: 14
                Layout.rightMargin: 14
                Layout.bottomMargin: 14
                VantrelLogo { objectName: "sidebarLogo"; size: 22 }
                VantrelText {
                    text: qsTrId("brand")
                    font: VNT.display(17, Font.Bold)
                    color: VNT.fg0
                }
            }

            Repeater {
                model: sidebar.sections
                delegate: VantrelTab {
                    id: row
                    required property var modelData
                    readonly property bool isSelected: sidebar.selectedSection === modelData.section
                                                       && (modelData.section !== LibrarySection.AllApps || sidebar.selectedCategory === "")
                    objectName: "sidebarRow_" + modelData.name
                    Layout.fillWidth: true
                    // 32 at the design's text size; the padding stays as the text grows.
                    implicitHeight: Math.max(32, Math.ceil(contentItem.implicitHeight) + 16)
                    selected: isSelected
                    Accessible.name: label.text
                    onClicked: {
                        if (modelData.section === LibrarySection.Settings)
                            AppScenes.showSettingsWindow()
                        else
                            sidebar.sectionChosen(modelData.section)
                    }
                    background: Rectangle {
                        radius: 7
                        color: row.isSelected ? VNT.bg3 : "transparent"
                        FocusRing { target: row; radius: 7 }
                    }
                    contentItem: RowLayout {
                        spacing: 10
                        Symbol {
                            name: row.modelData.symbol
                            size: 13
                            frameWidth: 16
                            Layout.preferredWidth: width
                            color: label.color
                        }
                        Text {
                            id: label
                            text: qsTrId(row.modelData.key)
                            font: VNT.system(13, Font.Medium)
                            color: row.isSelected ? VNT.fg0 : VNT.fg1
                            elide: Text.ElideRight
                            Layout.fillWidth: true
                        }
                        Text {
                            objectName: "allAppsCount"
                            visible: row.modelData.section === LibrarySection.AllApps
                            text: String(sidebar.overview.visibleCount)
                            font: VNT.mono(10)
                            color: VNT.fg2
                        }
                    }
                    leftPadding: 10
                    rightPadding: 10
                }
            }

            VantrelText {
                text: qsTrId("sidebarCategories")
                font: VNT.system(10, Font.Medium)
                color: VNT.fg2
                Layout.leftMargin: 14
                Layout.rightMargin: 14
                Layout.topMargin: 16
                Layout.bottomMargin: 6
            }

            Repeater {
                objectName: "categoryRows"
                model: sidebar.overview.categories
                delegate: T.AbstractButton {
                    id: categoryRow
                    required property string modelData
                    readonly property bool isSelected: sidebar.selectedSection === LibrarySection.AllApps
                                                       && sidebar.selectedCategory === modelData
                    objectName: "categoryRow"
                    Layout.fillWidth: true
                    implicitHeight: Math.max(26, Math.ceil(contentItem.implicitHeight) + 11)
                    leftPadding: 14
                    rightPadding: 14
                    hoverEnabled: true
                    focusPolicy: Qt.StrongFocus
                    Accessible.role: Accessible.Button
                    Accessible.name: modelData
                    Keys.onReturnPressed: clicked()
                    Keys.onEnterPressed: clicked()
                    onClicked: sidebar.categoryChosen(isSelected ? "" : modelData)
                    background: Rectangle {
                        radius: 7
                        color: categoryRow.isSelected ? VNT.bg3 : categoryRow.hovered ? VNT.bg2 : "transparent"
                        FocusRing { target: categoryRow; radius: 7 }
                    }
                    contentItem: RowLayout {
                        spacing: 10
                        Rectangle {
                            width: 5; height: 5; radius: 2.5
                            color: categoryRow.isSelected ? VNT.lime : VNT.fg3
                        }
                        Text {
                            text: categoryRow.modelData
                            font: VNT.system(12.5)
                            color: categoryRow.isSelected ? VNT.fg0 : VNT.fg2
                            elide: Text.ElideRight
                            Layout.fillWidth: true
                        }
                    }
                }
            }

            Item { Layout.fillHeight: true }

            VantrelButton {
                objectName: "sidebarFeedbackButton"
                variant: VantrelButton.Variant.Secondary
                symbol: "bubble.left.and.bubble.right"
                symbolFrameWidth: 16
                text: qsTrId("sendFeedback")
                fillWidth: true
                Layout.fillWidth: true
                onClicked: {
                    // A fresh form every time the sheet opens.
                    sidebar.store.resetFeedbackState()
                    sidebar.store.showingFeedbackSheet = true
                }
            }
            VantrelButton {
                objectName: "sidebarQuickSwitcherButton"
                variant: VantrelButton.Variant.Secondary
                symbol: KeyHints.shortcutSymbol()
                text: qsTrId("sidebarQuickSwitcher")
                hint: KeyHints.hint(LauncherKeys.quickSwitcher, sidebar.store.locale)
                fillWidth: true
                Layout.fillWidth: true
                onClicked: sidebar.quickSwitcherRequested()
            }
        }
    }
}
