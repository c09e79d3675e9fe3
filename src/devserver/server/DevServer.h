#pragma once

#include "DevStorage.h"
#include "ReleaseArchives.h"
#include "SigningKey.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <memory>

namespace httplib {
class Server;
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
    // Each is served with its signature by key in X-Vantrel-Signature.
    void setManifests(QMap<QString, QByteArray> manifests, const SigningKey &key);

    // Serves until stop(); false when the server could not run.
    bool listen();
    void stop();

private:
    void installRoutes();

    DevStorage &m_storage;
    ReleaseArchives m_archives;
    QMap<QString, QByteArray> m_manifests;
    QMap<QString, QByteArray> m_signatures;
    int m_port = -1;
    std::unique_ptr<httplib::Server> m_server;
};
