// vantrel-bench: times the launcher's installer, catalog decoding, start-up
// and search against what a user could do by hand, side by side in one run,
// and prints one table and a last line of ratios.

#include "BenchServer.h"
#include "BenchStats.h"
#include "BundleArchive.h"
#include "BundleFolder.h"
#include "ReleasePublisher.h"
#include "ReleaseServer.h"
#include "InstallPhases.h"

#include "DefaultCollaborators.h"
#include "LibarchiveExtractor.h"
#include "catalog/CatalogCache.h"
#include "catalog/ManifestDecoder.h"
#include "catalog/ManifestPolicy.h"
#include "install/AppInstaller.h"
#include "install/BackgroundCleanup.h"
#include "install/BundleVerifier.h"
#include "Sha256Stream.h"

#ifdef VANTREL_BENCH_DESKTOP_SEARCH
#include "SearchCatalog.h"
#endif
#ifdef VANTREL_BENCH_SEARCH
#include "AppSearch.h"
#include "QuickSwitcherModel.h"
#include "store/LauncherStore.h"
#endif

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <QTimeZone>

#include <QCoroTask>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <signal.h>
#include <unistd.h>

namespace {

using BenchStats::median;
using BenchStats::msSince;
using Clock = std::chrono::steady_clock;

struct Options {
    double size = 1.0;
    int runs = 5;
    bool smoke = false;
    qint64 memoryArchiveMiB = 1024;
    QString workDir;
    QStringList sections;
};

struct Row {
    QString section;
    QString measure;
    QString launcher;
    QString reference;
    QString ratio;
    QString goal;
    QString verdict;
};

QList<Row> rows;
QStringList ratios;
int failures = 0;

QString ms(double v)
{
    return v >= 100 ? QStringLiteral("%1 ms").arg(v, 0, 'f', 0) : QStringLiteral("%1 ms").arg(v, 0, 'f', v >= 10 ? 1 : 3);
}

QString mib(double bytes)
{
    return QStringLiteral("%1 MiB").arg(bytes / (1 << 20), 0, 'f', 1);
}

// "met" or how far past the goal (upper bounds only).
QString verdict(double value, double goal)
{
    if (value <= goal)
        return QStringLiteral("met");
    return QStringLiteral("MISSED by %1%").arg((value / goal - 1) * 100, 0, 'f', 0);
}

void fail(const QString &section, const QString &what)
{
    ++failures;
    rows.append({section, what, QStringLiteral("FAILED"), {}, {}, {}, {}});
    std::fprintf(stderr, "vantrel-bench: %s: %s\n", qPrintable(section), qPrintable(what));
}

void progress(const QString &text)
{
    std::fprintf(stderr, "[%s] %s\n", qPrintable(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))),
                 qPrintable(text));
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

qint64 statusKiB(qint64 pid, const char *field)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Runs a shell pipeline; its time, or throws when it fails.
double timeShell(const QString &script, const QStringList &args)
{
    QProcess shell;
    shell.setProcessChannelMode(QProcess::ForwardedChannels);
    const auto start = Clock::now();
    shell.start(QStringLiteral("/bin/bash"), QStringList{QStringLiteral("-c"), script, QStringLiteral("bench")} + args);
    if (!shell.waitForFinished(-1) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0)
        throw std::runtime_error("a hand-made pipeline failed");
    return msSince(start);
}

// A loopback port nothing listens on.
quint16 closedLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

AppManifestItem benchItem(const QString &url, const QString &sha)
{
    AppManifestItem item;
    item.id = QStringLiteral("bench-app");
    item.name = QStringLiteral("Bench");
    item.bundleId = QString::fromLatin1(BundleArchive::bundleIdentifier);
    item.version = QStringLiteral("1.0.0");
    item.minMacOS = QStringLiteral("1.0");
    item.status = AppReleaseStatus::live;
    item.downloadUrl = QUrl(url);
    item.sha256 = sha;
    return item;
}

// ---- install ------------------------------------------------------------------

// The same steps by hand: download, checksum, extract, move over the old copy,
// remove the old copy and the download; with "sync" last, as durable as the launcher.
const char *handPipeline = R"(set -e
work="$1"; url="$2"; sha="$3"; root="$4"; tool="$5"; flush="$6"
mkdir -p "$work" "$root"
curl -sSf -o "$work/download.zip" "$url"
echo "$sha  $work/download.zip" | sha256sum -c --quiet -
mkdir "$work/extracted"
if [ "$tool" = unzip ]; then unzip -q "$work/download.zip" -d "$work/extracted"
else bsdtar -xf "$work/download.zip" -C "$work/extracted"; fi
if [ -e "$root/Bench.app" ]; then mv "$root/Bench.app" "$root/.Bench.app.old"; fi
mv "$work/extracted/Bench.app" "$root/Bench.app"
rm -rf "$root/.Bench.app.old" "$work"
if [ "$flush" = sync ]; then sync; fi
)";

void installOnce(AppInstaller &installer, const AppManifestItem &item, InstallControl control = {})
{
    const InstalledApp placed = QCoro::waitFor(installer.install(item, std::move(control)));
    if (!QFileInfo::exists(placed.url.toLocalFile() + QStringLiteral("/Contents/Info.plist")))
        throw std::runtime_error("the installer placed no bundle");
}

// Child mode: one install, then the peak resident memory over the idle process.
int installOnceMode(const QStringList &args)
{
    if (args.size() != 4) {
        std::fprintf(stderr, "--install-once URL SHA256 INSTALL_ROOT TEMP_DIR\n");
        return 2;
    }
    QNetworkAccessManager session;
    AppInstaller installer(QUrl::fromLocalFile(args[2]), &session, defaultInstallerLayers());
    installer.setTemporaryDirectory(args[3]);
    const AppManifestItem item = benchItem(args[0], args[1]);
    const qint64 idle = statusKiB(QCoreApplication::applicationPid(), "VmRSS:");
    // Restart the high-water mark from the idle level.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    clear.close();
    try {
        installOnce(installer, item);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "install failed: %s\n", e.what());
        return 1;
    }
    const qint64 peak = statusKiB(QCoreApplication::applicationPid(), "VmHWM:");
    std::printf("idle-kib %lld peak-kib %lld\n", qlonglong(idle), qlonglong(peak));
    return 0;
}

double openSslSha256MiBps()
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), {QStringLiteral("speed"), QStringLiteral("-evp"), QStringLiteral("sha256"),
                                              QStringLiteral("-bytes"), QStringLiteral("1048576"),
                                              QStringLiteral("-seconds"), QStringLiteral("1")});
    if (!openssl.waitForFinished(-1) || openssl.exitCode() != 0)
        throw std::runtime_error("openssl speed failed");
    // Last line: "sha256   1625292.80k" (thousands of bytes per second).
    const QStringList lines = QString::fromLatin1(openssl.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QStringList fields = it->simplified().split(QLatin1Char(' '));
        if (fields.size() >= 2 && fields.first().toLower() == QLatin1String("sha256") && fields.last().endsWith(QLatin1Char('k')))
            return fields.last().chopped(1).toDouble() * 1000 / (1 << 20);
    }
    throw std::runtime_error("cannot read the openssl speed output");
}

// ---- update ---------------------------------------------------------------------

