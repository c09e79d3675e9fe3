#pragma once

#include "InstallerLayers.h"
#include "catalog/Models.h"

#include <QCoroTask>

#include <atomic>
#include <memory>
#include <optional>

class FileListCache;
class QNetworkAccessManager;
struct FileList;

// The files a release's signed list names, for checking the archive's files
// one by one as they are unpacked: a file that differs proves the archive is
// not the one the catalog names long before its last byte arrives.
namespace ExpectedArchiveFiles {

// Nothing when the release has no list, the list cannot be had, or it
// describes another archive than archiveSha256 (the reason is logged).
QCoro::Task<std::optional<ExpectedFiles>> of(QNetworkAccessManager *session, std::shared_ptr<FileListCache> lists,
                                             AppManifestItem app, QString archiveSha256, int timeoutMs,
                                             std::shared_ptr<const std::atomic_bool> cancel);

ExpectedFiles fromList(const FileList &list);

}  // namespace ExpectedArchiveFiles
