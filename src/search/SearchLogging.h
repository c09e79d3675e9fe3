#pragma once

#include <QLoggingCategory>

// The desktop search program: the launcher it could not start, calls refused.
Q_DECLARE_LOGGING_CATEGORY(lcSearch)
