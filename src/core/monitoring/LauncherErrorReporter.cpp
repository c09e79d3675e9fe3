#include "Monitoring.h"

#include "errors/LauncherError.h"
#include "log/Logging.h"
#include "net/ServiceEndpoints.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <atomic>
#include <memory>

struct LauncherErrorReporter::Shared {
    std::atomic_int pending{0};
    std::atomic_int timeLimitMs{10000};
    // Lives on the application thread and goes with the application object.
    QPointer<QNetworkAccessManager> session;
};

namespace {

// Holds one of the maxPendingReports places; gives it back when the last copy goes.
using PendingSlot = std::shared_ptr<int>;

template<typename Shared>
std::optional<PendingSlot> takeSlot(const std::shared_ptr<Shared> &shared, int limit)
{
    int current = shared->pending.load();
    do {
        if (current >= limit)
            return std::nullopt;
    } while (!shared->pending.compare_exchange_weak(current, current + 1));
    return PendingSlot(new int(0), [shared](int *p) {
        delete p;
        shared->pending.fetch_sub(1);
    });
}

// Keeps a slot taken for as long as the reply it is attached to exists.
class SlotHolder : public QObject
{
public:
    SlotHolder(PendingSlot slot, QObject *parent) : QObject(parent), m_slot(std::move(slot)) {}

private:
    PendingSlot m_slot;
};

// A public key is a short token; anything that could break the header line is refused.
bool isUsableKey(const QString &key)
{
    if (key.isEmpty())
        return false;
    for (QChar c : key) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f || c == QLatin1Char(','))
            return false;
    }
    return true;
}

QString scrubbed(QString text, const QString &key)
{
    return text.replace(key, QStringLiteral("[Filtered]"));
}

QByteArray eventDocument(const QString &message, const QMap<QString, QString> &context, const QString &key)
{
    QJsonObject extra;
    for (auto it = context.cbegin(); it != context.cend(); ++it)
        extra.insert(scrubbed(it.key(), key), scrubbed(it.value(), key));
    const QJsonObject event{
        {QStringLiteral("event_id"), QUuid::createUuid().toString(QUuid::Id128).toUpper()},
        {QStringLiteral("timestamp"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
        {QStringLiteral("platform"), QStringLiteral("native")},
        {QStringLiteral("logger"), QStringLiteral("vantrel-launcher")},
        {QStringLiteral("level"), QStringLiteral("error")},
        {QStringLiteral("message"), scrubbed(message, key)},
        {QStringLiteral("extra"), extra},
    };
    return QJsonDocument(event).toJson(QJsonDocument::Compact);
}

}  // namespace

LauncherErrorReporter::LauncherErrorReporter(std::optional<QUrl> dsn) : m_shared(std::make_shared<Shared>())
{
    if (dsn)
        m_endpoint = sentryStoreEndpoint(*dsn);
    if (dsn && !m_endpoint)
        qCWarning(lcMonitoring) << "The error-report DSN is not usable; reports are off.";
}

LauncherErrorReporter::~LauncherErrorReporter() = default;

std::optional<QUrl> LauncherErrorReporter::dsnFromEnvironment()
{
    static const char *const variable = "VANTREL_LAUNCHER_SENTRY_DSN";
    if (!qEnvironmentVariableIsSet(variable))
        return std::nullopt;
    return ServiceEndpoints::parseUrl(qEnvironmentVariable(variable));
}

std::optional<LauncherErrorReporter::SentryEndpoint> LauncherErrorReporter::sentryStoreEndpoint(const QUrl &dsn)
{
    if (!dsn.isValid())
        return std::nullopt;
    const QString publicKey = dsn.userName(QUrl::FullyDecoded);
    const QStringList components = dsn.path(QUrl::FullyDecoded).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString projectId = components.isEmpty() ? QString() : components.last();
    if (!isUsableKey(publicKey) || projectId.isEmpty() || dsn.host().isEmpty())
        return std::nullopt;

    QUrl url;
    url.setScheme(dsn.scheme());
    url.setHost(dsn.host());
    if (dsn.port() != -1)
        url.setPort(dsn.port());
    url.setPath(QStringLiteral("/api/") + projectId + QStringLiteral("/store/"), QUrl::DecodedMode);
    if (!url.isValid())
        return std::nullopt;
    return SentryEndpoint{url, publicKey};
}

void LauncherErrorReporter::report(const LauncherError &error, const QMap<QString, QString> &context)
{
    reportMessage(error.localizedDescription(), context);
}

void LauncherErrorReporter::reportMessage(const QString &message, const QMap<QString, QString> &context)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!m_endpoint || !app)
        return;
    auto slot = takeSlot(m_shared, maxPendingReports);
    if (!slot) {
        qCInfo(lcMonitoring) << "Too many error reports in flight; one is dropped.";
        return;
    }

    const QByteArray body = eventDocument(message, context, m_endpoint->publicKey);
    auto send = [shared = m_shared, endpoint = *m_endpoint, body, slot = *slot, app] {
        const int limit = shared->timeLimitMs.load();
        QNetworkRequest request(endpoint.url);
        request.setTransferTimeout(limit);
        // A redirect must not carry the key to another host.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        request.setRawHeader(QByteArrayLiteral("X-Sentry-Auth"),
                             QByteArrayLiteral("Sentry sentry_version=7, sentry_client=vantrel-launcher/0.1.0, sentry_key=")
                                 + endpoint.publicKey.toLatin1());
        if (!shared->session)
            shared->session = new QNetworkAccessManager(app);
        QNetworkReply *reply = shared->session->post(request, body);
        new SlotHolder(slot, reply);
        QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
        // The transfer timeout only notices silence; this bounds a slow trickle too.
        QTimer::singleShot(limit, reply, [reply] { reply->abort(); });
    };
    if (QThread::currentThread() == app->thread())
        send();
    else
        QMetaObject::invokeMethod(app, std::move(send), Qt::QueuedConnection);
}

void LauncherErrorReporter::setReportTimeLimitMs(int msecs)
{
    m_shared->timeLimitMs.store(qMax(1, msecs));
}

int LauncherErrorReporter::pendingReports() const
{
    return m_shared->pending.load();
}

bool LauncherErrorReporter::waitForPendingReports(int msecs) const
{
    const QDeadlineTimer deadline(qMax(0, msecs));
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        // The replies finish on this thread, so keep its events flowing.
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (pendingReports() == 0 || deadline.hasExpired())
                loop.quit();
        });
        poll.start(10);
        if (pendingReports() > 0 && !deadline.hasExpired())
            loop.exec();
    } else {
        while (pendingReports() > 0 && !deadline.hasExpired())
            QThread::msleep(10);
    }
    return pendingReports() == 0;
}
