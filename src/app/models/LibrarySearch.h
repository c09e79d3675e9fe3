#pragma once

#include "catalog/Models.h"

#include <QString>

// The library's search rule: the query is the trimmed, lower-cased text; an
// app matches when the query is a substring of its lower-cased name, tagline,
// category or its tags joined by one space. Accents stay significant.
namespace LibrarySearch {

QString query(const QString &searchText);
// Whether text.toLower() contains loweredQuery, without building the lowered
// copy when text is plain ASCII (the common case, searched per keystroke).
bool lowerContains(QStringView text, QStringView loweredQuery);
bool matches(const AppManifestItem &app, const QString &query);
QList<AppManifestItem> filter(const QList<AppManifestItem> &apps, const QString &searchText);

// The lower-cased searched fields of a list of apps, built once per list so
// that a keystroke only scans text. Results are indices into that list, in
// its order.
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

}  // namespace LibrarySearch