// An update from the installed copy against the whole archive, on loopback
// and over a link paced to 100 Mbit/s, for a version that changes a twentieth
// of the files (a tenth of the bytes) and for one that changes every file.
void benchUpdate(const Options &options, const QString &base)
{
    const QString section = QStringLiteral("update");
    BundleFolder::Shape shape;
    shape.files = qMax(40, int(2000 * options.size));
    shape.unpackedBytes = qint64(double(300LL << 20) * options.size);
    BundleFolder::Shape everything = shape;
    everything.changeEvery = 1;
    const QString releases = base + QStringLiteral("/update-releases");
    progress(QStringLiteral("writing and publishing three versions of the bench app"));
    BundleFolder::write(base + QStringLiteral("/update-one"), shape, 0);
    BundleFolder::write(base + QStringLiteral("/update-two"), shape, 1);
    BundleFolder::write(base + QStringLiteral("/update-all"), everything, 2);
    const ReleasePublisher::Release one = ReleasePublisher::publish(base + QStringLiteral("/update-one/Bench.app"), releases, QStringLiteral("one.zip"));
    const ReleasePublisher::Release two = ReleasePublisher::publish(base + QStringLiteral("/update-two/Bench.app"), releases, QStringLiteral("two.zip"));
    const ReleasePublisher::Release all = ReleasePublisher::publish(base + QStringLiteral("/update-all/Bench.app"), releases, QStringLiteral("all.zip"));
    ReleaseServer server(releases);
    const auto item = [&server](const ReleasePublisher::Release &release, const QString &version) {
        AppManifestItem app = benchItem(server.url(QFileInfo(release.archivePath).fileName()), QString::fromLatin1(release.archiveSha256));
        app.version = version;
        app.fileListUrl = QUrl(server.url(QFileInfo(release.listPath).fileName()));
        app.fileListSha256 = QString::fromLatin1(release.listSha256);
        return app;
    };

    QNetworkAccessManager session;
    AppInstaller installer(QUrl::fromLocalFile(base + QStringLiteral("/update-root")), &session, defaultInstallerLayers());
    QDir().mkpath(base + QStringLiteral("/update-tmp"));
    installer.setTemporaryDirectory(base + QStringLiteral("/update-tmp"));
    installOnce(installer, item(one, QStringLiteral("1.0.0")));
    const QUrl bundle = QUrl::fromLocalFile(base + QStringLiteral("/update-root/Bench.app"));
    const std::shared_ptr<InstalledCopyOperations> copies = defaultInstalledCopies(base + QStringLiteral("/update-root"));
    const qint64 archiveBytes = QFileInfo(two.archivePath).size();
    progress(QStringLiteral("update: %1 files, %2 unpacked, %3 archive").arg(shape.files).arg(mib(double(shape.unpackedBytes)), mib(double(archiveBytes))));

    // One update from 1.0.0, timed; the copy is rolled back (untimed) for the next.
    qint64 fetched = 0;
    const auto updateOnce = [&](const AppManifestItem &target, bool whole) {
        InstallControl control;
        control.fullArchive = whole;
        control.onTransferred = [&fetched](qint64 downloaded, qint64) { fetched = downloaded; };
        ::sync();
        const double time = BenchStats::timeMs([&] { installOnce(installer, target, control); });
        BackgroundCleanup::waitForAll(60000);
        QCoro::waitFor(copies->rollBack(target.id, bundle));
        return time;
    };
    const auto compare = [&](const QString &measure, const AppManifestItem &target, double goal) {
        QList<double> partial, full;
        updateOnce(target, false);
        for (int run = 0; run < options.runs; ++run) {
            partial.append(updateOnce(target, false));
            full.append(updateOnce(target, true));
        }
        const double ratio = median(partial) / median(full);
        rows.append({section, measure, ms(median(partial)), ms(median(full)), QStringLiteral("%1").arg(ratio, 0, 'f', 2),
                     QStringLiteral("<= %1").arg(goal), verdict(ratio, goal)});
        ratios.append(QStringLiteral("%1 %2").arg(measure).arg(ratio, 0, 'f', 2));
    };

    const AppManifestItem changed = item(two, QStringLiteral("2.0.0"));
    updateOnce(changed, false);
    const double share = double(fetched) / double(archiveBytes);
    rows.append({section, QStringLiteral("bytes fetched, 5 % of files changed"), mib(double(fetched)), mib(double(archiveBytes)),
                 QStringLiteral("%1").arg(share, 0, 'f', 3), QStringLiteral("<= 0.12"), verdict(share, 0.12)});
    compare(QStringLiteral("update time, 5 % changed, loopback"), changed, 0.35);
    server.setPace(100'000'000 / 8);
    compare(QStringLiteral("update time, 5 % changed, 100 Mbit/s"), changed, 0.15);
    server.setPace(0);
    compare(QStringLiteral("update time, every file changed, loopback"), item(all, QStringLiteral("3.0.0")), 1.05);
}

// Each side once untimed, then options.runs rounds of all, the first side
// turning each round; yields each side's times.
QList<QList<double>> timeSides(const Options &options, const QList<std::function<double()>> &sides, const QStringList &names,
                               const std::function<void()> &afterWarmUp)
{
    // Every side starts with nothing left to write back: otherwise the
    // launcher's flush would also pay for the pages the other sides left dirty.
    for (const auto &side : sides) {
        ::sync();
        side();
    }
    afterWarmUp();
    const int sideCount = int(sides.size());
    QList<QList<double>> times(sideCount);
    for (int run = 0; run < options.runs; ++run) {
        QStringList shown;
        for (int k = 0; k < sideCount; ++k) {
            const int which = (run + k) % sideCount;
            ::sync();
            times[which].append(sides[which]());
        }
        for (int k = 0; k < sideCount; ++k)
            shown.append(names[k] + QLatin1Char(' ') + ms(times[k].last()));
        progress(QStringLiteral("install run %1: %2").arg(run + 1).arg(shown.join(QStringLiteral(", "))));
    }
    return times;
}

// The launcher's install (side 0) against each hand-made pipeline.
void addInstallComparisons(const QString &section, const QString &describe, const QList<QList<double>> &times,
                           const QStringList &names)
{
    const double launcher = median(times[0]);
    rows.append({section, QStringLiteral("bundle (") + describe + QLatin1Char(')'), {}, {}, {}, {}, {}});
    const struct {
        int side;
        const char *measure;
        double goal;
    } comparisons[] = {{1, "end to end vs curl+sha256sum+bsdtar+mv+rm", 0.35},
                       {2, "end to end vs curl+sha256sum+unzip+mv+rm", 0.45},
                       {3, "end to end vs curl+sha256sum+bsdtar+mv+rm+sync", 0.50}};
    for (const auto &c : comparisons) {
        const double other = median(times[c.side]);
        rows.append({section, QLatin1String(c.measure), ms(launcher), ms(other), QString::number(launcher / other, 'f', 2),
                     QStringLiteral("<= %1").arg(c.goal, 0, 'f', 2), verdict(launcher / other, c.goal)});
        ratios.append(QStringLiteral("install/%1 %2").arg(names[c.side]).arg(launcher / other, 0, 'f', 2));
    }
}

// What the disk allows: the placed files written again and flushed, no
// download, no checksum, no inflating. An install cannot take less than
// this plus its download.
void benchDiskFloor(const Options &options, const QString &base, const QString &section, double launcher)
{
    const QString bundle = base + QStringLiteral("/launcher-root/") + QLatin1String(BundleArchive::bundleName);
    const QString copy = base + QStringLiteral("/floor-copy");
    QList<double> floorTimes;
    for (int run = 0; run < options.runs; ++run) {
        QDir(copy).removeRecursively();
        ::sync();
        floorTimes.append(timeShell(QStringLiteral(R"(cp -r "$1" "$2" && sync)"), {bundle, copy}));
    }
    QDir(copy).removeRecursively();
    const double floor = median(floorTimes);
    rows.append({section, QStringLiteral("  the disk's floor: the placed files copied (cp -r) and flushed (sync), page cache warm"),
                 ms(launcher), ms(floor), QString::number(launcher / floor, 'f', 2), {}, {}});
}

// Where the launcher's install time goes, phase by phase.
void addPhaseRows(const QString &section, const QList<std::array<double, InstallPhases::count>> &phaseRuns)
{
    const QStringList phaseNames = InstallPhases::names();
    for (int p = 0; p < InstallPhases::count; ++p) {
        QList<double> values;
        for (const auto &run : std::as_const(phaseRuns))
            values.append(run[size_t(p)]);
        rows.append({section, QStringLiteral("  launcher phase: ") + phaseNames[p], ms(median(values)), {}, {}, {}, {}});
    }
}

