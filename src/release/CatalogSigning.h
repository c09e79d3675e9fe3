#pragma once

#include "SigningKey.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// A catalog signed as its maker signs it: "sequence" and "expiresAt" set in
// its top-level object, then its exact bytes signed. The launcher refuses a
// signed catalog without them, and one whose sequence is below one it saw.
namespace CatalogSigning {

inline constexpr qint64 defaultValiditySeconds = 14 * 24 * 3600;
// `vantrel check` warns with less than this left; makers sign again before.
inline constexpr qint64 warningSeconds = 3 * 24 * 3600;

struct Signed {
    QByteArray catalog;    // the document as signed
    QByteArray signature;  // the X-Vantrel-Signature value
    qint64 sequence = 0;
    QDateTime expiresAt;   // UTC, to the second
    QDateTime signAgainBy; // before the launcher's check warns (or half the validity, when shorter)
};

// At least now in Unix seconds, so a lost counter never locks users out,
// and above lastSigned, so a clock set back never reuses one.
qint64 nextSequence(qint64 lastSigned, const QDateTime &now);

// The document's own "sequence"; 0 when it has none or is not a catalog.
qint64 sequenceOf(const QByteArray &catalog);

// Sets the fields, keeping every other key; throws SigningKeyError when
// catalog is not a JSON object.
Signed sign(const QByteArray &catalog, const SigningKey &key, qint64 lastSigned, const QDateTime &now,
            qint64 validForSeconds = defaultValiditySeconds);

// "14d", "36h" or "14" (days) in seconds; nullopt unless a positive whole amount.
std::optional<qint64> parseValidity(const QString &text);

}  // namespace CatalogSigning
