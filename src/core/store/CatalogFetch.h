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
    std::optional<LauncherManifest> manifest;
    bool unverified = false;  // refused for its signature: it may have been tampered with
    QString reason;           // a failure's own words ("Connection refused"); empty on success

    // Never throws; a missing loader loads nothing.
    static QCoro::Task<CatalogFetch> run(std::shared_ptr<ManifestLoading> loader, VantrelLocale locale);
    // The error line of a failed refresh, worded in the language installed
    // whenever it is called; a fetched catalog still shown says how old it is.
    static std::function<QString()> failureWording(bool unverified, const std::optional<QDateTime> &shownFetchedAt);
};
