#include "Monitoring.h"
#include "codec/EnumNames.h"

#include "system/SystemLayers.h"
#include "i18n/VantrelLocale.h"
#include "net/ReplyEnd.h"
#include "net/ServiceEndpoints.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

RemoteEventRecorder::RemoteEventRecorder(QUrl baseURL, QNetworkAccessManager *session,
                                         std::shared_ptr<const SystemLanguageProvider> language)
    : m_baseURL(std::move(baseURL))
    , m_session(session)
    , m_language(std::move(language))
{
}

QCoro::Task<void> RemoteEventRecorder::recordEvent(LauncherOperationalEvent event)
{
    // Events are best effort: no outcome of sending one may reach the caller.
    try {
        // The system language at the time of the call, not the launcher's chosen one.
        const VantrelLocale locale =
            VantrelLocaleUtil::normalized(m_language ? m_language->preferredLanguage() : std::nullopt);

        QNetworkRequest request(ServiceEndpoints::joinPath(m_baseURL, QStringLiteral("/api/events")));
        request.setTransferTimeout(m_timeoutMs);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        request.setRawHeader(QByteArrayLiteral("X-Vantrel-Locale"), EnumNames::name(locale).toLatin1());
        const QByteArray body = RequestBodyEncoder::encode(event.toJson());
        if (!m_session || *m_sessionEnded)
            co_return;

        QNetworkReply *reply = m_session->post(request, body);
        // The recorder may be gone when the reply ends; the flag is shared.
        const std::shared_ptr<bool> sessionEnded = m_sessionEnded;
        if (co_await ReplyEnd(reply))
            reply->deleteLater();
        else
            *sessionEnded = true;  // taken away unanswered: the session is going, and later events with it
    } catch (...) {
    }
}
