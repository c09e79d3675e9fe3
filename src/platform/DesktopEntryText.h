#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The text of a desktop entry (freedesktop.org's Desktop Entry format) for
// an installed app. Every value may come from a downloaded catalog or bundle,
// so each is escaped such that it stays one value of one key on one line.
namespace DesktopEntryText {

// The key that marks an entry as the launcher's: only entries carrying it
// are ever rewritten or removed.
inline constexpr char markKey[] = "X-Vantrel-Managed";
// The prefix of every desktop file id (and icon name) the launcher writes.
// No '-' anywhere in an id: menus that take an id with a '.' for a D-Bus name
// turn it into an object path, where '-' is not allowed, and complain at every launch.
inline constexpr char idPrefix[] = "vantrel_app.";
// The prefix of the ids written before; their files move to the current id.
inline constexpr char legacyIdPrefix[] = "vantrel-app.";

// "vantrel_app.com.vantrel.notes": the desktop file id for a bundle
// identifier (the app id when the bundle has none): dot-separated parts of
// letters, digits and '_', no part starting with a digit, bounded length;
// a hash of the identifier follows where cleaning or cutting changed it.
QString fileId(const QString &bundleId, const QString &appId);
// The id the same app's files had under legacyIdPrefix ('-' was kept then).
QString legacyFileId(const QString &bundleId, const QString &appId);

// A value of type string: one line (line breaks and tabs become spaces, other
// control characters go), backslashes escaped, at most maxChars characters.
QString stringValue(const QString &text, int maxChars = 256);
// A list value: each item a string value with ';' escaped, each ended by ';'.
QString listValue(const QStringList &items, int maxChars = 256);
// One argument of Exec: always quoted, with '"', '`', '$' and '\' escaped
// inside the quotes, '%' doubled, then escaped as a string value. nullopt
// for a text no entry can carry (control characters other than line breaks and tabs).
std::optional<QString> execArgument(const QString &argument);

// The registered main categories (with their required companions) for a
// catalog category in any of the launcher's languages; "Utility;" when none fits.
QString categories(const QString &category);

struct Fields {
    QString name;
    QString comment;
    QStringList keywords;
    QString executable;  // absolute path
    QString workingFolder;
    QString icon;
    QString category;
    QString startupWmClass;  // empty when the bundle names none
    QString version;
};

// The whole entry; nullopt when the executable's path cannot be written.
std::optional<QByteArray> entry(const Fields &fields);

// Whether content is an entry the launcher wrote (it carries the mark).
bool isMarked(const QByteArray &content);

}  // namespace DesktopEntryText
