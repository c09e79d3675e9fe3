// The extractor on its own over real ZIPs in a temporary folder, on each of its roads (deflated entries inflated whole
// with libdeflate, everything through libarchive's reader, or streamed in as a download writes the archive, unpacked
// whole only where the stream gives up), and against bsdtar unpacking the same archives.

#include "DataRows.h"
#include "InstallSandbox.h"
#include "LibarchiveExtractor.h"
#include "LinkEscapes.h"
#include "ZipBuilder.h"
#include "install/InstallFiles.h"
#include "ZipCentralDirectory.h"
#include "install/Crc32.h"
#include "install/GrowingArchive.h"

#include <QtEndian>

#include <clocale>
#include <thread>

namespace {

const QString notesId = QStringLiteral("com.vantrel.notes");
const QString up = QStringLiteral("../../../outside");  // from tmp/work/extracted

// zip (Zip64, as ZipBuilder writes it) with the local header of the entry `name` claiming `size` unpacked bytes.
QByteArray claimingSize(QByteArray zip, const QByteArray &name, quint64 size)
{
    const qsizetype header = zip.indexOf(name) - 30;
    const auto u16 = [&zip](qsizetype at) { return qFromLittleEndian<quint16>(zip.constData() + at); };
    qsizetype field = header + 30 + u16(header + 26);
    const qsizetype end = field + u16(header + 28);
    while (field < end && u16(field) != 0x0001)  // the Zip64 field: the unpacked size first
        field += 4 + u16(field + 2);
    qToLittleEndian<quint64>(size, zip.data() + field + 4);
    return zip;
}

// An app as macOS tools zip it: folder entries and AppleDouble files, under __MACOSX/ or beside each item.
ZipBuilder macZip(const QString &bundlePath, bool sequestered = true)
{
    const QByteArray appleDouble = QByteArray("\x00\x05\x16\x07\x00\x02\x00\x00", 8) + QByteArray(20, 'm');
    const QString name = bundlePath.section(QLatin1Char('/'), -1);
    const QString metadata = sequestered ? QStringLiteral("__MACOSX/") : QString();
    ZipBuilder zip;
    if (bundlePath != name)
        zip.addDirectory(bundlePath.chopped(name.size() + 1));
    zip.addBundle(bundlePath, notesId).addDirectory(bundlePath + QStringLiteral("/Contents/Resources/Empty.lproj"));
    if (sequestered)
        zip.addDirectory(metadata).addDirectory(metadata + bundlePath).addDirectory(metadata + bundlePath + QStringLiteral("/Contents"));
    zip.addFile(metadata + bundlePath.chopped(name.size()) + QStringLiteral("._") + name, appleDouble);
    return zip.addFile(metadata + bundlePath + QStringLiteral("/Contents/._Info.plist"), appleDouble);
}

// 2,000 entries around a bundle: folders and files of several modes and sizes, some empty, links inside the bundle.
ZipBuilder largeBundle()
{
    ZipBuilder zip = notesApp();
    for (int i = 0; zip.entryCount() < 2000; ++i) {
        const QString dir = QStringLiteral("Notes.app/Contents/Resources/d%1").arg(i / 40);
        if (i % 40 == 0)
            zip.addDirectory(dir, i % 3 ? 0755 : 0750);
        if (i % 97 == 0)
            zip.addDirectory(dir + QStringLiteral("/empty%1").arg(i), 0700);
        else if (i % 31 == 0)
            zip.addSymlink(dir + QStringLiteral("/link%1").arg(i), QStringLiteral("../d0"));
        else
            zip.addFillFile(dir + QStringLiteral("/f%1").arg(i), (i % 7) * 1000 + i, char('a' + i % 26), i % 5 ? 0644 : 0755);
    }
    return zip;
}

ZipBuilder filler()
{
    ZipBuilder zip;
    for (int i = 0; i < 30; ++i)
        zip.addFillFile(QStringLiteral("Notes.app/Contents/Resources/filler%1").arg(i), 64 << 10, 'f');
    return zip;
}


// zip (not Zip64) with what the central directory, the local header (where it holds them) and the data descriptor
// state of the entry `name`: its unpacked size and CRC-32, each where given.
QByteArray stating(QByteArray zip, const QByteArray &name, std::optional<quint32> unpacked, std::optional<quint32> crc)
{
    const auto location = ZipCentralDirectory::locate(zip.right(ZipCentralDirectory::endSearchBytes), zip.size());
    const auto u16 = [&zip](qsizetype at) { return qFromLittleEndian<quint16>(zip.constData() + at); };
    const auto u32 = [&zip](qsizetype at) { return qFromLittleEndian<quint32>(zip.constData() + at); };
    const auto put = [&](qsizetype crcAt, qsizetype sizeAt, std::optional<quint32> size, std::optional<quint32> sum) {
        if (sum && u32(crcAt))
            qToLittleEndian<quint32>(*sum, zip.data() + crcAt);
        if (size && u32(sizeAt))
            qToLittleEndian<quint32>(*size, zip.data() + sizeAt);
    };
    for (qsizetype at = location ? location->offset : zip.size(); at < zip.size() && u32(at) == 0x02014b50;
         at += 46 + u16(at + 28) + u16(at + 30) + u16(at + 32)) {
        if (zip.mid(at + 46, u16(at + 28)) != name)
            continue;
        const qsizetype local = u32(at + 42);
        const qint64 packed = u32(at + 20);
        put(at + 16, at + 24, unpacked, crc);
        put(local + 14, local + 22, unpacked, crc);
        if (u16(local + 6) & 0x0008) {  // the sizes follow the data too, maybe after a signature
            qsizetype descriptor = local + 30 + u16(local + 26) + u16(local + 28) + packed;
            descriptor += u32(descriptor) == 0x08074b50 ? 4 : 0;
            put(descriptor, descriptor + 8, unpacked, crc);
        }
        return zip;
    }
    qFatal("no entry %s", name.constData());
}

// One stored file whose CRC-32 and sizes follow its data, as a tool writes it when it cannot seek back.
QByteArray storedWithDescriptor(const QByteArray &name, const QByteArray &content)
{
    QByteArray zip;
    const auto le16 = [&zip](quint16 value) { zip.append(char(value & 0xff)).append(char(value >> 8)); };
    const auto le32 = [&](quint32 value) { le16(quint16(value & 0xffff)), le16(quint16(value >> 16)); };
    Crc32 crc;
    crc.update(content.constData(), size_t(content.size()));
    const auto size = quint32(content.size());
    le32(0x04034b50), le16(20), le16(0x0008), le16(0), le16(0), le16(0x21), le32(0), le32(0), le32(0);
    le16(quint16(name.size())), le16(0);
    zip += name + content;
    le32(0x08074b50), le32(crc.value()), le32(size), le32(size);
    const auto directory = quint32(zip.size());
    le32(0x02014b50), le16(0x031e), le16(20), le16(0x0008), le16(0), le16(0), le16(0x21), le32(crc.value());
    le32(size), le32(size), le16(quint16(name.size())), le16(0), le16(0), le16(0), le16(0), le32(0100644u << 16), le32(0);
    zip += name;
    const auto directorySize = quint32(zip.size()) - directory;
    le32(0x06054b50), le16(0), le16(0), le16(1), le16(1), le32(directorySize), le32(directory), le16(0);
    return zip;
}

// bsdtar's answer (its exit code) for the archive unpacked into a new folder dir.
int bsdtar(const QString &archive, const QString &dir)
{
    QDir().mkpath(dir);
    QProcess tar;
    tar.start(QStringLiteral("bsdtar"), {QStringLiteral("-xpf"), archive, QStringLiteral("-C"), dir});
    if (!tar.waitForFinished(60000) || tar.exitStatus() != QProcess::NormalExit)
        return -1;
    return tar.exitCode();
}

}  // namespace

