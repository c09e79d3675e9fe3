#pragma once

#include "catalog/Models.h"

#include <QCoroTask>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class ExtractedChecksums;
class FileListCache;
class QNetworkAccessManager;

// An update that takes what did not change from the installed copy and
// fetches the rest by byte ranges of the release archive, building in the
// work folder the tree the archive's extraction would have built. Whatever
// it cannot trust ends it with the reason, and the install takes the whole
// archive instead.
namespace PartialUpdate {

// The record names a file list with a checksum to hold it to.
bool offered(const AppManifestItem &app);

struct Work {
    QNetworkAccessManager *session = nullptr;
    AppManifestItem app;
    QString installRoot;
    QString workDir;
    QString extracted;  // an empty folder that receives the tree
    int timeoutMs = 60000;
    std::shared_ptr<std::atomic_bool> cancel;
    std::shared_ptr<ExtractedChecksums> checksums;
    // Where the list is fetched once and kept; its bytes are the caller's to count.
    std::shared_ptr<FileListCache> lists;
    // Bytes of the archive's parts so far and all there are to fetch, once known.
    std::function<void(qint64, qint64)> onFetched;
};

struct Outcome {
    bool assembled = false;
    QString fallbackReason;  // when not assembled
    qint64 fetchedBytes = 0;  // of the archive, whatever came of them
    qint64 reusedBytes = 0;
};

// Throws AppInstallerError(cancelled), and PlatformError(fileSystem) when the
// work folder cannot be written; every other failure is an outcome.
QCoro::Task<Outcome> assemble(Work work);

}  // namespace PartialUpdate
