// A question the store asks before it goes on (a running app, a metered
// connection): a title, a sentence and the answers, the last one the
// default. Shown while `shown` is true; Escape or a click outside gives the
// first answer, which must leave everything as it is.
import QtQuick
import QtQuick.Layouts
import Vantrel

AlertPopup {
    id: question
    property string title: ""
    property string body: ""
    // [{ text, name (objectName), trigger }]; the first keeps everything as it is.
    property var answers: []

    width: Math.min(460, parent ? parent.width - 32 : 460)
    accessibleRole: Accessible.Dialog
    accessibleName: title
    onClosed: if (shown && answers.length > 0) answers[0].trigger()

    content: ColumnLayout {
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
