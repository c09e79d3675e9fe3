#include "ToolSandbox.h"

#include "CatalogBuilders.h"
#include "SettingsUserDefaults.h"
#include "ZipBuilder.h"
#include "catalog/CatalogSignature.h"
#include "catalog/ManifestDecoder.h"
#include "store/LauncherStore.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

namespace {

QString buildPath(const QString &relative)
{
    return qEnvironmentVariable("VANTREL_BUILD_DIR") + QLatin1Char('/') + relative;
}

}  // namespace

ToolSandbox::ToolSandbox(const QString &homeName)
    : TempHome(homeName)
    , m_env(QProcessEnvironment::systemEnvironment())
{
    m_env.insert(QStringLiteral("HOME"), home());
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
    m_env.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/.local/share"));
    m_env.insert(QStringLiteral("XDG_CACHE_HOME"), home() + QStringLiteral("/.cache"));
    m_env.insert(QStringLiteral("TMPDIR"), tempDir());
    m_env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    for (const char *name : {"VANTREL_LAUNCHER_SENTRY_DSN", "VANTREL_INSTALL_PAUSE_AT", "QT_LOGGING_RULES"})
        m_env.remove(QLatin1String(name));
    useEndpoints(m_server.url());
    m_server.setHandler([this](const LoopbackHttpServer::Request &request) { return answer(request); });
}

QString ToolSandbox::vantrel() { return buildPath(QStringLiteral("src/cli/vantrel")); }
QString ToolSandbox::devserver() { return buildPath(QStringLiteral("src/devserver/vantrel-devserver")); }
QString ToolSandbox::launcher() { return buildPath(QStringLiteral("src/app/vantrel-launcher")); }
QString ToolSandbox::publisher() { return buildPath(QStringLiteral("src/publish/vantrel-publish")); }

void ToolSandbox::useEndpoints(const QUrl &base)
{
    m_env.insert(QStringLiteral("VANTREL_MANIFEST_URL"), base.resolved(QUrl(QStringLiteral("/api/launcher/manifest"))).toString());
    m_env.insert(QStringLiteral("VANTREL_API_URL"), base.toString());
}

void ToolSandbox::publish(const QList<AppManifestItem> &apps, int status)
{
    QMutexLocker lock(&m_mutex);
    m_manifest = ManifestDecoder::encode(TestCatalog::manifest(apps));
    m_signature.clear();
    m_manifestStatus = status;
}

void ToolSandbox::publishBody(const QByteArray &body, const QByteArray &signature)
{
    QMutexLocker lock(&m_mutex);
    m_manifest = body;
    m_signature = signature;
    m_manifestStatus = 200;
}

QUrl ToolSandbox::host(const QString &path, const QByteArray &bytes, int slowMs)
{
    QMutexLocker lock(&m_mutex);
    LoopbackHttpServer::Response response = LoopbackHttpServer::Response::text(200, bytes, "application/zip");
    if (slowMs > 0) {
        response.throttleBytes = qMax<qint64>(1, bytes.size() / 60);
        response.throttleMs = slowMs;
    }
    m_files.insert(path, response);
    return m_server.url(path);
}

QUrl ToolSandbox::hostFile(const QString &path, const QString &filePath, bool ranges)
{
    QMutexLocker lock(&m_mutex);
    LoopbackHttpServer::Response response;
    response.bodyFile = filePath;
    response.acceptRanges = ranges;
    if (ranges)
        response.headers.append(qMakePair(QByteArray("ETag"), QByteArray("\"served\"")));
    m_files.insert(path, response);
    return m_server.url(path);
}

LoopbackHttpServer::Response ToolSandbox::answer(const LoopbackHttpServer::Request &request)
{
    QMutexLocker lock(&m_mutex);
    if (request.path == QLatin1String("/api/launcher/manifest")) {
        LoopbackHttpServer::Response response = LoopbackHttpServer::Response::json(m_manifestStatus, m_manifest);
        if (!m_signature.isEmpty())
            response.headers.append({CatalogSignature::headerName, m_signature});
        return response;
    }
    if (request.path == QLatin1String("/api/events"))
        return LoopbackHttpServer::Response::json(202, R"({"ok":true})");
    if (request.path.startsWith(QLatin1String("/api/")))
        return LoopbackHttpServer::Response::json(200, "{}");
    LoopbackHttpServer::Response file = m_files.value(request.path, LoopbackHttpServer::Response::text(404, "not found"));
    // A server that ignores Range answers with the whole file; over a real link a client that stops at the headers
    // gets little of it, and here none.
    if (!file.acceptRanges && !request.header("Range").isEmpty())
        file.bodyDelayMs = 3000;
    return file;
}

