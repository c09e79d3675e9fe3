// The main window's content. Bottom layer: onboarding while the store requires
// it, else the library shell (a new one each time onboarding ends). Above it:
// the quick switcher while `showQuickSwitcher` is true, the error alert
// (clears errorMessage on OK or on any other dismissal), the announcement
// sheet (closing it otherwise acknowledges the announcement) and the feedback
// sheet (bound to showingFeedbackSheet). Ctrl+K (Command-K on macOS) opens the
// quick switcher.
//
// Hosted views, each created with `store` (LauncherStore) set:
//   ../onboarding/OnboardingView.qml
//   ../switcher/QuickSwitcherView.qml  also `isPresented: true`; it closes the
//       overlay by setting its own `isPresented` to false
//   ../sheets/AnnouncementPopup.qml    also `announcement` (the pending one)
//   ../sheets/FeedbackSheet.qml
// Questions the store asks (a running app, a metered connection) are
// StoreQuestion popups over everything.
import QtQuick
import Vantrel

Item {
    id: root
    objectName: "rootView"
    required property LauncherStore store
    property bool showQuickSwitcher: false

    readonly property Item shell: shellLoader.item
    readonly property Item onboarding: onboardingSlot.item
    readonly property Item quickSwitcher: switcherSlot.item
    readonly property bool onboardingShown: store.requiresOnboarding
    property alias errorAlert: errorAlert
    property alias announcementSheet: announcementSheet
    property alias feedbackSheet: feedbackSheet

    Rectangle {
        anchors.fill: parent
        color: VNT.bg0
    }

    // Bottom layer: onboarding or the shell, cross-faded (ease-in-out, 0.18 s).
    ViewSlot {
        id: onboardingSlot
        objectName: "onboardingSlot"
        anchors.fill: parent
        active: root.store.requiresOnboarding
        visible: active
        viewUrl: Qt.resolvedUrl("../onboarding/OnboardingView.qml")
        initialProperties: ({ store: root.store })
        placeholderText: qsTrId("onboardingWelcome")
        opacity: active ? 1 : 0
        Behavior on opacity { NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }
    }

    // By URL, so its types load only when it is first shown (most starts show onboarding).
    Loader {
        id: shellLoader
        objectName: "shellSlot"
        anchors.fill: parent
        active: !root.store.requiresOnboarding
        Component.onCompleted: setSource(Qt.resolvedUrl("LauncherShellView.qml"), { store: root.store })
        opacity: active ? 1 : 0
        Behavior on opacity { NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }
    }
    Connections {
        target: shellLoader.item
        ignoreUnknownSignals: true
        function onQuickSwitcherRequested() { root.showQuickSwitcher = true }
    }

    // Quick switcher layer: fades and scales from 0.96 about the centre.
    ViewSlot {
        id: switcherSlot
        objectName: "quickSwitcherSlot"
        anchors.fill: parent
        z: 10
        active: root.showQuickSwitcher || switcherLeave.running
        visible: active
        viewUrl: Qt.resolvedUrl("../switcher/QuickSwitcherView.qml")
        initialProperties: ({ store: root.store, isPresented: true })
        placeholderText: qsTrId("quickSearchPlaceholder")
        transformOrigin: Item.Center

        onItemChanged: {
            if (item && item.isPresented !== undefined)
                item.isPresentedChanged.connect(function() {
                    if (switcherSlot.item && !switcherSlot.item.isPresented)
                        root.showQuickSwitcher = false
                })
        }
        ParallelAnimation {
            id: switcherEnter
            NumberAnimation { target: switcherSlot; property: "opacity"; from: 0; to: 1; duration: 160; easing.type: Easing.InOutQuad }
            NumberAnimation { target: switcherSlot; property: "scale"; from: 0.96; to: 1; duration: 160; easing.type: Easing.InOutQuad }
        }
        ParallelAnimation {
            id: switcherLeave
            NumberAnimation { target: switcherSlot; property: "opacity"; to: 0; duration: 160; easing.type: Easing.InOutQuad }
            NumberAnimation { target: switcherSlot; property: "scale"; to: 0.96; duration: 160; easing.type: Easing.InOutQuad }
        }
        // Without the view file yet, Escape or a click still closes the layer.
        MouseArea {
            anchors.fill: parent
            enabled: !switcherSlot.available
            visible: enabled
            onClicked: root.showQuickSwitcher = false
        }
    }
    // Focus goes back to the control that opened the switcher.
    property Item switcherOpener: null
    onShowQuickSwitcherChanged: {
        if (showQuickSwitcher)
            switcherOpener = Window.activeFocusItem
        else if (switcherOpener && switcherOpener.visible)
            switcherOpener.forceActiveFocus(Qt.PopupFocusReason)
        if (showQuickSwitcher) {
            switcherLeave.stop()
            switcherEnter.restart()
        } else {
            switcherEnter.stop()
            switcherLeave.restart()
        }
    }

    Shortcut {
        objectName: "quickSwitcherShortcut"
        sequences: [LauncherKeys.quickSwitcher]
        context: Qt.WindowShortcut
        enabled: !root.store.requiresOnboarding
        onActivated: root.showQuickSwitcher = true
    }
    Shortcut {
        sequences: [StandardKey.Cancel]
        enabled: root.showQuickSwitcher && !switcherSlot.available
        onActivated: root.showQuickSwitcher = false
    }

    // Error alert: title brand, the message, one OK button.
    ErrorAlert {
        id: errorAlert
        objectName: "errorAlert"
        store: root.store
    }

    // Before a running app is changed: quit it and go on, go on when it quits, or cancel.
    StoreQuestion {
        id: runningQuestion
        objectName: "runningQuestion"
        readonly property var asked: root.store.running.question
        readonly property bool updates: !!asked && asked.change === RunningChange.Update
        shown: !!asked
        title: asked ? qsTrId("runningQuestionTitle").arg(asked.appName) : ""
        body: asked ? qsTrId("runningQuestionDetail").arg(asked.appName).arg(asked.pids.join(", ")) : ""
        answers: [
            { text: qsTrId("cancelAction"), name: "runningCancel", trigger: () => root.store.running.cancelQuestion() },
            { text: qsTrId(updates ? "runningUpdateWhenQuits" : "runningContinueWhenQuits"), name: "runningWhenQuits",
              trigger: () => root.store.running.continueWhenQuit() },
            { text: qsTrId(updates ? "runningQuitAndUpdate" : "runningQuitAndContinue"), name: "runningQuitAndGoOn",
              trigger: () => root.store.running.quitAndContinue() }
        ]
    }

    // Before a large download on a metered connection, naming its size.
    StoreQuestion {
        id: meteredQuestion
        objectName: "meteredQuestion"
        readonly property var asked: root.store.metered.question
        shown: !!asked
        title: qsTrId("meteredTitle")
        body: asked ? asked.text : ""
        answers: [
            { text: qsTrId("meteredNotNow"), name: "meteredNotNow", trigger: () => root.store.metered.notNow() },
            { text: qsTrId("meteredDownloadAnyway"), name: "meteredDownloadAnyway", trigger: () => root.store.metered.downloadAnyway() }
        ]
    }

    // Announcement sheet.
    SheetPopup {
        id: announcementSheet
        objectName: "announcementSheet"
        readonly property var pending: root.store.pendingAnnouncement
        presented: pending !== null && pending !== undefined
        accessibleName: announcementSlot.placeholderText
        onDismissedOtherwise: Qt.callLater(function() {
            if (root.store.pendingAnnouncement !== null && root.store.pendingAnnouncement !== undefined)
                root.store.acknowledgePendingAnnouncement()
        })
        ViewSlot {
            id: announcementSlot
            active: announcementSheet.presented
            viewUrl: Qt.resolvedUrl("../sheets/AnnouncementPopup.qml")
            initialProperties: ({ store: root.store, announcement: announcementSheet.pending })
            placeholderText: announcementSheet.pending ? announcementSheet.pending.title : ""
            onInitialPropertiesChanged: if (item) item.announcement = announcementSheet.pending
        }
    }

    // Feedback sheet, bound both ways to showingFeedbackSheet.
    SheetPopup {
        id: feedbackSheet
        objectName: "feedbackSheet"
        presented: root.store.showingFeedbackSheet
        onDismissedOtherwise: root.store.showingFeedbackSheet = false
        accessibleName: feedbackSlot.placeholderText
        // A typed draft is not dropped by a key without asking.
        mayDismiss: function() { return !feedbackSlot.item || feedbackSlot.item.dismiss() }
        closeKeysEnabled: !feedbackSlot.item || !feedbackSlot.item.asking
        ViewSlot {
            id: feedbackSlot
            active: feedbackSheet.presented
            viewUrl: Qt.resolvedUrl("../sheets/FeedbackSheet.qml")
            initialProperties: ({ store: root.store })
            placeholderText: qsTrId("feedbackTitle")
        }
    }
}
