#pragma once

#include <QDateTime>
#include <QString>

// How long ago `then` was, short and in the installed language: "just now",
// "5 min ago", "3 h ago", "2 d ago" (whole units, rounded down; a time ahead
// of now is "just now").
namespace RelativeTime {

QString shortText(const QDateTime &then, const QDateTime &now);

}  // namespace RelativeTime
