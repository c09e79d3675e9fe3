#include "UpdateSize.h"

#include "FileList.h"
#include "FileListCache.h"
#include "InstallReceipt.h"
#include "PartialUpdate.h"

#include <QFileInfo>

namespace UpdateSize {
namespace {

// The compressed bytes of the list's files the receipt does not hold as they are.
qint64 changedBytes(const FileList &list, const InstallReceipt::TreeReceipt &receipt, const QByteArray &bundleName)
{
    QHash<QByteArray, const BundleEntry *> installed;
    for (const BundleEntry &entry : receipt.tree.entries)
        installed.insert(bundleName + '/' + entry.path, &entry);
    qint64 bytes = 0;
    for (const FileListEntry &entry : list.entries) {
        if (entry.type != FileListEntry::Type::file)
            continue;
        const BundleEntry *had = installed.value(entry.path);
        if (!had || had->type != BundleEntry::Type::file || had->size != entry.size || had->crc32 != entry.crc32)
            bytes += entry.compressedSize;
    }
    return bytes;
}

}  // namespace

QCoro::Task<std::optional<qint64>> estimate(QNetworkAccessManager *session, std::shared_ptr<FileListCache> lists,
                                            AppManifestItem app, QString bundlePath, int timeoutMs)
{
    if (!session || !lists || !PartialUpdate::offered(app) || app.fileListUrl->scheme() == QLatin1String("file"))
        co_return std::nullopt;
    {
        const InstallReceipt::TreeReceipt receipt = InstallReceipt::treeReceipt(bundlePath, app.id);
        QCoro::Task<FileListCache::Answer> fetching = lists->fetch(session, *app.fileListUrl, *app.fileListSha256, timeoutMs);
        const std::optional<QByteArray> bytes = (co_await fetching).bytes;
        const std::optional<FileList> list = bytes ? FileList::decode(*bytes) : std::nullopt;
        if (list && receipt.state == InstallReceipt::TreeReceipt::State::described
            && list->archiveSha256 == app.sha256->toLower().toLatin1())
            co_return bytes->size() + changedBytes(*list, receipt, QFileInfo(bundlePath).fileName().toUtf8());
    }
    co_return std::nullopt;
}

}  // namespace UpdateSize
