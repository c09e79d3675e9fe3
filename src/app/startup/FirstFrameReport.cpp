#include "FirstFrameReport.h"

#include "FloorWindow.h"

#include "store/LauncherStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QTimer>

#include <algorithm>
#include <memory>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

// Milliseconds since this process started, from the kernel's own start time.
double msSinceProcessStart()
{
    FILE *stat = std::fopen("/proc/self/stat", "r");
    if (!stat)
        return -1;
    char buffer[1024] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, stat);
    std::fclose(stat);
    buffer[n] = 0;
    // Field 22 (start time in clock ticks) follows the command name in parentheses.
    const char *p = std::strrchr(buffer, ')');
    if (!p)
        return -1;
    unsigned long long startTicks = 0;
    int field = 2;
    for (const char *s = p + 1; *s && field < 22; ++s) {
        if (*s == ' ' && ++field == 22)
            startTicks = std::strtoull(s + 1, nullptr, 10);
    }
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return (double(now.tv_sec) + double(now.tv_nsec) / 1e9 - double(startTicks) / ticks) * 1000.0;
}

bool probing()
{
    static const bool on = !qEnvironmentVariableIsEmpty("VANTREL_REPORT_FIRST_FRAME");
    return on;
}

// Exits after the last awaited report when the probe says "quit".
void reportDone()
{
    static int awaited = 1 + int(!qEnvironmentVariableIsEmpty("VANTREL_REPORT_CATALOG_DRAWN"))
        + int(!qEnvironmentVariableIsEmpty("VANTREL_REPORT_OPENING"));
    if (--awaited == 0 && qgetenv("VANTREL_REPORT_FIRST_FRAME") == "quit")
        QCoreApplication::quit();
}

QWindow *shownWindow(const QString &objectName)
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    const auto shown = std::find_if(windows.cbegin(), windows.cend(),
                                    [&](QWindow *w) { return w->objectName() == objectName && w->isVisible(); });
    return shown == windows.cend() ? nullptr : *shown;
}

// Runs then() once, on the window's next swapped frame.
void onNextFrame(QQuickWindow *window, std::function<void()> then)
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(window, &QQuickWindow::frameSwapped, window, [connection, then] {
        QObject::disconnect(*connection);
        then();
    }, Qt::DirectConnection);
}

}  // namespace

namespace FirstFrameReport {

void mark(const char *name)
{
    if (!probing())
        return;
    std::printf("startup-mark %s %.1f\n", name, msSinceProcessStart());
    std::fflush(stdout);
}

void watch(QQuickWindow *window, LauncherStore *store)
{
    if (!probing() || !window)
        return;
    const QPointer<LauncherStore> watched(store);
    onNextFrame(window, [watched] {
        std::printf("first-frame %.1f catalog %lld\n", msSinceProcessStart(),
                    watched ? qlonglong(watched->manifest().apps.size()) : -1LL);
        std::fflush(stdout);
        reportDone();
    });
}

bool floorAsked()
{
    return qgetenv("VANTREL_REPORT_FIRST_FRAME") == "floor";
}

int showFloor()
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(floorWindowQml, QUrl());
    const std::unique_ptr<QObject> window(component.create());
    auto *quickWindow = qobject_cast<QQuickWindow *>(window.get());
    if (!quickWindow)
        return 1;
    onNextFrame(quickWindow, [] {
        std::printf("first-frame %.1f catalog 0\n", msSinceProcessStart());
        std::fflush(stdout);
    });
    return QGuiApplication::exec();
}

void startObjectCensus()
{
    if (probing() && !qEnvironmentVariableIsEmpty("VANTREL_REPORT_OBJECTS"))
        ObjectCensus::start();
}

void watchObjects(QQuickWindow *window, std::function<QList<ObjectCensus::Part>()> parts)
{
    if (!ObjectCensus::started() || !window)
        return;
    onNextFrame(window, [parts] {
        const QList<ObjectCensus::Share> shares = ObjectCensus::shares(parts());
        qsizetype alive = 0;
        for (const ObjectCensus::Share &share : shares)
            alive += share.objects;
        std::printf("objects %lld\n", qlonglong(alive));
        for (const ObjectCensus::Share &share : shares)
            std::printf("objects-share %s %lld\n", qPrintable(share.name), qlonglong(share.objects));
        std::fflush(stdout);
    });
}

void watchCatalog(QQuickWindow *window, LauncherStore *store)
{
    if (!probing() || !window || !store || qEnvironmentVariableIsEmpty("VANTREL_REPORT_CATALOG_DRAWN"))
        return;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(store, &LauncherStore::manifestChanged, window, [connection, window] {
        QObject::disconnect(*connection);
        // A frame even when nothing that changed is on screen (a version on a hidden page).
        window->update();
        onNextFrame(window, [] {
            std::printf("catalog-drawn %.1f\n", msSinceProcessStart());
            std::fflush(stdout);
            reportDone();
        });
    });
}

void watchOpening(QQuickWindow *window, QList<Opener> openers)
{
    const QString wanted = qEnvironmentVariable("VANTREL_REPORT_OPENING");
    if (!probing() || !window || wanted.isEmpty())
        return;
    const auto found = std::find_if(openers.cbegin(), openers.cend(), [&](const Opener &o) { return o.name == wanted; });
    if (found == openers.cend()) {
        std::printf("opened %s unknown\n", qPrintable(wanted));
        reportDone();
        return;
    }
    const Opener opener = *found;
    onNextFrame(window, [opener] {
        QTimer::singleShot(500, [opener] {
            auto clock = std::make_shared<QElapsedTimer>();
            clock->start();
            opener.open();
            // The window may be made on request, synchronously or a little later.
            auto *poll = new QTimer;
            poll->setInterval(1);
            const auto look = [opener, clock, poll] {
                auto *target = qobject_cast<QQuickWindow *>(shownWindow(opener.windowName));
                if (!target && clock->elapsed() < 10000)
                    return;
                poll->stop();
                poll->deleteLater();
                if (!target) {
                    std::printf("opened %s never\n", qPrintable(opener.name));
                    reportDone();
                    return;
                }
                onNextFrame(target, [opener, clock] {
                    std::printf("opened %s %.1f\n", qPrintable(opener.name), double(clock->nsecsElapsed()) / 1e6);
                    std::fflush(stdout);
                    reportDone();
                });
            };
            QObject::connect(poll, &QTimer::timeout, look);
            poll->start();
            look();
        });
    });
}

}  // namespace FirstFrameReport
