#pragma once

#include <QJsonObject>
#include <QStringList>

struct StoreSession;

// What the terminal says of updates the catalog releases gradually and has
// not offered this computer yet.
namespace StagedNotes {

// " · 1.1.0 released gradually (10%)" after an app's state in `vantrel list`, or nothing.
QString listNote(const StoreSession &s, const QString &appId);
// "staged": {"version", "percent"} on the app's object in `vantrel list --json`.
void addJson(const StoreSession &s, const QString &appId, QJsonObject &object);
// The staged apps' ids, for `vantrel update --all --include-staged`.
QStringList stagedIds(const StoreSession &s);
// Says, for each app named that is staged, that its version is not yet offered here.
void announce(const StoreSession &s, const QStringList &ids);

}  // namespace StagedNotes