// Verifying the installed bundle against its receipt, against sha256sum checking a list of the same files.
void benchVerify(const Options &options, const QString &base, const QString &section, const QString &appId)
{
    const QString bundle = base + QStringLiteral("/launcher-root/") + QLatin1String(BundleArchive::bundleName);
    const QString list = base + QStringLiteral("/verify-list.txt");
    timeShell(QStringLiteral(R"(cd "$1" && find . -type f -print0 | xargs -0 sha256sum > "$2")"), {bundle, list});
    const QString loadBeforeVerify = loadAverage();
    const std::shared_ptr<InstalledCopyOperations> copies = defaultInstalledCopies(base + QStringLiteral("/launcher-root"));
    const auto launcherVerify = [&] {
        return BenchStats::timeMs([&] {
            const BundleVerification result = QCoro::waitFor(copies->verify(appId, QUrl::fromLocalFile(bundle)));
            if (result.status != BundleVerification::Status::intact || !result.findings.isEmpty())
                throw std::runtime_error("the installed bundle did not verify");
        });
    };
    const auto handVerify = [&] { return timeShell(QStringLiteral(R"(cd "$1" && sha256sum -c --quiet "$2")"), {bundle, list}); };
    // One warm-up of each first: both read from the page cache.
    const BenchStats::Pair pair = BenchStats::compare(options.runs, launcherVerify, handVerify);
    rows.append({section, QStringLiteral("verify the installed bundle vs sha256sum -c over the same files (page cache warm)"),
                 ms(pair.a), ms(pair.b), QString::number(pair.ratio(), 'f', 2), QStringLiteral("<= 0.80"),
                 verdict(pair.ratio(), 0.80)});
    rows.append({section, QStringLiteral("  load average before / after the verify runs"), loadBeforeVerify, loadAverage(), {}, {}, {}});
    ratios.append(QStringLiteral("verify/sha256sum %1").arg(pair.ratio(), 0, 'f', 2));
    QFile::remove(list);
}

// What inflating deflated entries whole buys: the extraction alone, checksums
// taken, on both of the extractor's roads, alternating.
void benchExtractionRoads(const Options &options, const QString &base, const QString &section, const QString &archive)
{
    const QString out = base + QStringLiteral("/roads");
    const auto road = [&](qint64 wholeEntryBytes) -> std::function<double()> {
        return [&, wholeEntryBytes] {
            QDir(out).removeRecursively();
            QDir().mkpath(out);
            ::sync();
            LibarchiveExtractor::Limits limits;
            limits.wholeEntryBytes = wholeEntryBytes;
            ExtractedChecksums checksums;
            return BenchStats::timeMs([&] { LibarchiveExtractor(limits).extractZip(archive, out, nullptr, nullptr, &checksums); });
        };
    };
    const BenchStats::Pair pair = BenchStats::compare(options.runs, road(LibarchiveExtractor::Limits().wholeEntryBytes), road(0));
    rows.append({section, QStringLiteral("  extraction alone, CRC-32 taken: deflated entries inflated whole vs all through libarchive"),
                 ms(pair.a), ms(pair.b), QString::number(pair.ratio(), 'f', 2), {}, {}});
    QDir(out).removeRecursively();
}

// SHA-256 throughput of the installer's hasher against openssl's own figure.
void benchSha256(const Options &options, const QString &section)
{
    // Like openssl speed: one 1 MiB block, hashed over and over, so both
    // sides measure the hash and not the memory behind it.
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < buffer.size(); ++i)
        buffer[i] = char(i * 131 + (i >> 12));
    const int blocks = options.smoke ? 16 : 512;
    const auto hashRun = [&] {
        const double t = BenchStats::timeMs([&] {
            Sha256Stream sha256;
            for (int k = 0; k < blocks; ++k)
                sha256.update(buffer.constData(), size_t(buffer.size()));
            sha256.finishHex();
        });
        return double(blocks) / (t / 1000);
    };
    // Throughputs: higher is better, so the comparison runs on their inverses.
    const BenchStats::Pair pair = BenchStats::compare(
        options.runs, [&] { return 1000.0 / hashRun(); }, [] { return 1000.0 / openSslSha256MiBps(); });
    const double ours = 1000.0 / pair.a;
    const double theirs = 1000.0 / pair.b;
    rows.append({section, QStringLiteral("SHA-256 throughput vs openssl speed -evp sha256"),
                 QStringLiteral("%1 MiB/s").arg(ours, 0, 'f', 0), QStringLiteral("%1 MiB/s").arg(theirs, 0, 'f', 0),
                 QString::number(ours / theirs, 'f', 2), {}, {}});
    ratios.append(QStringLiteral("sha256/openssl %1").arg(ours / theirs, 0, 'f', 2));
}

// Peak memory of a large install, in a child so nothing else counts.
void benchPeakMemory(const Options &options, const QString &base, const QString &section)
{
    BundleArchive::Shape big;
    big.files = int(2000 * options.size);
    big.unpackedBytes = options.memoryArchiveMiB << 20;
    big.incompressibleShare = 0.95;
    const QString bigArchive = base + QStringLiteral("/big.zip");
    progress(QStringLiteral("writing the large archive"));
    const BundleArchive::Written bigWritten = BundleArchive::write(bigArchive, big);
    const QString bigSha = Sha256Stream::fileHex(bigArchive).value();
    BenchServer bigServer(bigArchive);
    QDir().mkpath(base + QStringLiteral("/memory-tmp"));
    const auto child = [&]() -> double {
        QProcess process;
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.setReadChannel(QProcess::StandardOutput);
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--install-once"), bigServer.url(), bigSha,
                       base + QStringLiteral("/memory-root"), base + QStringLiteral("/memory-tmp")});
        if (!process.waitForFinished(-1) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s", process.readAllStandardError().constData());
            throw std::runtime_error("the install child failed");
        }
        const QList<QByteArray> f = process.readAllStandardOutput().simplified().split(' ');
        if (f.size() != 4)
            throw std::runtime_error("the install child printed no figures");
        return double(f[3].toLongLong() - f[1].toLongLong()) * 1024;
    };
    const double peak = BenchStats::single(options.runs, [&] {
        ::sync();
        return child();
    });
    rows.append({section,
                  QStringLiteral("peak RSS over idle, installing a %1 archive").arg(mib(double(bigWritten.archiveBytes))),
                  mib(peak), {}, {}, QStringLiteral("<= 32 MiB"), verdict(peak, 32.0 * (1 << 20))});
    QFile::remove(bigArchive);
}

// At a real link's pace the download is most of the wait: the install
// against the download alone (curl to a file) of the same archive from the
// same server at the same pace, sides alternating.
void benchPacedInstalls(const Options &options, const QString &base, const QString &section, AppInstaller &installer,
                        const QString &archive, const QString &sha)
{
    ReleaseServer paced(QFileInfo(archive).absolutePath());
    const QString url = paced.url(QFileInfo(archive).fileName());
    const AppManifestItem item = benchItem(url, sha);
    const auto launcherSide = [&] {
        const double time = BenchStats::timeMs([&] { installOnce(installer, item); });
        if (!BackgroundCleanup::waitForAll(60000))
            throw std::runtime_error("the clean-up after the install did not end");
        return time;
    };
    const auto downloadSide = [&] {
        return timeShell(QStringLiteral(R"(curl -sSf -o "$1" "$2"; rm -f "$1")"), {base + QStringLiteral("/paced-download.zip"), url});
    };
    const struct {
        const char *link;
        qint64 bitsPerSecond;
        double goal;
    } links[] = {{"1 Gbit/s", 1000000000, 1.10}, {"100 Mbit/s", 100000000, 1.03}};
    for (const auto &link : links) {
        paced.setPace(link.bitsPerSecond / 8);
        progress(QStringLiteral("install at %1").arg(QLatin1String(link.link)));
        const QList<QList<double>> times = timeSides(options, {launcherSide, downloadSide},
                                                     {QStringLiteral("launcher"), QStringLiteral("download")}, [] {});
        const double launcher = median(times[0]);
        const double download = median(times[1]);
        rows.append({section, QStringLiteral("end to end at %1 vs the download alone (curl)").arg(QLatin1String(link.link)), ms(launcher),
                     ms(download), QString::number(launcher / download, 'f', 2), QStringLiteral("<= %1").arg(link.goal, 0, 'f', 2),
                     verdict(launcher / download, link.goal)});
        ratios.append(QStringLiteral("install/download at %1 %2").arg(QLatin1String(link.link)).arg(launcher / download, 0, 'f', 2));
    }
}

