#pragma once

#include "catalog/Models.h"
#include "models/AppSearch.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>

// What a desktop search may offer: the visible apps of the catalog the last
// refresh stored (verified as the launcher verifies it) that are not
// installed. Read from disk only, and again only when the stored catalog or
// the install records changed.
class SearchCatalog
{
public:
    struct Sources {
        QString catalogFile;  // watched for changes; read through readCatalog
        QString recordsFile;
        std::function<std::optional<LauncherManifest>()> readCatalog;
        std::function<QSet<QString>()> readInstalledIds;
    };

    explicit SearchCatalog(Sources sources);

    // The launcher's own files in the user's folders.
    static Sources defaultSources();

    static constexpr int minimumQueryLength = 2;
    static constexpr int maximumResults = 5;

    // Ids of at most five offered apps matching the terms, the best first:
    // names beginning with the query, then names holding it, then the rest.
    QStringList find(const QStringList &terms);
    // An app still offered.
    std::optional<AppManifestItem> app(const QString &id);

private:
    void reloadIfChanged();

    Sources m_sources;
    QDateTime m_catalogStamp;
    QDateTime m_recordsStamp;
    bool m_loaded = false;
    QList<AppManifestItem> m_offered;
    QHash<QString, qsizetype> m_indexById;
    QStringList m_loweredNames;
    AppSearch::SearchKeys m_keys;
};
