#include "CliLogging.h"

Q_LOGGING_CATEGORY(lcCli, "vantrel.cli", QtWarningMsg)
