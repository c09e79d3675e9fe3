// The feedback sheet: the form (type, related app, summary, details, the
// diagnostics notice, a failure box after a failed send) or, once sent, the
// success view. The input lives here while the sheet is open, so it survives
// a failure; Cancel and Close dismiss the sheet and reset the state to idle.
// Escape and Ctrl+W ask before they drop a typed draft.
import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vantrel

Item {
    id: sheet
    objectName: "feedbackSheetView"
    required property LauncherStore store

    // Window-local input.
    property int type: FeedbackType.Bug
    property string selectedAppID: ""
    property alias title: summaryField.text
    property alias description: descriptionField.text

    readonly property int stateKind: store.feedbackState.kind
    readonly property bool submitting: stateKind === FeedbackState.Submitting
    readonly property bool submitted: stateKind === FeedbackState.Submitted
    readonly property bool failed: stateKind === FeedbackState.Failed
    readonly property bool canSubmit: title.trim() !== "" && description.trim() !== "" && !submitting
    readonly property bool hasDraft: !submitted && (title.trim() !== "" || description.trim() !== "")
    readonly property bool asking: discardQuestion.opened
    readonly property var appChoices: [{ text: qsTrId("feedbackNoRelatedApp"), value: "" }]
        .concat(store.visibleApps.map(app => ({ text: app.name, value: app.id })))

    implicitWidth: 500
    implicitHeight: (submitted ? successView.implicitHeight : form.implicitHeight) + 44

    function submit() {
        if (!canSubmit)
            return
        store.sendFeedback(type, title.trim(), description.trim(), selectedAppID)
    }
    function close() {
        store.showingFeedbackSheet = false
        store.resetFeedbackState()
    }
    // A dismissal by a key: closes at once, unless there is a draft to ask about. True when closed.
    function dismiss() {
        if (!hasDraft) {
            close()
            return true
        }
        discardQuestion.open()
        return false
    }

    DiscardDraftConfirmation {
        id: discardQuestion
        onDiscarded: sheet.close()
        onClosed: if (sheet.store.showingFeedbackSheet) summaryField.forceActiveFocus()
    }

    Component.onCompleted: {
        const app = store.selectedApp
        selectedAppID = app ? app.id : ""
        summaryField.forceActiveFocus()
    }

    Keys.onEscapePressed: dismiss()
    onSubmittedChanged: if (submitted) closeButton.forceActiveFocus()
    Shortcut {
        sequences: ["Ctrl+Return", "Ctrl+Enter"]
        enabled: !sheet.submitted
        onActivated: sheet.submit()
    }

    Rectangle {
        anchors.fill: parent
        color: VNT.bg0
        radius: 12
    }

    // Scrolls only when the window is too low for the whole sheet.
    Flickable {
        id: flick
        anchors.fill: parent
        contentWidth: width
        contentHeight: sheet.implicitHeight
        clip: true
        interactive: contentHeight > height
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { policy: flick.interactive ? ScrollBar.AsNeeded : ScrollBar.AlwaysOff }

        // Keeps the control with keyboard focus in view.
        function reveal(item) {
            if (!interactive || !item)
                return
            for (let p = item; p; p = p.parent) {
                if (p === flick.contentItem) {
                    const r = item.mapToItem(flick.contentItem, 0, 0, item.width, item.height)
                    if (r.y < contentY)
                        contentY = Math.max(0, r.y - 12)
                    else if (r.y + r.height > contentY + height)
                        contentY = Math.min(contentHeight - height, r.y + r.height - height + 12)
                    return
                }
            }
        }
        // Success view.
        ColumnLayout {
            id: successView
            objectName: "feedbackSuccess"
            visible: sheet.submitted
            x: 22
            y: 22
            width: flick.width - 44
            spacing: 18

            RowLayout {
                spacing: 12
                Layout.fillWidth: true
                Symbol {
                    name: "checkmark.circle.fill"
                    size: 30
                    color: VNT.lime
                    Layout.alignment: Qt.AlignTop
                }
                ColumnLayout {
                    spacing: 6
                    Layout.fillWidth: true
                    Layout.alignment: Qt.AlignTop
                    VantrelText {
                        objectName: "feedbackSuccessTitle"
                        text: qsTrId("feedbackSuccessTitle")
                        font: VNT.display(24, Font.DemiBold)
                        color: VNT.fg0
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                    }
                    VantrelText {
                        text: qsTrId("feedbackSuccessBody")
                        font: VNT.system(13)
                        color: VNT.fg2
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                    }
                }
            }
            AppBadge {
                objectName: "feedbackIssueBadge"
                readonly property var identifier: sheet.submitted ? sheet.store.feedbackState.issue.identifier : undefined
                visible: identifier !== undefined && identifier !== null
                text: visible ? qsTrId("feedbackIssue").arg(identifier) : ""
                color: VNT.lime
            }
            RowLayout {
                Layout.fillWidth: true
                Item { Layout.fillWidth: true }
                VantrelButton {
                    id: closeButton
                    objectName: "feedbackCloseButton"
                    variant: VantrelButton.Variant.Primary
                    text: qsTrId("feedbackClose")
                    onClicked: sheet.close()
                }
            }
        }

        // Form.
        ColumnLayout {
            id: form
            objectName: "feedbackForm"
            visible: !sheet.submitted
            x: 22
            y: 22
            width: flick.width - 44
            spacing: 18

            ColumnLayout {
                spacing: 6
                Layout.fillWidth: true
                VantrelText {
                    objectName: "feedbackFormTitle"
                    text: qsTrId("feedbackTitle")
                    font: VNT.display(25, Font.DemiBold)
                    color: VNT.fg0
                    Layout.fillWidth: true
                    wrapMode: Text.Wrap
                }
                VantrelText {
                    text: qsTrId("feedbackLead")
                    font: VNT.system(13)
                    color: VNT.fg2
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                }
            }

            ColumnLayout {
                spacing: 8
                Layout.fillWidth: true
                VantrelText {
                    text: qsTrId("feedbackType")
                    font: VNT.system(12, Font.DemiBold)
                    color: VNT.fg2
                }
                FeedbackTypePicker {
                    id: typePicker
                    objectName: "feedbackTypePicker"
                    Layout.fillWidth: true
                    value: sheet.type
                    segments: [
                        { value: FeedbackType.Bug, name: "bug", text: qsTrId("feedbackTypeBug") },
                        { value: FeedbackType.Idea, name: "idea", text: qsTrId("feedbackTypeIdea") },
                        { value: FeedbackType.Improvement, name: "improvement", text: qsTrId("feedbackTypeImprovement") },
                        { value: FeedbackType.Other, name: "other", text: qsTrId("feedbackTypeOther") }
                    ]
                    onPicked: (value) => sheet.type = value
                }
            }

            ColumnLayout {
                spacing: 8
                Layout.fillWidth: true
                VantrelText {
                    text: qsTrId("feedbackRelatedApp")
                    font: VNT.system(12, Font.DemiBold)
                    color: VNT.fg2
                }
                PopUpPicker {
                    id: appPicker
                    objectName: "feedbackAppPicker"
                    Layout.fillWidth: true
                    Accessible.name: qsTrId("feedbackRelatedApp")
                    model: sheet.appChoices
                    currentIndex: {
                        for (let i = 0; i < sheet.appChoices.length; ++i)
                            if (sheet.appChoices[i].value === sheet.selectedAppID)
                                return i
                        return 0
                    }
                    onActivated: (index) => sheet.selectedAppID = sheet.appChoices[index].value
                }
            }

            ColumnLayout {
                spacing: 8
                Layout.fillWidth: true
                VantrelText {
                    text: qsTrId("feedbackSummary")
                    font: VNT.system(12)
                    color: VNT.fg2
                }
                TextField {
                    id: summaryField
                    objectName: "feedbackSummaryField"
                    Layout.fillWidth: true
                    implicitHeight: 38
                    leftPadding: 11
                    rightPadding: 11
                    topPadding: 0
                    bottomPadding: 0
                    verticalAlignment: TextInput.AlignVCenter
                    placeholderText: qsTrId("feedbackSummaryPlaceholder")
                    placeholderTextColor: VNT.fg2
                    color: VNT.fg0
                    selectionColor: VNT.withAlpha(VNT.lime, 0.35)
                    selectedTextColor: VNT.fg0
                    font: VNT.system(13)
                    Accessible.name: qsTrId("feedbackSummary")
                    background: Rectangle {
                        radius: 7
                        color: VNT.bg2
                        border.width: 1
                        border.color: summaryField.activeFocus ? VNT.withAlpha(VNT.lime, 0.6) : VNT.fg2
                    }
                    Keys.onReturnPressed: descriptionField.forceActiveFocus()
                    Keys.onEnterPressed: descriptionField.forceActiveFocus()
                }
            }

            ColumnLayout {
                spacing: 8
                Layout.fillWidth: true
                VantrelText {
                    text: qsTrId("feedbackDescription")
                    font: VNT.system(12)
                    color: VNT.fg2
                }
                Rectangle {
                    id: editorBox
                    Layout.fillWidth: true
                    implicitHeight: 130
                    radius: 7
                    color: VNT.bg2
                    border.width: 1
                    border.color: descriptionField.activeFocus ? VNT.withAlpha(VNT.lime, 0.6) : VNT.fg2
                    clip: true

                    ScrollView {
                        id: editorScroll
                        anchors.fill: parent
                        anchors.margins: 1
                        ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
                        TextArea {
                            id: descriptionField
                            objectName: "feedbackDescriptionField"
                            padding: 7
                            leftPadding: 11
                            rightPadding: 11
                            topPadding: 14
                            bottomPadding: 7
                            wrapMode: TextEdit.Wrap
                            color: VNT.fg0
                            selectionColor: VNT.withAlpha(VNT.lime, 0.35)
                            selectedTextColor: VNT.fg0
                            font: VNT.system(13)
                            background: null
                            Accessible.name: qsTrId("feedbackDescription")
                            // Tab leaves the editor instead of typing a tab.
                            Keys.onTabPressed: (event) => { cancelButton.forceActiveFocus(Qt.TabFocusReason); event.accepted = true }
                            Keys.onBacktabPressed: (event) => { summaryField.forceActiveFocus(Qt.BacktabFocusReason); event.accepted = true }
                        }
                    }
                    VantrelText {
                        objectName: "feedbackDescriptionPlaceholder"
                        visible: sheet.description === ""
                        x: 12
                        y: 15
                        width: parent.width - 24
                        text: qsTrId("feedbackDescriptionPlaceholder")
                        font: VNT.system(13)
                        color: VNT.fg2
                        wrapMode: Text.Wrap
                        enabled: false
                    }
                }
            }

            // Diagnostics notice.
            VantrelCard {
                Layout.fillWidth: true
                radius: 8
                implicitHeight: notice.implicitHeight + 24
                RowLayout {
                    id: notice
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.top: parent.top
                    anchors.margins: 12
                    spacing: 10
                    Symbol {
                        name: "lock.shield"
                        size: 13
                        frameWidth: 16
                        color: VNT.lime
                        Layout.alignment: Qt.AlignTop
                    }
                    ColumnLayout {
                        spacing: 3
                        Layout.fillWidth: true
                        Layout.alignment: Qt.AlignTop
                        VantrelText {
                            text: qsTrId("feedbackDiagnosticsTitle")
                            font: VNT.system(12, Font.DemiBold)
                            color: VNT.fg0
                        }
                        VantrelText {
                            text: qsTrId(PlatformText.id("feedbackDiagnosticsBody"))
                            font: VNT.system(12)
                            color: VNT.fg2
                            wrapMode: Text.Wrap
                            Layout.fillWidth: true
                        }
                    }
                }
            }

            // Failure box: the store's message, kept while the user edits.
            Rectangle {
                objectName: "feedbackFailureBox"
                visible: sheet.failed
                Layout.fillWidth: true
                implicitHeight: failureRow.implicitHeight + 24
                radius: 8
                color: VNT.bg2
                RowLayout {
                    id: failureRow
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.top: parent.top
                    anchors.margins: 12
                    spacing: 8
                    Symbol {
                        name: "exclamationmark.triangle"
                        size: 13
                        color: VNT.amber
                        Layout.alignment: Qt.AlignTop
                    }
                    VantrelText {
                        objectName: "feedbackFailureMessage"
                        text: sheet.failed ? sheet.store.feedbackState.message : ""
                        font: VNT.system(12)
                        color: VNT.fg1
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                        Layout.alignment: Qt.AlignTop
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                VantrelButton {
                    id: cancelButton
                    objectName: "feedbackCancelButton"
                    variant: VantrelButton.Variant.Ghost
                    text: qsTrId("feedbackCancel")
                    onClicked: sheet.close()
                }
                Item { Layout.fillWidth: true }
                VantrelButton {
                    id: submitButton
                    objectName: "feedbackSubmitButton"
                    variant: VantrelButton.Variant.Primary
                    text: sheet.submitting ? qsTrId("feedbackSubmitting") : qsTrId("feedbackSubmit")
                    symbol: sheet.submitting ? "hourglass" : "paperplane"
                    enabled: sheet.canSubmit
                    onClicked: sheet.submit()
                }
            }
        }
    }

    Connections {
        target: sheet.Window.window
        function onActiveFocusItemChanged() { flick.reveal(sheet.Window.activeFocusItem) }
    }
}
