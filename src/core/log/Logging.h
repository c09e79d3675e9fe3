#pragma once

#include <QLoggingCategory>

// One category per area; warnings show by default, the rest only when turned
// on (QT_LOGGING_RULES="vantrel.*=true"). Nothing logged may carry a secret,
// a feedback text or a path in the user's home.
Q_DECLARE_LOGGING_CATEGORY(lcCatalog)
Q_DECLARE_LOGGING_CATEGORY(lcInstall)
Q_DECLARE_LOGGING_CATEGORY(lcFeedback)
Q_DECLARE_LOGGING_CATEGORY(lcMonitoring)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcCli)
Q_DECLARE_LOGGING_CATEGORY(lcUi)
