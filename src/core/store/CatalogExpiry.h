#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

// A signed catalog stops being trusted at its expiry: past it, by this
// computer's clock, nothing is installed or updated from it until a fresh one
// arrives, and the user is told why.
namespace CatalogExpiry {

// expiresAt when it is set and has passed at now; nullopt otherwise.
std::optional<QDateTime> expiredOn(const QDateTime &expiresAt, const QDateTime &now);

// "The catalog expired on 3 December. ...", with the date as the language
// installed writes it (this computer's local date).
QString line(const QDateTime &expiredOn);
// The same, worded again whenever it is called (for the error line).
std::function<QString()> wording(const QDateTime &expiredOn);

}  // namespace CatalogExpiry
