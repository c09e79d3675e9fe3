#pragma once

#include <QElapsedTimer>
#include <functional>

// Turns what an install has done into the fraction it publishes: 0.04 at the
// start, the download (bytes received over Content-Length) on 0.04-0.90, the
// extraction (bytes written over what the entries declare) on 0.90-0.99. The
// fraction never goes down, is published only when its whole percent changes
// and at most ten times a second, and stays put while a size is unknown.
class InstallProgress
{
public:
    using Publish = std::function<void(double)>;
    // Milliseconds on a monotonic clock; tests drive their own.
    using Clock = std::function<qint64()>;

    static constexpr double start = 0.04;
    static constexpr double downloaded = 0.90;
    static constexpr double extracted = 0.99;
    static constexpr qint64 minimumIntervalMs = 100;

    explicit InstallProgress(Publish publish, Clock clock = {});

    void download(qint64 received, qint64 total) { offer(start, downloaded, received, total); }
    void extraction(qint64 written, qint64 total) { offer(downloaded, extracted, written, total); }

    double current() const { return m_current; }

private:
    void offer(double from, double to, qint64 done, qint64 total);

    Publish m_publish;
    Clock m_clock;
    QElapsedTimer m_timer;
    double m_current = start;
    qint64 m_lastPublishedAt = -minimumIntervalMs;
};
