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

}  // namespace LibrarySearch
