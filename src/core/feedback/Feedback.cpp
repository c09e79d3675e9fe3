#include "Feedback.h"

#include "FeedbackErrorBody.h"
#include "codec/EnumNames.h"
#include "codec/JsonTypeName.h"
#include "net/ServiceEndpoints.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace FeedbackTypeUtil {

std::optional<FeedbackType> fromRawValue(const QString &raw)
{
    return EnumNames::fromName<FeedbackType>(raw);
}

}  // namespace FeedbackTypeUtil

namespace {

void insertIfPresent(QJsonObject &object, const QString &key, const std::optional<QString> &value)
{
    if (value)
        object.insert(key, *value);
}

// Strict reading of response documents: required members must be there with
// the right type; optional ones may be missing or null.
class JsonReader
{
public:
    static QJsonObject parseObject(const QByteArray &json)
    {
        if (json.trimmed().isEmpty())
            throw DecodingError(QStringLiteral("The response body is empty."));
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(json, &error);
        if (error.error != QJsonParseError::NoError) {
            throw DecodingError(QStringLiteral("The response is not valid JSON: %1 at offset %2.")
                                    .arg(error.errorString())
                                    .arg(error.offset));
        }
        if (!document.isObject())
            throw DecodingError(QStringLiteral("The response is not a JSON object."));
        return document.object();
    }

    [[noreturn]] static void fail(const QString &path, const QString &what)
    {
        throw DecodingError(path + QStringLiteral(": ") + what);
    }

    static QJsonValue required(const QJsonObject &object, const QString &key, const QString &path)
    {
        const auto it = object.constFind(key);
        if (it == object.constEnd())
            fail(path, QStringLiteral("required member is missing"));
        return it.value();
    }

    static void expect(const QJsonValue &value, QJsonValue::Type type, const QString &typeName, const QString &path)
    {
        if (value.type() != type)
            fail(path, QStringLiteral("expected %1, found %2").arg(typeName, jsonTypeName(value)));
    }

    static QString requiredString(const QJsonObject &object, const QString &key, const QString &path)
    {
        const QJsonValue value = required(object, key, path);
        expect(value, QJsonValue::String, QStringLiteral("a string"), path);
        return value.toString();
    }

    static bool requiredBool(const QJsonObject &object, const QString &key, const QString &path)
    {
        const QJsonValue value = required(object, key, path);
        expect(value, QJsonValue::Bool, QStringLiteral("a boolean"), path);
        return value.toBool();
    }

    static QJsonObject requiredObject(const QJsonObject &object, const QString &key, const QString &path)
    {
        const QJsonValue value = required(object, key, path);
        expect(value, QJsonValue::Object, QStringLiteral("an object"), path);
        return value.toObject();
    }

    static std::optional<QString> optionalString(const QJsonObject &object, const QString &key, const QString &path)
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        expect(value, QJsonValue::String, QStringLiteral("a string"), path);
        return value.toString();
    }
};

}  // namespace

QJsonObject FeedbackDiagnostics::toJson() const
{
    QJsonObject object{
        {QStringLiteral("macOSVersion"), macOSVersion},
        {QStringLiteral("launcherVersion"), launcherVersion},
        {QStringLiteral("locale"), locale},
        {QStringLiteral("catalogLifecycle"), catalogLifecycle},
        {QStringLiteral("visibleAppCount"), visibleAppCount},
        {QStringLiteral("publishedAppCount"), publishedAppCount},
        {QStringLiteral("comingSoonAppCount"), comingSoonAppCount},
    };
    insertIfPresent(object, QStringLiteral("selectedAppId"), selectedAppId);
    insertIfPresent(object, QStringLiteral("selectedAppName"), selectedAppName);
    insertIfPresent(object, QStringLiteral("selectedAppVersion"), selectedAppVersion);
    return object;
}

