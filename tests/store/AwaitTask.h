#pragma once

#include "async/WaitForTask.h"

namespace StoreTest {

// The store's operations never raise; true when one ended without raising.
[[nodiscard]] inline bool finishes(QCoro::Task<void> task)
{
    try {
        waitForTask(std::move(task));
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace StoreTest
