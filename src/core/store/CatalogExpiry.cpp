#include "CatalogExpiry.h"

#include <QLocale>

namespace CatalogExpiry {

std::optional<QDateTime> expiredOn(const QDateTime &expiresAt, const QDateTime &now)
{
    if (!expiresAt.isValid() || now < expiresAt)
        return std::nullopt;
    return expiresAt;
}

QString line(const QDateTime &expiredOn)
{
    // The translator sets the default locale; each language orders day and month its own way.
    const QString date = QLocale().toString(expiredOn.toLocalTime().date(), qtTrId("catalogExpiryDateFormat"));
    return qtTrId("errorCatalogExpired").arg(date);
}

std::function<QString()> wording(const QDateTime &expiredOn)
{
    return [expiredOn] { return line(expiredOn); };
}

}  // namespace CatalogExpiry
