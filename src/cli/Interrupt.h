#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

// Ctrl-C (SIGINT) while a command runs: the signal handler only writes a byte
// to a pipe, and the event loop, reading it, calls onInterrupt. A second
// Ctrl-C ends the process the usual way. The previous handling comes back
// when the watch goes.
class InterruptWatch
{
public:
    // The status a command ends with after an interrupt.
    static constexpr int exitStatus = 130;

    explicit InterruptWatch(std::function<void()> onInterrupt);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    bool interrupted() const { return m_interrupted; }

private:
    std::function<void()> m_onInterrupt;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_interrupted = false;
};
