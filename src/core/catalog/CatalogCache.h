#pragma once

#include "Models.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

class CatalogPublicKeys;

// A catalog read back from the disk: what the last successful refresh got.
struct StoredCatalog {
    LauncherManifest manifest;
    QDateTime fetchedAt;  // UTC
};

// The last catalog on disk, one copy per manifest URL, so the first frame can
// show the user's own catalog before (or without) the network. A copy holds
// the exact response body, its signature header and the fetch time; it is
// verified and decoded again on every read, exactly as a fresh answer is.
class CatalogCache
{
public:
    explicit CatalogCache(QString folder);

    // The launcher's cache folder (QStandardPaths::CacheLocation: ~/.cache/Vantrel/VantrelLauncher
    // on Linux, ~/Library/Caches/... on macOS) + "/catalogs".
    static QString defaultFolder();

    QString folder() const { return m_folder; }
    // Where the copy for endpoint (the manifest URL without its "lang" item) lives.
    QString pathFor(const QUrl &endpoint) const;

    // Replaces the copy for endpoint in one step (QSaveFile: a crash leaves the
    // old copy or the new one). Only for a body already verified and decoded.
    // False, with a warning, when the disk refuses.
    bool write(const QUrl &endpoint, const QByteArray &body, const QByteArray &signature,
               const QDateTime &fetchedAt) const;

    // The copy for endpoint, its signature checked with keys (when configured)
    // and its body decoded strictly. Missing, unreadable, unverifiable,
    // undecodable or stored for another URL: nullopt and one log line; a copy
    // that is there but unusable is removed, nothing else is touched.
    std::optional<StoredCatalog> read(const QUrl &endpoint, const CatalogPublicKeys &keys) const;

private:
    QString m_folder;
};
