#pragma once

#include <QCoroTask>
#include <exception>
#include <optional>

// Runs a task to its end in a nested event loop and returns its result or
// rethrows its error. QCoro's own waitFor never returns when the task throws.
// For the command-line tool and tests; the application never blocks like this.

template<typename T>
T waitForTask(QCoro::Task<T> task)
{
    std::exception_ptr error;
    auto guarded = [](QCoro::Task<T> inner, std::exception_ptr *failure) -> QCoro::Task<std::optional<T>> {
        try {
            co_return co_await std::move(inner);
        } catch (...) {
            *failure = std::current_exception();
        }
        co_return std::nullopt;
    };
    std::optional<T> result = QCoro::waitFor(guarded(std::move(task), &error));
    if (error)
        std::rethrow_exception(error);
    return std::move(*result);
}

inline void waitForTask(QCoro::Task<void> task)
{
    std::exception_ptr error;
    auto guarded = [](QCoro::Task<void> inner, std::exception_ptr *failure) -> QCoro::Task<void> {
        try {
            co_await std::move(inner);
        } catch (...) {
            *failure = std::current_exception();
        }
    };
    QCoro::waitFor(guarded(std::move(task), &error));
    if (error)
        std::rethrow_exception(error);
}
