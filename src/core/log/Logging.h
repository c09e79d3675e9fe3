#pragma once

#include <QLoggingCategory>

// The core's categories, one per area; the platform layers, the terminal tool
// and the window declare theirs beside their own code. Warnings show by
// default, the rest only when turned on (QT_LOGGING_RULES="vantrel.*=true").
// Nothing logged may carry a secret, a feedback text or a path in the user's
// home.
Q_DECLARE_LOGGING_CATEGORY(lcCatalog)
Q_DECLARE_LOGGING_CATEGORY(lcI18n)
Q_DECLARE_LOGGING_CATEGORY(lcInstall)
Q_DECLARE_LOGGING_CATEGORY(lcMonitoring)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
