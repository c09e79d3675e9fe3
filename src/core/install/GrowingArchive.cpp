#include "GrowingArchive.h"

void GrowingArchive::written(qint64 bytes)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_extent.state != State::growing || bytes <= m_extent.written)
            return;
        m_extent.written = bytes;
    }
    m_changed.notify_all();
}

void GrowingArchive::restarted()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_extent.state != State::growing)
            return;
        m_extent.written = 0;
        ++m_extent.generation;
    }
    m_changed.notify_all();
}

void GrowingArchive::complete(qint64 bytes)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_extent.state != State::growing)
            return;
        m_extent.written = bytes;
        m_extent.state = State::complete;
    }
    m_changed.notify_all();
}

void GrowingArchive::abandon()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_extent.state != State::growing)
            return;
        m_extent.state = State::abandoned;
    }
    m_changed.notify_all();
}

GrowingArchive::Extent GrowingArchive::waitBeyond(qint64 offset, int generation, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, timeout, [&] { return m_extent.generation != generation || m_extent.written > offset || m_extent.state != State::growing; });
    return m_extent;
}

GrowingArchive::Extent GrowingArchive::now() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_extent;
}
