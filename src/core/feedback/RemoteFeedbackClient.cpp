#include "Feedback.h"
#include "codec/EnumNames.h"

#include "FeedbackErrorBody.h"
#include "net/ServiceEndpoints.h"

#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QScopeGuard>

namespace {

// Errors QNetworkReply derives from an HTTP status are answers, not transport
// failures: the status and body decide those.
bool isTransportFailure(QNetworkReply::NetworkError error)
{
    if (error == QNetworkReply::NoError)
        return false;
    const int code = int(error);
    return code < 200 || error == QNetworkReply::ProtocolUnknownError || error == QNetworkReply::ProtocolFailure;
}

}  // namespace

RemoteFeedbackClient::RemoteFeedbackClient(QUrl baseURL, QNetworkAccessManager *session)
    : m_baseURL(std::move(baseURL))
    , m_session(session)
{
}

QCoro::Task<FeedbackSubmissionResponse> RemoteFeedbackClient::submitFeedback(FeedbackSubmissionRequest request,
                                                                             VantrelLocale locale)
{
    QNetworkRequest http(ServiceEndpoints::joinPath(m_baseURL, QStringLiteral("/api/feedback")));
    http.setTransferTimeout(m_timeoutMs);
    http.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    http.setRawHeader(QByteArrayLiteral("X-Vantrel-Locale"), EnumNames::name(locale).toLatin1());
    const QByteArray body = RequestBodyEncoder::encode(request.toJson());

    if (!m_session)
        throw PlatformError(PlatformError::Domain::network, QStringLiteral("No network session is available."));

    QPointer<QNetworkReply> reply = m_session->post(http, body);
    co_await reply.get();
    if (!reply)
        throw PlatformError(PlatformError::Domain::network, QStringLiteral("The request was abandoned."));
    const auto cleanup = qScopeGuard([reply] {
        if (reply)
            reply->deleteLater();
    });

    const QNetworkReply::NetworkError error = reply->error();
    if (isTransportFailure(error))
        throw PlatformError(PlatformError::Domain::network, reply->errorString(), int(error));

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        throw FeedbackClientError::invalidResponse();
    const int code = status.toInt();
    const QByteArray answer = reply->readAll();
    if (code >= 200 && code <= 299)
        co_return FeedbackSubmissionResponse::decode(answer);
    if (const auto text = FeedbackErrorBody::displayText(answer))
        throw FeedbackClientError::server(*text);
    throw FeedbackClientError::invalidStatus(code);
}
