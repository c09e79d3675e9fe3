#pragma once

#include <optional>

class QCoreApplication;

// The launcher's command line. --help and --version are answered before the
// window system is reached, so they print and exit without a display or a
// session bus; every other option is read once the application exists.
namespace LauncherOptions {

// Answers --help or --version and returns the exit status; nullopt when
// neither was asked for and the launcher should start.
std::optional<int> answerWithoutWindows(int argc, char *argv[]);

// Reads the options of a starting launcher (exits on a wrong option, as Qt's
// parser does); true when --hidden was given.
bool startsHidden(const QCoreApplication &app);

}  // namespace LauncherOptions
