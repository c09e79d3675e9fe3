#pragma once

#include "catalog/Models.h"
#include "i18n/VantrelLocale.h"

#include <QCoroTask>
#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>

class ManifestLoading;

// One catalog refresh from the service: the catalog it loaded, or why there is none.
struct CatalogFetch {
    // Why the catalog offered was refused, when it was not a failure to fetch.
    enum class Refused {
        no,
        signature,    // it may have been tampered with
        freshness,    // signed, without a valid sequence or expiry
        older,        // a replay of a catalog older than one already seen
        conflicting,  // the sequence already seen, with other bytes
    };

    std::optional<LauncherManifest> manifest;
    Refused refused = Refused::no;
    QString reason;           // a failure's own words ("Connection refused"); empty on success

    // Never throws; a missing loader loads nothing.
    static QCoro::Task<CatalogFetch> run(std::shared_ptr<ManifestLoading> loader, VantrelLocale locale);
    // The error line of a failed refresh, worded in the language installed
    // whenever it is called; a fetched catalog still shown says how old it is.
    static std::function<QString()> failureWording(Refused refused, const std::optional<QDateTime> &shownFetchedAt);
};
