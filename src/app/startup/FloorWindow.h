#pragma once

// The least a Qt Quick window can show: one Text in a window of the main
// window's size. The bench starts it in the launcher (VANTREL_REPORT_FIRST_FRAME
// set to "floor") and in a program linking only Gui, Qml and Quick, so the
// launcher's first frame is measured against what the libraries cost alone.
inline constexpr char floorWindowQml[] = "import QtQuick\n"
                                         "Window { width: 1060; height: 720; visible: true;"
                                         " Text { anchors.centerIn: parent; text: \"Vantrel\" } }\n";
