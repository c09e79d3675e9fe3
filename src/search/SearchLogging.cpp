#include "SearchLogging.h"

Q_LOGGING_CATEGORY(lcSearch, "vantrel.search", QtWarningMsg)
