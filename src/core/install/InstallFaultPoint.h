#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Test hook for crash-safety tests: when VANTREL_INSTALL_PAUSE_AT names a
// phase, the install prints "vantrel-install-phase: PHASE" to stderr on
// reaching it and stops its own process (SIGSTOP) so the test can kill it
// exactly there. Unset, nothing happens.
namespace InstallFaultPoint {

inline void reach(const char *phase)
{
    static const char *pauseAt = std::getenv("VANTREL_INSTALL_PAUSE_AT");
    if (!pauseAt || std::strcmp(pauseAt, phase) != 0)
        return;
    std::fprintf(stderr, "vantrel-install-phase: %s\n", phase);
    std::fflush(stderr);
    std::raise(SIGSTOP);
}

}  // namespace InstallFaultPoint
