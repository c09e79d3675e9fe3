#include "DevServer.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <cstdio>
#include <fstream>
#include <httplib.h>

namespace {

const std::string kJson = "application/json; charset=utf-8";
constexpr size_t kMaxBody = 8 * 1024 * 1024;
constexpr size_t kBlock = 256 * 1024;

void sendJson(httplib::Response &res, int status, const QJsonObject &body)
{
    res.status = status;
    res.set_content(QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString(), kJson);
}

void sendError(httplib::Response &res, int status, const QString &error, const QString &message)
{
    sendJson(res, status, QJsonObject{{QStringLiteral("error"), error}, {QStringLiteral("message"), message}});
}

QString header(const httplib::Request &req, const char *name)
{
    return QString::fromStdString(req.get_header_value(name));
}

// The body as a JSON object; otherwise answers 400 (not JSON) or 422 (not an object).
std::optional<QJsonObject> jsonObjectBody(const httplib::Request &req, httplib::Response &res)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(req.body), &error);
    if (error.error != QJsonParseError::NoError) {
        sendError(res, 400, QStringLiteral("invalid_json"),
                  QStringLiteral("The request body is not valid JSON: %1.").arg(error.errorString()));
        return std::nullopt;
    }
    if (!document.isObject()) {
        sendError(res, 422, QStringLiteral("invalid_request"), QStringLiteral("The request body must be a JSON object."));
        return std::nullopt;
    }
    return document.object();
}

// Why a feedback body is refused: (error code, message), or nothing when it is fine.
std::optional<std::pair<QString, QString>> feedbackProblem(const QJsonObject &body)
{
    for (const char *key : {"clientRequestId", "type", "title", "description", "diagnostics"}) {
        if (!body.contains(QLatin1String(key)) || body.value(QLatin1String(key)).isNull())
            return std::pair{QStringLiteral("missing_member"), QStringLiteral("The member \"%1\" is required.").arg(QLatin1String(key))};
    }
    for (const char *key : {"clientRequestId", "type", "title", "description"}) {
        if (!body.value(QLatin1String(key)).isString())
            return std::pair{QStringLiteral("invalid_member"), QStringLiteral("The member \"%1\" must be a string.").arg(QLatin1String(key))};
    }
    if (body.value(QStringLiteral("clientRequestId")).toString().trimmed().isEmpty())
        return std::pair{QStringLiteral("invalid_member"), QStringLiteral("The member \"clientRequestId\" must not be blank.")};
    static const QStringList types = {QStringLiteral("bug"), QStringLiteral("idea"), QStringLiteral("improvement"),
                                      QStringLiteral("other")};
    if (!types.contains(body.value(QStringLiteral("type")).toString()))
        return std::pair{QStringLiteral("invalid_type"), QStringLiteral("The type must be one of bug, idea, improvement, other.")};
    if (body.value(QStringLiteral("title")).toString().trimmed().isEmpty())
        return std::pair{QStringLiteral("blank_title"), QStringLiteral("The title must not be blank.")};
    if (body.value(QStringLiteral("description")).toString().trimmed().isEmpty())
        return std::pair{QStringLiteral("blank_description"), QStringLiteral("The description must not be blank.")};
    if (!body.value(QStringLiteral("diagnostics")).isObject())
        return std::pair{QStringLiteral("invalid_member"), QStringLiteral("The member \"diagnostics\" must be an object.")};
    if (body.contains(QStringLiteral("appId")) && !body.value(QStringLiteral("appId")).isString()
        && !body.value(QStringLiteral("appId")).isNull())
        return std::pair{QStringLiteral("invalid_member"), QStringLiteral("The member \"appId\" must be a string.")};
    return std::nullopt;
}

// The sentry_key of an "X-Sentry-Auth" header ("Sentry sentry_version=7, ..., sentry_key=KEY").
QString sentryKey(const QString &auth)
{
    QString rest = auth.trimmed();
    if (rest.startsWith(QLatin1String("Sentry "), Qt::CaseInsensitive))
        rest = rest.mid(7);
    for (const QString &part : rest.split(QLatin1Char(','))) {
        const QString item = part.trimmed();
        if (item.startsWith(QLatin1String("sentry_key=")))
            return item.mid(11).trimmed();
    }
    return {};
}

