#pragma once

#include <QLoggingCategory>

// The operating-system layers: archive extraction, the settings file, the
// workspace. Quiet below warnings unless QT_LOGGING_RULES turns it on.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
