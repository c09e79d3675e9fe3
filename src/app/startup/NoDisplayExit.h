#pragma once

// When no platform plugin can start (no display, or one that cannot be
// reached), Qt aborts the process (status 134) with advice to reinstall it,
// which misleads. While a NoDisplayExit lives, that end says instead that no
// display was found and how to run the launcher, in the system's language,
// and exits with status 1. Qt's own warnings (which display it tried) still
// print before it.
class NoDisplayExit
{
public:
    NoDisplayExit();
    ~NoDisplayExit();

    NoDisplayExit(const NoDisplayExit &) = delete;
    NoDisplayExit &operator=(const NoDisplayExit &) = delete;
};