class TestExtractor : public QObject
{
    Q_OBJECT
    using ExtractsArchivesAsRows = DataRows<ZipBuilder, QString, QString, bool>;  // zip, bundle, resource (must come out, in Contents/Resources), cLocale
    using ExtractionSharedAmongRows = DataRows<ZipBuilder, int, QString>;  // zip, workers, outcome
    using ExtractorKeepsEverythingRows = DataRows<QByteArray, bool>;  // archive, accepted
    using UnpacksAsBsdtarRows = DataRows<QByteArray, QString, qint64, bool>;  // archive, lying entry (empty: accepted), its stated size, deflated

private:
    // Archives written to tmp/, unpacked into tmp/work/extracted.
    TempHome m_home;
    QString extracted() const { return m_home.path(QStringLiteral("tmp/work/extracted")); }
    // The road of this run: deflated entries up to this size inflated whole (0: none).
    static qint64 road()
    {
        QFETCH_GLOBAL(qint64, wholeEntryBytes);
        return wholeEntryBytes;
    }
    std::optional<PlatformError> extract(const QByteArray &archive, bool cancelled = false,
                                         LibarchiveExtractor::Limits limits = {}, ExtractionProgress *progress = nullptr)
    {
        const QString path = m_home.path(QStringLiteral("tmp/archive.zip"));
        const std::atomic_bool cancel{cancelled};
        limits.wholeEntryBytes = streaming() ? LibarchiveExtractor::Limits().wholeEntryBytes : road();
        m_streamed.reset();
        try {
            if (!TempHome::writeFile(path, archive))
                return PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("cannot write the archive"));
            const LibarchiveExtractor extractor(limits);
            if (streaming()) {
                m_streamed = stream(extractor, path, archive, &cancel, progress);
                if (m_streamed->outcome == StreamedUnpack::Outcome::unpacked)
                    return std::nullopt;
                // Given up: nothing of the stream may stay for the whole road to trip over.
                if (!TempHome::entries(extracted()).isEmpty())
                    return PlatformError(PlatformError::Domain::archive, QStringLiteral("the stream left files behind"));
            }
            extractor.extractZip(path, extracted(), &cancel, progress);
        } catch (const PlatformError &error) {
            return error;
        }
        return std::nullopt;
    }

    // The archive at path as a download would write it, in pieces, while the extractor streams it in. With another
    // archive first, half of that comes first, and then the download starts again from zero with this one.
    StreamedUnpack stream(const LibarchiveExtractor &extractor, const QString &path, const QByteArray &archive,
                          const std::atomic_bool *cancel, ExtractionProgress *progress, const QByteArray &firstAttempt = {})
    {
        GrowingArchive growing(path);
        const auto feed = [&growing](qint64 size) {
            for (qint64 written = 0; written < size; written += 96 << 10) {
                growing.written(written);
                std::this_thread::yield();
            }
        };
        std::thread download([&] {
            if (!firstAttempt.isEmpty()) {
                TempHome::writeFile(path, firstAttempt);
                feed(firstAttempt.size() / 2);
                // Let the reader take that half before the file starts again.
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                TempHome::writeFile(path, archive);
                growing.restarted();
            }
            feed(archive.size());
            growing.complete(archive.size());
        });
        try {
            const StreamedUnpack outcome = extractor.streamZip(growing, extracted(), cancel, progress, nullptr, nullptr);
            download.join();
            return outcome;
        } catch (...) {
            download.join();
            throw;
        }
    }

    static bool streaming() { return road() < 0; }
    // On the streaming road, that an archive unpacked without complaint streamed in whole.
    void checkStreamed() const
    {
        if (streaming())
            QVERIFY2(m_streamed && m_streamed->outcome == StreamedUnpack::Outcome::unpacked, qPrintable(m_streamed ? m_streamed->reason : QString()));
    }
    std::optional<StreamedUnpack> m_streamed;