void benchInstall(const Options &options, const QString &base)
{
    const QString section = QStringLiteral("install");
    BundleArchive::Shape shape;
    shape.files = int(2000 * options.size);
    shape.unpackedBytes = qint64(double(300LL << 20) * options.size);
    const QString archive = base + QStringLiteral("/bundle.zip");
    progress(QStringLiteral("writing the bundle archive"));
    const BundleArchive::Written written = BundleArchive::write(archive, shape);
    const QString sha = Sha256Stream::fileHex(archive).value();
    BenchServer server(archive);

    const QString loadBefore = loadAverage();
    QNetworkAccessManager session;
    InstallPhases phases;
    AppInstaller installer(QUrl::fromLocalFile(base + QStringLiteral("/launcher-root")), &session,
                           phases.wrap(defaultInstallerLayers()));
    QDir().mkpath(base + QStringLiteral("/launcher-tmp"));
    installer.setTemporaryDirectory(base + QStringLiteral("/launcher-tmp"));
    const AppManifestItem item = benchItem(server.url(), sha);

    const QString describe = QStringLiteral("%1 files + %2 links, %3 unpacked, %4 archive")
                                 .arg(written.files)
                                 .arg(written.links)
                                 .arg(mib(double(written.unpackedBytes)), mib(double(written.archiveBytes)));
    progress(QStringLiteral("install: ") + describe);

    // The launcher reports progress as the store has it do.
    QList<double> reports;
    QList<double> afterwards;
    QList<std::array<double, InstallPhases::count>> phaseRuns;
    const auto launcherSide = [&] {
        int published = 0;
        InstallControl control;
        control.onProgress = [&published](double) { ++published; };
        phases.start();
        const double time = BenchStats::timeMs([&] { installOnce(installer, item, control); });
        phaseRuns.append(phases.finish());
        reports.append(published);
        // The removal the install leaves for after it returns is timed apart
        // and finished here, so the next side does not share the disk with it.
        afterwards.append(BenchStats::timeMs([] {
            if (!BackgroundCleanup::waitForAll(60000))
                throw std::runtime_error("the clean-up after the install did not end");
        }));
        return time;
    };
    const auto handSide = [&](const QString &tool, bool flush) -> std::function<double()> {
        return [&, tool, flush] {
            return timeShell(QString::fromLatin1(handPipeline),
                             {base + QStringLiteral("/hand-work"), server.url(), sha, base + QLatin1Char('/') + tool + QStringLiteral("-root"),
                              tool, flush ? QStringLiteral("sync") : QString()});
        };
    };
    const QStringList names = {QStringLiteral("launcher"), QStringLiteral("bsdtar"), QStringLiteral("unzip"),
                               QStringLiteral("bsdtar+sync")};
    const QList<std::function<double()>> sides = {launcherSide, handSide(QStringLiteral("bsdtar"), false),
                                                  handSide(QStringLiteral("unzip"), false), handSide(QStringLiteral("bsdtar"), true)};
    const QList<QList<double>> times = timeSides(options, sides, names, [&] {
        phaseRuns.clear();
        reports.clear();
        afterwards.clear();
    });
    addInstallComparisons(section, describe, times, names);
    benchDiskFloor(options, base, section, median(times[0]));
    addPhaseRows(section, phaseRuns);
    rows.append({section, QStringLiteral("  launcher, after returning: clean-up on a worker (untimed above)"), ms(median(afterwards)),
                 {}, {}, {}, {}});
    rows.append({section, QStringLiteral("  progress reports per install"), QString::number(median(reports), 'f', 0), {}, {}, {}, {}});
    rows.append({section, QStringLiteral("  load average before / after the install runs"), loadBefore, loadAverage(), {}, {}, {}});
    benchPacedInstalls(options, base, section, installer, archive, sha);
    benchVerify(options, base, section, item.id);
    benchExtractionRoads(options, base, section, archive);
    benchSha256(options, section);
    benchPeakMemory(options, base, section);
}

// ---- catalog ------------------------------------------------------------------

LauncherManifest makeManifest(int count)
{
    static const char *adjectives[] = {"Tidy", "Lumen", "Quiet", "Swift", "Bright", "Calm", "Clever", "Nimble",
                                       "Solid", "Crisp", "Gentle", "Keen", "Lucid", "Plain", "Rapid", "Steady",
                                       "Vivid", "Warm", "Bold", "Clear", "Deep", "Fair", "Grand", "Handy",
                                       "Noble", "Prime", "Royal", "Sharp", "Smart", "True"};
    static const char *nouns[] = {"Tabs", "Notes", "Clip", "Focus", "Shelf", "Frame", "Ledger", "Sketch",
                                  "Timer", "Vault", "Mail", "Reader", "Pixel", "Board", "Dock", "Lens",
                                  "Pad", "Sync", "Stack", "Task", "Track", "Word", "Chart", "Deck",
                                  "Flow", "Grid", "Hub", "Kit", "Link", "Map"};
    static const char *categories[] = {"Productivity", "Writing", "Utilities", "Developer Tools", "Graphics",
                                       "Music", "Finance", "Education", "Photography", "Travel"};
    static const char *tagWords[] = {"windows", "tabs", "focus", "markdown", "sync", "offline", "privacy", "menu bar",
                                     "keyboard", "clipboard", "images", "pdf", "calendar", "timer", "notes", "audio",
                                     "backup", "search", "files", "colors"};
    static const char *symbols[] = {"star", "bolt", "leaf", "book", "clock", "folder", "paintbrush", "music.note"};
    LauncherManifest manifest;
    manifest.generatedAt = QDateTime(QDate(2026, 5, 3), QTime(9, 30), Qt::UTC);
    manifest.apps.reserve(count);
    for (int i = 0; i < count; ++i) {
        AppManifestItem app;
        const QString adjective = QString::fromLatin1(adjectives[i % 30]);
        const QString noun = QString::fromLatin1(nouns[(i / 30) % 30]);
        app.id = QStringLiteral("%1-%2-%3").arg(adjective.toLower(), noun.toLower()).arg(i);
        app.name = adjective + QLatin1Char(' ') + noun + (i >= 900 ? QStringLiteral(" %1").arg(i / 900 + 1) : QString());
        app.tagline = QStringLiteral("%1 %2 for people who like things %3.")
                          .arg(adjective, noun.toLower(), QString::fromLatin1(tagWords[i % 20]));
        app.category = QString::fromLatin1(categories[i % 10]);
        app.bundleId = QStringLiteral("com.vantrel.bench%1").arg(i);
        app.version = QStringLiteral("1.%1.%2").arg(i % 20).arg(i % 7);
        app.minMacOS = QStringLiteral("13.0");
        app.status = i % 17 == 0 ? AppReleaseStatus::beta : AppReleaseStatus::live;
        app.downloadUrl = QUrl(QStringLiteral("https://downloads.vantrel.example/%1/%1-%2.zip").arg(app.id, app.version));
        app.sha256 = QString::fromLatin1(QByteArray::number(0x3f1c9a0e5b7d2c4fULL + quint64(i), 16).repeated(4).left(64));
        app.sparkleFeedUrl = QUrl(QStringLiteral("https://updates.vantrel.example/%1/appcast.xml").arg(app.id));
        app.symbolName = QString::fromLatin1(symbols[i % 8]);
        app.iconUrl = QUrl(QStringLiteral("https://cdn.vantrel.example/icons/%1.png").arg(app.id));
        app.accent = AppAccent(i % 5);
        app.tags = {QString::fromLatin1(tagWords[i % 20]), QString::fromLatin1(tagWords[(i / 20) % 20]),
                    QString::fromLatin1(tagWords[(i / 3 + 7) % 20])};
        app.description = app.name + QStringLiteral(" keeps your ") + noun.toLower()
            + QStringLiteral(" in order, works offline and opens in a blink. Made for daily use.");
        app.privacyNote = app.name + QStringLiteral(" keeps everything on this Mac. Nothing is sent anywhere.");
        app.releaseNotes = {ReleaseNote{app.version, QStringLiteral("2026-04-28"), QStringLiteral("Fixes and polish.")},
                            ReleaseNote{QStringLiteral("1.0.0"), QStringLiteral("March 2026"), QStringLiteral("First release.")}};
        manifest.apps.append(app);
    }
    return manifest;
}

