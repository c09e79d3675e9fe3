#pragma once

// QCoro 0.8's waitFor never returns when the awaited task throws. The store's
// tasks must never throw; if one does, the test fails here instead of hanging.

#include <QCoroTask>
#include <QTest>
#include <exception>

namespace StoreTest {

inline QCoro::Task<bool> completesWithoutThrowing(QCoro::Task<void> task)
{
    try {
        co_await task;
    } catch (...) {
        co_return false;
    }
    co_return true;
}

// Waits for a store operation; true when it ended without raising anything.
[[nodiscard]] inline bool finishes(QCoro::Task<void> task)
{
    return QCoro::waitFor(completesWithoutThrowing(std::move(task)));
}

}  // namespace StoreTest