bool isEventId(const QString &id)
{
    if (id.size() != 32)
        return false;
    for (const QChar c : id) {
        if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))
            return false;
    }
    return true;
}

// First and last byte of a "Range: bytes=N-", "bytes=N-M" or "bytes=-N" (the
// last N bytes) header of a file of size bytes (last -1: to the end); nothing
// for a missing or other Range, or an If-Range naming another version of the file.
std::optional<std::pair<qint64, qint64>> requestedRange(const httplib::Request &req, const std::string &etag, qint64 size)
{
    const QString range = header(req, "Range").trimmed();
    if (!range.startsWith(QLatin1String("bytes=")) || range.contains(QLatin1Char(',')))
        return std::nullopt;
    if (req.has_header("If-Range") && req.get_header_value("If-Range") != etag)
        return std::nullopt;
    const QString first = range.mid(6).section(QLatin1Char('-'), 0, 0).trimmed();
    const QString last = range.mid(6).section(QLatin1Char('-'), 1).trimmed();
    bool firstOk = false, lastOk = false;
    if (first.isEmpty()) {
        // A suffix: zero bytes cannot be served (416, as a start past the end).
        const qint64 suffix = last.toLongLong(&lastOk);
        if (!lastOk || suffix < 0)
            return std::nullopt;
        return std::pair<qint64, qint64>{suffix == 0 ? size : qMax<qint64>(0, size - suffix), -1};
    }
    const std::pair<qint64, qint64> bytes{first.toLongLong(&firstOk), last.isEmpty() ? -1 : last.toLongLong(&lastOk)};
    if (!firstOk || bytes.first < 0 || (!last.isEmpty() && (!lastOk || bytes.second < bytes.first)))
        return std::nullopt;
    return bytes;
}

}  // namespace

DevServer::DevServer(DevStorage &storage, ReleaseArchives archives)
    : m_storage(storage), m_archives(std::move(archives)), m_server(std::make_unique<httplib::Server>())
{
    installRoutes();
}

DevServer::~DevServer() = default;

int DevServer::bind(int port)
{
    const std::string host = "127.0.0.1";
    if (port == 0)
        m_port = m_server->bind_to_any_port(host);
    else
        m_port = m_server->bind_to_port(host, port) ? port : -1;
    return m_port;
}

QString DevServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void DevServer::setManifests(QMap<QString, QByteArray> manifests, const SigningKey &key)
{
    QMap<QString, QByteArray> signatures;
    for (auto it = manifests.cbegin(); it != manifests.cend(); ++it)
        signatures.insert(it.key(), key.sign(it.value()));
    const std::lock_guard lock(m_manifestMutex);
    m_manifests = std::move(manifests);
    m_signatures = std::move(signatures);
}

bool DevServer::catalogFor(const QString &language, QByteArray *body, QByteArray *signature) const
{
    if (!m_publishedFolder.isEmpty()) {
        // Read as it stands now: the maker may publish again while this serves.
        QFile catalog(m_publishedFolder + QLatin1Char('/') + QLatin1String(publishedCatalogName));
        QFile sig(catalog.fileName() + QStringLiteral(".sig"));
        if (!catalog.open(QIODevice::ReadOnly))
            return false;
        *body = catalog.readAll();
        *signature = sig.open(QIODevice::ReadOnly) ? sig.readAll().trimmed() : QByteArray();
        return true;
    }
    const std::lock_guard lock(m_manifestMutex);
    const QString served = m_manifests.contains(language) ? language : QStringLiteral("en");
    *body = m_manifests.value(served);
    *signature = m_signatures.value(served);
    return true;
}

bool DevServer::listen()
{
    return m_server->listen_after_bind();
}

void DevServer::stop()
{
    m_server->stop();
}

