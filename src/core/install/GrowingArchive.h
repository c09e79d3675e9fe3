#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

// An archive file that a download is still writing, read at the same time by
// an unpacker on a worker thread. The download says how far the file is
// written, when it starts again from zero and how it ended; the unpacker
// waits for bytes and may ask the download to stop.
class GrowingArchive
{
public:
    enum class State { growing, complete, abandoned };

    explicit GrowingArchive(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    // The download's side.
    void written(qint64 bytes);
    void restarted();
    void complete(qint64 bytes);
    void abandon();

    // The unpacker's side. What is known of the file once more than offset
    // bytes of this generation are written, it ended, it started again from
    // zero (a new generation) or timeout passed.
    struct Extent {
        qint64 written = 0;
        int generation = 0;
        State state = State::growing;
    };
    Extent waitBeyond(qint64 offset, int generation, std::chrono::milliseconds timeout) const;
    Extent now() const;

    // How far the unpacker has read, for the download's side to see.
    void readUpTo(qint64 offset) { m_read.store(offset, std::memory_order_relaxed); }
    qint64 readSoFar() const { return m_read.load(std::memory_order_relaxed); }

    // Set by the unpacker when fetching the rest cannot help; the download
    // watches it as it watches a cancel.
    std::shared_ptr<const std::atomic_bool> stopFlag() const { return m_stop; }
    void stopDownload() { m_stop->store(true); }

private:
    const QString m_path;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Extent m_extent;
    std::atomic<qint64> m_read{0};
    std::shared_ptr<std::atomic_bool> m_stop = std::make_shared<std::atomic_bool>(false);
};
