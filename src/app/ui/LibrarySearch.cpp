#include "LibrarySearch.h"

namespace LibrarySearch {

QString query(const QString &searchText)
{
    // QString::toLower is locale-independent, as the rule wants.
    return searchText.trimmed().toLower();
}

bool lowerContains(QStringView text, QStringView loweredQuery)
{
    const qsizetype n = text.size();
    const qsizetype m = loweredQuery.size();
    if (m == 0)
        return true;
    const char16_t *t = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (t[i] >= 0x80)
            return text.toString().toLower().contains(loweredQuery);
    }
    // ASCII lowers to ASCII, so a query with anything else cannot match.
    const char16_t *q = loweredQuery.utf16();
    for (qsizetype i = 0; i + m <= n; ++i) {
        qsizetype j = 0;
        while (j < m) {
            char16_t c = t[i + j];
            if (c >= u'A' && c <= u'Z')
                c = char16_t(c + 32);
            if (c != q[j])
                break;
            ++j;
        }
        if (j == m)
            return true;
    }
    return false;
}

bool matches(const AppManifestItem &app, const QString &query)
{
    if (query.isEmpty())
        return true;
    if (lowerContains(app.name, query) || lowerContains(app.tagline, query) || lowerContains(app.category, query))
        return true;
    return lowerContains(app.tags.join(QLatin1Char(' ')), query);
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
