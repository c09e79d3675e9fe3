#pragma once

#include "errors/LauncherError.h"
#include "i18n/VantrelLocale.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QMetaType>
#include <QObject>
#include <QUrl>
#include <QVariant>
#include <optional>

class QNetworkAccessManager;

namespace FeedbackEnums {
Q_NAMESPACE
// Declaration order is the order of the sheet's picker.
enum class FeedbackType { bug, idea, improvement, other };
Q_ENUM_NS(FeedbackType)
}  // namespace FeedbackEnums

using FeedbackEnums::FeedbackType;

struct FeedbackDiagnostics {
    QString macOSVersion;
    QString launcherVersion;
    QString locale;
    QString catalogLifecycle;
    int visibleAppCount = 0;
    int publishedAppCount = 0;
    int comingSoonAppCount = 0;
    std::optional<QString> selectedAppId;
    std::optional<QString> selectedAppName;
    std::optional<QString> selectedAppVersion;

    QJsonObject toJson() const;
    friend bool operator==(const FeedbackDiagnostics &, const FeedbackDiagnostics &) = default;
};

struct FeedbackSubmissionRequest {
    QString clientRequestId;
    FeedbackType type = FeedbackType::bug;
    QString title;
    QString description;
    std::optional<QString> appId;
    FeedbackDiagnostics diagnostics;

    QJsonObject toJson() const;
    friend bool operator==(const FeedbackSubmissionRequest &, const FeedbackSubmissionRequest &) = default;
};

struct FeedbackIssue {
    Q_GADGET
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QVariant identifier READ identifierValue CONSTANT)
    Q_PROPERTY(QVariant url READ urlValue CONSTANT)
public:
    QString id;
    std::optional<QString> identifier;
    std::optional<QUrl> url;

    QVariant identifierValue() const { return identifier ? QVariant(*identifier) : QVariant(); }
    QVariant urlValue() const { return url ? QVariant(*url) : QVariant(); }
    friend bool operator==(const FeedbackIssue &, const FeedbackIssue &) = default;
};

struct FeedbackSubmissionResponse {
    bool ok = false;
    FeedbackIssue issue;
    std::optional<QString> message;

    // Throws DecodingError.
    static FeedbackSubmissionResponse decode(const QByteArray &json);
    friend bool operator==(const FeedbackSubmissionResponse &, const FeedbackSubmissionResponse &) = default;
};

class FeedbackClientError : public LauncherError
{
public:
    enum class Kind { invalidStatus, server, invalidResponse };

    static FeedbackClientError invalidStatus(int code);
    static FeedbackClientError server(const QString &text);
    static FeedbackClientError invalidResponse();

    Kind kind() const { return m_kind; }
    int statusCode() const { return m_code; }
    QString serverText() const { return m_text; }

    QString localizedDescription() const override;
    QString debugDescription() const override;

private:
    FeedbackClientError(Kind kind, int code, QString text) : m_kind(kind), m_code(code), m_text(std::move(text)) {}
    Kind m_kind;
    int m_code;
    QString m_text;
};

// idle, submitting, submitted(issue), failed(message). Readable from QML.
class FeedbackSubmissionState
{
    Q_GADGET
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(FeedbackIssue issue READ issue CONSTANT)
    Q_PROPERTY(QString message READ message CONSTANT)
public:
    enum class Kind { idle, submitting, submitted, failed };
    Q_ENUM(Kind)

    FeedbackSubmissionState() = default;
    static FeedbackSubmissionState idle() { return {}; }
    static FeedbackSubmissionState submitting();
    static FeedbackSubmissionState submitted(const FeedbackIssue &issue);
    static FeedbackSubmissionState failed(const QString &message);

    Kind kind() const { return m_kind; }
    QString kindName() const;
    FeedbackIssue issue() const { return m_issue; }
    QString message() const { return m_message; }

    friend bool operator==(const FeedbackSubmissionState &, const FeedbackSubmissionState &) = default;

private:
    Kind m_kind = Kind::idle;
    FeedbackIssue m_issue;
    QString m_message;
};

// The feedback client the store holds.
class FeedbackReporting
{
public:
    virtual ~FeedbackReporting() = default;
    // Throws FeedbackClientError, PlatformError or DecodingError.
    virtual QCoro::Task<FeedbackSubmissionResponse> submitFeedback(FeedbackSubmissionRequest request,
                                                                   VantrelLocale locale) = 0;
};

class RemoteFeedbackClient : public FeedbackReporting
{
public:
    RemoteFeedbackClient(QUrl baseURL, QNetworkAccessManager *session);

    QUrl baseURL() const { return m_baseURL; }
    QCoro::Task<FeedbackSubmissionResponse> submitFeedback(FeedbackSubmissionRequest request,
                                                           VantrelLocale locale) override;
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

private:
    QUrl m_baseURL;
    QNetworkAccessManager *m_session;
    int m_timeoutMs = 60000;
};

Q_DECLARE_METATYPE(FeedbackIssue)
Q_DECLARE_METATYPE(FeedbackSubmissionState)
