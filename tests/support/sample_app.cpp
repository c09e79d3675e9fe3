// A stand-in for an installed app's program: appends its process id to the
// file VANTREL_TEST_MARKER names, then runs until asked to quit (SIGTERM),
// or ignores that when VANTREL_TEST_IGNORE_TERM is set. It ends by itself
// after two minutes, so a test that dies leaves nothing running for long.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main()
{
    if (std::getenv("VANTREL_TEST_IGNORE_TERM"))
        std::signal(SIGTERM, SIG_IGN);
    if (const char *marker = std::getenv("VANTREL_TEST_MARKER")) {
        if (std::FILE *file = std::fopen(marker, "a")) {
            std::fprintf(file, "%ld\n", long(getpid()));
            std::fclose(file);
        }
    }
    alarm(120);
    for (;;)
        pause();
}
