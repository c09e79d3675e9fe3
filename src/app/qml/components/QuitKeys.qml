// The launcher's Quit, in every window of its own (Command-Q on macOS).
import QtQuick
import Vantrel

Shortcut {
    sequences: [LauncherKeys.quit]
    context: Qt.WindowShortcut
    onActivated: AppScenes.quit()
}
