#pragma once

// Starts the real vantrel-devserver and other built executables and talks to
// them over real HTTP on the loopback interface.

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <memory>

namespace DevHarness {

inline QString buildPath(const QString &relative)
{
    const QString root = qEnvironmentVariable("VANTREL_BUILD_DIR");
    return QDir(root).filePath(relative);
}

inline QString devserverPath() { return buildPath(QStringLiteral("src/devserver/vantrel-devserver")); }
inline QString vantrelPath() { return buildPath(QStringLiteral("src/cli/vantrel")); }

struct ToolRun {
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

inline ToolRun runTool(const QString &program, const QStringList &args,
                       const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
                       int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    ToolRun run;
    if (!process.waitForStarted(10000))
        return run;
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

inline QNetworkAccessManager &network()
{
    static QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    return manager;
}

// One running service; stopped (SIGTERM, then kill) when destroyed.
class DevServer
{
public:
    DevServer() = default;
    DevServer(const DevServer &) = delete;
    ~DevServer() { stop(); }

    // Starts the service with --port 0 unless args name a port; returns false
    // (with the reason in error()) when it exits or says nothing.
    bool start(const QString &dataDir, const QStringList &args = {})
    {
        m_process = std::make_unique<QProcess>();
        QStringList all{QStringLiteral("--data"), dataDir};
        if (!args.contains(QStringLiteral("--port")))
            all << QStringLiteral("--port") << QStringLiteral("0");
        all << args;
        m_process->start(devserverPath(), all);
        if (!m_process->waitForStarted(10000)) {
            m_error = m_process->errorString();
            return false;
        }
        while (!m_process->canReadLine()) {
            if (!m_process->waitForReadyRead(20000)) {
                m_error = QString::fromUtf8(m_process->readAllStandardError());
                return false;
            }
        }
        const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
        const QString prefix = QStringLiteral("listening on ");
        if (!line.startsWith(prefix)) {
            m_error = QStringLiteral("unexpected first line: ") + line;
            return false;
        }
        m_baseUrl = QUrl(line.mid(prefix.size()));
        return m_baseUrl.isValid() && m_baseUrl.port() > 0;
    }

    void stop()
    {
        if (!m_process || m_process->state() == QProcess::NotRunning)
            return;
        // Idle keep-alive connections would keep the service's workers waiting.
        network().clearConnectionCache();
        m_process->terminate();
        if (!m_process->waitForFinished(10000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }

    QProcess *process() const { return m_process.get(); }
    QUrl baseUrl() const { return m_baseUrl; }
    int port() const { return m_baseUrl.port(); }
    QUrl url(const QString &pathAndQuery) const { return QUrl(m_baseUrl.toString() + pathAndQuery); }
    QString error() const { return m_error; }

private:
    std::unique_ptr<QProcess> m_process;
    QUrl m_baseUrl;
    QString m_error;
};

struct HttpResult {
    bool finished = false;
    int status = 0;
    QByteArray body;
    QMap<QByteArray, QByteArray> headers;  // lower-case names
    QString errorString;

    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

inline HttpResult http(const QByteArray &method, const QUrl &url, const QByteArray &body = {},
                       const QList<QPair<QByteArray, QByteArray>> &headers = {})
{
    QNetworkRequest request(url);
    // No idle connections left behind to hold a stopping service up.
    request.setRawHeader("Connection", "close");
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    if (!body.isEmpty() && !request.hasRawHeader("Content-Type"))
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    QNetworkReply *reply = network().sendCustomRequest(request, method, body);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    HttpResult result;
    result.finished = reply->isFinished() || finished.wait(30000);
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.errorString = reply->errorString();
    for (const auto &pair : reply->rawHeaderPairs())
        result.headers.insert(pair.first.toLower(), pair.second);
    reply->deleteLater();
    return result;
}

inline HttpResult get(const QUrl &url) { return http("GET", url); }

// The stored records of one kind, as --dump prints them.
inline QList<QJsonObject> dump(const QString &dataDir, const QString &what, int *exitCode = nullptr)
{
    const ToolRun run = runTool(devserverPath(), {QStringLiteral("--dump"), what, QStringLiteral("--data"), dataDir});
    if (exitCode)
        *exitCode = run.exitCode;
    QList<QJsonObject> records;
    for (const QByteArray &line : run.out.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        // A line that is not one JSON object shows up as an empty record, and fails the caller's checks.
        records.append(error.error == QJsonParseError::NoError ? document.object() : QJsonObject{});
    }
    return records;
}

inline QString sha256Hex(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

}  // namespace DevHarness
