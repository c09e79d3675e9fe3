#include "PlatformLogging.h"

Q_LOGGING_CATEGORY(lcPlatform, "vantrel.platform", QtWarningMsg)
