#include "Logging.h"

Q_LOGGING_CATEGORY(lcCatalog, "vantrel.catalog", QtWarningMsg)
Q_LOGGING_CATEGORY(lcInstall, "vantrel.install", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFeedback, "vantrel.feedback", QtWarningMsg)
Q_LOGGING_CATEGORY(lcMonitoring, "vantrel.monitoring", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStore, "vantrel.store", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPlatform, "vantrel.platform", QtWarningMsg)
Q_LOGGING_CATEGORY(lcCli, "vantrel.cli", QtWarningMsg)
Q_LOGGING_CATEGORY(lcUi, "vantrel.ui", QtWarningMsg)