void benchCatalog(const Options &options)
{
    const QString section = QStringLiteral("catalog");
    const QList<int> sizes = options.smoke ? QList<int>{200} : QList<int>{1000, 5000, 20000};
    QStringList parts;
    for (const int size : sizes) {
        const QByteArray json = ManifestDecoder::encode(makeManifest(size));
        if (ManifestDecoder::decode(json).apps.size() != size)
            throw std::runtime_error("the decoder lost apps");
        qsizetype sink = 0;
        const BenchStats::Pair pair = BenchStats::compare(
            qMax(options.runs, 5),
            [&] { return BenchStats::timeMs([&] { sink += ManifestDecoder::decode(json).apps.size(); }); },
            [&] { return BenchStats::timeMs([&] { sink += QJsonDocument::fromJson(json).object().size(); }); });
        rows.append({section, QStringLiteral("decode %1 apps (%2) vs QJsonDocument::fromJson").arg(size).arg(mib(double(json.size()))),
                     ms(pair.a), ms(pair.b), QString::number(pair.ratio(), 'f', 2), QStringLiteral("< 3.00"),
                     verdict(pair.ratio(), 2.999)});
        parts.append(QStringLiteral("%1 %2").arg(size).arg(pair.ratio(), 0, 'f', 2));
        if (sink < 0)
            std::puts("");
    }
    ratios.append(QStringLiteral("decode/parse ") + parts.join(QLatin1Char(' ')));
}

// ---- start-up -----------------------------------------------------------------

// What one launcher start printed, as the bench saw it.
struct LaunchFigures {
    double firstFrame = -1;   // spawn to the "first-frame" line, ms
    qint64 catalogShown = -1; // apps in the catalog of that frame
    double catalogDrawn = -1; // spawn to the "catalog-drawn" line, ms
    double opened = -1;       // request to the frame showing the opened view, ms
    double rssBytes = -1;     // resident memory once idle
    QMap<QString, double> marks;  // start-up marks, ms since process start
    qint64 objects = -1;          // QObjects alive at the first frame, when asked
    QList<std::pair<QString, qint64>> objectShares;  // those objects by the part holding them
};

// A session bus for the launcher runs, as every desktop session has one. Without
// it each start would pay for the bus library's autolaunch, which users never see.
// It activates none of the machine's services (the tests' configuration): a
// desktop portal the runs started would cost them time and outlive the bench.
class SessionBus
{
public:
    SessionBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=" VANTREL_SESSION_BUS_CONFIG),
                                                       QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (m_daemon.waitForReadyRead(10000))
            m_address = QString::fromLocal8Bit(m_daemon.readLine().trimmed());
    }
    ~SessionBus()
    {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000))
            m_daemon.kill();
    }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

QString sessionBusAddress;

// One virtual X server for every run of a section. It picks a display number
// no other server holds and prints it once it takes connections; it never
// resets, which it would do between two runs, refusing connections meanwhile.
class VirtualX
{
public:
    VirtualX()
    {
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        m_server.start(QStringLiteral("Xvfb"), QStringLiteral("-displayfd 1 -noreset -nolisten tcp -screen 0 1280x800x24").split(u' '));
        if (m_server.waitForReadyRead(30000))
            m_display = m_server.readLine().trimmed();
        if (m_display.isEmpty()) {
            stop();
            throw std::runtime_error("Xvfb did not start a virtual X server");
        }
    }
    ~VirtualX() { stop(); }
    // env with its windows on this server.
    QProcessEnvironment on(QProcessEnvironment env) const
    {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(m_display));
        env.insert(QStringLiteral("XAUTHORITY"), QStringLiteral("/dev/null"));  // a server without -auth needs no cookie
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }

private:
    void stop()
    {
        m_server.terminate();
        if (!m_server.waitForFinished(10000))
            m_server.kill();
    }
    QProcess m_server;
    QByteArray m_display;
};

// A manifest URL nothing listens at: the launcher starts from its stored catalog alone.
QString unreachableManifestUrl()
{
    return QStringLiteral("http://127.0.0.1:%1/api/launcher/manifest").arg(closedLoopbackPort());
}

// A scratch home for the launcher: its own settings, cache and runtime folders.
QProcessEnvironment launcherEnvironment(const QString &home, const QString &manifestUrl)
{
    QDir().mkpath(home + QStringLiteral("/run"));
    QFile::setPermissions(home + QStringLiteral("/run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QUICK_BACKEND", "QT_QUICKBACKEND", "QSG_RHI_BACKEND", "VANTREL_CATALOG_PUBLIC_KEYS"})
        env.remove(QLatin1String(name));
    if (!sessionBusAddress.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), sessionBusAddress);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VANTREL_REPORT_FIRST_FRAME"), QStringLiteral("1"));
    env.insert(QStringLiteral("VANTREL_MANIFEST_URL"), manifestUrl);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    return env;
}

// Keeps catalog in home's cache as a successful refresh from manifestUrl would.
void storeCatalog(const QString &home, const QString &manifestUrl, const LauncherManifest &catalog)
{
    const CatalogCache cache(home + QStringLiteral("/.cache/Vantrel/VantrelLauncher/catalogs"));
    if (!cache.write(QUrl(manifestUrl), ManifestDecoder::encode(catalog), {}, QDateTime::currentDateTimeUtc().addSecs(-3600)))
        throw std::runtime_error("cannot write the stored catalog");
}

// Starts the launcher, reads its reports until `until` says it has what it
// needs, lets it idle for idleMs, reads its memory and ends it.
LaunchFigures launchOnce(const QString &launcher, const QProcessEnvironment &env, int idleMs,
                         const std::function<bool(const LaunchFigures &)> &until)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setReadChannel(QProcess::StandardOutput);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    LaunchFigures f;
    const auto start = Clock::now();
    process.start(launcher, {});
    while (!until(f) && process.waitForReadyRead(60000)) {
        while (process.canReadLine()) {
            const QList<QByteArray> fields = process.readLine().trimmed().split(' ');
            const QByteArray kind = fields.value(0);
            if (kind == "first-frame") {
                f.firstFrame = msSince(start);
                f.catalogShown = fields.value(3).toLongLong();
            } else if (kind == "catalog-drawn") {
                f.catalogDrawn = msSince(start);
            } else if (kind == "opened") {
                f.opened = fields.value(2).toDouble();
                if (f.opened <= 0)
                    throw std::runtime_error("the launcher did not open " + fields.value(1).toStdString());
            } else if (kind == "objects") {
                f.objects = fields.value(1).toLongLong();
            } else if (kind == "objects-share") {
                f.objectShares.append({QString::fromLatin1(fields.value(1)), fields.value(2).toLongLong()});
            } else if (kind == "startup-mark") {
                f.marks.insert(QString::fromLatin1(fields.value(1)), fields.value(2).toDouble());
            }
        }
    }
    if (!until(f)) {
        std::fprintf(stderr, "%s", process.readAllStandardError().constData());
        throw std::runtime_error("the launcher did not report what the bench waits for");
    }
    process.waitForFinished(idleMs);
    f.rssBytes = double(statusKiB(process.processId(), "VmRSS:")) * 1024;
    ::kill(pid_t(process.processId()), SIGTERM);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    return f;
}

// One warm-up, then runs; the figures of each run.
QList<LaunchFigures> launches(const Options &options, const std::function<LaunchFigures()> &once)
{
    once();
    QList<LaunchFigures> all;
    for (int i = 0; i < options.runs; ++i)
        all.append(once());
    return all;
}

double medianOf(const QList<LaunchFigures> &runs, double LaunchFigures::*field)
{
    QList<double> values;
    for (const LaunchFigures &f : runs)
        values.append(f.*field);
    return median(values);
}

