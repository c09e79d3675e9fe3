#pragma once

#include "async/WorkerCryptoState.h"

#include <QCoroFuture>
#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

// Runs blocking file work on the installer's worker threads and resumes the
// awaiting coroutine on its own thread. Exceptions cross back unchanged
// (QFuture alone would wrap anything that is not a QException).
namespace BlockingWork {

QThreadPool *pool();

template <typename T>
struct Outcome {
    std::optional<T> value;
    std::exception_ptr error;
};

template <typename T>
QCoro::Task<T> resultOf(QFuture<Outcome<T>> future)
{
    Outcome<T> outcome = co_await future;
    if (outcome.error)
        std::rethrow_exception(outcome.error);
    co_return std::move(*outcome.value);
}

QCoro::Task<void> completionOf(QFuture<std::exception_ptr> future);

// Not a coroutine itself: the work's closure is moved straight into the
// pool's task, never into a coroutine frame (GCC 12 destroys closures taken
// by value into a coroutine twice).
template <typename F>
auto runOn(QThreadPool *threads, F &&work) -> QCoro::Task<std::invoke_result_t<std::decay_t<F>>>
{
    using T = std::invoke_result_t<std::decay_t<F>>;
    if constexpr (std::is_void_v<T>) {
        return completionOf(QtConcurrent::run(threads, [work = std::forward<F>(work)]() mutable -> std::exception_ptr {
            const WorkerCryptoStateRelease release;
            try {
                work();
                return nullptr;
            } catch (...) {
                return std::current_exception();
            }
        }));
    } else {
        return resultOf<T>(QtConcurrent::run(threads, [work = std::forward<F>(work)]() mutable -> Outcome<T> {
            const WorkerCryptoStateRelease release;
            try {
                return Outcome<T>{work(), nullptr};
            } catch (...) {
                return Outcome<T>{std::nullopt, std::current_exception()};
            }
        }));
    }
}

template <typename F>
auto run(F &&work) -> QCoro::Task<std::invoke_result_t<std::decay_t<F>>>
{
    return runOn(pool(), std::forward<F>(work));
}

// For work that waits on the network as long as a download lasts: kept off
// pool(), so the short file work of other installs never queues behind it.
QThreadPool *waitingPool();

}  // namespace BlockingWork
