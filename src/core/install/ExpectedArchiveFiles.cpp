#include "ExpectedArchiveFiles.h"

#include "FileList.h"
#include "FileListCache.h"
#include "Sha256Stream.h"
#include "log/Logging.h"

namespace ExpectedArchiveFiles {

QCoro::Task<std::optional<ExpectedFiles>> of(QNetworkAccessManager *session, std::shared_ptr<FileListCache> lists,
                                             AppManifestItem app, QString archiveSha256, int timeoutMs,
                                             std::shared_ptr<const std::atomic_bool> cancel)
{
    if (!lists || !app.fileListUrl || !app.fileListSha256)
        co_return std::nullopt;
    QCoro::Task<FileListCache::Answer> asking = lists->fetch(session, *app.fileListUrl, *app.fileListSha256, timeoutMs, cancel);
    const FileListCache::Answer answer = co_await asking;
    if (!answer.bytes) {
        qCInfo(lcInstall) << "Unpacking without the file list:" << answer.problem;
        co_return std::nullopt;
    }
    QString problem;
    const std::optional<FileList> list = FileList::decode(*answer.bytes, &problem);
    if (!list) {
        qCWarning(lcInstall) << "Unpacking without the file list, which was refused:" << problem;
        co_return std::nullopt;
    }
    if (QString::fromLatin1(list->archiveSha256) != archiveSha256) {
        qCWarning(lcInstall) << "Unpacking without the file list: it describes another archive.";
        co_return std::nullopt;
    }
    co_return fromList(*list);
}

ExpectedFiles fromList(const FileList &list)
{
    ExpectedFiles expected;
    expected.archiveSize = list.archiveSize;
    for (const FileListEntry &entry : list.entries) {
        if (entry.type == FileListEntry::Type::file) {
            expected.files.insert(entry.path, {entry.size, entry.sha256});
        } else if (entry.type == FileListEntry::Type::link) {
            // A link's entry holds its target, and streams in as a file of those bytes.
            Sha256Stream sha;
            sha.update(entry.target.constData(), std::size_t(entry.target.size()));
            expected.files.insert(entry.path, {entry.target.size(), sha.finishHex().toLatin1()});
        }
    }
    return expected;
}

}  // namespace ExpectedArchiveFiles
