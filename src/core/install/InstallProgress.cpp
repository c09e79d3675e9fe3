#include "InstallProgress.h"

#include <QtGlobal>
#include <cmath>

InstallProgress::InstallProgress(Publish publish, Clock clock)
    : m_publish(std::move(publish)), m_clock(std::move(clock))
{
    if (!m_clock) {
        m_timer.start();
        m_clock = [this] { return m_timer.elapsed(); };
    }
}

void InstallProgress::offer(double from, double to, qint64 done, qint64 total)
{
    if (total <= 0 || done < 0)
        return;
    const double fraction = from + (to - from) * qMin(1.0, double(done) / double(total));
    if (std::floor(fraction * 100) <= std::floor(m_current * 100))
        return;
    const qint64 now = m_clock();
    if (now - m_lastPublishedAt < minimumIntervalMs)
        return;
    m_lastPublishedAt = now;
    m_current = fraction;
    if (m_publish)
        m_publish(fraction);
}
