#pragma once

#include <QCoroFuture>
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

template <typename F>
auto run(F work) -> QCoro::Task<std::invoke_result_t<F>>
{
    using T = std::invoke_result_t<F>;
    if constexpr (std::is_void_v<T>) {
        const std::exception_ptr error = co_await QtConcurrent::run(pool(), [work = std::move(work)]() -> std::exception_ptr {
            try {
                work();
                return nullptr;
            } catch (...) {
                return std::current_exception();
            }
        });
        if (error)
            std::rethrow_exception(error);
    } else {
        using Outcome = std::pair<std::optional<T>, std::exception_ptr>;
        Outcome outcome = co_await QtConcurrent::run(pool(), [work = std::move(work)]() -> Outcome {
            try {
                return Outcome(work(), nullptr);
            } catch (...) {
                return Outcome(std::nullopt, std::current_exception());
            }
        });
        if (outcome.second)
            std::rethrow_exception(outcome.second);
        co_return std::move(*outcome.first);
    }
}

}  // namespace BlockingWork
