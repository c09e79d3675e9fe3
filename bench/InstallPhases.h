#pragma once

#include "install/AppInstaller.h"

#include <QList>
#include <QStringList>

#include <array>
#include <atomic>
#include <chrono>

// Times the phases of one install from the outside: the installer's own
// extractor, bundle inspector and replacer, wrapped so that each notes when
// it starts and ends. The phases run one after another on the installer's
// workers; their boundaries are
//   start | download + hash | extraction | bundle check | flush | swap | clean-up | return
// where an archive unpacked alongside its download counts the unpacking in
// the download, and the extraction is what is left after its last byte;
// where the flush covers moving the bundle into place and writing it to disk.
class InstallPhases
{
public:
    static constexpr int count = 6;
    static QStringList names();

    // The layers to build the timed installer from.
    AppInstaller::Layers wrap(AppInstaller::Layers layers);

    void start();
    // The phases' durations (ms) since start().
    std::array<double, count> finish() const;

private:
    friend class TimedExtractor;
    friend class TimedInspector;
    friend class TimedReplacer;
    using Clock = std::chrono::steady_clock;
    enum Mark { started, extracting, extracted, inspected, swapping, swapped, marks };
    void mark(Mark which) { m_marks[which].store(Clock::now().time_since_epoch().count()); }

    std::array<std::atomic<Clock::rep>, marks> m_marks{};
};
