#include "UpdateSize.h"

#include "FileList.h"
#include "InstallReceipt.h"
#include "PartialUpdate.h"

#include <QCoroNetworkReply>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace UpdateSize {
namespace {

constexpr qint64 largestList = 64 << 20;

QCoro::Task<std::optional<QByteArray>> fetchList(QNetworkAccessManager *session, QUrl url, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    std::unique_ptr<QNetworkReply> reply(session->get(request));
    QNetworkReply *raw = reply.get();
    QObject::connect(raw, &QNetworkReply::downloadProgress, raw, [raw](qint64 received, qint64) {
        if (received > largestList)
            raw->abort();
    });
    co_await raw;
    if (raw->error() != QNetworkReply::NoError)
        co_return std::nullopt;
    co_return raw->readAll();
}

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

QCoro::Task<std::optional<qint64>> estimate(QNetworkAccessManager *session, AppManifestItem app, QString bundlePath,
                                            int timeoutMs)
{
    if (!session || !PartialUpdate::offered(app) || app.fileListUrl->scheme() == QLatin1String("file"))
        co_return std::nullopt;
    {
        const InstallReceipt::TreeReceipt receipt = InstallReceipt::treeReceipt(bundlePath, app.id);
        QCoro::Task<std::optional<QByteArray>> fetching = fetchList(session, *app.fileListUrl, timeoutMs);
        const std::optional<QByteArray> bytes = co_await fetching;
        const bool trusted = bytes
            && QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256).toHex() == app.fileListSha256->toLower().toLatin1();
        const std::optional<FileList> list = trusted ? FileList::decode(*bytes) : std::nullopt;
        if (list && receipt.state == InstallReceipt::TreeReceipt::State::described
            && list->archiveSha256 == app.sha256->toLower().toLatin1())
            co_return bytes->size() + changedBytes(*list, receipt, QFileInfo(bundlePath).fileName().toUtf8());
    }
    co_return std::nullopt;
}

}  // namespace UpdateSize
