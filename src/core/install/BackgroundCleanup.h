#pragma once

#include <functional>

// Removal work an install leaves for after it has returned (the copy it
// replaced, its work folder), so the new bundle is recorded without waiting
// for the disk. Whatever it removes is guarded by lock files, so work cut
// short by a quit or a crash is finished by the next start's leftover clean-up.
namespace BackgroundCleanup {

// Runs work on a worker thread once the caller's thread is back in its event
// loop, that is after whoever awaits the install has taken the result.
void schedule(std::function<void()> work);

// Runs the event loop until every scheduled piece of work has ended or ms
// have passed; true when nothing is left. For tools about to exit, and tests.
bool waitForAll(int ms);

}  // namespace BackgroundCleanup
