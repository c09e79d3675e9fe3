#pragma once

#include <QLoggingCategory>

// The terminal tool's own plumbing (its Ctrl-C watch); what it reports to
// the user goes to stdout and stderr, not here.
Q_DECLARE_LOGGING_CATEGORY(lcCli)
