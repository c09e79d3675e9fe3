#include "ProgressWording.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <memory>

namespace {

// Samples closer than this say little about the rate.
constexpr qint64 sampleMs = 250;
// Each sample's weight in the smoothed rate.
constexpr double smoothing = 0.3;
// No time left is told before the rate has had this long.
constexpr qint64 settleMs = 1000;

// "86 of 196 MB": both in the total's unit.
QString bytesOf(qint64 received, qint64 total)
{
    const QLocale locale;
    int power = 0;
    for (double scaled = double(total); scaled >= 1000 && power < 4; scaled /= 1000)
        ++power;
    const double unit = std::pow(1000.0, power);
    const int decimals = power > 0 && double(total) / unit < 100 ? 1 : 0;
    return qtTrId("progressBytesOf")
        .arg(locale.toString(double(received) / unit, 'f', decimals),
             locale.formattedDataSize(total, decimals, QLocale::DataSizeSIFormat));
}

QString timeLeft(qint64 seconds)
{
    if (seconds < 60)
        return qtTrId("progressSecondsLeft", int(qMax<qint64>(1, seconds)));
    return qtTrId("progressMinutesLeft", int((seconds + 59) / 60));
}

}  // namespace

ProgressWording::ProgressWording(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_clock = [timer] { return timer->elapsed(); };
    }
}

void ProgressWording::bytes(qint64 received, qint64 total)
{
    const qint64 now = m_clock();
    if (m_startedAt < 0 || received < m_sampledBytes) {
        m_startedAt = m_sampledAt = now;
        m_sampledBytes = received;
        m_rate = 0;
    } else if (now - m_sampledAt >= sampleMs) {
        const double rate = double(received - m_sampledBytes) * 1000.0 / double(now - m_sampledAt);
        m_rate = m_rate > 0 ? smoothing * rate + (1 - smoothing) * m_rate : rate;
        m_sampledAt = now;
        m_sampledBytes = received;
    }
    m_received = received;
    m_total = total;
}

std::optional<qint64> ProgressWording::secondsLeft() const
{
    if (m_total <= 0 || m_rate <= 0 || m_clock() - m_startedAt < settleMs)
        return std::nullopt;
    return qint64(std::ceil(double(qMax<qint64>(0, m_total - m_received)) / m_rate));
}

QString ProgressWording::text(double fraction) const
{
    return sentence(fraction, m_received, m_total, secondsLeft());
}

QString ProgressWording::sentence(double fraction, qint64 received, qint64 total, std::optional<qint64> secondsLeft)
{
    QStringList parts{qtTrId("progressPercent").arg(QLocale().toString(int(std::floor(fraction * 100))))};
    if (total > 0 && received >= 0)
        parts.append(bytesOf(qMin(received, total), total));
    if (secondsLeft)
        parts.append(timeLeft(*secondsLeft));
    return parts.join(QStringLiteral(" · "));
}
