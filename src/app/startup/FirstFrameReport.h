#pragma once

#include "ObjectCensus.h"

#include <QList>
#include <QString>
#include <functional>

class LauncherStore;
class QQuickWindow;

// Opt-in start-up probe for benchmarks: with VANTREL_REPORT_FIRST_FRAME set,
// prints "first-frame <ms since process start> catalog <apps>" on the window's
// first swapped frame; with the value "quit" the launcher then exits (unless
// a catalog or an opening is awaited below). Does nothing otherwise.
namespace FirstFrameReport {

void watch(QQuickWindow *window, LauncherStore *store);

// With VANTREL_REPORT_FIRST_FRAME=floor the launcher shows only the floor
// window (FloorWindow.h) instead of its own, reports its first frame and runs
// until it is ended: what its libraries cost before any of its views.
bool floorAsked();
int showFloor();

// With the probe on, prints "startup-mark <name> <ms since process start>":
// where the time before the first frame goes.
void mark(const char *name);

// With the probe on and VANTREL_REPORT_CATALOG_DRAWN set, prints
// "catalog-drawn <ms since process start>" on the first frame after a
// refresh changed the catalog.
void watchCatalog(QQuickWindow *window, LauncherStore *store);

// With the probe on and VANTREL_REPORT_OBJECTS set, counts the QObjects made
// from here on (call it before QApplication); watchObjects then prints, on the
// window's first swapped frame, "objects <alive>" and "objects-share <part>
// <objects>" for each part parts() names at that moment, and for "other".
void startObjectCensus();
void watchObjects(QQuickWindow *window, std::function<QList<ObjectCensus::Part>()> parts);

// A secondary view the bench opens for the first time: open() asks for it,
// the window named windowName shows it.
struct Opener {
    QString name;
    std::function<void()> open;
    QString windowName;
};

// With the probe on and VANTREL_REPORT_OPENING naming an opener: half a second
// after the first frame, opens it and prints "opened <name> <ms from the
// request to the frame that shows it>".
void watchOpening(QQuickWindow *window, QList<Opener> openers);

}  // namespace FirstFrameReport
