#include "UiLogging.h"

Q_LOGGING_CATEGORY(lcUi, "vantrel.ui", QtWarningMsg)
