#pragma once

#include "ErrorReporting.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
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
    RemoteEventRecorder(QUrl baseURL, QNetworkAccessManager *session,
                        std::shared_ptr<const SystemLanguageProvider> language);

    QUrl baseURL() const { return m_baseURL; }
    QCoro::Task<void> recordEvent(LauncherOperationalEvent event) override;
    // Events are fire-and-forget: a slow service must not hold an install up for long.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

private:
    QUrl m_baseURL;
    QNetworkAccessManager *m_session;
    std::shared_ptr<const SystemLanguageProvider> m_language;
    int m_timeoutMs = 60000;
    // Set once the session took a reply away unanswered (at quit): nothing more is sent.
    std::shared_ptr<bool> m_sessionEnded = std::make_shared<bool>(false);
};

// Sends one error event per report to a Sentry store endpoint; does nothing
// without a usable DSN. Callable from any thread; replies are handled on the
// application thread.
class LauncherErrorReporter : public ErrorReporting
{
public:
    struct SentryEndpoint {
        QUrl url;
        QString publicKey;
    };

    // Reports in flight beyond this many are dropped.
    static constexpr int maxPendingReports = 8;

    explicit LauncherErrorReporter(std::optional<QUrl> dsn);
    ~LauncherErrorReporter() override;

    // The DSN named by "VANTREL_LAUNCHER_SENTRY_DSN", if it parses as a URL.
    static std::optional<QUrl> dsnFromEnvironment();
    static std::optional<SentryEndpoint> sentryStoreEndpoint(const QUrl &dsn);

    void report(const LauncherError &error, const QMap<QString, QString> &context) override;
    void reportMessage(const QString &message, const QMap<QString, QString> &context) override;

    // Longest time one report may take before it is given up (10 s by default).
    void setReportTimeLimitMs(int msecs);
    // Reports still in flight.
    int pendingReports() const;
    // Waits up to msecs for reports in flight; returns true when none is left.
    bool waitForPendingReports(int msecs) const;

private:
    struct Shared;
    std::optional<SentryEndpoint> m_endpoint;
    // Outlives the reporter while replies still hold a place in it.
    std::shared_ptr<Shared> m_shared;
};
