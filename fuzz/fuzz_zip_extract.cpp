// Any bytes as a ZIP archive: extraction never crashes, and whatever it
// writes stays inside the extraction directory: nothing appears beside it or
// above it, and every symbolic link it leaves resolves inside it. The same
// for the streaming reader, which must also leave nothing behind when it
// gives the archive up to the whole road.
#include "FuzzSupport.h"

#include "LibarchiveExtractor.h"
#include "LinkEscapes.h"
#include "install/GrowingArchive.h"
#include "install/InstallFiles.h"
#include "errors/LauncherError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct Sandbox {
    // sandbox/up1/up2/out: escapes of one, two or three levels land in the
    // sandbox, where they are seen.
    QTemporaryDir root;
    QString archive = root.filePath(QStringLiteral("up1/up2/input.zip"));
    QString out = root.filePath(QStringLiteral("up1/up2/out"));
};

// Everything in the sandbox except the archive and the extraction directory.
QStringList strayItems(const Sandbox &box)
{
    static const QStringList expected{QStringLiteral("up1"), QStringLiteral("up1/up2"), QStringLiteral("up1/up2/input.zip"),
                                      QStringLiteral("up1/up2/out")};
    QStringList stray;
    QDirIterator it(box.root.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = it.next().mid(box.root.path().size() + 1);
        if (!expected.contains(relative) && !relative.startsWith(QLatin1String("up1/up2/out/")))
            stray.append(relative);
    }
    return stray;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Sandbox &box = *new Sandbox;
    if (!box.root.isValid() || !QDir(box.root.path()).mkpath(QStringLiteral("up1/up2")))
        fuzzFinding("no temporary directory");
    {
        QFile file(box.archive);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fuzzFinding("cannot write the input");
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    LibarchiveExtractor::Limits limits;
    limits.minimumCap = 8 << 20;
    limits.maximumCap = 8 << 20;
    limits.maximumEntries = 2000;
    // Every way of unpacking: one reader, or the files shared among three;
    // each input on both roads, deflated entries inflated whole or all
    // through libarchive's reader.
    limits.workers = size % 2 ? 3 : 1;
    limits.bytesPerWorker = 1;
    for (const qint64 wholeEntryBytes : {limits.maximumCap, qint64(0)}) {
        // By bytes: QDir cannot remove names that are not UTF-8.
        InstallFiles::removeTree(box.out);
        QDir().mkpath(box.out);
        limits.wholeEntryBytes = wholeEntryBytes;
        try {
            LibarchiveExtractor(limits).extractZip(box.archive, box.out);
        } catch (const PlatformError &) {
        }
        const QStringList stray = strayItems(box);
        FUZZ_CHECK(stray.isEmpty(), stray.join(QLatin1Char(' ')));
        const QStringList escapes = linksLeadingOut(box.out);
        FUZZ_CHECK(escapes.isEmpty(), escapes.join(QLatin1Char(' ')));
    }
    InstallFiles::removeTree(box.out);
    QDir().mkpath(box.out);
    GrowingArchive growing(box.archive);
    growing.complete(qint64(size));
    try {
        const StreamedUnpack outcome = LibarchiveExtractor(limits).streamZip(growing, box.out, nullptr, nullptr, nullptr, nullptr);
        FUZZ_CHECK(outcome.outcome == StreamedUnpack::Outcome::unpacked || QDir(box.out).isEmpty(),
                   QStringLiteral("given up, yet left files: ") + outcome.reason);
    } catch (const PlatformError &) {
        fuzzFinding("the stream threw without a cancel");
    }
    const QStringList stray = strayItems(box);
    FUZZ_CHECK(stray.isEmpty(), stray.join(QLatin1Char(' ')));
    const QStringList escapes = linksLeadingOut(box.out);
    FUZZ_CHECK(escapes.isEmpty(), escapes.join(QLatin1Char(' ')));
    InstallFiles::removeTree(box.out);
    return 0;
}
