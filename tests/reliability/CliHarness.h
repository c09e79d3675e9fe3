#pragma once

// Runs the real `vantrel` tool against a loopback catalog, with HOME, the XDG
// folders and TMPDIR inside a temporary folder, so nothing touches the user.

#include "LoopbackHttpServer.h"
#include "SettingsUserDefaults.h"
#include "ZipBuilder.h"
#include "store/LauncherStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

class CliHarness
{
public:
    CliHarness()
    {
        QDir().mkpath(home());
        QDir().mkpath(tempDir());
        m_server.setHandler([this](const LoopbackHttpServer::Request &request) { return answer(request); });
    }

    bool isValid() const { return m_dir.isValid(); }
    QString home() const { return m_dir.filePath(QStringLiteral("home")); }
    QString tempDir() const { return m_dir.filePath(QStringLiteral("tmp")); }
    QString installRoot() const { return home() + QStringLiteral("/Applications/Vantrel"); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    LoopbackHttpServer &server() { return m_server; }

    static QString vantrel() { return qEnvironmentVariable("VANTREL_BUILD_DIR") + QStringLiteral("/src/cli/vantrel"); }

    // Serves the catalog with one app at this version and archive.
    void publish(const QString &id, const QString &bundleId, const QString &version, const QString &archive)
    {
        QMutexLocker lock(&m_mutex);
        m_archive = archive;
        const QString sha = ZipBuilder::sha256HexOfFile(archive);
        QJsonObject app{{QStringLiteral("id"), id},
                        {QStringLiteral("name"), QStringLiteral("Crash Test ") + id},
                        {QStringLiteral("tagline"), QStringLiteral("t")},
                        {QStringLiteral("category"), QStringLiteral("c")},
                        {QStringLiteral("bundleId"), bundleId},
                        {QStringLiteral("version"), version},
                        {QStringLiteral("minMacOS"), QStringLiteral("1")},
                        {QStringLiteral("status"), QStringLiteral("live")},
                        {QStringLiteral("downloadUrl"), m_server.url(QStringLiteral("/release-") + version + QStringLiteral(".zip")).toString()},
                        {QStringLiteral("sha256"), sha},
                        {QStringLiteral("symbolName"), QStringLiteral("star")},
                        {QStringLiteral("accent"), QStringLiteral("lime")},
                        {QStringLiteral("tags"), QJsonArray()},
                        {QStringLiteral("description"), QStringLiteral("d")},
                        {QStringLiteral("privacyNote"), QStringLiteral("p")},
                        {QStringLiteral("releaseNotes"), QJsonArray()}};
        m_manifest = QJsonDocument(QJsonObject{{QStringLiteral("generatedAt"), QStringLiteral("2026-05-03T00:00:00Z")},
                                               {QStringLiteral("apps"), QJsonArray{app}}})
                         .toJson(QJsonDocument::Compact);
    }

    QProcessEnvironment environment(const QString &pauseAt = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home() + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home() + QStringLiteral("/.cache"));
        env.insert(QStringLiteral("TMPDIR"), tempDir());
        env.insert(QStringLiteral("VANTREL_MANIFEST_URL"), m_server.url(QStringLiteral("/manifest")).toString());
        env.insert(QStringLiteral("VANTREL_API_URL"), m_server.url().toString());
        env.remove(QStringLiteral("VANTREL_LAUNCHER_SENTRY_DSN"));
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        if (pauseAt.isEmpty())
            env.remove(QStringLiteral("VANTREL_INSTALL_PAUSE_AT"));
        else
            env.insert(QStringLiteral("VANTREL_INSTALL_PAUSE_AT"), pauseAt);
        return env;
    }

    // Starts `vantrel ARGS`; with pauseAt, the install stops itself at that phase.
    std::unique_ptr<QProcess> start(const QStringList &args, const QString &pauseAt = QString()) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(pauseAt));
        process->start(vantrel(), args);
        return process;
    }

    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
    };

    Result run(const QStringList &args) const
    {
        auto process = start(args);
        Result result;
        if (!process->waitForFinished(60000))
            process->kill();
        process->waitForFinished(5000);
        result.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        result.out = QString::fromUtf8(process->readAllStandardOutput());
        result.err = QString::fromUtf8(process->readAllStandardError());
        return result;
    }

    // Waits until the process printed the pause marker of phase (and so has
    // stopped itself there); false when it ended or printed nothing in time.
    static bool waitForPause(QProcess &process, const QString &phase, QString *seen, int timeoutMs = 30000)
    {
        const QByteArray marker = "vantrel-install-phase: " + phase.toUtf8();
        // waitForReadyRead watches the current read channel only.
        process.setReadChannel(QProcess::StandardError);
        QDeadlineTimer deadline(timeoutMs);
        QByteArray err;
        while (!deadline.hasExpired()) {
            err += process.readAllStandardError();
            if (err.contains(marker)) {
                *seen = QString::fromUtf8(err);
                return true;
            }
            if (process.state() == QProcess::NotRunning)
                break;
            process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        }
        err += process.readAllStandardError();
        *seen = QString::fromUtf8(err) + QString::fromUtf8(process.readAllStandardOutput());
        return false;
    }

    static void killNow(QProcess &process)
    {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished(10000);
    }

    // The install records as the tool stored them.
    QHash<QString, QString> recorded(const QString &key) const
    {
        SettingsUserDefaults defaults(home() + QStringLiteral("/.config/Vantrel/VantrelLauncher.conf"));
        return InstallRecords::loadStringDictionary(key, defaults);
    }

    void setRecords(const QString &id, const QString &version, const QString &bundlePath) const
    {
        QDir().mkpath(home() + QStringLiteral("/.config/Vantrel"));
        SettingsUserDefaults defaults(home() + QStringLiteral("/.config/Vantrel/VantrelLauncher.conf"));
        InstallRecords::saveStringDictionary({{id, version}}, LauncherStore::installedVersionsKey, defaults);
        InstallRecords::saveStringDictionary({{id, bundlePath}}, LauncherStore::installedPathsKey, defaults);
    }

    // `vantrel list --json`: the app's state object, e.g. {"installed": {"version": "1.0"}}.
    QJsonObject listedState(const QString &id, QString *output = nullptr) const
    {
        const Result result = run({QStringLiteral("list"), QStringLiteral("--json")});
        if (output)
            *output = result.out + result.err;
        for (const QJsonValue &value : QJsonDocument::fromJson(result.out.toUtf8()).array()) {
            if (value.toObject().value(QStringLiteral("id")).toString() == id)
                return value.toObject().value(QStringLiteral("state")).toObject();
        }
        return {};
    }

    int archiveRequests() const
    {
        int count = 0;
        for (const auto &request : m_server.requests())
            count += request.path.endsWith(QLatin1String(".zip")) ? 1 : 0;
        return count;
    }

private:
    LoopbackHttpServer::Response answer(const LoopbackHttpServer::Request &request)
    {
        QMutexLocker lock(&m_mutex);
        if (request.path == QLatin1String("/manifest"))
            return LoopbackHttpServer::Response::json(200, m_manifest);
        if (request.path.startsWith(QLatin1String("/api/")))
            return LoopbackHttpServer::Response::json(200, "{}");
        if (request.path.endsWith(QLatin1String(".zip"))) {
            LoopbackHttpServer::Response response;
            response.bodyFile = m_archive;
            return response;
        }
        return LoopbackHttpServer::Response::text(404, "not found");
    }

    QTemporaryDir m_dir;
    LoopbackHttpServer m_server;
    QMutex m_mutex;
    QByteArray m_manifest;
    QString m_archive;
};