std::unique_ptr<QProcess> ToolSandbox::start(const QStringList &args, const QString &program) const
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_env);
    process->start(program, args);
    return process;
}

ToolSandbox::Result ToolSandbox::run(const QStringList &args, const QString &program) const
{
    auto process = start(args, program);
    if (!process->waitForFinished(60000))
        process->kill();
    process->waitForFinished(5000);
    Result result;
    result.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    result.out = QString::fromUtf8(process->readAllStandardOutput());
    result.err = QString::fromUtf8(process->readAllStandardError());
    return result;
}

bool ToolSandbox::waitForMarker(QProcess &process, const QString &phase, QByteArray *seen)
{
    process.setReadChannel(QProcess::StandardError);
    const QDeadlineTimer deadline(30000);
    while (!seen->contains("vantrel-install-phase: " + phase.toUtf8())) {
        if (deadline.hasExpired() || (process.state() == QProcess::NotRunning && !process.bytesAvailable()))
            return false;
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        *seen += process.readAllStandardError();
    }
    return true;
}

bool ToolSandbox::waitForPause(QProcess &process, const QString &phase, QByteArray *seen)
{
    if (!waitForMarker(process, phase, seen))
        return false;
    const QDeadlineTimer deadline(30000);
    // The marker comes just before the stop: a SIGCONT sent in between would be lost.
    const QString status = QStringLiteral("/proc/%1/stat").arg(process.processId());
    for (QByteArray stat; !deadline.hasExpired(); QThread::msleep(1)) {
        stat = readFile(status);
        if (stat.mid(stat.lastIndexOf(')') + 2, 1) == "T")
            return true;
    }
    return false;
}

QList<int> ToolSandbox::runAtOnce(const QList<QStringList> &commands) const
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QStringList &args : commands)
        processes.push_back(start(args));
    QList<int> statuses;
    for (const std::unique_ptr<QProcess> &process : processes) {
        process->waitForFinished(120000);
        statuses.append(process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1);
        if (statuses.last() != 0)  // the failing check then shows why
            qWarning().noquote() << process->arguments().join(QLatin1Char(' ')) << "failed:" << process->readAllStandardError();
    }
    return statuses;
}

AppManifestItem ToolSandbox::release(const QString &id, const QString &version, int slowMs)
{
    const QString name = id.left(1).toUpper() + id.mid(1);
    ZipBuilder zip;
    zip.addFile(name + QStringLiteral(".app/Contents/Info.plist"),
                ZipBuilder::infoPlist({{"CFBundleIdentifier", QStringLiteral("com.vantrel.") + id}, {"CFBundleExecutable", name}}, ZipBuilder::PlistFormat::xml));
    zip.addExecutable(name + QStringLiteral(".app/Contents/MacOS/") + name, "#!/bin/sh\necho " + version.toUtf8() + " > \"$VANTREL_TEST_MARKER\"\n");
    const QByteArray bytes = zip.build();
    return TestCatalog::release(id, host(QStringLiteral("/%1-%2.zip").arg(id, version), bytes, slowMs), ZipBuilder::sha256Hex(bytes), version);
}

QJsonObject ToolSandbox::listed(const QString &id) const
{
    const Result list = run({QStringLiteral("list"), QStringLiteral("--json")});
    for (const QJsonValue &app : QJsonDocument::fromJson(list.out.toUtf8()).array()) {
        if (app.toObject().value(QStringLiteral("id")).toString() == id)
            return app.toObject();
    }
    return {};
}

QStringList ToolSandbox::eventTypes() const
{
    QStringList types;
    for (const QJsonObject &event : eventBodies())
        types << event.value(QStringLiteral("eventType")).toString();
    return types;
}

QList<QJsonObject> ToolSandbox::eventBodies() const
{
    QList<QJsonObject> events;
    for (const LoopbackHttpServer::Request &request : m_server.requests()) {
        if (request.path == QLatin1String("/api/events"))
            events << QJsonDocument::fromJson(request.body).object();
    }
    return events;
}

QHash<QString, QString> ToolSandbox::records(const QString &key) const
{
    const SettingsUserDefaults defaults(settingsFile());
    return InstallRecords::loadStringDictionary(key, defaults);
}

QString ToolSandbox::installId() const
{
    return QString::fromLatin1(SettingsUserDefaults(settingsFile()).object(InstallRecords::installIdKey).toByteArray());
}

void ToolSandbox::setRecords(const QString &id, const QString &version, const QString &bundlePath) const
{
    SettingsUserDefaults defaults(settingsFile());
    InstallRecords::saveStringDictionary({{id, version}}, LauncherStore::installedVersionsKey, defaults);
    InstallRecords::saveStringDictionary({{id, bundlePath}}, LauncherStore::installedPathsKey, defaults);
}
