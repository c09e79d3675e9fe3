#include "BackgroundCleanup.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThreadPool>
#include <QTimer>

#include <atomic>

namespace BackgroundCleanup {
namespace {

// Its own pool: waiting for the clean-ups must not wait for installs too.
QThreadPool *pool()
{
    static QThreadPool *cleanupPool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(2);
        return p;
    }();
    return cleanupPool;
}

std::atomic<int> notStarted{0};

}  // namespace

void schedule(std::function<void()> work)
{
    ++notStarted;
    QTimer::singleShot(0, [work = std::move(work)]() mutable {
        pool()->start(std::move(work));
        --notStarted;
    });
}

bool waitForAll(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (notStarted.load() > 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return notStarted.load() == 0 && pool()->waitForDone(int(qMax<qint64>(0, deadline.remainingTime())));
}

}  // namespace BackgroundCleanup
