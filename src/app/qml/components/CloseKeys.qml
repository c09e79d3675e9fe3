// Escape and Ctrl+W (Command-W on macOS) close a window or a sheet, as on
// every desktop; the owner says what closing means in onActivated. A pop-up
// open inside (a picker's list) takes Escape first.
import QtQuick

Shortcut {
    sequences: [StandardKey.Cancel, StandardKey.Close]
    context: Qt.WindowShortcut
}