// "name ms" for each start-up mark, the median over runs. The marks count from
// the process start the kernel records in 10 ms ticks: compare them with each
// other, not with the bench's own clock.
QString markMedians(const QList<LaunchFigures> &runs)
{
    QStringList parts;
    for (const char *mark : {"main", "application", "engine", "store", "stored-catalog", "component", "windows"}) {
        QList<double> values;
        for (const LaunchFigures &f : runs)
            values.append(f.marks.value(QLatin1String(mark), -1));
        parts.append(QStringLiteral("%1 %2").arg(QLatin1String(mark), ms(median(values))));
    }
    return parts.join(QStringLiteral(", "));
}

// What the first frame holds, from one more start, untimed: counting every
// object made slows the start down.
void benchFirstFrameObjects(QProcessEnvironment env)
{
    env.insert(QStringLiteral("VANTREL_REPORT_OBJECTS"), QStringLiteral("1"));
    const LaunchFigures f = launchOnce(QString::fromUtf8(VANTREL_BENCH_LAUNCHER), env, 0,
                                       [](const LaunchFigures &f) { return f.firstFrame >= 0; });
    if (f.objects < 0)
        throw std::runtime_error("the launcher did not count its objects");
    QList<std::pair<QString, qint64>> shares = f.objectShares;
    std::stable_sort(shares.begin(), shares.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    rows.append({QStringLiteral("start-up"), QStringLiteral("objects alive at the first frame (QObjects, one start)"),
                 QString::number(f.objects), {}, {}, {}, {}});
    // The largest parts one a line; the long tail of Qt's own singletons summed.
    constexpr qsizetype shown = 12;
    qint64 rest = 0;
    for (qsizetype i = 0; i < shares.size(); ++i) {
        if (i < shown)
            rows.append({QStringLiteral("start-up"), QStringLiteral("  held by ") + shares[i].first, QString::number(shares[i].second), {}, {}, {}, {}});
        else
            rest += shares[i].second;
    }
    if (shares.size() > shown) {
        rows.append({QStringLiteral("start-up"), QStringLiteral("  held by the %1 other parts").arg(shares.size() - shown),
                     QString::number(rest), {}, {}, {}, {}});
    }
}

// The launcher's first frame on the X server against the floor: the same
// program showing one Text (its libraries, none of its views) and a program
// linking only Gui, Qml and Quick. Started in turn, so the machine's drift
// reaches all three alike; all draw with the launcher's choice, the software
// scene graph.
void benchFirstFrameFloor(const Options &options, const QString &launcher, const VirtualX &xserver,
                          const QString &storedHome, const QString &unreachable)
{
    const QString section = QStringLiteral("start-up");
    const QString floor = QString::fromUtf8(VANTREL_BENCH_FLOOR);
    const QProcessEnvironment own = xserver.on(launcherEnvironment(storedHome, unreachable));
    QProcessEnvironment oneText = own;
    oneText.insert(QStringLiteral("VANTREL_REPORT_FIRST_FRAME"), QStringLiteral("floor"));
    QProcessEnvironment minimal = own;
    minimal.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    const auto seen = [](const LaunchFigures &f) { return f.firstFrame >= 0; };
    const std::array<std::pair<QString, QProcessEnvironment>, 3> programs{
        {{launcher, own}, {launcher, oneText}, {floor, minimal}}};
    std::array<QList<double>, 3> frames;
    QList<LaunchFigures> launcherRuns;
    for (int round = -1; round < std::max(7, options.smoke ? 1 : options.runs); ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const LaunchFigures f = launchOnce(programs[i].first, programs[i].second, 0, seen);
            if (i == 0 && f.catalogShown != 20)
                throw std::runtime_error("the first frame did not show the stored catalog");
            if (round < 0)  // the first round warms the caches
                continue;
            frames[i].append(f.firstFrame);
            if (i == 0)
                launcherRuns.append(f);
        }
    }
    const double launcherFrame = median(frames[0]);
    const double oneTextFrame = median(frames[1]);
    const double minimalFrame = median(frames[2]);
    const double ratio = launcherFrame / minimalFrame;
    rows.append({section, QStringLiteral("first frame on Xvfb vs a program linking only Gui, Qml and Quick showing one Text, "
                                         "interleaved (%1 starts each)").arg(frames[0].size()),
                 ms(launcherFrame), ms(minimalFrame), QString::number(ratio, 'f', 2), QStringLiteral("<= 1.50"), verdict(ratio, 1.5)});
    rows.append({section, QStringLiteral("  the launcher itself showing that one Text instead of its windows"), ms(oneTextFrame),
                 ms(minimalFrame), QString::number(oneTextFrame / minimalFrame, 'f', 2), {}, {}});
    rows.append({section, QStringLiteral("  its marks since process start: ") + markMedians(launcherRuns), {}, {}, {}, {}, {}});
    ratios.append(QStringLiteral("first-frame/minimal %1").arg(ratio, 0, 'f', 2));
    benchFirstFrameObjects(own);
}

// The floor rows alone, for trying a start-up change: a quick run on their own.
void benchFirstFrame(const Options &options, const QString &base)
{
    const QString launcher = QString::fromUtf8(VANTREL_BENCH_LAUNCHER);
    if (launcher.isEmpty() || !QFileInfo(launcher).isExecutable())
        throw std::runtime_error("vantrel-launcher not built (configure with -DVANTREL_BUILD_APP=ON)");
    const QString loadBefore = loadAverage();
    const SessionBus bus;
    sessionBusAddress = bus.address();
    const QString unreachable = unreachableManifestUrl();
    const QString home = base + QStringLiteral("/home-stored-20");
    storeCatalog(home, unreachable, makeManifest(20));
    benchFirstFrameFloor(options, launcher, VirtualX(), home, unreachable);
    rows.append({QStringLiteral("start-up"), QStringLiteral("  load average before / after the first-frame runs"), loadBefore, loadAverage(),
                 {}, {}, {}});
}

// Process start to first frame over stored catalogs of 20 and 2,000 apps,
// the service unreachable.
void benchStoredCatalogStarts(const Options &options, const QString &launcher, const QString &base, const QString &unreachable)
{
    const QString section = QStringLiteral("start-up");
    const auto firstFrameSeen = [](const LaunchFigures &f) { return f.firstFrame >= 0; };
    for (const int size : {20, 2000}) {
        const QString home = base + QStringLiteral("/home-stored-%1").arg(size);
        storeCatalog(home, unreachable, makeManifest(size));
        const QProcessEnvironment env = launcherEnvironment(home, unreachable);
        const QList<LaunchFigures> runs = launches(options, [&] { return launchOnce(launcher, env, 0, firstFrameSeen); });
        for (const LaunchFigures &f : runs) {
            if (f.catalogShown != size)
                throw std::runtime_error("the first frame did not show the stored catalog");
        }
        const double frame = medianOf(runs, &LaunchFigures::firstFrame);
        const double goal = size == 20 ? 150 : 250;
        rows.append({section, QStringLiteral("process start to first frame, stored %1-app catalog in it, service unreachable").arg(size),
                     ms(frame), {}, {}, QStringLiteral("<= %1 ms").arg(goal), verdict(frame, goal)});
        if (size == 20) {
            // Where the time before the first frame goes, by the launcher's own marks (10 ms clock).
            rows.append({section, QStringLiteral("  marks since process start: ") + markMedians(runs), {}, {}, {}, {}, {}});
        }
    }
}

