#pragma once

#include "LoopbackHttpServer.h"
#include "TempHome.h"
#include "catalog/Models.h"

#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QProcess>

#include <memory>

// Runs the built `vantrel` and `vantrel-devserver` with HOME, XDG folders and TMPDIR in a temporary home; endpoints
// point at a loopback server serving what the test publishes (useEndpoints() points them elsewhere).
class ToolSandbox : public TempHome
{
public:
    struct Result {
        int exitCode = -1;  // -1: crashed or killed
        QString out;
        QString err;
        QString output() const { return out + err; }
    };

    explicit ToolSandbox(const QString &homeName = QStringLiteral("home"));

    static QString vantrel();
    static QString devserver();
    static QString launcher();
    static QString publisher();

    LoopbackHttpServer &server() { return m_server; }
    // The environment of every process started from now on; tests may edit it.
    QProcessEnvironment &environment() { return m_env; }
    // Manifest at base/api/launcher/manifest, feedback and events under base.
    void useEndpoints(const QUrl &base);

    // The catalog the server answers with (as the launcher's decoder writes it).
    void publish(const QList<AppManifestItem> &apps, int status = 200);
    // These exact bytes, with signature in the signature header (none when empty).
    void publishBody(const QByteArray &body, const QByteArray &signature);
    // Serves bytes, or the file at filePath, at path; returns the URL. With
    // slowMs, bytes go out in 60 pieces slowMs apart.
    QUrl host(const QString &path, const QByteArray &bytes, int slowMs = 0);
    // With ranges, the file is served in parts too, under a fixed ETag.
    QUrl hostFile(const QString &path, const QString &filePath, bool ranges = false);

    std::unique_ptr<QProcess> start(const QStringList &args, const QString &program = vantrel()) const;
    Result run(const QStringList &args, const QString &program = vantrel()) const;

    // Waits until the process has stopped at phase (VANTREL_INSTALL_PAUSE_AT); false when it ended or did not stop in time.
    static bool waitForPause(QProcess &process, const QString &phase, QByteArray *seen);
    // Waits for phase's marker alone (VANTREL_INSTALL_HOLD_AT holds one thread there, the process runs on).
    static bool waitForMarker(QProcess &process, const QString &phase, QByteArray *seen);
    // Runs the commands at once; their exit statuses in order (-1: crashed).
    QList<int> runAtOnce(const QList<QStringList> &commands) const;

    // A release of the app served here; its program writes its version where
    // VANTREL_TEST_MARKER says.
    AppManifestItem release(const QString &id, const QString &version, int slowMs = 0);
    // The settings file the window and the tool keep the records in.
    QString settingsFile() const { return home() + QStringLiteral("/.config/Vantrel/VantrelLauncher.conf"); }

    // The app's object in `vantrel list --json` (empty when not listed).
    QJsonObject listed(const QString &id) const;
    // eventType of every event the server received, in order.
    QStringList eventTypes() const;
    // The same events whole.
    QList<QJsonObject> eventBodies() const;
    // The install records in the home's settings file.
    QHash<QString, QString> records(const QString &key) const;
    void setRecords(const QString &id, const QString &version, const QString &bundlePath) const;
    // The install id kept beside the records (empty before one is made).
    QString installId() const;

private:
    LoopbackHttpServer::Response answer(const LoopbackHttpServer::Request &request);

    LoopbackHttpServer m_server;
    QProcessEnvironment m_env;
    QMutex m_mutex;
    QByteArray m_manifest;
    QByteArray m_signature;
    int m_manifestStatus = 404;
    QHash<QString, LoopbackHttpServer::Response> m_files;
};
