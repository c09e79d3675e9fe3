#pragma once

#include <QList>
#include <QString>

class QObject;

// Counts the QObjects alive through Qt's object hooks (the ones debuggers use),
// and splits them by which named part of the window holds them: what a start-up
// change costs or saves in objects. Off unless start() was called, so a normal
// start pays nothing for it.
namespace ObjectCensus {

// Before the first QObject that should be counted: QApplication's, usually.
void start();
bool started();

// A part of the window: every object under one of `roots` (by parent item for
// items, by parent for the rest) counts towards `name`.
struct Part {
    QString name;
    QList<const QObject *> roots;
};

struct Share {
    QString name;
    qsizetype objects = 0;
};

// "ViewSlot" for a QML type's "ViewSlot_QMLTYPE_3".
QString typeName(const QObject *object);

// The objects alive now, each counted for the first root met on the way up
// from it (itself included), so a part inside another takes its own objects.
// In the order of `parts`; then the objects under no root, as "other/<class>"
// by the class of the topmost object above them.
QList<Share> shares(const QList<Part> &parts);

}  // namespace ObjectCensus
