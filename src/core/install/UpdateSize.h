#pragma once

#include "catalog/Models.h"

#include <QCoroTask>
#include <QString>
#include <memory>
#include <optional>

class FileListCache;
class QNetworkAccessManager;

// What an update will download, told before it runs, for the Update button
// and `vantrel update`. With a file list: the list and the compressed bytes
// of every file the installed copy's receipt does not record with the same
// size and CRC-32 (an estimate: the update itself hashes every file it
// reuses). nullopt without a list (the whole archive's length is not asked
// for ahead) and when it cannot be told.
namespace UpdateSize {

// The list comes through lists, where the update finds it again.
QCoro::Task<std::optional<qint64>> estimate(QNetworkAccessManager *session, std::shared_ptr<FileListCache> lists,
                                            AppManifestItem app, QString bundlePath, int timeoutMs);

}  // namespace UpdateSize
