// The first-run screen: the brand and step list on the left; on the right the
// published apps as cards to tick, the selected count and Continue, which
// completes onboarding and starts installing the ticked apps that can be
// installed. All state lives in the store.
import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Vantrel

Item {
    id: view
    objectName: "onboarding"
    required property LauncherStore store

    readonly property int publishedCount: apps.count
    readonly property int selectedCount: store.selectedStarterAppIDs.length
    readonly property bool canContinue: publishedCount > 0 && selectedCount > 0

    AppListModel {
        id: apps
        store: view.store
        kind: AppListModel.Kind.Published
    }

    // Scrolls where the window is shorter than the panels need (large text on a small screen).
    Flickable {
        id: scroller
        objectName: "onboardingScroll"
        width: parent.width
        height: parent.height
        contentWidth: width
        contentHeight: Math.max(height, panels.implicitHeight)
        boundsBehavior: Flickable.StopAtBounds
        interactive: contentHeight > height
        clip: true

        RowLayout {
            id: panels
            width: scroller.width
            height: scroller.contentHeight
            spacing: 0

            // Left panel. Geometry by hand rather than anchors, an object each.
            Rectangle {
                Layout.preferredWidth: 310
                Layout.fillHeight: true
                Layout.minimumHeight: steps.implicitHeight + 64
                gradient: Gradient {
                    GradientStop { position: 0; color: VNT.bg1 }
                    GradientStop { position: 1; color: VNT.bg0 }
                }

                Rectangle {
                    x: parent.width - 1
                    width: 1
                    height: parent.height
                    color: VNT.line
                }

                ColumnLayout {
                    id: steps
                    x: 32
                    y: 32
                    width: parent.width - 64
                    height: parent.height - 64
                    spacing: 0

                    VantrelLogo { size: 34 }
                    VantrelText {
                        objectName: "onboardingWelcome"
                        Layout.topMargin: 18
                        Layout.fillWidth: true
                        text: qsTrId("onboardingWelcome")
                        font: VNT.display(30, Font.DemiBold)
                        lineHeight: VNT.lineFactor(30, 2)
                        color: VNT.fg0
                        wrapMode: Text.Wrap
                    }
                    StepRow { title: qsTrId("onboardingStepChoose"); active: true; Layout.fillWidth: true; Layout.topMargin: 24 }
                    StepRow { title: qsTrId("onboardingStepInstall"); Layout.fillWidth: true; Layout.topMargin: 12 }
                    StepRow { title: qsTrId("onboardingStepOpen"); Layout.fillWidth: true; Layout.topMargin: 12 }
                    Item { Layout.fillHeight: true }
                    VantrelText {
                        objectName: "onboardingStatus"
                        Layout.fillWidth: true
                        text: qsTrId("onboardingStatus", view.publishedCount)
                        font: VNT.mono(11)
                        color: VNT.fg2
                        wrapMode: Text.Wrap
                    }
                }
            }

            // Right panel.
            ColumnLayout {
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.margins: 34
                spacing: 18

                AppBadge {
                    objectName: "onboardingBadge"
                    text: qsTrId("onboardingStepBadge")
                    color: VNT.lime
                }
                VantrelText {
                    objectName: "onboardingTitle"
                    Layout.fillWidth: true
                    text: qsTrId("onboardingTitle")
                    font: VNT.display(26, Font.DemiBold)
                    color: VNT.fg0
                    wrapMode: Text.Wrap
                }
                VantrelText {
                    objectName: "onboardingLead"
                    Layout.fillWidth: true
                    Layout.maximumWidth: 560
                    text: qsTrId(PlatformText.id("onboardingLead"))
                    font: VNT.system(13.5)
                    color: VNT.fg2
                    wrapMode: Text.Wrap
                }

                // Adaptive columns of at least 240, 12 apart; the grid builds its
                // cards lazily and fills the space above the footer.
                Item {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    Layout.minimumHeight: 64
                    clip: true

                    GridView {
                        id: grid
                        objectName: "onboardingGrid"
                        // 12 wider than the panel: each cell carries the 12 of
                        // spacing after its card, the last column's falls outside.
                        width: parent.width + 12
                        height: parent.height
                        readonly property int columns: Math.max(1, Math.floor((parent.width + 12) / (240 + 12)))
                        cellWidth: Math.floor((parent.width + 12) / columns)
                        cellHeight: 64 + 12
                        // Only the cards in view: the first frame waits for every card made.
                        cacheBuffer: 0
                        boundsBehavior: Flickable.StopAtBounds
                        model: apps

                        // Focuses card `at`, made and scrolled into view first; false
                        // past either end, where Tab leaves the grid.
                        function focusCard(at) {
                            if (at < 0 || at >= count)
                                return false
                            positionViewAtIndex(at, GridView.Contain)
                            const card = itemAtIndex(at)
                            if (card)
                                card.forceActiveFocus(Qt.TabFocusReason)
                            return !!card
                        }
                        // The card is the delegate itself, its parts placed by hand (an
                        // anchors object each otherwise): a screenful of cards is made
                        // for the first frame.
                        delegate: VantrelTile {
                            id: card
                            required property string appId
                            required property var app
                            required property string name
                            required property string category
                            required property bool starred
                            required property int index
                            objectName: "onboardingCard_" + appId
                            // The rest of the cell is the 12 of spacing after the card.
                            width: grid.cellWidth - 12
                            height: 64
                            padding: 13
                            // Checkable, so it is announced as a check box with its state.
                            checkable: true
                            checked: starred
                            Accessible.name: name
                            onClicked: view.store.toggleStarter(appId)
                            // The next card may not be made yet: Tab brings it.
                            Keys.onTabPressed: event => event.accepted = grid.focusCard(index + 1)
                            Keys.onBacktabPressed: event => event.accepted = grid.focusCard(index - 1)

                            background: Rectangle {
                                radius: 10
                                color: VNT.bg1
                                border.width: 1
                                border.color: card.starred ? VNT.lime : VNT.line
                                opacity: card.down ? 0.85 : 1
                                FocusRing { target: card; radius: 12 }
                            }
                            VantrelAppIcon {
                                id: cardIcon
                                app: card.app
                                size: 38
                                x: card.leftPadding
                                y: VNT.centred(card.height, height)
                            }
                            SelectionMark {
                                id: selectionMark
                                objectName: "selectionMark"
                                isSelected: card.starred
                                x: card.width - card.rightPadding - width
                                y: VNT.centred(card.height, height)
                            }
                            Column {
                                x: cardIcon.x + cardIcon.width + 12
                                y: VNT.centred(card.height, height)
                                width: selectionMark.x - 12 - x
                                spacing: 2
                                Text {
                                    width: parent.width
                                    text: card.name
                                    font: VNT.system(13.5, Font.DemiBold)
                                    color: VNT.fg0
                                    elide: Text.ElideRight
                                }
                                Text {
                                    width: parent.width
                                    text: card.category
                                    font: VNT.system(11)
                                    color: VNT.fg2
                                    elide: Text.ElideRight
                                }
                            }
                        }
                    }
                }

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 12
                    VantrelText {
                        objectName: "onboardingSelectedCount"
                        text: qsTrId("onboardingSelectedCount", view.selectedCount)
                        font: VNT.system(12)
                        color: VNT.fg2
                    }
                    Item { Layout.fillWidth: true }
                    VantrelButton {
                        objectName: "onboardingContinue"
                        variant: VantrelButton.Variant.Primary
                        text: qsTrId("onboardingContinue")
                        symbol: "arrow.right"
                        enabled: view.canContinue
                        onClicked: view.store.finishOnboarding()
                    }
                }
            }
        }
    }
}
