#pragma once

#include "catalog/Models.h"

#include <QString>

// The one rule every app list searches by (the library's sections, the quick
// switcher): the query is the trimmed, lower-cased text (locale-independent
// lower-casing); an app matches when the query is a substring of one of its
// lower-cased fields: name, tagline, category and, in the library, its tags
// joined by one space. Accents stay significant. The fields are lowered once
// per list, so a keystroke only scans text.
namespace AppSearch {

QString query(const QString &searchText);

// The lower-cased searched fields of a list of apps. Results are indices
// into that list, in its order.
class SearchKeys
{
public:
    enum class Fields { withTags, withoutTags };  // the library's fields, or the switcher's

    SearchKeys() = default;
    SearchKeys(const QList<AppManifestItem> &apps, Fields fields);

    qsizetype size() const { return m_starts.isEmpty() ? 0 : m_starts.size() - 1; }
    // Every app whose fields contain the lowered query; all of them for an empty query.
    QList<int> matching(const QString &loweredQuery) const;
    // Only among candidates (ascending indices): enough when the previous
    // query is a substring of this one.
    QList<int> matching(const QString &loweredQuery, const QList<int> &candidates) const;

private:
    bool appMatches(qsizetype index, QStringView loweredQuery) const;

    // Each field lowered and followed by a NUL, app after app; a query
    // without a NUL therefore cannot match across two fields.
    QString m_text;
    QList<qsizetype> m_starts;  // size() + 1 entries
};

}  // namespace AppSearch
