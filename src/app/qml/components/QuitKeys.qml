// The launcher's Quit, in every window of its own (Command-Q on macOS).
// Held by the window itself, as `property QuitKeys quitKeys: QuitKeys {}`:
// a shortcut among the window's items is shut off while any modal pop-up
// (an alert, a question) is open in it, and the quit must stay within reach.
import QtQuick
import Vantrel

Shortcut {
    sequences: [LauncherKeys.quit]
    context: Qt.WindowShortcut
    onActivated: AppScenes.quit()
}