QJsonObject FeedbackSubmissionRequest::toJson() const
{
    QJsonObject object{
        {QStringLiteral("clientRequestId"), clientRequestId},
        {QStringLiteral("type"), EnumNames::name(type)},
        {QStringLiteral("title"), title},
        {QStringLiteral("description"), description},
        {QStringLiteral("diagnostics"), diagnostics.toJson()},
    };
    insertIfPresent(object, QStringLiteral("appId"), appId);
    return object;
}

FeedbackSubmissionResponse FeedbackSubmissionResponse::decode(const QByteArray &json)
{
    const QJsonObject root = JsonReader::parseObject(json);
    FeedbackSubmissionResponse response;
    response.ok = JsonReader::requiredBool(root, QStringLiteral("ok"), QStringLiteral("ok"));
    const QJsonObject issue = JsonReader::requiredObject(root, QStringLiteral("issue"), QStringLiteral("issue"));
    response.issue.id = JsonReader::requiredString(issue, QStringLiteral("id"), QStringLiteral("issue.id"));
    response.issue.identifier =
        JsonReader::optionalString(issue, QStringLiteral("identifier"), QStringLiteral("issue.identifier"));
    if (const auto text = JsonReader::optionalString(issue, QStringLiteral("url"), QStringLiteral("issue.url"))) {
        const auto url = ServiceEndpoints::parseUrl(*text);
        if (!url)
            JsonReader::fail(QStringLiteral("issue.url"), QStringLiteral("%1 is not a valid URL").arg(debugQuoted(*text)));
        response.issue.url = *url;
    }
    response.message = JsonReader::optionalString(root, QStringLiteral("message"), QStringLiteral("message"));
    return response;
}

namespace FeedbackErrorBody {

std::optional<QString> displayText(const QByteArray &json)
{
    try {
        const QJsonObject root = JsonReader::parseObject(json);
        const QString error = JsonReader::requiredString(root, QStringLiteral("error"), QStringLiteral("error"));
        const auto message = JsonReader::optionalString(root, QStringLiteral("message"), QStringLiteral("message"));
        // A blank text would leave the user with an empty failure line.
        if (message && !message->trimmed().isEmpty())
            return *message;
        if (!error.trimmed().isEmpty())
            return error;
        return std::nullopt;
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

}  // namespace FeedbackErrorBody

FeedbackClientError FeedbackClientError::invalidStatus(int code)
{
    return FeedbackClientError(Kind::invalidStatus, code, QString());
}

FeedbackClientError FeedbackClientError::server(const QString &text)
{
    return FeedbackClientError(Kind::server, 0, text);
}

FeedbackClientError FeedbackClientError::invalidResponse()
{
    return FeedbackClientError(Kind::invalidResponse, 0, QString());
}

QString FeedbackClientError::localizedDescription() const
{
    switch (m_kind) {
    case Kind::invalidStatus:
        return QStringLiteral("The feedback server returned HTTP %1.").arg(m_code);
    case Kind::server:
        return m_text;
    case Kind::invalidResponse:
        break;
    }
    return QStringLiteral("The feedback server response was invalid.");
}

QString FeedbackClientError::debugDescription() const
{
    switch (m_kind) {
    case Kind::invalidStatus:
        return QStringLiteral("invalidStatus(%1)").arg(m_code);
    case Kind::server:
        return QStringLiteral("server(%1)").arg(debugQuoted(m_text));
    case Kind::invalidResponse:
        break;
    }
    return QStringLiteral("invalidResponse");
}

FeedbackSubmissionState FeedbackSubmissionState::submitting()
{
    FeedbackSubmissionState state;
    state.m_kind = Kind::submitting;
    return state;
}

FeedbackSubmissionState FeedbackSubmissionState::submitted(const FeedbackIssue &issue)
{
    FeedbackSubmissionState state;
    state.m_kind = Kind::submitted;
    state.m_issue = issue;
    return state;
}

FeedbackSubmissionState FeedbackSubmissionState::failed(const QString &message)
{
    FeedbackSubmissionState state;
    state.m_kind = Kind::failed;
    state.m_message = message;
    return state;
}

QString FeedbackSubmissionState::kindName() const
{
    return EnumNames::name(m_kind);
}
