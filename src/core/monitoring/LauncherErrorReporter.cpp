#include "Monitoring.h"

#include "errors/LauncherError.h"
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

namespace LauncherErrorReporter {

namespace {

std::atomic_int g_pending{0};
std::atomic_int g_timeLimitMs{10000};

// Holds one of the maxPendingReports places; gives it back when the last copy goes.
using PendingSlot = std::shared_ptr<int>;

std::optional<PendingSlot> takeSlot()
{
    int current = g_pending.load();
    do {
        if (current >= maxPendingReports)
            return std::nullopt;
    } while (!g_pending.compare_exchange_weak(current, current + 1));
    return PendingSlot(new int(0), [](int *p) {
        delete p;
        g_pending.fetch_sub(1);
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

// Lives on the application thread and goes with the application object.
QNetworkAccessManager *reporterSession(QCoreApplication *app)
{
    static QPointer<QNetworkAccessManager> session;
    if (!session)
        session = new QNetworkAccessManager(app);
    return session;
}

void send(const SentryEndpoint &endpoint, const QByteArray &body, const PendingSlot &slot)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    const int limit = g_timeLimitMs.load();
    QNetworkRequest request(endpoint.url);
    request.setTransferTimeout(limit);
    // A redirect must not carry the key to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setRawHeader(QByteArrayLiteral("X-Sentry-Auth"),
                         QByteArrayLiteral("Sentry sentry_version=7, sentry_client=vantrel-launcher/0.1.0, sentry_key=")
                             + endpoint.publicKey.toLatin1());

    QNetworkReply *reply = reporterSession(app)->post(request, body);
    new SlotHolder(slot, reply);
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    // The transfer timeout only notices silence; this bounds a slow trickle too.
    QTimer::singleShot(limit, reply, [reply] { reply->abort(); });
}

}  // namespace

std::optional<SentryEndpoint> sentryStoreEndpoint(const QUrl &dsn)
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

void report(const LauncherError &error, const QMap<QString, QString> &context)
{
    reportMessage(error.localizedDescription(), context);
}

void reportMessage(const QString &message, const QMap<QString, QString> &context)
{
    static const char *const variable = "VANTREL_LAUNCHER_SENTRY_DSN";
    if (!qEnvironmentVariableIsSet(variable))
        return;
    const auto dsn = ServiceEndpoints::parseUrl(qEnvironmentVariable(variable));
    if (!dsn)
        return;
    const auto endpoint = sentryStoreEndpoint(*dsn);
    if (!endpoint)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    const auto slot = takeSlot();
    if (!slot)
        return;

    const QByteArray body = eventDocument(message, context, endpoint->publicKey);
    if (QThread::currentThread() == app->thread()) {
        send(*endpoint, body, *slot);
    } else {
        QMetaObject::invokeMethod(
            app, [endpoint = *endpoint, body, slot = *slot] { send(endpoint, body, slot); }, Qt::QueuedConnection);
    }
}

void setReportTimeLimitMs(int msecs)
{
    g_timeLimitMs.store(qMax(1, msecs));
}

int pendingReports()
{
    return g_pending.load();
}

bool waitForPendingReports(int msecs)
{
    const QDeadlineTimer deadline(qMax(0, msecs));
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        // The replies finish on this thread, so keep its events flowing.
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (g_pending.load() == 0 || deadline.hasExpired())
                loop.quit();
        });
        poll.start(10);
        if (g_pending.load() > 0 && !deadline.hasExpired())
            loop.exec();
    } else {
        while (g_pending.load() > 0 && !deadline.hasExpired())
            QThread::msleep(10);
    }
    return g_pending.load() == 0;
}

}  // namespace LauncherErrorReporter
