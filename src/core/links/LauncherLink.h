#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The launcher's own links, which a web page, a desktop search or another
// program may hand it:
//   vantrel://app/<id>        that app's page
//   vantrel://search/<terms>  the library filtered by the terms
// Whoever sends one is not trusted, so reading is strict: anything not exactly
// of these forms is refused with the reason, for the log. A link only ever
// shows something.
struct LauncherLink {
    enum class Kind { app, search };
    Kind kind = Kind::app;
    QString value;  // the app id, or the search terms, decoded

    // The link that reads back as this one (percent-encoded where needed).
    QByteArray toEncoded() const;

    friend bool operator==(const LauncherLink &, const LauncherLink &) = default;
};

struct LinkReading {
    std::optional<LauncherLink> link;
    QString refusal;  // why not, in English for the log; empty when read
};

namespace LauncherLinks {

inline constexpr qsizetype maximumBytes = 2048;

// raw as it arrived: a command-line argument's bytes or a hand-over's line.
LinkReading read(const QByteArray &raw);

// An argument that is meant as a link rather than an option.
bool looksLikeLink(const QByteArray &argument);

}  // namespace LauncherLinks
