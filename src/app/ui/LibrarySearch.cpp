#include "LibrarySearch.h"

namespace LibrarySearch {

QString query(const QString &searchText)
{
    // QString::toLower is locale-independent, as the rule wants.
    return searchText.trimmed().toLower();
}

bool matches(const AppManifestItem &app, const QString &query)
{
    if (query.isEmpty())
        return true;
    return app.name.toLower().contains(query) || app.tagline.toLower().contains(query)
        || app.category.toLower().contains(query) || app.tags.join(QLatin1Char(' ')).toLower().contains(query);
}

QList<AppManifestItem> filter(const QList<AppManifestItem> &apps, const QString &searchText)
{
    const QString q = query(searchText);
    if (q.isEmpty())
        return apps;
    QList<AppManifestItem> result;
    for (const AppManifestItem &app : apps) {
        if (matches(app, q))
            result.append(app);
    }
    return result;
}

}  // namespace LibrarySearch
