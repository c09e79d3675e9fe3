// Verify and repair of installed bundles: real installs of real ZIPs in a temporary home, then real damage on disk.

#include "DataRows.h"
#include "InstallSandbox.h"
#include "LibarchiveExtractor.h"
#include "LoopbackHttpServer.h"
#include "ZipBuilder.h"
#include "async/WaitForTask.h"
#include "codec/EnumNames.h"
#include "i18n/VantrelTranslator.h"
#include "install/BundleVerifier.h"
#include "install/InstallReceipt.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Edit = std::function<void(QByteArray &tree, QJsonObject &note, const QString &outside)>;

const QString appId = QStringLiteral("notes");
const QString dataBin = QStringLiteral("Contents/Resources/data.bin");

// Notes.app with a larger file and a folder of its own to damage.
ZipBuilder damageableApp(const QString &version)
{
    return notesApp(version)
        .addFillFile(QStringLiteral("Notes.app/") + dataBin, 300 << 10, 'd')
        .addDirectory(QStringLiteral("Notes.app/Contents/Resources/Sub"))
        .addFile(QStringLiteral("Notes.app/Contents/Resources/Sub/a.txt"), "alpha")
        .addFile(QStringLiteral("Notes.app/Contents/Resources/Sub/b.txt"), "beta");
}

void makeLink(const QString &target, const QString &path)
{
    QVERIFY(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0);
}

void flipByte(const QString &path, qint64 at)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(at));
    char byte = 0;
    QVERIFY(file.getChar(&byte) && file.seek(at) && file.putChar(char(byte ^ 0x20)));
}

// Real extraction, then one byte of data.bin changed after its checksum was taken: what the receipt records must
// be the archive's sums, not a fresh read of what was staged.
class ChangingExtractor : public ArchiveExtractor
{
public:
    void extractZip(const QString &archivePath, const QString &destinationDir, const std::atomic_bool *cancel,
                    ExtractionProgress *progress, ExtractedChecksums *checksums) const override
    {
        LibarchiveExtractor().extractZip(archivePath, destinationDir, cancel, progress, checksums);
        QFile file(destinationDir + QStringLiteral("/Notes.app/") + dataBin);
        if (file.open(QIODevice::ReadWrite) && file.seek(200000))
            file.putChar('x');
    }
};

// Every entry's times, type, bits and size, and every file's bytes: what a read-only check must leave alone.
QMap<QString, QString> snapshot(const QString &root)
{
    QMap<QString, QString> result = TempHome::fingerprint(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList paths{root};
    while (it.hasNext())
        paths.append(it.next());
    for (const QString &path : paths) {
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        result[path] += QString::asprintf(" m%lld.%ld c%lld.%ld s%lld", qlonglong(st.st_mtim.tv_sec), st.st_mtim.tv_nsec,
                                          qlonglong(st.st_ctim.tv_sec), st.st_ctim.tv_nsec, qlonglong(st.st_size));
    }
    return result;
}

QString described(const QList<VerificationFinding> &findings)
{
    QStringList parts;
    for (const VerificationFinding &f : findings)
        parts.append(EnumNames::name(f.kind) + QLatin1Char(' ') + QFile::decodeName(f.path));
    return parts.join(QStringLiteral("; "));
}

// The note beside bundle and the tree file it names, read and written as a hand editing them would.
struct Notes {
    QString bundle;
    QString notePath() const { return QFileInfo(bundle).absolutePath() + QStringLiteral("/.Notes.app.vantrel-receipt"); }
    QJsonObject note() const { return QJsonDocument::fromJson(TempHome::readFile(notePath())).object(); }
    QString treePath() const
    {
        return QFileInfo(bundle).absolutePath() + QLatin1Char('/') + note().value("tree").toObject().value("file").toString();
    }
    // Writes both; the note names the new tree's digest unless the edit gave it another.
    void write(const QByteArray &tree, QJsonObject note) const
    {
        if (note.value("tree").toObject().value("sha256") == this->note().value("tree").toObject().value("sha256")) {
            QJsonObject named = note.value("tree").toObject();
            named.insert("sha256", ZipBuilder::sha256Hex(tree));
            note.insert("tree", named);
        }
        TempHome::writeFile(treePath(), tree);
        TempHome::writeFile(notePath(), QJsonDocument(note).toJson(QJsonDocument::Compact));
    }
    // Every note file of the install root with its bytes.
    static QMap<QString, QByteArray> all(const QString &installRoot)
    {
        QMap<QString, QByteArray> notes;
        for (const QString &name : TempHome::entries(installRoot)) {
            if (TempHome::isNote(name))
                notes.insert(name, TempHome::readFile(installRoot + QLatin1Char('/') + name));
        }
        return notes;
    }
};

// Every open, read, change of bits or contents in a folder (inotify), by name.
class FolderWatch
{
public:
    explicit FolderWatch(const QString &path) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN | IN_ACCESS | IN_ATTRIB | IN_MODIFY);
    }
    ~FolderWatch() { ::close(m_fd); }
    QStringList seen() const
    {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (char *p = buffer; p < buffer + n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(p);
                names.append(event->len ? QString::fromUtf8(event->name) : QStringLiteral("."));
                p += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    }

private:
    int m_fd;
};

}  // namespace

