// vantrel-bench-floor: the least a Qt Quick program does before its first
// frame, linked with Gui, Qml and Quick only. It shows a window holding one
// Text, as the launcher does with VANTREL_REPORT_FIRST_FRAME=floor, prints
// "first-frame" when that frame is swapped and runs until it is ended.

#include "FloorWindow.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(floorWindowQml, QUrl());
    const std::unique_ptr<QObject> window(component.create());
    auto *quickWindow = qobject_cast<QQuickWindow *>(window.get());
    if (!quickWindow) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    QObject::connect(quickWindow, &QQuickWindow::frameSwapped, &app, [] {
        std::printf("first-frame\n");
        std::fflush(stdout);
    }, Qt::SingleShotConnection);
    return app.exec();
}
