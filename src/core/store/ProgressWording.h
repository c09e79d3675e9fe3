#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

// What a running install has done and how long it has left, worded once for
// the window and the terminal: "44 % · 86 of 196 MB · about 12 s left". The
// time left comes from the bytes still to come over a rate smoothed across
// the transfer, so one fast or slow moment does not swing it; it is left out
// until there is a rate to go by, and so are the bytes while none are known.
class ProgressWording
{
public:
    // Milliseconds on a monotonic clock; tests drive their own.
    using Clock = std::function<qint64()>;

    explicit ProgressWording(Clock clock = {});

    // The bytes received so far and all there are (-1: unknown).
    void bytes(qint64 received, qint64 total);
    QString text(double fraction) const;
    // Seconds left at the smoothed rate; nullopt while it cannot be told.
    std::optional<qint64> secondsLeft() const;

    // The words for a fraction, the bytes (total -1: unknown) and the seconds left.
    static QString sentence(double fraction, qint64 received, qint64 total, std::optional<qint64> secondsLeft);

private:
    Clock m_clock;
    qint64 m_received = 0;
    qint64 m_total = -1;
    qint64 m_sampledAt = -1;     // when the rate last took in bytes
    qint64 m_sampledBytes = 0;
    qint64 m_startedAt = -1;
    double m_rate = 0;           // bytes a second, smoothed
};
