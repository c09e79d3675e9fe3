#pragma once

#include <QCoroTask>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class LauncherError;
class QNetworkAccessManager;
class SystemLanguageProvider;

struct LauncherOperationalEvent {
    QString eventType;
    std::optional<QString> appSlug;
    std::optional<QString> appVersion;
    QString status;
    std::optional<QString> reason;

    QJsonObject toJson() const;
    friend bool operator==(const LauncherOperationalEvent &, const LauncherOperationalEvent &) = default;
};

// The event recorder the store holds. Never fails.
class OperationalEventRecording
{
public:
    virtual ~OperationalEventRecording() = default;
    virtual QCoro::Task<void> recordEvent(LauncherOperationalEvent event) = 0;
};

class RemoteEventRecorder : public OperationalEventRecording
{
public:
    RemoteEventRecorder(QUrl baseURL, QNetworkAccessManager *session, const SystemLanguageProvider *language);

    QUrl baseURL() const { return m_baseURL; }
    QCoro::Task<void> recordEvent(LauncherOperationalEvent event) override;
    // Events are fire-and-forget: a slow service must not hold an install up for long.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

private:
    QUrl m_baseURL;
    QNetworkAccessManager *m_session;
    const SystemLanguageProvider *m_language;
    int m_timeoutMs = 60000;
};

// Sends one error event to the Sentry store endpoint named by
// "VANTREL_LAUNCHER_SENTRY_DSN"; does nothing without it. Never blocks the caller.
namespace LauncherErrorReporter {

struct SentryEndpoint {
    QUrl url;
    QString publicKey;
};

void report(const LauncherError &error, const QMap<QString, QString> &context);
// Same, with the error's message given directly.
void reportMessage(const QString &message, const QMap<QString, QString> &context);

std::optional<SentryEndpoint> sentryStoreEndpoint(const QUrl &dsn);

// Reports in flight beyond this many are dropped.
inline constexpr int maxPendingReports = 8;
// Longest time one report may take before it is given up (10 s by default).
void setReportTimeLimitMs(int msecs);

// Reports still in flight; the application waits on them briefly when quitting.
int pendingReports();
// Waits up to msecs for reports in flight; returns true when none is left.
bool waitForPendingReports(int msecs);

}  // namespace LauncherErrorReporter
