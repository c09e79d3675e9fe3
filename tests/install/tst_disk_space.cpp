// The space an install needs, read from the archive's central directory before its body arrives, against the free
// space of each file system it writes to (a substitute reports it): refused before the body, nothing left; an
// install that fits exactly succeeds.

#include "DataRows.h"
#include "FakeDiskSpace.h"
#include "InstallSandbox.h"
#include "LoopbackHttpServer.h"
#include "ZipBuilder.h"
#include "ZipCentralDirectory.h"

#include <QtEndian>

namespace {

using Contents = ZipCentralDirectory::Contents;

// A folder, a small file and a 1 MiB file: 3 entries, 1 MiB + 5000 bytes, on disk one block each for the folder
// and the small file.
ZipBuilder smallTree()
{
    return ZipBuilder()
        .addDirectory(QStringLiteral("A.app"))
        .addFile(QStringLiteral("A.app/small"), QByteArray(5000, 'x'))
        .addFillFile(QStringLiteral("A.app/big"), 1 << 20);
}

// Notes 2.0 with incompressible payloadKiB and extra entries with long names (their directory entries add up).
ZipBuilder notesWith(int payloadKiB, int extraEntries = 0)
{
    QByteArray payload(qsizetype(payloadKiB) << 10, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(payload.data()), payload.size() / 4);
    ZipBuilder zip = notesApp(QStringLiteral("2.0"));
    zip.addFile(QStringLiteral("Notes.app/Contents/Resources/payload.bin"), payload).setStored(true);
    for (int i = 0; i < extraEntries; ++i)
        zip.addFile(QStringLiteral("Notes.app/Contents/Resources/%1-an-entry-with-a-long-name-to-fill-the-directory")
                        .arg(i, 5, 10, QLatin1Char('0')),
                    "");
    return zip;
}

std::optional<Contents> fromTail(const QByteArray &zip)
{
    const auto location = ZipCentralDirectory::locate(zip.right(ZipCentralDirectory::endSearchBytes), zip.size());
    if (!location)
        return std::nullopt;
    return ZipCentralDirectory::read(zip.mid(location->offset, location->size), *location);
}

void poke32(QByteArray &zip, qsizetype at, quint32 value)
{
    qToLittleEndian(value, zip.data() + at);
}

}  // namespace

class DiskSpaceTest : public QObject
{
    Q_OBJECT
    using DirectoryRows = DataRows<ZipBuilder, qint64, qint64, qint64>;  // archive, entries, unpacked, on disk
    using DamageRows = DataRows<std::function<void(QByteArray &)>>;
    // served with ranges, one file system, which is short ("" none, "temp", "root"), extra entries
    using InstallRows = DataRows<bool, bool, QString, int>;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // What real archives state, from their end alone and from a file.
    void directoryOfRealArchives_data()
    {
        DirectoryRows::columns();
        const qint64 unpacked = (1 << 20) + 5000;
        const qint64 onDisk = 4096 + 8192 + (1 << 20);
        DirectoryRows::row("deflated", smallTree(), 3, unpacked, onDisk);
        DirectoryRows::row("stored", smallTree().setStored(true), 3, unpacked, onDisk);
        DirectoryRows::row("zip64 fields", smallTree().setZip64(true), 3, unpacked, onDisk);
        DirectoryRows::row("empty file rounds to nothing", ZipBuilder().addFile(QStringLiteral("e"), ""), 1, 0, 0);
    }

    void directoryOfRealArchives()
    {
        const auto [zip, entries, unpacked, onDisk] = DirectoryRows::fetch();
        const QByteArray bytes = zip.build();
        const std::optional<Contents> read = fromTail(bytes);
        QVERIFY(read);
        QCOMPARE(read->entries, entries);
        QCOMPARE(read->unpackedBytes, unpacked);
        QCOMPARE(read->diskBytes, onDisk);

        TempHome home;
        const std::optional<Contents> fromFile = ZipCentralDirectory::readFile(home.writeArchive(zip));
        QVERIFY(fromFile);
        QCOMPARE(fromFile->diskBytes, onDisk);
    }

