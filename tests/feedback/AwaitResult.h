#pragma once

#include <QCoroTask>
#include <exception>
#include <optional>

// QCoro 0.8's waitFor never returns when the awaited task throws; this
// catches the exception inside a coroutine and rethrows it after the wait.
namespace AwaitResult {

template<typename T>
struct Outcome {
    std::optional<T> value;
    std::exception_ptr error;
};

template<typename T>
QCoro::Task<Outcome<T>> capture(QCoro::Task<T> task)
{
    Outcome<T> outcome;
    try {
        outcome.value = co_await task;
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}

template<typename T>
T wait(QCoro::Task<T> task)
{
    Outcome<T> outcome = QCoro::waitFor(capture(std::move(task)));
    if (outcome.error)
        std::rethrow_exception(outcome.error);
    return std::move(*outcome.value);
}

struct VoidOutcome {
    std::exception_ptr error;
};

inline QCoro::Task<VoidOutcome> captureVoid(QCoro::Task<void> task)
{
    VoidOutcome outcome;
    try {
        co_await task;
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}

inline void wait(QCoro::Task<void> task)
{
    const VoidOutcome outcome = QCoro::waitFor(captureVoid(std::move(task)));
    if (outcome.error)
        std::rethrow_exception(outcome.error);
}

}  // namespace AwaitResult