// First opening of the secondary views, each in a fresh launcher.
void benchFirstOpenings(const Options &options, const QString &launcher, const QString &base, const QString &unreachable)
{
    const QString section = QStringLiteral("start-up");
    for (const char *view : {"preferences", "switcher", "tray"}) {
        QProcessEnvironment env = launcherEnvironment(base + QStringLiteral("/home-open-") + QLatin1String(view), unreachable);
        storeCatalog(base + QStringLiteral("/home-open-") + QLatin1String(view), unreachable, makeManifest(20));
        env.insert(QStringLiteral("VANTREL_REPORT_OPENING"), QLatin1String(view));
        const QList<LaunchFigures> runs = launches(options, [&] {
            return launchOnce(launcher, env, 0, [](const LaunchFigures &f) { return f.opened >= 0; });
        });
        const double opened = medianOf(runs, &LaunchFigures::opened);
        const QString name = QLatin1String(view) == QLatin1String("switcher") ? QStringLiteral("quick switcher")
            : QLatin1String(view) == QLatin1String("tray")                    ? QStringLiteral("tray panel")
                                                                               : QStringLiteral("preferences");
        rows.append({section, QStringLiteral("first opening of the %1 (request to its first frame)").arg(name), ms(opened), {}, {},
                     QStringLiteral("<= 50 ms"), verdict(opened, 50)});
    }
}

void benchStartup(const Options &options, const QString &base)
{
    const QString section = QStringLiteral("start-up");
    const QString launcher = QString::fromUtf8(VANTREL_BENCH_LAUNCHER);
    if (launcher.isEmpty() || !QFileInfo(launcher).isExecutable()) {
        rows.append({section, QStringLiteral("vantrel-launcher not built (configure with -DVANTREL_BUILD_APP=ON)"),
                     QStringLiteral("skipped"), {}, {}, {}, {}});
        return;
    }
    const int idleMs = options.smoke ? 500 : 3000;
    const QString loadBefore = loadAverage();
    const SessionBus bus;
    sessionBusAddress = bus.address();
    if (sessionBusAddress.isEmpty())
        rows.append({section, QStringLiteral("  no dbus-daemon: the launcher starts without a session bus"), {}, {}, {}, {}, {}});

    // Stored catalogs of 20 and 2,000 apps, the service unreachable.
    const QString unreachable = unreachableManifestUrl();
    benchStoredCatalogStarts(options, launcher, base, unreachable);

    // The service answers with a newer version of the stored catalog.
    LauncherManifest served = makeManifest(20);
    served.apps[0].version = QStringLiteral("9.0.0");
    served.apps[0].name += QStringLiteral(" Nine");
    const QString servedFile = base + QStringLiteral("/manifest.json");
    {
        QFile file(servedFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(ManifestDecoder::encode(served)) < 0)
            throw std::runtime_error("cannot write the served catalog");
    }
    BenchServer service(servedFile);
    const QString servedHome = base + QStringLiteral("/home-served");
    QProcessEnvironment servedEnv = launcherEnvironment(servedHome, service.url());
    servedEnv.insert(QStringLiteral("VANTREL_REPORT_CATALOG_DRAWN"), QStringLiteral("1"));
    const auto catalogDrawnSeen = [](const LaunchFigures &f) { return f.catalogDrawn >= 0; };
    const auto freshStore = [&] { storeCatalog(servedHome, service.url(), makeManifest(20)); };
    const QList<LaunchFigures> servedRuns = launches(options, [&] {
        freshStore();
        return launchOnce(launcher, servedEnv, idleMs, catalogDrawnSeen);
    });
    const double drawn = medianOf(servedRuns, &LaunchFigures::catalogDrawn);
    const double memory = medianOf(servedRuns, &LaunchFigures::rssBytes);
    rows.append({section, QStringLiteral("process start to served catalog drawn (newer version on the loopback service)"), ms(drawn),
                 {}, {}, QStringLiteral("<= 300 ms"), verdict(drawn, 300)});
    rows.append({section, QStringLiteral("resident memory once idle, main window shown (offscreen)"), mib(memory), {}, {},
                 QStringLiteral("<= 55 MiB"), verdict(memory, 55.0 * (1 << 20))});

    // A real window on a virtual X server, the scene graph as the launcher chooses it.
    if (!QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        const VirtualX xserver;
        const QProcessEnvironment xEnv = xserver.on(servedEnv);
        const QList<LaunchFigures> xRuns = launches(options, [&] {
            freshStore();
            return launchOnce(launcher, xEnv, idleMs, catalogDrawnSeen);
        });
        const double xFrame = medianOf(xRuns, &LaunchFigures::firstFrame);
        const double xMemory = medianOf(xRuns, &LaunchFigures::rssBytes);
        rows.append({section, QStringLiteral("real window (xcb on Xvfb, scene graph as chosen), process start to first frame"), ms(xFrame),
                     {}, {}, QStringLiteral("<= 180 ms"), verdict(xFrame, 180)});
        rows.append({section, QStringLiteral("real window (xcb on Xvfb, scene graph as chosen), resident memory once idle"),
                     mib(xMemory), {}, {}, QStringLiteral("<= 70 MiB"), verdict(xMemory, 70.0 * (1 << 20))});
        benchFirstFrameFloor(options, launcher, xserver, base + QStringLiteral("/home-stored-20"), unreachable);
    } else {
        rows.append({section, QStringLiteral("real window: Xvfb not installed"), QStringLiteral("skipped"), {}, {}, {}, {}});
    }

    benchFirstOpenings(options, launcher, base, unreachable);
    rows.append({section, QStringLiteral("  load average before / after the start-up runs"), loadBefore, loadAverage(), {}, {}, {}});
}

// ---- search -------------------------------------------------------------------

#ifdef VANTREL_BENCH_DESKTOP_SEARCH
// The desktop's search: the first answer after the stored catalog changed
// (decoded and indexed again), then the answers to a query typed on.
void benchDesktopSearch(const Options &options, const LauncherManifest &manifest)
{
    const QString section = QStringLiteral("search");
    const QByteArray json = ManifestDecoder::encode(manifest);
    SearchCatalog::Sources sources;
    sources.readCatalog = [&json]() -> std::optional<LauncherManifest> { return ManifestDecoder::decode(json); };
    sources.readInstalledIds = [] { return QSet<QString>(); };
    const QString typed = QStringLiteral("swift notes");
    QList<double> first, answers;
    for (int run = 0; run < qMax(options.runs, 5); ++run) {
        SearchCatalog catalog(sources);
        first.append(BenchStats::timeMs([&] { catalog.find({typed.left(2)}); }));
        for (int n = 3; n <= typed.size(); ++n)
            answers.append(BenchStats::timeMs([&] { catalog.find(typed.left(n).split(QLatin1Char(' '))); }));
    }
    const double worst = *std::max_element(answers.cbegin(), answers.cend());
    rows.append({section, QStringLiteral("desktop search, first answer once the program starts or the catalog changes, %1 apps (decoded, indexed)")
                              .arg(manifest.apps.size()),
                 ms(median(first)), {}, {}, QStringLiteral("<= 50 ms"), verdict(median(first), 50)});
    rows.append({section, QStringLiteral("desktop search, an answer, %1 apps (worst %2)").arg(manifest.apps.size()).arg(ms(worst)),
                 ms(median(answers)), {}, {}, QStringLiteral("<= 50 ms"), verdict(worst, 50)});
}
#endif