    // Ends that do not describe a directory are unknown, never a guess (and never read out of bounds).
    void damagedDirectoriesAreUnknown_data()
    {
        DamageRows::columns();
        DamageRows::row("cut short", [](QByteArray &zip) { zip.chop(5); });
        DamageRows::row("not a zip", [](QByteArray &zip) { zip.fill('z'); });
        DamageRows::row("directory past its end", [](QByteArray &zip) { poke32(zip, zip.size() - 6, quint32(zip.size())); });
        DamageRows::row("directory larger than the archive", [](QByteArray &zip) { poke32(zip, zip.size() - 10, 0x7fffffff); });
        DamageRows::row("entry count wrong", [](QByteArray &zip) { zip[zip.size() - 12] = char(zip[zip.size() - 12] + 1); });
        DamageRows::row("entry signature broken", [](QByteArray &zip) { zip[zip.lastIndexOf("PK\x01\x02")] = 'Q'; });
        DamageRows::row("name running past the directory", [](QByteArray &zip) {
            const qsizetype entry = zip.lastIndexOf("PK\x01\x02");
            qToLittleEndian(quint16(0xffff), zip.data() + entry + 28);
        });
    }

    void damagedDirectoriesAreUnknown()
    {
        const auto [damage] = DamageRows::fetch();
        QByteArray zip = smallTree().build();
        QVERIFY(fromTail(zip));
        damage(zip);
        QVERIFY(!fromTail(zip));
        TempHome home;
        const QString path = home.path(QStringLiteral("damaged.zip"));
        QVERIFY(TempHome::writeFile(path, zip));
        QVERIFY(!ZipCentralDirectory::readFile(path));
    }

    // An install that does not fit: refused with each file system's need and free space, before more than the
    // archive's end and directory arrived where the server serves ranges (before extraction where not), the old
    // copy kept, nothing left (the sandbox checks).
    void installThatCannotFitStopsEarly_data()
    {
        InstallRows::columns();
        InstallRows::row("one file system", true, true, QStringLiteral("temp"), 0);
        InstallRows::row("temporary folder short", true, false, QStringLiteral("temp"), 0);
        InstallRows::row("install root short", true, false, QStringLiteral("root"), 0);
        InstallRows::row("directory longer than the end read", true, true, QStringLiteral("temp"), 1500);
        InstallRows::row("no ranges: stops before extracting", false, true, QStringLiteral("temp"), 0);
    }

    void installThatCannotFitStopsEarly()
    {
        const auto [ranges, oneVolume, shortOne, extraEntries] = InstallRows::fetch();
        InstallSandbox sandbox;
        QVERIFY(sandbox.installArchive(notesApp()).succeeded());
        const QMap<QString, QString> before = TempHome::fingerprint(sandbox.installRoot());
        LoopbackHttpServer server;
        LoopbackHttpServer::Response response;
        response.bodyFile = sandbox.writeArchive(notesWith(1024, extraEntries), QStringLiteral("v2.zip"));
        response.acceptRanges = ranges;
        server.serve(QStringLiteral("/v2.zip"), response);
        const QByteArray archive = TempHome::readFile(response.bodyFile);
        const auto directory = ZipCentralDirectory::locate(archive.right(ZipCentralDirectory::endSearchBytes), archive.size());
        QVERIFY(directory);

        auto disk = std::make_shared<FakeDiskSpace>();
        const qint64 plenty = qint64(1) << 40;
        // Without ranges only the archive's length is known ahead: room for it, not for its files.
        const qint64 tight = ranges ? 512 << 10 : archive.size();
        if (oneVolume) {
            disk->volumes = {{sandbox.path(), QStringLiteral("/srv"), tight}};
        } else {
            disk->volumes = {{sandbox.tempDir(), QStringLiteral("/tmp"), shortOne == QLatin1String("temp") ? 512 << 10 : plenty},
                             {sandbox.home(), QStringLiteral("/home"), shortOne == QLatin1String("root") ? 512 << 10 : plenty}};
        }
        const auto installer = sandbox.makeInstaller(nullptr, disk);
        installer->setTemporaryDirectory(sandbox.tempDir());
        const InstallOutcome outcome = outcomeOf(installer->install(notesRelease(server.url(QStringLiteral("/v2.zip")), archive, QStringLiteral("2.0"))));

        QVERIFY2(outcome.installerError, qPrintable(outcome.describe()));
        QCOMPARE(outcome.installerError->kind(), AppInstallerError::Kind::notEnoughSpace);
        const QList<VolumeNeed> volumes = outcome.installerError->volumes();
        QCOMPARE(volumes.size(), oneVolume ? 1 : 2);
        const QString shortName = oneVolume ? QStringLiteral("/srv") : QLatin1Char('/') + (shortOne == QLatin1String("temp") ? QStringLiteral("tmp") : QStringLiteral("home"));
        for (const VolumeNeed &volume : volumes) {
            QCOMPARE(volume.fits(), volume.volume != shortName);
            QVERIFY2(outcome.message().contains(volume.volume + QStringLiteral(" needs ")), qPrintable(outcome.message()));
        }
        // The temporary folder holds the archive (unless it is there already) and its files; a separate install
        // root the files again.
        QVERIFY(volumes.first().needed > (ranges ? archive.size() : 0) + (1 << 20));
        if (!oneVolume)
            QVERIFY(volumes.last().needed > (1 << 20) && volumes.last().needed < volumes.first().needed);
        if (ranges)
            QVERIFY2(server.bodyBytesSent() <= ZipCentralDirectory::endSearchBytes + archive.size() - directory->offset,
                     qPrintable(QString::number(server.bodyBytesSent())));
        QCOMPARE(TempHome::fingerprint(sandbox.installRoot()), before);
    }

