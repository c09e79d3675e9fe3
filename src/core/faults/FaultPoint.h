#pragma once

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

// Test hooks for crash-safety tests, reached by the catalog, the installer
// and the platform layers alike. When VANTREL_INSTALL_PAUSE_AT names a
// phase, the process prints "vantrel-install-phase: PHASE" to stderr on
// reaching it and stops its own process (SIGSTOP) so the test can kill it
// exactly there. When VANTREL_INSTALL_HOLD_AT names it, only the thread that
// reached it waits, after the same line, until the install is cancelled (at
// most 30 s), so a test's Ctrl-C lands exactly there while the rest of the
// process runs on. Unset, nothing happens.
namespace FaultPoint {

inline void reach(const char *phase)
{
    static const char *pauseAt = std::getenv("VANTREL_INSTALL_PAUSE_AT");
    if (!pauseAt || std::strcmp(pauseAt, phase) != 0)
        return;
    std::fprintf(stderr, "vantrel-install-phase: %s\n", phase);
    std::fflush(stderr);
    std::raise(SIGSTOP);
}

inline void hold(const char *phase, const std::atomic_bool &cancel)
{
    static const char *holdAt = std::getenv("VANTREL_INSTALL_HOLD_AT");
    if (!holdAt || std::strcmp(holdAt, phase) != 0)
        return;
    std::fprintf(stderr, "vantrel-install-phase: %s\n", phase);
    std::fflush(stderr);
    for (int waited = 0; !cancel.load() && waited < 30000; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace FaultPoint
