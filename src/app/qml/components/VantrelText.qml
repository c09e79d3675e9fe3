// Text a view shows, for people who see it and for those who hear it: Qt
// Quick leaves a plain Text off the accessibility tree, so this one is static
// text named by what it shows (without the marks where ids may break).
// Labels inside a control stay plain Texts: the control speaks for them.
import QtQuick

Text {
    Accessible.role: Accessible.StaticText
    Accessible.name: text.replace(/\u200B/g, "")
}