    // What the check says is needed is exactly enough: with that much free the install succeeds, one byte less
    // on either file system and it is refused.
    void installThatFitsExactlySucceeds_data()
    {
        InstallRows::columns();
        InstallRows::row("one file system, ranges", true, true, QString(), 0);
        InstallRows::row("two file systems, ranges", true, false, QString(), 0);
        InstallRows::row("two file systems, no ranges", false, false, QString(), 0);
    }

    void installThatFitsExactlySucceeds()
    {
        const auto [ranges, oneVolume, unused, extraEntries] = InstallRows::fetch();
        Q_UNUSED(unused)
        InstallSandbox sandbox;
        LoopbackHttpServer server;
        LoopbackHttpServer::Response response;
        response.bodyFile = sandbox.writeArchive(notesWith(256, extraEntries), QStringLiteral("v2.zip"));
        response.acceptRanges = ranges;
        server.serve(QStringLiteral("/v2.zip"), response);
        const AppManifestItem release = notesRelease(server.url(QStringLiteral("/v2.zip")), TempHome::readFile(response.bodyFile), QStringLiteral("2.0"));

        auto disk = std::make_shared<FakeDiskSpace>();
        if (oneVolume)
            disk->volumes = {{sandbox.path(), QStringLiteral("/srv"), 0}};
        else
            disk->volumes = {{sandbox.tempDir(), QStringLiteral("/tmp"), 0}, {sandbox.home(), QStringLiteral("/home"), 0}};
        const auto installer = sandbox.makeInstaller(nullptr, disk);
        installer->setTemporaryDirectory(sandbox.tempDir());
        // From nothing free, raised to what each refusal names until the install goes through (without ranges
        // the archive is checked first, its files once it arrived).
        InstallOutcome outcome;
        for (int round = 0; round < 3 && !outcome.succeeded(); ++round) {
            outcome = outcomeOf(installer->install(release));
            if (outcome.succeeded())
                break;
            QVERIFY2(outcome.installerError && outcome.installerError->kind() == AppInstallerError::Kind::notEnoughSpace,
                     qPrintable(outcome.describe()));
            for (const VolumeNeed &need : outcome.installerError->volumes()) {
                for (FakeDiskSpace::Volume &volume : disk->volumes) {
                    if (volume.name == need.volume)
                        volume.available = qMax(volume.available, need.needed);
                }
            }
        }
        QVERIFY2(outcome.succeeded(), qPrintable(outcome.describe()));
        const QList<FakeDiskSpace::Volume> exact = disk->volumes;
        for (int tight = 0; tight < exact.size(); ++tight) {
            disk->volumes = exact;
            disk->volumes[tight].available -= 1;
            const InstallOutcome refused = outcomeOf(installer->install(release));
            QVERIFY2(refused.installerError && refused.installerError->kind() == AppInstallerError::Kind::notEnoughSpace,
                     qPrintable(exact[tight].name + QStringLiteral(": ") + refused.describe()));
        }
        disk->volumes = exact;
        QVERIFY2(outcomeOf(installer->install(release)).succeeded(), "exactly enough again");
        QCOMPARE(TempHome::readFile(sandbox.bundle(QStringLiteral("Notes.app/Contents/Resources/version.txt"))), QByteArray("2.0"));
    }
};

QTEST_GUILESS_MAIN(DiskSpaceTest)
#include "tst_disk_space.moc"
