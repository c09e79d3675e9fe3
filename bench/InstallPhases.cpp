#include "InstallPhases.h"

#include "install/GrowingArchive.h"
#include "install/InstallerLayers.h"
#include "system/SystemLayers.h"

#include <limits>
#include <thread>

class TimedExtractor : public ArchiveExtractor
{
public:
    TimedExtractor(std::shared_ptr<const ArchiveExtractor> inner, InstallPhases *phases) : m_inner(std::move(inner)), m_phases(phases) {}
    void extractZip(const QString &archivePath, const QString &destinationDir, const std::atomic_bool *cancel,
                    ExtractionProgress *progress, ExtractedChecksums *checksums) const override
    {
        m_phases->mark(InstallPhases::extracting);
        m_inner->extractZip(archivePath, destinationDir, cancel, progress, checksums);
        m_phases->mark(InstallPhases::extracted);
    }

    // Unpacked alongside the download: the extraction phase is what is left once its last byte is written.
    StreamedUnpack streamZip(GrowingArchive &archive, const QString &destinationDir, const std::atomic_bool *cancel,
                             ExtractionProgress *progress, ExtractedChecksums *checksums,
                             const ExpectedFiles *expected) const override
    {
        std::thread watch([this, &archive] {
            for (;;) {
                const GrowingArchive::Extent now = archive.now();
                const GrowingArchive::Extent extent
                    = archive.waitBeyond(std::numeric_limits<qint64>::max(), now.generation, std::chrono::milliseconds(100));
                if (extent.state != GrowingArchive::State::growing)
                    break;
            }
            m_phases->mark(InstallPhases::extracting);
        });
        const StreamedUnpack outcome = m_inner->streamZip(archive, destinationDir, cancel, progress, checksums, expected);
        watch.join();
        if (outcome.outcome == StreamedUnpack::Outcome::unpacked)
            m_phases->mark(InstallPhases::extracted);
        return outcome;
    }

private:
    std::shared_ptr<const ArchiveExtractor> m_inner;
    InstallPhases *m_phases;
};

// The identifier is the last thing the bundle check reads.
class TimedInspector : public BundleInspector
{
public:
    TimedInspector(std::shared_ptr<const BundleInspector> inner, InstallPhases *phases) : m_inner(std::move(inner)), m_phases(phases) {}
    std::optional<QString> bundleIdentifier(const QString &bundlePath) const override
    {
        std::optional<QString> identifier = m_inner->bundleIdentifier(bundlePath);
        m_phases->mark(InstallPhases::inspected);
        return identifier;
    }
    std::optional<QString> executableName(const QString &bundlePath) const override { return m_inner->executableName(bundlePath); }

private:
    std::shared_ptr<const BundleInspector> m_inner;
    InstallPhases *m_phases;
};

class TimedReplacer : public DirectoryReplacer
{
public:
    TimedReplacer(std::shared_ptr<const DirectoryReplacer> inner, InstallPhases *phases) : m_inner(std::move(inner)), m_phases(phases) {}
    bool exchange(const QString &destination, const QString &staged) const override
    {
        m_phases->mark(InstallPhases::swapping);
        const bool replaced = m_inner->exchange(destination, staged);
        m_phases->mark(InstallPhases::swapped);
        return replaced;
    }

private:
    std::shared_ptr<const DirectoryReplacer> m_inner;
    InstallPhases *m_phases;
};

QStringList InstallPhases::names()
{
    return {QStringLiteral("download + hash (+ unpacking alongside)"), QStringLiteral("extraction (after the last byte)"), QStringLiteral("bundle check"),
            QStringLiteral("flush (placing the bundle, recording its tree, writing both to disk)"), QStringLiteral("swap"),
            QStringLiteral("clean-up before returning")};
}

AppInstaller::Layers InstallPhases::wrap(AppInstaller::Layers layers)
{
    layers.extractor = std::make_shared<TimedExtractor>(layers.extractor, this);
    layers.bundles = std::make_shared<TimedInspector>(layers.bundles, this);
    layers.replacer = std::make_shared<TimedReplacer>(layers.replacer, this);
    return layers;
}

void InstallPhases::start()
{
    for (auto &m : m_marks)
        m.store(0);
    mark(started);
}

std::array<double, InstallPhases::count> InstallPhases::finish() const
{
    const Clock::rep end = Clock::now().time_since_epoch().count();
    std::array<double, count> phases{};
    for (int i = 0; i < count; ++i) {
        const Clock::rep to = i + 1 < marks ? m_marks[i + 1].load() : end;
        phases[size_t(i)] = std::chrono::duration<double, std::milli>(Clock::duration(to - m_marks[i].load())).count();
    }
    return phases;
}