private Q_SLOTS:
    // Every test below runs once on each road.
    void initTestCase_data()
    {
        QTest::addColumn<qint64>("wholeEntryBytes");
        QTest::newRow("libdeflate") << LibarchiveExtractor::Limits().wholeEntryBytes;
        QTest::newRow("libarchive") << qint64(0);
        QTest::newRow("streaming") << qint64(-1);
    }

    void init()
    {
        QDir(m_home.tempDir()).removeRecursively();
        QDir().mkpath(extracted());
    }

    // As macOS tools zip: metadata never written nor taken for the bundle; Unicode names, Zip64, empty folders kept.
    void extractsArchivesAsMacToolsMakeThem_data()
    {
        ExtractsArchivesAsRows::columns();
        // Decomposed, as macOS writes names; libarchive composes those flagged as UTF-8.
        const QString accented = QString::fromUtf8("Cafe\xCC\x81.app");
        const QString resume = QString::fromUtf8("Re\xCC\x81sume\xCC\x81.txt");
        const auto composed = [](const QString &name) { return name.normalized(QString::NormalizationForm_C); };
        const auto unicode = [&] { return macZip(accented).addFile(QStringLiteral("%1/Contents/Resources/%2").arg(accented, resume), "cv"); };
        ExtractsArchivesAsRows::row("Finder, lower-case bundle", macZip(QStringLiteral("zed.app")), "zed.app", "", false);
        ExtractsArchivesAsRows::row("ditto --keepParent, in a top folder", macZip(QStringLiteral("Zed 1.2/zed.app")), "Zed 1.2/zed.app", "", false);
        ExtractsArchivesAsRows::row("AppleDouble beside each item", macZip(QStringLiteral("zed.app"), false).addFile(QStringLiteral("zed.app/Contents/Resources/._notes"), "not metadata"), "zed.app", "._notes", false);
        ExtractsArchivesAsRows::row("UTF-8 names without the flag", unicode().setUtf8Flag(false), accented, resume, false);
        ExtractsArchivesAsRows::row("UTF-8 names with the flag, C locale", unicode(), composed(accented), composed(resume), true);
        ExtractsArchivesAsRows::row("Zip64 on every entry", macZip(QStringLiteral("zed.app")).setZip64(true), "zed.app", "", false);
        ZipBuilder many = macZip(QStringLiteral("zed.app")).setStored(true);
        while (many.entryCount() <= 65536)
            many.addFile(QStringLiteral("zed.app/Contents/Resources/%1").arg(many.entryCount()), {});
        ExtractsArchivesAsRows::row("more than 65,535 entries", many, "zed.app", "65536", false);
    }

    void extractsArchivesAsMacToolsMakeThem()
    {
        const auto [zip, bundle, resource, cLocale] = ExtractsArchivesAsRows::fetch();
        if (road() == 0 && zip.entryCount() > 65535)
            QSKIP("stored entries only, which take one road either way; the slowest row, run once");
        const QByteArray locale = setlocale(LC_ALL, nullptr);
        if (cLocale)
            setlocale(LC_ALL, "C");
        const std::optional<PlatformError> error = extract(zip.build());
        setlocale(LC_ALL, locale.constData());
        QVERIFY2(!error, qPrintable(error ? error->localizedDescription() : QString()));
        checkStreamed();
        QCOMPARE(InstallFiles::findBundle(extracted()), extracted() + QLatin1Char('/') + bundle);
        const QString resources = extracted() + QLatin1Char('/') + bundle + QStringLiteral("/Contents/Resources/");
        QVERIFY(QFileInfo(resources + QStringLiteral("Empty.lproj")).isDir());
        QCOMPARE(TempHome::entries(resources + QStringLiteral("Empty.lproj")), QStringList());
        QVERIFY(resource.isEmpty() || QFileInfo::exists(resources + resource));
        for (const QString &path : TempHome::fingerprint(extracted()).keys()) {
            QVERIFY2(!path.contains(QLatin1String("__MACOSX")), qPrintable(path));
            QVERIFY2(!TempHome::readFile(extracted() + QLatin1Char('/') + path).startsWith(QByteArray("\x00\x05\x16\x07", 4)), qPrintable(path));
        }
    }

    void bundleSearchPassesOverMacMetadata()
    {
        for (const char *folder : {"__MACOSX/zed.app/Contents", "zed.app/Contents"})
            QDir().mkpath(extracted() + QLatin1Char('/') + QLatin1String(folder));
        QCOMPARE(InstallFiles::findBundle(extracted()), extracted() + QStringLiteral("/zed.app"));
    }

    // Shared among readers: one reader's tree; a hostile entry anywhere refused before writing; a split bomb hits one cap.
    void extractionSharedAmongWorkers_data()
    {
        ExtractionSharedAmongRows::columns();
        const QString same = QStringLiteral("same tree");
        const QString nothing = QStringLiteral("refused, nothing written");
        ExtractionSharedAmongRows::row("2,000 entries, 2 workers", largeBundle(), 2, same);
        ExtractionSharedAmongRows::row("2,000 entries, 3 workers", largeBundle(), 3, same);
        for (const QString &kind : ZipBuilder::hostileKinds()) {
            ExtractionSharedAmongRows::row(QString::asprintf("%s, first share", qPrintable(kind)), ZipBuilder::hostile(kind, notesId, m_home.outsideDir(), up).add(filler()), 3, nothing);
            ExtractionSharedAmongRows::row(QString::asprintf("%s, last share", qPrintable(kind)), filler().add(ZipBuilder::hostile(kind, notesId, m_home.outsideDir(), up)), 3, nothing);
        }
        const QString current = QStringLiteral("Notes.app/Current");
        ExtractionSharedAmongRows::row("link in the first share, written through in the last", notesApp().addSymlink(current, QStringLiteral("Contents")).add(filler()).addFile(current + QStringLiteral("/evil"), "owned"), 3, nothing);
        ExtractionSharedAmongRows::row("a file in the first share and again in the last", notesApp().add(filler()).addFile(QStringLiteral("Notes.app/Contents/Info.plist"), "again"), 3, nothing);
        ZipBuilder bomb = notesApp();
        for (int i = 0; i < 4; ++i)
            bomb.addFillFile(QStringLiteral("Notes.app/bomb%1").arg(i), qint64(6) << 20);  // 12 MiB a worker, 24 in all
        ExtractionSharedAmongRows::row("bomb split over two workers", bomb, 2, "refused");
    }

    void extractionSharedAmongWorkers()
    {
        const auto [zip, workers, outcome] = ExtractionSharedAmongRows::fetch();
        LibarchiveExtractor::Limits limits;
        limits.minimumCap = limits.maximumCap = qint64(16) << 20;
        limits.bytesPerWorker = 1;
        limits.workers = workers;
        const QByteArray archive = zip.build();
        ExtractionProgress progress;
        const std::optional<PlatformError> error = extract(archive, false, limits, &progress);
        if (outcome == QLatin1String("same tree")) {
            QVERIFY2(!error, qPrintable(error ? error->localizedDescription() : QString()));
            // Every worker's bytes reach the one progress (the stream knows no total ahead).
            checkStreamed();
            QVERIFY(streaming() || progress.totalBytes.load() > 0);
            QVERIFY(streaming() || progress.writtenBytes.load() == progress.totalBytes.load());
            const QMap<QString, QString> shared = TempHome::fingerprint(extracted());
            init();
            limits.workers = 1;
            QVERIFY(!extract(archive, false, limits));
            QCOMPARE(shared, TempHome::fingerprint(extracted()));
        } else {
            QVERIFY(error && error->domain() == PlatformError::Domain::archive);
            if (outcome.endsWith(QLatin1String("nothing written")))
                QCOMPARE(TempHome::entries(extracted()), QStringList());
        }
        QCOMPARE(linksLeadingOut(extracted()), QStringList());
        QCOMPARE(TempHome::entries(m_home.outsideDir()), QStringList());
    }

    // Every escape and every broken archive is refused by the extractor itself; whatever it wrote stays inside, within the
    // cap, whatever sizes the entries claim.
    void extractorKeepsEverythingInside_data()
    {
        using Links = QList<std::pair<const char *, const char *>>;
        ExtractorKeepsEverythingRows::columns();
        for (const QString &kind : ZipBuilder::hostileKinds())
            ExtractorKeepsEverythingRows::row(qPrintable(kind), ZipBuilder::hostile(kind, notesId, m_home.outsideDir(), up).build(), false);
        const QList<std::tuple<const char *, Links, bool>> linkRows{
            {"framework style", {{"F/Versions/Current", "A"}, {"F/Resources", "Versions/Current/Resources"}}, true},
            {"up and over", {{"a/b/c", "../../d/e"}}, true},
            {"to the folder itself", {{"a/self", ".."}}, true},
            {"one level too far up", {{"a/b", "../../x"}}, false},
            {"dot then up through it", {{"here", "."}, {"out", "here/../x"}}, false},
            {"up through a link, link last", {{"out", "here/../x"}, {"here", "."}}, false},
            {"deep chain", {{"d/e/f", "../.."}, {"g", "d/e/f/../../x"}}, false},
        };
        for (const auto &[name, links, accepted] : linkRows) {
            ZipBuilder zip;
            zip.addFile(QStringLiteral("keep.txt"), "inside");
            for (const auto &[link, target] : links)
                zip.addSymlink(QLatin1String(link), QLatin1String(target));
            ExtractorKeepsEverythingRows::row(name, zip.build(), accepted);
        }
        const QByteArray good = notesApp().addFile(QStringLiteral("Notes.app/data"), QByteArray(100000, 'z') + "7").build();
        QByteArray corrupt = good;
        for (qsizetype i = good.size() / 3; i < good.size() / 3 + 64; ++i)
            corrupt[i] = char(corrupt[i] ^ 0x5a);
        ExtractorKeepsEverythingRows::row("truncated", good.left(good.size() / 2), false);
        ExtractorKeepsEverythingRows::row("cut after the first header", good.left(40), false);
        ExtractorKeepsEverythingRows::row("corrupt data", corrupt, false);
        ExtractorKeepsEverythingRows::row("not an archive", QByteArray("plain text, not a zip").repeated(50), false);
        ExtractorKeepsEverythingRows::row("empty file", QByteArray(), false);
        // Equal to what it holds in the low 32 bits, as the reader's own size check compares.
        ExtractorKeepsEverythingRows::row("6 bytes claiming 2 TiB", claimingSize(ZipBuilder().setStored(true).setZip64(true).addFile(QStringLiteral("keep.txt"), "inside").build(),
                                                                                 "keep.txt", (quint64(1) << 41) + 6), true);
    }

    void extractorKeepsEverythingInside()
    {
        const auto [archive, accepted] = ExtractorKeepsEverythingRows::fetch();
        const std::optional<PlatformError> error = extract(archive);
        QCOMPARE(!error, accepted);
        if (error)
            QCOMPARE(error->domain(), PlatformError::Domain::archive);
        QCOMPARE(linksLeadingOut(extracted()), QStringList());
        QDirIterator files(extracted(), QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
        for (qint64 written = 0; files.hasNext();)
            QVERIFY((written += files.nextFileInfo().size()) <= LibarchiveExtractor::writeCap(archive.size(), {}));
        QCOMPARE(TempHome::entries(m_home.outsideDir()), QStringList());
        QCOMPARE(TempHome::entries(m_home.tempDir()), (QStringList{"archive.zip", "work"}));
        QCOMPARE(TempHome::entries(m_home.path(QStringLiteral("tmp/work"))), QStringList{QStringLiteral("extracted")});
        QCOMPARE(TempHome::entries(m_home.path()), (QStringList{"home", "outside", "tmp"}));
    }

    void extractionStopsWhenCancelled()
    {
        const std::optional<PlatformError> error = extract(notesApp().build(), true);
        QVERIFY(error && error->domain() == PlatformError::Domain::archive);
        QCOMPARE(TempHome::entries(extracted()), QStringList());
    }

    // Streamed: what the local headers give as macOS tools write them, held to the directory at the end; a download that
    // starts again starts the unpacking again; anything the directory states otherwise is left to the whole road.
    void streamsOnlyWhatTheDirectoryConfirms_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QByteArray>("firstAttempt");
        QTest::addColumn<bool>("streamed");
        const QByteArray app = largeBundle().setZip64(true).add(ZipBuilder().setStored(true)
            .addFillFile(QStringLiteral("Notes.app/Contents/Resources/stored.bin"), 3 << 20, 's')
            .addFile(QStringLiteral("Notes.app/Contents/Resources/late.txt"), "late")).build();
        QTest::newRow("stored, sizes after the data") << storedWithDescriptor("Notes.app/stored.txt", QByteArray(70000, 's')) << QByteArray() << true;
        QTest::newRow("deflated, stored and Zip64") << app << QByteArray() << true;
        // Another archive's first half, as when the file changed on the server and the resumption came back whole.
        const QByteArray other = ZipBuilder().setStored(true).addFillFile(QStringLiteral("Notes.app/other.bin"), 2 << 20, 'o').build();
        QTest::newRow("download starts again half-way, the file changed") << app << other << true;
        QByteArray renamed = app;
        renamed[renamed.lastIndexOf("late.txt")] = 'L';
        QTest::newRow("the directory names an entry otherwise") << renamed << QByteArray() << false;
        // What streamed in goes by its bytes when the stream gives up, a name that is no UTF-8 too.
        QByteArray odd = notesApp().setUtf8Flag(false).addFile(QStringLiteral("Notes.app/Contents/Xt"), "x")
                             .addFile(QStringLiteral("Notes.app/late.txt"), "late").build();
        odd.replace("Contents/Xt", QByteArray("Contents/\xff" "t"));
        odd[odd.lastIndexOf("late.txt")] = 'L';
        QTest::newRow("a name that is no UTF-8, then a directory that disagrees") << odd << QByteArray() << false;
        QByteArray linkless = notesApp().addSymlink(QStringLiteral("Notes.app/Contents/Current"), QStringLiteral("Resources")).build();
        const qsizetype entry = linkless.lastIndexOf("Notes.app/Contents/Current") - 46;
        qToLittleEndian<quint32>(0100644u << 16, linkless.data() + entry + 38);
        QTest::newRow("a link the directory calls a file") << linkless << QByteArray() << true;
    }

    void streamsOnlyWhatTheDirectoryConfirms()
    {
        QFETCH(QByteArray, archive);
        QFETCH(QByteArray, firstAttempt);
        QFETCH(bool, streamed);
        if (!streaming())
            QSKIP("the streaming road's own");
        const QString path = m_home.path(QStringLiteral("tmp/archive.zip"));
        QVERIFY(TempHome::writeFile(path, archive));
        const StreamedUnpack outcome = stream(LibarchiveExtractor(), path, archive, nullptr, nullptr, firstAttempt);
        QVERIFY2((outcome.outcome == StreamedUnpack::Outcome::unpacked) == streamed, qPrintable(outcome.reason));
        if (!streamed) {
            QCOMPARE(TempHome::entries(extracted()), QStringList());
            return;
        }
        const QString theirs = m_home.path(QStringLiteral("tmp/bsdtar"));
        QCOMPARE(bsdtar(path, theirs), 0);
        QCOMPARE(TempHome::fingerprint(extracted()), TempHome::fingerprint(theirs));
    }

    // A download given up on (a wrong checksum, a failure) ends the stream at once, however much of it is written.
    void abandonedDownloadEndsTheStreamAtOnce()
    {
        if (!streaming())
            QSKIP("the streaming road's own");
        const QByteArray archive = largeBundle().build();
        const QString path = m_home.path(QStringLiteral("tmp/archive.zip"));
        QVERIFY(TempHome::writeFile(path, archive));
        GrowingArchive growing(path);
        growing.written(archive.size());
        growing.abandon();
        ExtractionProgress progress;
        const StreamedUnpack outcome = LibarchiveExtractor().streamZip(growing, extracted(), nullptr, &progress, nullptr, nullptr);
        QCOMPARE(outcome.outcome, StreamedUnpack::Outcome::notStreamed);
        QCOMPARE(progress.writtenBytes.load(), 0);
        QCOMPARE(TempHome::entries(extracted()), QStringList());
    }

    // The same tree as bsdtar's from every archive it unpacks without complaint; refused where bsdtar complains, no
    // file past the size its entry states (libdeflate's road writes none of a lying deflated entry at all).
    void unpacksAsBsdtarDoes_data()
    {
        UnpacksAsBsdtarRows::columns();
        QByteArray text;  // deflates to about a third, as most of an app does
        for (quint32 i = 1; text.size() < 300000; i = i * 1664525u + 1013904223u)
            text += QByteArray::number(i % 100000) + (i % 7 ? " window " : "\n");
        const auto app = [&](bool stored) {
            return notesApp().setStored(stored).addFile(QStringLiteral("Notes.app/Contents/Resources/text.txt"), text)
                .addFile(QStringLiteral("Notes.app/Contents/Resources/small.txt"), "x")
                .addSymlink(QStringLiteral("Notes.app/Contents/Current"), QStringLiteral("Resources"));
        };
        UnpacksAsBsdtarRows::row("deflated", app(false).build(), "", 0, false);
        UnpacksAsBsdtarRows::row("stored", app(true).build(), "", 0, false);
        UnpacksAsBsdtarRows::row("deflated and stored, Zip64", app(false).setZip64(true).add(ZipBuilder().setStored(true).addFile(QStringLiteral("Notes.app/s.txt"), text)).build(), "", 0, false);
        UnpacksAsBsdtarRows::row("zero-length", notesApp().addFile(QStringLiteral("Notes.app/empty"), {})
                                                     .add(ZipBuilder().setStored(true).addFile(QStringLiteral("Notes.app/stored-empty"), {})).build(), "", 0, false);
        UnpacksAsBsdtarRows::row("2,000 entries", largeBundle().build(), "", 0, false);
        UnpacksAsBsdtarRows::row("large: 4 MiB inflated whole, 12 MiB in blocks",
                                 notesApp().addFillFile(QStringLiteral("Notes.app/four"), 4 << 20, 't')
                                     .addFillFile(QStringLiteral("Notes.app/twelve"), 12 << 20, 'f').build(), "", 0, false);
        const QByteArray lying = app(false).build();
        const QByteArray name = "Notes.app/Contents/Resources/text.txt";
        UnpacksAsBsdtarRows::row("states fewer bytes than it holds", stating(lying, name, 1000, std::nullopt), QString::fromUtf8(name), 1000, true);
        UnpacksAsBsdtarRows::row("states more bytes than it holds", stating(lying, name, text.size() + 1, std::nullopt), QString::fromUtf8(name), text.size() + 1, true);
        UnpacksAsBsdtarRows::row("wrong CRC", stating(lying, name, std::nullopt, 0x1234), QString::fromUtf8(name), text.size(), true);
        UnpacksAsBsdtarRows::row("stored, wrong CRC", stating(app(true).build(), name, std::nullopt, 0x1234), QString::fromUtf8(name), text.size(), false);
    }

    void unpacksAsBsdtarDoes()
    {
        const auto [archive, liar, stated, deflated] = UnpacksAsBsdtarRows::fetch();
        const std::optional<PlatformError> error = extract(archive);
        const QString theirs = m_home.path(QStringLiteral("tmp/bsdtar"));
        const int tarStatus = bsdtar(m_home.path(QStringLiteral("tmp/archive.zip")), theirs);
        if (liar.isEmpty()) {
            QVERIFY2(!error, qPrintable(error ? error->localizedDescription() : QString()));
            checkStreamed();
            QCOMPARE(tarStatus, 0);
            QCOMPARE(TempHome::fingerprint(extracted()), TempHome::fingerprint(theirs));
            return;
        }
        QVERIFY(tarStatus > 0);
        QVERIFY2(error && error->domain() == PlatformError::Domain::archive, "accepted");
        const QFileInfo lie(extracted() + QLatin1Char('/') + liar);
        QVERIFY2(!lie.exists() || lie.size() <= stated, qPrintable(QString::number(lie.size())));
        if (road() > 0 && deflated)
            QVERIFY(!lie.exists());
    }
};

QTEST_GUILESS_MAIN(TestExtractor)
#include "tst_extractor.moc"