// Limits, socket options, logging and the error bodies every route shares.
void DevServer::configureServer()
{
    httplib::Server &server = *m_server;
    server.set_payload_max_length(kMaxBody);
    // Idle keep-alive connections hold a stop up for this long.
    server.set_keep_alive_timeout(2);
    // Address reuse only: with the library's default port sharing, a second
    // service would quietly bind the same port instead of failing.
    server.set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const void *>(&yes), sizeof yes);
    });

    server.set_logger([](const httplib::Request &req, const httplib::Response &res) {
        std::fprintf(stderr, "%s %s %d\n", req.method.c_str(), req.target.c_str(), res.status);
    });
    server.set_exception_handler([](const httplib::Request &, httplib::Response &res, std::exception_ptr ep) {
        QString message = QStringLiteral("Internal error.");
        try {
            std::rethrow_exception(ep);
        } catch (const std::exception &e) {
            message = QString::fromUtf8(e.what());
        } catch (...) {
        }
        sendError(res, 500, QStringLiteral("internal_error"), message);
    });
    server.set_error_handler([](const httplib::Request &, httplib::Response &res) {
        if (!res.body.empty())
            return;
        if (res.status == 404)
            sendError(res, 404, QStringLiteral("not_found"), QStringLiteral("Nothing here."));
        else if (res.status == 413)
            sendError(res, 413, QStringLiteral("too_large"), QStringLiteral("The request body is too large."));
    });
}

void DevServer::installRoutes()
{
    configureServer();
    httplib::Server &server = *m_server;
    const auto route = [this](void (DevServer::*handler)(const httplib::Request &, httplib::Response &)) {
        return [this, handler](const httplib::Request &req, httplib::Response &res) { (this->*handler)(req, res); };
    };
    server.Get("/", route(&DevServer::serveIndex));
    server.Get("/api/launcher/manifest", route(&DevServer::serveCatalog));
    server.Get(R"(/releases/([^/]+))", route(&DevServer::serveArchive));
    server.Post("/api/feedback", route(&DevServer::receiveFeedback));
    server.Get(R"(/feedback/(\d{1,18}))", route(&DevServer::serveFeedback));
    server.Post("/api/events", route(&DevServer::receiveEvent));
    server.Post(R"(/api/([^/]+)/store/?)", route(&DevServer::receiveError));
}

void DevServer::serveIndex(const httplib::Request &, httplib::Response &res)
{
    const QString base = baseUrl();
    const QString text = QStringLiteral(
        "Vantrel local development service\n\n"
        "GET  %1/api/launcher/manifest?lang=en|pl|de\n"
        "GET  %1/releases/NAME.zip\n"
        "POST %1/api/feedback\n"
        "POST %1/api/events\n"
        "POST %1/api/PROJECT/store/\n").arg(base);
    res.set_content(text.toStdString(), "text/plain; charset=utf-8");
}

void DevServer::serveCatalog(const httplib::Request &req, httplib::Response &res)
{
    QByteArray body;
    QByteArray signature;
    if (!catalogFor(QString::fromStdString(req.get_param_value("lang")), &body, &signature)) {
        sendError(res, 404, QStringLiteral("not_found"), QStringLiteral("The release folder has no catalog.json."));
        return;
    }
    res.set_header("Cache-Control", "no-store");
    if (!signature.isEmpty())
        res.set_header("X-Vantrel-Signature", signature.toStdString());
    res.set_content(body.toStdString(), kJson);
}

void DevServer::serveArchive(const httplib::Request &req, httplib::Response &res)
{
    const QString name = QString::fromStdString(req.matches[1]);
    if (!ReleaseArchives::isServableName(name)) {
        sendError(res, 400, QStringLiteral("invalid_name"), QStringLiteral("Not an archive name."));
        return;
    }
    const auto path = m_archives.pathFor(name);
    if (!path) {
        sendError(res, 404, QStringLiteral("not_found"), QStringLiteral("No archive named %1.").arg(name));
        return;
    }
    auto file = std::make_shared<std::ifstream>(path->toStdString(), std::ios::binary);
    const QFileInfo info(*path);
    const qint64 size = info.size();
    if (!*file || size < 0) {
        sendError(res, 500, QStringLiteral("unreadable"), QStringLiteral("The archive cannot be read."));
        return;
    }
    const std::string etag = QStringLiteral("\"%1-%2\"").arg(size).arg(info.lastModified().toMSecsSinceEpoch()).toStdString();
    res.set_header("ETag", etag);
    res.set_header("Accept-Ranges", "bytes");
    const auto range = requestedRange(req, etag, size);
    // The library would cut the body by the Range header as well; the part is chosen here.
    const_cast<httplib::Request &>(req).ranges.clear();
    if (range && range->first >= size) {
        res.set_header("Content-Range", "bytes */" + std::to_string(size));
        sendError(res, 416, QStringLiteral("bad_range"), QStringLiteral("The range starts past the archive's end."));
        return;
    }
    const qint64 from = range ? range->first : 0;
    const qint64 to = range && range->second >= 0 ? qMin(range->second, size - 1) : size - 1;
    if (range) {
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(from) + '-' + std::to_string(to) + '/' + std::to_string(size));
    }
    // Streamed block by block: archives may be far larger than memory allows.
    res.set_content_provider(size_t(to + 1 - from), "application/zip",
                             [file, from](size_t offset, size_t length, httplib::DataSink &sink) {
                                 std::vector<char> buffer(std::min(length, kBlock));
                                 file->clear();
                                 file->seekg(std::streamoff(from + qint64(offset)));
                                 file->read(buffer.data(), std::streamsize(buffer.size()));
                                 const std::streamsize got = file->gcount();
                                 if (got <= 0)
                                     return false;  // the file shrank: drop the connection
                                 return sink.write(buffer.data(), size_t(got));
                             });
}

