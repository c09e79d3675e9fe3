#include "BlockingWork.h"

namespace BlockingWork {
namespace {

QThreadPool *newPool(int maximumThreads)
{
    auto *p = new QThreadPool;
    p->setMaxThreadCount(maximumThreads);
    p->setExpiryTimeout(30000);
    return p;
}

}  // namespace

QThreadPool *pool()
{
    // Our own pool: a long extraction must not starve other users of the global one.
    static QThreadPool *installPool = newPool(4);
    return installPool;
}

QThreadPool *waitingPool()
{
    static QThreadPool *waiting = newPool(64);
    return waiting;
}

QCoro::Task<void> completionOf(QFuture<std::exception_ptr> future)
{
    const std::exception_ptr error = co_await future;
    if (error)
        std::rethrow_exception(error);
}

}  // namespace BlockingWork