#ifdef VANTREL_BENCH_SEARCH
void benchSearch(const Options &options)
{
    const QString section = QStringLiteral("search");
    const int count = options.smoke ? 2000 : 10000;
    const LauncherManifest manifest = makeManifest(count);
    const QString typed = QStringLiteral("swift notes");

    // What a view does per keystroke: the base list and its lowered keys are
    // kept from the last catalog change; the query is matched against the
    // keys (only among the shown rows while typing on) and the result is
    // compared with the shown rows by index.
    struct Shown
    {
        QString query;
        QList<int> rows;
    };
    const QList<AppManifestItem> visible = ManifestPolicy::visibleApps(manifest, false);
    const QList<AppManifestItem> published = ManifestPolicy::publishedApps(manifest, false);
    const AppSearch::SearchKeys libraryKeys(visible, AppSearch::SearchKeys::Fields::withTags);
    const AppSearch::SearchKeys switcherKeys(published, AppSearch::SearchKeys::Fields::withoutTags);
    const auto step = [](const AppSearch::SearchKeys &keys, const QString &q, Shown &shown) {
        if (q == shown.query && !shown.rows.isEmpty())
            return;
        const bool narrows = !shown.query.isEmpty() && q.contains(shown.query);
        QList<int> next = narrows ? keys.matching(q, shown.rows) : keys.matching(q);
        if (next != shown.rows)
            shown.rows = std::move(next);
        shown.query = q;
    };
    const auto library = [&](const QString &text, Shown &shown) { step(libraryKeys, AppSearch::query(text), shown); };
    const auto switcher = [&](const QString &text, Shown &shown) {
        step(switcherKeys, AppSearch::query(text), shown);
    };
    // Types the query one key at a time, then deletes it; per-keystroke mean and worst.
    const auto typing = [&](const auto &view, double *worst) {
        Shown shown;
        view(QString(), shown);
        QList<double> keys;
        for (int n = 1; n <= typed.size(); ++n)
            keys.append(BenchStats::timeMs([&] { view(typed.left(n), shown); }));
        for (int n = typed.size() - 1; n >= 0; --n)
            keys.append(BenchStats::timeMs([&] { view(typed.left(n), shown); }));
        double sum = 0;
        for (const double k : keys) {
            sum += k;
            *worst = qMax(*worst, k);
        }
        return sum / double(keys.size());
    };
    double worstLibrary = 0, worstSwitcher = 0, ignored = 0;
    const BenchStats::Pair pair = BenchStats::compare(
        options.runs, [&] { return typing(library, &worstLibrary); }, [&] { return typing(switcher, &worstSwitcher); });
    // The warm-up's worst keystroke does not count.
    worstLibrary = worstSwitcher = 0;
    for (int i = 0; i < options.runs; ++i) {
        typing(library, &worstLibrary);
        typing(switcher, &worstSwitcher);
    }
    Q_UNUSED(ignored);
    rows.append({section, QStringLiteral("library search, per keystroke, %1 apps (worst %2)").arg(count).arg(ms(worstLibrary)),
                 ms(pair.a), {}, {}, QStringLiteral("<= 5 ms"), verdict(pair.a, 5)});
    rows.append({section, QStringLiteral("quick switcher results, per keystroke, %1 apps (worst %2)").arg(count).arg(ms(worstSwitcher)),
                 ms(pair.b), {}, {}, QStringLiteral("<= 5 ms"), verdict(pair.b, 5)});
#ifdef VANTREL_BENCH_DESKTOP_SEARCH
    benchDesktopSearch(options, manifest);
#endif
}
#endif

void printTable(const Options &options, const QString &loadBefore)
{
    const QStringList header = {QStringLiteral("section"), QStringLiteral("measure"), QStringLiteral("launcher"),
                                QStringLiteral("hand-made"), QStringLiteral("ratio"), QStringLiteral("goal"),
                                QStringLiteral("verdict")};
    QList<qsizetype> widths;
    for (const QString &h : header)
        widths.append(h.size());
    const auto cells = [](const Row &r) {
        return QStringList{r.section, r.measure, r.launcher, r.reference, r.ratio, r.goal, r.verdict};
    };
    for (const Row &r : rows) {
        const QStringList c = cells(r);
        for (int i = 0; i < c.size(); ++i)
            widths[i] = qMax(widths[i], c[i].size());
    }
    const auto line = [&](const QStringList &c) {
        QString out;
        for (int i = 0; i < c.size(); ++i)
            out += (i >= 2 && i <= 4 ? c[i].rightJustified(widths[i]) : c[i].leftJustified(widths[i])) + QStringLiteral("  ");
        std::printf("%s\n", qPrintable(out.trimmed()));
    };
    std::printf("vantrel-bench: medians of %d runs after a warm-up, sides alternating; size %.2f; load %s before, %s after; %d cores\n",
                options.runs, options.size, qPrintable(loadBefore), qPrintable(loadAverage()), QThread::idealThreadCount());
    line(header);
    for (const Row &r : rows)
        line(cells(r));
    std::printf("ratios: %s\n", qPrintable(ratios.join(QStringLiteral("; "))));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-bench"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Times the launcher against hand-made pipelines."));
    parser.addHelpOption();
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Scale of the bundle archive (1: ~2,000 files, ~300 MiB)."), QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Measured runs per figure (at least 5 for real figures)."), QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption memoryOption(QStringLiteral("memory-mib"), QStringLiteral("Unpacked size of the archive for the memory figure."), QStringLiteral("MiB"), QStringLiteral("1024"));
    const QCommandLineOption workOption(QStringLiteral("work-dir"), QStringLiteral("Where archives and installs go (default: the temporary folder)."), QStringLiteral("dir"));
    const QCommandLineOption onlyOption(QStringLiteral("only"), QStringLiteral("Comma-separated sections: install, update, catalog, startup (first-frame: its floor rows alone), search."), QStringLiteral("list"));
    const QCommandLineOption smokeOption(QStringLiteral("smoke"), QStringLiteral("A few-second run proving every part still works."));
    const QCommandLineOption onceOption(QStringLiteral("install-once"), QStringLiteral("Child mode: one install, then print the peak memory."));
    parser.addOptions({sizeOption, runsOption, memoryOption, workOption, onlyOption, smokeOption, onceOption});
    parser.process(app);

    if (parser.isSet(onceOption))
        return installOnceMode(parser.positionalArguments());

    Options options;
    options.size = parser.value(sizeOption).toDouble();
    options.runs = parser.value(runsOption).toInt();
    options.memoryArchiveMiB = parser.value(memoryOption).toLongLong();
    options.smoke = parser.isSet(smokeOption);
    if (options.smoke) {
        options.size = parser.isSet(sizeOption) ? options.size : 0.01;
        options.runs = parser.isSet(runsOption) ? options.runs : 1;
        options.memoryArchiveMiB = parser.isSet(memoryOption) ? options.memoryArchiveMiB : 8;
    }
    if (options.size <= 0 || options.runs < 1 || options.memoryArchiveMiB < 1) {
        std::fprintf(stderr, "vantrel-bench: --size, --runs and --memory-mib must be positive\n");
        return 2;
    }
    options.sections = parser.isSet(onlyOption) ? parser.value(onlyOption).split(QLatin1Char(','))
                                                : QStringList{QStringLiteral("install"), QStringLiteral("update"), QStringLiteral("catalog"),
                                                              QStringLiteral("startup"), QStringLiteral("search")};
    const QString workParent = parser.isSet(workOption) ? parser.value(workOption) : QDir::tempPath();
    QTemporaryDir base(workParent + QStringLiteral("/vantrel-bench-XXXXXX"));
    if (!base.isValid()) {
        std::fprintf(stderr, "vantrel-bench: cannot create a work folder in %s\n", qPrintable(workParent));
        return 1;
    }
    const QString loadBefore = loadAverage();

    const auto guarded = [](const QString &section, const std::function<void()> &work) {
        progress(section);
        try {
            work();
        } catch (const LauncherError &e) {
            fail(section, e.localizedDescription());
        } catch (const std::exception &e) {
            fail(section, QString::fromLocal8Bit(e.what()));
        }
    };
    if (options.sections.contains(QLatin1String("install")))
        guarded(QStringLiteral("install"), [&] { benchInstall(options, base.path()); });
    if (options.sections.contains(QLatin1String("update")))
        guarded(QStringLiteral("update"), [&] { benchUpdate(options, base.path()); });
    if (options.sections.contains(QLatin1String("catalog")))
        guarded(QStringLiteral("catalog"), [&] { benchCatalog(options); });
    if (options.sections.contains(QLatin1String("startup")))
        guarded(QStringLiteral("start-up"), [&] { benchStartup(options, base.path()); });
    else if (options.sections.contains(QLatin1String("first-frame")))
        guarded(QStringLiteral("first frame"), [&] { benchFirstFrame(options, base.path()); });
#ifdef VANTREL_BENCH_SEARCH
    if (options.sections.contains(QLatin1String("search")))
        guarded(QStringLiteral("search"), [&] { benchSearch(options); });
#else
    if (options.sections.contains(QLatin1String("search")))
        rows.append({QStringLiteral("search"), QStringLiteral("needs the app (-DVANTREL_BUILD_APP=ON)"), QStringLiteral("skipped"), {}, {}, {}, {}});
#endif

    printTable(options, loadBefore);
    return failures == 0 ? 0 : 1;
}
