#pragma once

#include <QMap>
#include <QString>

class LauncherError;

// Where install failures are reported. Never blocks and never fails: a report
// that cannot be sent is dropped.
class ErrorReporting
{
public:
    virtual ~ErrorReporting() = default;
    virtual void report(const LauncherError &error, const QMap<QString, QString> &context) = 0;
    // Same, with the error's message given directly.
    virtual void reportMessage(const QString &message, const QMap<QString, QString> &context) = 0;
};