void DevServer::receiveFeedback(const httplib::Request &req, httplib::Response &res)
{
    const auto body = jsonObjectBody(req, res);
    if (!body)
        return;
    if (const auto problem = feedbackProblem(*body)) {
        sendError(res, 422, problem->first, problem->second);
        return;
    }
    const QByteArray compact = QJsonDocument(*body).toJson(QJsonDocument::Compact);
    const auto stored = m_storage.addFeedback(body->value(QStringLiteral("clientRequestId")).toString(),
                                              header(req, "X-Vantrel-Locale"), compact);
    QJsonObject answer{{QStringLiteral("ok"), true},
                       {QStringLiteral("issue"),
                        QJsonObject{{QStringLiteral("id"), QString::number(stored.number)},
                                    {QStringLiteral("identifier"), QStringLiteral("FB-%1").arg(stored.number)},
                                    {QStringLiteral("url"), baseUrl() + QStringLiteral("/feedback/%1").arg(stored.number)}}}};
    // A repeated submission (same clientRequestId) files nothing new.
    if (stored.replayed)
        answer.insert(QStringLiteral("message"), QStringLiteral("This feedback was already received."));
    sendJson(res, stored.replayed ? 200 : 201, answer);
}

void DevServer::serveFeedback(const httplib::Request &req, httplib::Response &res)
{
    const auto record = m_storage.feedbackRecord(std::stoll(req.matches[1]));
    if (!record) {
        sendError(res, 404, QStringLiteral("not_found"), QStringLiteral("No such feedback."));
        return;
    }
    res.set_content(record->toStdString(), kJson);
}

void DevServer::receiveEvent(const httplib::Request &req, httplib::Response &res)
{
    const auto body = jsonObjectBody(req, res);
    if (!body)
        return;
    if (!body->value(QStringLiteral("eventType")).isString() || !body->value(QStringLiteral("status")).isString()) {
        sendError(res, 422, QStringLiteral("invalid_event"),
                  QStringLiteral("An event needs the string members \"eventType\" and \"status\"."));
        return;
    }
    m_storage.addEvent(header(req, "X-Vantrel-Locale"), QJsonDocument(*body).toJson(QJsonDocument::Compact));
    sendJson(res, 202, QJsonObject{{QStringLiteral("ok"), true}});
}

void DevServer::receiveError(const httplib::Request &req, httplib::Response &res)
{
    const QString key = sentryKey(header(req, "X-Sentry-Auth"));
    if (key.isEmpty()) {
        sendError(res, 401, QStringLiteral("unauthorized"),
                  QStringLiteral("An X-Sentry-Auth header with a sentry_key is required."));
        return;
    }
    const auto body = jsonObjectBody(req, res);
    if (!body)
        return;
    QString eventId = body->value(QStringLiteral("event_id")).toString();
    if (!isEventId(eventId))
        eventId = QUuid::createUuid().toString(QUuid::Id128);
    eventId = eventId.toLower();
    m_storage.addError(eventId, QString::fromStdString(req.matches[1]), key,
                       QJsonDocument(*body).toJson(QJsonDocument::Compact));
    sendJson(res, 200, QJsonObject{{QStringLiteral("id"), eventId}});
}
