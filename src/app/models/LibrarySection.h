#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

// The main window's sections, as the sidebar lists them:
// `selectedSection === LibrarySection.AllApps` in the views.
namespace LibrarySection {
Q_NAMESPACE
QML_ELEMENT
enum Kind { Home, AllApps, Selected, Updates, Settings };
Q_ENUM_NS(Kind)
}  // namespace LibrarySection
