#pragma once

#include "DevStorage.h"
#include "ReleaseArchives.h"
#include "SigningKey.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <memory>
#include <mutex>

namespace httplib {
class Server;
struct Request;
struct Response;
}

// The HTTP side of the development service: the manifest, release archives,
// feedback, operational events and error reports, on 127.0.0.1 only.
class DevServer
{
public:
    DevServer(DevStorage &storage, ReleaseArchives archives);
    ~DevServer();

    // Binds 127.0.0.1:port (0 picks a free port). The port, or -1 on failure.
    int bind(int port);
    QString baseUrl() const;

    // The manifest document per language ("en", "pl", "de"); other requests get "en".
    // Each is served with its signature by key in X-Vantrel-Signature. May be
    // called again while serving: the catalogs are replaced in one step.
    void setManifests(QMap<QString, QByteArray> manifests, const SigningKey &key);

    // Serves a maker's release folder as their host would instead: its
    // "catalog.json" for every language, with "catalog.json.sig" in the
    // signature header, both read on every request, and its archives and
    // file lists under /releases/ (set the archives to the same folder).
    void setPublishedFolder(const QString &folder) { m_publishedFolder = folder; }
    static constexpr char publishedCatalogName[] = "catalog.json";

    // Serves until stop(); false when the server could not run.
    bool listen();
    void stop();

private:
    void installRoutes();
    void configureServer();
    void serveIndex(const httplib::Request &req, httplib::Response &res);
    void serveCatalog(const httplib::Request &req, httplib::Response &res);
    void serveArchive(const httplib::Request &req, httplib::Response &res);
    void receiveFeedback(const httplib::Request &req, httplib::Response &res);
    void serveFeedback(const httplib::Request &req, httplib::Response &res);
    void receiveEvent(const httplib::Request &req, httplib::Response &res);
    void receiveError(const httplib::Request &req, httplib::Response &res);
    // The catalog body and signature for language; false when there is none to serve.
    bool catalogFor(const QString &language, QByteArray *body, QByteArray *signature) const;

    DevStorage &m_storage;
    ReleaseArchives m_archives;
    QMap<QString, QByteArray> m_manifests;
    QMap<QString, QByteArray> m_signatures;
    mutable std::mutex m_manifestMutex;
    QString m_publishedFolder;
    int m_port = -1;
    std::unique_ptr<httplib::Server> m_server;
};
