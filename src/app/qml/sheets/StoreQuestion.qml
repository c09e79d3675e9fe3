// A question the store asks before it goes on (a running app, a metered
// connection): a title, a sentence and the answers, the last one the
// default. Shown while `shown` is true; Escape or a click outside gives the
// first answer, which must leave everything as it is.
// Templates only, as ErrorAlert: the main window holds it from the start, and
// the Controls style would load with it.
import QtQuick
import QtQuick.Templates as T
import QtQuick.Layouts
import Vantrel

T.Popup {
    id: question
    property bool shown: false
    property string title: ""
    property string body: ""
    // [{ text, name (objectName), trigger }]; the first keeps everything as it is.
    property var answers: []

    parent: T.Overlay.overlay
    anchors.centerIn: T.Overlay.overlay
    modal: true
    focus: true
    width: Math.min(460, parent ? parent.width - 32 : 460)
    padding: 20
    closePolicy: T.Popup.CloseOnEscape
    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitBackgroundHeight + topInset + bottomInset, implicitContentHeight + topPadding + bottomPadding)

    onShownChanged: shown ? open() : close()
    Component.onCompleted: if (shown) open()
    onClosed: if (shown && answers.length > 0) answers[0].trigger()

    T.Overlay.modal: Rectangle { color: Qt.rgba(0, 0, 0, 0.45) }
    background: Rectangle {
        color: VNT.bg2
        radius: 12
        border.color: VNT.line2
        border.width: 1
    }

    CloseKeys {
        enabled: question.opened
        onActivated: question.close()
    }

    // Made when the question is asked: hidden, it costs the first frame nothing.
    contentItem: Loader {
        id: content
        active: question.shown || question.visible
        focus: true
        Accessible.role: Accessible.Dialog
        Accessible.name: question.title
        sourceComponent: ColumnLayout {
            function focusDefault() {
                if (answerButtons.count > 0)
                    answerButtons.itemAt(0).forceActiveFocus()
            }
            spacing: 10
            VantrelText {
                objectName: question.objectName + "Title"
                text: question.title
                font: VNT.system(13, Font.Bold)
                color: VNT.fg0
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            VantrelText {
                objectName: question.objectName + "Body"
                text: question.body
                font: VNT.system(11.5)
                color: VNT.fg1
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            // Answers wrap onto more lines where a language's words are long.
            Flow {
                spacing: 8
                layoutDirection: Qt.RightToLeft
                Layout.topMargin: 6
                Layout.fillWidth: true
                Repeater {
                    id: answerButtons
                    model: question.answers.slice().reverse()
                    VantrelButton {
                        required property var modelData
                        required property int index
                        objectName: modelData.name
                        variant: index === 0 ? VantrelButton.Variant.Primary : VantrelButton.Variant.Secondary
                        text: modelData.text
                        onClicked: modelData.trigger()
                    }
                }
            }
        }
    }

    onOpened: if (content.item) content.item.focusDefault()
}
