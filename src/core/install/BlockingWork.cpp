#include "BlockingWork.h"

namespace BlockingWork {

QThreadPool *pool()
{
    // Our own pool: a long extraction must not starve other users of the global one.
    static QThreadPool *installPool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(4);
        p->setExpiryTimeout(30000);
        return p;
    }();
    return installPool;
}

QThreadPool *waitingPool()
{
    static QThreadPool *waiting = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(64);
        p->setExpiryTimeout(30000);
        return p;
    }();
    return waiting;
}

QCoro::Task<void> completionOf(QFuture<std::exception_ptr> future)
{
    const std::exception_ptr error = co_await future;
    if (error)
        std::rethrow_exception(error);
}

}  // namespace BlockingWork