class TestVerify : public QObject
{
    Q_OBJECT
    // The summaries below are English.
    VantrelTranslator m_translator{VantrelLocale::en};
    using FindsDamageRows = DataRows<QString, QString, QString>;  // damage, findings ("kind path; ..."), summary
    using HostileReceiptRows = DataRows<Edit>;                    // what is done to the tree file and the note
    using LegacyReceiptRows = DataRows<bool>;                     // the note is kept (without its tree) or gone
    using RepairInstallRows = DataRows<QString, QString>;         // how it goes, the message (empty: repaired)

private:
    BundleVerification verify(InstallSandbox &sandbox, VerifyControl control = {})
    {
        return waitForTask(sandbox.installedCopies().verify(appId, QUrl::fromLocalFile(sandbox.bundle("Notes.app")), std::move(control)));
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Each kind of damage is found and named, and the check changes nothing it looks at.
    void findsEachKindOfDamage_data()
    {
        FindsDamageRows::columns();
        FindsDamageRows::row("as installed", "none", "", "Intact");
        FindsDamageRows::row("one changed byte", "byte", "changed Contents/Resources/data.bin", "1 file changed");
        FindsDamageRows::row("a byte changed after extraction", "after extraction", "changed Contents/Resources/data.bin", "1 file changed");
        FindsDamageRows::row("a deleted file", "delete file", "missing Contents/Resources/version.txt", "1 missing");
        FindsDamageRows::row("chmod -x on the executable", "chmod -x", "permissions Contents/MacOS/Notes", "1 with changed permissions");
        FindsDamageRows::row("a file replaced by a link out", "link out", "linkLeadsOut Contents/Resources/version.txt",
                             "1 link leads outside the app");
        FindsDamageRows::row("a link pointed elsewhere", "relink", "linkChanged Contents/Resources/launcher", "1 link changed");
        FindsDamageRows::row("a new file", "new file", "extra Contents/Resources/new.txt", "Intact, 1 extra item");
        FindsDamageRows::row("a deleted directory", "delete folder", "missing Contents/Resources/Sub", "1 missing");
        FindsDamageRows::row("several", "several",
                             "changed Contents/Resources/Sub/a.txt; changed Contents/Resources/data.bin; missing Contents/Resources/version.txt",
                             "2 files changed, 1 missing");
    }

    void findsEachKindOfDamage()
    {
        const auto [damage, findings, summary] = FindsDamageRows::fetch();
        InstallSandbox sandbox;
        if (damage == "after extraction") {
            const QString archive = sandbox.writeArchive(damageableApp("1.0"), "notes-1.0.zip");
            const InstallOutcome changed = outcomeOf(sandbox.makeInstaller(std::make_shared<ChangingExtractor>())
                                                         ->install(notesRelease(QUrl::fromLocalFile(archive), TempHome::readFile(archive))));
            QVERIFY2(changed.succeeded(), qPrintable(changed.describe()));
        } else {
            QVERIFY(sandbox.installArchive(damageableApp("1.0")).succeeded());
        }
        const QString bundle = sandbox.bundle("Notes.app");
        const auto at = [&bundle](const QString &path) { return bundle + QLatin1Char('/') + path; };
        const QString version = at("Contents/Resources/version.txt");
        if (damage == "byte" || damage == "several")
            flipByte(at(dataBin), 200000);
        if (damage == "several")
            flipByte(at("Contents/Resources/Sub/a.txt"), 0);
        if (damage == "delete file" || damage == "link out" || damage == "several")
            QVERIFY(QFile::remove(version));
        if (damage == "link out")
            makeLink(sandbox.outsideDir() + "/secret", version);
        if (damage == "chmod -x")
            QVERIFY(QFile::setPermissions(at("Contents/MacOS/Notes"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        if (damage == "relink") {
            QVERIFY(QFile::remove(at("Contents/Resources/launcher")));
            makeLink("../Info.plist", at("Contents/Resources/launcher"));
        }
        if (damage == "new file")
            QVERIFY(TempHome::writeFile(at("Contents/Resources/new.txt"), "mine"));
        if (damage == "delete folder")
            QVERIFY(QDir(at("Contents/Resources/Sub")).removeRecursively());
        const QMap<QString, QString> before = snapshot(bundle);

        const BundleVerification result = verify(sandbox);
        QCOMPARE(described(result.findings), findings);
        QCOMPARE(result.summary(), summary);
        QCOMPARE(result.status, findings.isEmpty() || damage == "new file" ? BundleVerification::Status::intact
                                                                            : BundleVerification::Status::damaged);
        QCOMPARE(result.receiptVersion, QStringLiteral("1.0"));
        QCOMPARE(snapshot(bundle), before);
    }

    // The bytes it reads add up to what it has to read; a cancelled verify says so and finds nothing.
    void verifyCountsItsBytesAndStops()
    {
        InstallSandbox sandbox;
        QVERIFY(sandbox.installArchive(damageableApp("1.0")).succeeded());
        VerifyProgress progress;
        const BundleVerification result = BundleVerifier::verify(sandbox.bundle("Notes.app"), appId, nullptr, &progress);
        QCOMPARE(result.status, BundleVerification::Status::intact);
        QVERIFY(progress.totalBytes.load() > 300 << 10);
        QCOMPARE(progress.readBytes.load(), progress.totalBytes.load());

        VerifyControl control;
        control.cancel = std::make_shared<std::atomic_bool>(true);
        const BundleVerification cancelled = verify(sandbox, control);
        QCOMPARE(cancelled.status, BundleVerification::Status::cancelled);
        QVERIFY(cancelled.findings.isEmpty());
        QCOMPARE(cancelled.repair(), BundleVerification::Repair::none);
    }

    // A receipt as versions before verification wrote it, or none at all: it reads back, says so, and a repair
    // install of that version records a whole one.
    void legacyReceiptsReadBackAndRepairIntoWholeOnes_data()
    {
        LegacyReceiptRows::columns();
        LegacyReceiptRows::row("a note without a tree", true);
        LegacyReceiptRows::row("no note", false);
    }

    void legacyReceiptsReadBackAndRepairIntoWholeOnes()
    {
        const auto [noteKept] = LegacyReceiptRows::fetch();
        InstallSandbox sandbox;
        const ZipBuilder zip = damageableApp("1.0");
        QVERIFY(sandbox.installArchive(zip).succeeded());
        const Notes notes{sandbox.bundle("Notes.app")};
        QJsonObject note = notes.note();
        QVERIFY(QFile::remove(notes.treePath()));
        note.remove("tree");
        if (noteKept)
            TempHome::writeFile(notes.notePath(), QJsonDocument(note).toJson(QJsonDocument::Compact));
        else
            QVERIFY(QFile::remove(notes.notePath()));
        QCOMPARE(InstallReceipt::placedVersion(notes.bundle, appId), noteKept ? std::optional<QString>("1.0") : std::nullopt);

        const BundleVerification legacy = verify(sandbox);
        QCOMPARE(legacy.status, BundleVerification::Status::legacyReceipt);
        QCOMPARE(legacy.receiptVersion, noteKept ? QStringLiteral("1.0") : QString());
        QCOMPARE(legacy.summary(), QStringLiteral("Installed before verification existed"));
        QCOMPARE(legacy.repair(), BundleVerification::Repair::reinstall);

        const QString archive = sandbox.path("notes-1.0.zip");
        InstallControl control;
        control.repairVersion = "1.0";
        const InstallOutcome repaired = outcomeOf(sandbox.installer().install(notesRelease(QUrl::fromLocalFile(archive), TempHome::readFile(archive)), control));
        QVERIFY2(repaired.succeeded(), qPrintable(repaired.describe()));
        QCOMPARE(verify(sandbox).status, BundleVerification::Status::intact);
        QCOMPARE(sandbox.rootEntries(), QStringList{"Notes.app"});
    }

    // Receipts are input: whatever they name, a verify reads nothing outside the bundle and a permission repair
    // changes nothing, inside or out.
    void hostileReceiptsAreUnreadable_data()
    {
        HostileReceiptRows::columns();
        // Inserted where it sorts, the folders above it listed, so that only the rule the row names refuses it.
        const auto withEntry = [](const QByteArray &path, const QByteArray &line) -> Edit {
            return [path, line](QByteArray &tree, QJsonObject &, const QString &outside) {
                const auto pathOf = [](const QByteArray &entry) {
                    const QByteArrayList f = entry.split(' ');
                    return QByteArray::fromPercentEncoding(f.value(f.value(0) == "l" ? 1 : f.value(0) == "d" ? 2 : 4));
                };
                QByteArray full = path;
                full.replace("OUTSIDE", QFile::encodeName(outside));
                QByteArrayList lines = tree.split('\n');
                QByteArrayList added;
                for (qsizetype slash = full.indexOf('/', 1); slash > 0; slash = full.indexOf('/', slash + 1)) {
                    const QByteArray folder = full.left(slash);
                    if (std::none_of(lines.cbegin(), lines.cend(), [&](const QByteArray &l) { return pathOf(l) == folder; }))
                        added.append("d 755 " + folder.toPercentEncoding("/"));
                }
                added.append(QByteArray(line).replace("PATH", full.toPercentEncoding("/")));
                for (const QByteArray &entry : std::as_const(added)) {
                    qsizetype i = 1;
                    while (i < lines.size() - 1 && pathOf(lines[i]) < pathOf(entry))
                        ++i;
                    lines.insert(i, entry);
                }
                tree = lines.join('\n');
            };
        };
        const QByteArray file = "f 777 6 0badf00d PATH";
        HostileReceiptRows::row("a path that climbs out", withEntry("../../../../outside/secret", file));
        HostileReceiptRows::row("an absolute path", withEntry("OUTSIDE/secret", file));
        HostileReceiptRows::row("a path through a link", withEntry("Contents/Resources/launcher/secret", file));
        HostileReceiptRows::row("a link leading out", withEntry("Contents/out", "l PATH ../../../../outside"));
        HostileReceiptRows::row("cut short", [](QByteArray &tree, QJsonObject &, const QString &) { tree.chop(20); });
        HostileReceiptRows::row("a garbled checksum", [](QByteArray &tree, QJsonObject &, const QString &) {
            qsizetype checksum = tree.indexOf("\nf ") + 1;
            for (int field = 0; field < 3; ++field)
                checksum = tree.indexOf(' ', checksum) + 1;
            tree[checksum] = 'z';
        });
        HostileReceiptRows::row("a tree the note does not name", [](QByteArray &tree, QJsonObject &note, const QString &) {
            tree.replace("f 755 ", "f 644 ");
            note.insert("tree", QJsonObject{{"file", note.value("tree").toObject().value("file")}, {"sha256", ZipBuilder::sha256Hex("other")}});
        });
        HostileReceiptRows::row("a note naming a path as its tree", [](QByteArray &, QJsonObject &note, const QString &) {
            note.insert("tree", QJsonObject{{"file", "../../../outside/secret"}, {"sha256", ZipBuilder::sha256Hex("secret")}});
        });
        HostileReceiptRows::row("a note for another app", [](QByteArray &, QJsonObject &note, const QString &) { note.insert("appId", "other"); });
    }

    void hostileReceiptsAreUnreadable()
    {
        const auto [edit] = HostileReceiptRows::fetch();
        InstallSandbox sandbox;
        QVERIFY(sandbox.installArchive(damageableApp("1.0")).succeeded());
        const QString secret = sandbox.outsideDir() + "/secret";
        QVERIFY(TempHome::writeFile(secret, "secret", 0600));
        const Notes notes{sandbox.bundle("Notes.app")};
        QByteArray tree = TempHome::readFile(notes.treePath());
        QJsonObject note = notes.note();
        edit(tree, note, sandbox.outsideDir());
        notes.write(tree, note);
        // Damage a permission repair would put right, were the receipt taken.
        QVERIFY(QFile::setPermissions(notes.bundle + "/Contents/MacOS/Notes", QFile::ReadOwner | QFile::WriteOwner));
        const QMap<QString, QString> bundle = snapshot(notes.bundle);
        const QMap<QString, QString> outside = snapshot(sandbox.outsideDir());

        const FolderWatch watch(sandbox.outsideDir());
        const BundleVerification result = verify(sandbox);
        QCOMPARE(result.status, BundleVerification::Status::unreadableReceipt);
        QCOMPARE(result.summary(), QStringLiteral("The install receipt cannot be read"));
        QCOMPARE(result.repair(), BundleVerification::Repair::reinstall);
        QVERIFY(!result.problem.isEmpty());
        QVERIFY_THROWS_EXCEPTION(PlatformError, waitForTask(sandbox.installedCopies().repairPermissions(appId, QUrl::fromLocalFile(notes.bundle))));
        QCOMPARE(watch.seen(), QStringList());
        QCOMPARE(snapshot(sandbox.outsideDir()), outside);
        QCOMPARE(snapshot(notes.bundle), bundle);
    }

    // Permission bits come back in place with the network down; nothing else changes.
    void permissionRepairNeedsNoNetwork()
    {
        InstallSandbox sandbox;
        const QByteArray bytes = damageableApp("1.0").build();
        {
            LoopbackHttpServer server;
            server.serve("/notes.zip", LoopbackHttpServer::Response::text(200, bytes));
            QVERIFY(sandbox.install(notesRelease(server.url("/notes.zip"), bytes)).succeeded());
        }
        const QString bundle = sandbox.bundle("Notes.app");
        const QMap<QString, QString> installed = TempHome::fingerprint(bundle);
        QVERIFY(QFile::setPermissions(bundle + "/Contents/MacOS/Notes", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(QFile::setPermissions(bundle + "/Contents/Resources/Sub", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const BundleVerification damaged = verify(sandbox);
        QCOMPARE(described(damaged.findings), QStringLiteral("permissions Contents/MacOS/Notes; permissions Contents/Resources/Sub"));
        QCOMPARE(damaged.repair(), BundleVerification::Repair::permissions);

        QCOMPARE(waitForTask(sandbox.installedCopies().repairPermissions(appId, QUrl::fromLocalFile(bundle))), 2);
        QCOMPARE(verify(sandbox).status, BundleVerification::Status::intact);
        QCOMPARE(TempHome::fingerprint(bundle), installed);
    }

    // A repair is an install of the installed version that keeps the previous copy and its note as they are; one that
    // fails or is refused leaves the app exactly as it was.
    void repairInstallKeepsThePreviousCopy_data()
    {
        RepairInstallRows::columns();
        RepairInstallRows::row("repaired", "repaired", "");
        // Taken for an update, it would make the damaged copy the previous one.
        RepairInstallRows::row("a damaged copy whose note names another version", "note names 1.5", "");
        RepairInstallRows::row("the download fails", "download fails", "The download failed.");
        RepairInstallRows::row("cancelled while downloading", "cancelled", "The install was cancelled.");
        RepairInstallRows::row("the catalog offers another version", "other version", "The catalog no longer offers version 2.0.");
    }

    void repairInstallKeepsThePreviousCopy()
    {
        const auto [how, message] = RepairInstallRows::fetch();
        InstallSandbox sandbox;
        const QByteArray v1 = damageableApp("1.0").build();
        // Stored, so a throttled download of it lasts.
        const QByteArray v2 = damageableApp("2.0").setStored(true).build();
        LoopbackHttpServer server;
        server.serve("/v1.zip", LoopbackHttpServer::Response::text(200, v1));
        LoopbackHttpServer::Response second = LoopbackHttpServer::Response::text(200, v2);
        server.serve("/v2.zip", second);
        QVERIFY(sandbox.install(notesRelease(server.url("/v1.zip"), v1)).succeeded());
        QVERIFY(sandbox.install(notesRelease(server.url("/v2.zip"), v2, "2.0")).succeeded());
        const QString bundle = sandbox.bundle("Notes.app");
        const QString previous = sandbox.bundle(".Notes.app.previous");
        const QMap<QString, QString> installed = TempHome::fingerprint(bundle);
        flipByte(bundle + QLatin1Char('/') + dataBin, 7);
        QVERIFY(QDir(bundle + "/Contents/Resources/Sub").removeRecursively());
        QCOMPARE(verify(sandbox).repair(), BundleVerification::Repair::reinstall);
        if (how == "note names 1.5") {
            const Notes edited{bundle};
            QJsonObject note = edited.note();
            note.insert("version", "1.5");
            edited.write(TempHome::readFile(edited.treePath()), note);
        }
        const QMap<QString, QString> damaged = TempHome::fingerprint(bundle);
        const QMap<QString, QString> kept = TempHome::fingerprint(previous);
        const QMap<QString, QByteArray> notes = Notes::all(sandbox.installRoot());

        if (how == "download fails")
            server.serve("/v2.zip", LoopbackHttpServer::Response::text(500, "broken"));
        if (how == "cancelled") {
            second.throttleBytes = 16 << 10;
            server.serve("/v2.zip", second);
        }
        const int requests = server.requestCount();
        InstallControl control;
        control.repairVersion = "2.0";
        control.cancel = std::make_shared<std::atomic_bool>(false);
        const AppManifestItem app = how == "other version" ? notesRelease(server.url("/v3.zip"), v2, "3.0")
                                                           : notesRelease(server.url("/v2.zip"), v2, "2.0");
        QCoro::Task<InstalledApp> repair = sandbox.installer().install(app, control);
        if (how == "cancelled") {
            QTRY_COMPARE(server.requestCount(), requests + 1);
            control.cancel->store(true);
        }
        const InstallOutcome outcome = outcomeOf(std::move(repair));
        QCOMPARE(outcome.message(), message);
        QCOMPARE(server.requestCount(), requests + (how == "other version" ? 0 : 1));
        QCOMPARE(TempHome::fingerprint(previous), kept);
        QCOMPARE(sandbox.installedCopies().previousVersion(appId, QUrl::fromLocalFile(bundle)), std::optional<QString>("1.0"));
        QCOMPARE(sandbox.rootEntries(), (QStringList{".Notes.app.previous", "Notes.app"}));
        if (outcome.succeeded()) {
            QCOMPARE(TempHome::fingerprint(bundle), installed);
            QCOMPARE(described(verify(sandbox).findings), QString());
            const QMap<QString, QByteArray> after = Notes::all(sandbox.installRoot());
            QCOMPARE(after.value(".Notes.app.previous.vantrel-receipt"), notes.value(".Notes.app.previous.vantrel-receipt"));
            QCOMPARE(after.size(), notes.size());
        } else {
            QCOMPARE(TempHome::fingerprint(bundle), damaged);
            QCOMPARE(Notes::all(sandbox.installRoot()), notes);
        }
    }
};

QTEST_GUILESS_MAIN(TestVerify)
#include "tst_verify.moc"
