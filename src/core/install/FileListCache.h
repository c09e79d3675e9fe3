#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QDeadlineTimer>
#include <QHash>
#include <QString>
#include <QUrl>
#include <atomic>
#include <memory>
#include <optional>

class QNetworkAccessManager;

// One fetch of a file list, shared by whoever asks for the same list while
// it runs or after it ended.
struct FileListFetch {
    std::optional<QByteArray> bytes;  // held to its SHA-256
    QString problem;                  // when there are none
    qint64 fetchedBytes = 0;          // what came over the network for it
    qint64 unclaimedBytes = 0;        // of those, not yet counted by an update
    bool finished = false;
    QDeadlineTimer expires;           // a failure is asked again after it
};

// The file lists of releases by their SHA-256, fetched once per process: the
// size an update will download, told ahead, and the update itself read the
// same answer, and its bytes count once, towards the update. The checksum
// names the content, so an answer kept is the answer a new fetch would give;
// a failure is kept for a minute only.
class FileListCache
{
public:
    static constexpr qint64 largestList = 64 << 20;

    struct Answer {
        std::optional<QByteArray> bytes;
        QString problem;  // for the log, when there are no bytes
    };

    // cancel stops the wait with AppInstallerError(cancelled).
    QCoro::Task<Answer> fetch(QNetworkAccessManager *session, QUrl url, QString sha256Hex, int timeoutMs,
                              std::shared_ptr<const std::atomic_bool> cancel = {});
    // The bytes fetched for the list and not yet counted by an update, once
    // a fetch under way has ended; 0 after the first call.
    QCoro::Task<qint64> claim(QString sha256Hex);

private:
    QHash<QString, std::shared_ptr<FileListFetch>> m_fetches;
};
