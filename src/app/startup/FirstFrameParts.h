#pragma once

#include "ObjectCensus.h"

class QQuickWindow;

// The parts of the launcher the object census at the first frame splits the
// objects into: the onboarding's cards, the onboarding and the library views,
// each of the root view's own children (its pop-ups, slots and shortcuts),
// the main window around them, the scenes, the store, the QML engine and the
// application. Read when asked: the views present change as the window goes.
namespace FirstFrameParts {

QList<ObjectCensus::Part> of(QQuickWindow *mainWindow, QObject *scenes, QObject *store);

}  // namespace FirstFrameParts
