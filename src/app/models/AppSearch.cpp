#include "AppSearch.h"

#include <algorithm>
#include <numeric>

namespace AppSearch {

QString query(const QString &searchText)
{
    // QString::toLower is locale-independent, as the rule wants.
    return searchText.trimmed().toLower();
}

SearchKeys::SearchKeys(const QList<AppManifestItem> &apps, Fields fields)
{
    m_starts.reserve(apps.size() + 1);
    const auto add = [this](const QString &field) {
        m_text += field.toLower();
        m_text += QChar(u'\0');
    };
    for (const AppManifestItem &app : apps) {
        m_starts.append(m_text.size());
        add(app.name);
        add(app.tagline);
        add(app.category);
        if (fields == Fields::withTags)
            add(app.tags.join(QLatin1Char(' ')));
    }
    m_starts.append(m_text.size());
}

bool SearchKeys::appMatches(qsizetype index, QStringView loweredQuery) const
{
    const QStringView all(m_text);
    qsizetype from = m_starts[index];
    const qsizetype end = m_starts[index + 1];
    while (from < end) {
        const qsizetype stop = all.indexOf(QChar(u'\0'), from);
        if (all.sliced(from, stop - from).contains(loweredQuery))
            return true;
        from = stop + 1;
    }
    return false;
}

QList<int> SearchKeys::matching(const QString &loweredQuery) const
{
    QList<int> result;
    const qsizetype n = size();
    if (loweredQuery.isEmpty()) {
        result.resize(n);
        std::iota(result.begin(), result.end(), 0);
        return result;
    }
    if (loweredQuery.contains(QChar(u'\0'))) {
        for (qsizetype i = 0; i < n; ++i) {
            if (appMatches(i, loweredQuery))
                result.append(int(i));
        }
        return result;
    }
    // One scan over all the text; after a hit, go on at the next app.
    const QStringView all(m_text);
    qsizetype pos = 0;
    while ((pos = all.indexOf(loweredQuery, pos)) >= 0) {
        const auto it = std::upper_bound(m_starts.cbegin(), m_starts.cend(), pos) - 1;
        const qsizetype app = it - m_starts.cbegin();
        result.append(int(app));
        pos = m_starts[app + 1];
    }
    return result;
}

QList<int> SearchKeys::matching(const QString &loweredQuery, const QList<int> &candidates) const
{
    if (loweredQuery.isEmpty())
        return matching(loweredQuery);
    const bool plain = !loweredQuery.contains(QChar(u'\0'));
    const QStringView all(m_text);
    QList<int> result;
    for (const int i : candidates) {
        if (plain ? all.sliced(m_starts[i], m_starts[i + 1] - m_starts[i]).contains(loweredQuery)
                  : appMatches(i, loweredQuery))
            result.append(i);
    }
    return result;
}

}  // namespace AppSearch
