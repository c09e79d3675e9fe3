#pragma once

#include "catalog/Models.h"

#include <QCoroTask>
#include <optional>

class QNetworkAccessManager;

// What installing an app will download, told before it runs, for the check
// on a metered connection: the size of its release archive as its server
// tells it (or as the file is), measured by ArchiveProbe.
namespace DownloadSize {

// nullopt when it cannot be learnt. Never throws.
QCoro::Task<std::optional<qint64>> of(QNetworkAccessManager *session, AppManifestItem app, int timeoutMs);

}  // namespace DownloadSize
