#include "Logging.h"

Q_LOGGING_CATEGORY(lcCatalog, "vantrel.catalog", QtWarningMsg)
Q_LOGGING_CATEGORY(lcI18n, "vantrel.i18n", QtWarningMsg)
Q_LOGGING_CATEGORY(lcInstall, "vantrel.install", QtWarningMsg)
Q_LOGGING_CATEGORY(lcMonitoring, "vantrel.monitoring", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStore, "vantrel.store", QtWarningMsg)
