#include "FirstFrameReport.h"

#include <QCoreApplication>
#include <QQuickWindow>

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

}  // namespace

namespace FirstFrameReport {

void watch(QQuickWindow *window)
{
    const QByteArray mode = qgetenv("VANTREL_REPORT_FIRST_FRAME");
    if (mode.isEmpty() || !window)
        return;
    const bool quit = mode == "quit";
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(window, &QQuickWindow::frameSwapped, window, [connection, quit] {
        QObject::disconnect(*connection);
        std::printf("first-frame %.1f\n", msSinceProcessStart());
        std::fflush(stdout);
        if (quit)
            QCoreApplication::quit();
    }, Qt::DirectConnection);
}

}  // namespace FirstFrameReport
