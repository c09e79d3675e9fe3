#pragma once

#include "AppOperation.h"
#include "OperationOutcome.h"

#include <QDateTime>
#include <QString>
#include <exception>

// An operation's refusal or failure in the language installed, for the
// error line, the summaries and the terminal tool. catalogExpiresAt is the
// catalog's expiry, which an expired catalog's sentence dates.
namespace OperationWording {

// The sentence that says why; dated for an expired catalog.
QString refusalText(Refusal refusal, const QDateTime &catalogExpiresAt);
// The error line for an operation that was refused or failed (empty otherwise).
QString errorLine(const AppOperation &operation, const QDateTime &catalogExpiresAt);
// Why it did not happen, for a summary: the failure or the refusal's sentence.
QString reasonText(const AppOperation &operation, const QDateTime &catalogExpiresAt);
// The sentence to show for whatever an installer operation threw.
QString describe(const std::exception_ptr &failure);

}  // namespace OperationWording
