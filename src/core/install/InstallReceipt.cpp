#include "InstallReceipt.h"

#include "InstallLocks.h"
#include "Sha256Stream.h"
#include "UniqueFd.h"
#include "catalog/ManifestDecoder.h"
#include "errors/LauncherError.h"
#include "faults/FaultPoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QUuid>

#include <fcntl.h>
#include <sys/stat.h>

namespace InstallReceipt {
namespace {

QString receiptPath(const QString &installRoot, const QString &name)
{
    // Hidden folders (a kept previous copy) keep a single leading dot in their note's name.
    const QString plain = name.startsWith(QLatin1Char('.')) ? name.mid(1) : name;
    return installRoot + QStringLiteral("/.") + plain + QStringLiteral(".vantrel-receipt");
}

QString receiptOf(const QString &path)
{
    const QFileInfo info(path);
    return receiptPath(info.absolutePath(), info.fileName());
}

constexpr qint64 maxNoteSize = 64 * 1024;
// Far above the 500,000 entries an archive may hold.
constexpr qint64 maxTreeSize = qint64(256) << 20;

const QString treeSuffix = QStringLiteral(".vantrel-tree");

// ".<bundle>.<UUID>.vantrel-tree": a plain name in the install root, never a path.
const QRegularExpression &treeFilePattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\.([^/]+)\\.[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.vantrel-tree$"));
    return pattern;
}

QString writeTree(const QString &installRoot, const QString &bundleName, const QByteArray &bytes)
{
    const QString name = QStringLiteral(".") + bundleName + QLatin1Char('.')
        + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + treeSuffix;
    QSaveFile file(installRoot + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("Could not write the install note for \"%1\": %2").arg(bundleName, file.errorString()));
    }
    return name;
}

// A regular file's bytes, never through a link and never more than cap;
// nullopt when it cannot be read or is larger. A named pipe or a device put
// in a note's place neither hangs the read nor fills the memory.
std::optional<QByteArray> readSmallFile(const QString &path, qint64 cap)
{
    const UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd.isValid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > cap)
        return std::nullopt;
    QFile file;
    if (!file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    QByteArray bytes = file.read(cap + 1);
    if (bytes.size() > cap)
        return std::nullopt;
    return bytes;
}

// The tree file a note names, when it names one.
QString treeNameIn(const QJsonObject &note)
{
    return note.value(QStringLiteral("tree")).toObject().value(QStringLiteral("file")).toString();
}

std::optional<QString> identity(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    // Inode numbers get reused once a folder is deleted, so the folder's
    // creation time joins them (its modification time where the filesystem
    // keeps no creation time).
    qint64 seconds = st.st_mtim.tv_sec;
    qint64 nanoseconds = st.st_mtim.tv_nsec;
#if defined(__linux__) && defined(STATX_BTIME)
    struct statx sx {};
    if (::statx(AT_FDCWD, name.constData(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME)
        && sx.stx_btime.tv_sec != 0) {
        seconds = sx.stx_btime.tv_sec;
        nanoseconds = sx.stx_btime.tv_nsec;
    }
#elif defined(__APPLE__)
    seconds = st.st_birthtimespec.tv_sec;
    nanoseconds = st.st_birthtimespec.tv_nsec;
#endif
    return QStringLiteral("%1:%2:%3.%4")
        .arg(quint64(st.st_dev))
        .arg(quint64(st.st_ino))
        .arg(seconds)
        .arg(nanoseconds);
}

}  // namespace

void write(const QString &installRoot, const QString &bundleName, const AppManifestItem &app, const QString &staged,
           const BundleTree *tree)
{
    const std::optional<QString> id = identity(staged);
    if (!id)
        throw PlatformError(PlatformError::Domain::fileSystem, QStringLiteral("The staged copy is missing."), ENOENT);
    // Release notes can be long and say nothing about the copy on disk.
    AppManifestItem kept = app;
    kept.releaseNotes.clear();
    QJsonObject note{{QStringLiteral("appId"), app.id},
                     {QStringLiteral("version"), app.version},
                     {QStringLiteral("identity"), *id},
                     {QStringLiteral("app"), ManifestDecoder::encodeApp(kept)}};
    if (tree) {
        const QByteArray bytes = tree->encode();
        Sha256Stream digest;
        digest.update(bytes.constData(), size_t(bytes.size()));
        note.insert(QStringLiteral("tree"), QJsonObject{{QStringLiteral("file"), writeTree(installRoot, bundleName, bytes)},
                                                       {QStringLiteral("sha256"), digest.finishHex()}});
        // Killed here, the old note still names a tree that is there.
        FaultPoint::reach("tree-written");
    }
    writeNote(installRoot + QLatin1Char('/') + bundleName, QJsonDocument(note).toJson(QJsonDocument::Compact));
}

TreeReceipt treeReceipt(const QString &bundlePath, const QString &appId)
{
    TreeReceipt receipt;
    const auto unreadable = [&receipt](const QString &problem) {
        receipt.state = TreeReceipt::State::unreadable;
        receipt.problem = problem;
        return receipt;
    };
    const QByteArray bytes = noteOf(bundlePath);
    if (bytes.isEmpty() && !QFileInfo::exists(receiptOf(bundlePath))) {
        // Installed before the installer left notes at all.
        receipt.state = TreeReceipt::State::legacy;
        return receipt;
    }
    const QJsonObject note = QJsonDocument::fromJson(bytes).object();
    if (note.isEmpty())
        return unreadable(QStringLiteral("the note is not a JSON object or is too large"));
    if (note.value(QStringLiteral("appId")).toString() != appId || !note.value(QStringLiteral("version")).isString())
        return unreadable(QStringLiteral("the note is for another app"));
    if (note.value(QStringLiteral("identity")).toString() != identity(bundlePath))
        return unreadable(QStringLiteral("the note describes another copy"));
    receipt.version = note.value(QStringLiteral("version")).toString();
    if (!note.contains(QStringLiteral("tree"))) {
        receipt.state = TreeReceipt::State::legacy;
        return receipt;
    }
    const QString name = treeNameIn(note);
    const QString expected = note.value(QStringLiteral("tree")).toObject().value(QStringLiteral("sha256")).toString();
    if (!treeFilePattern().match(name).hasMatch())
        return unreadable(QStringLiteral("the note names no tree file"));
    const std::optional<QByteArray> treeBytes = readSmallFile(QFileInfo(bundlePath).absolutePath() + QLatin1Char('/') + name, maxTreeSize);
    if (!treeBytes)
        return unreadable(QStringLiteral("the tree file cannot be read"));
    Sha256Stream digest;
    digest.update(treeBytes->constData(), size_t(treeBytes->size()));
    if (digest.finishHex() != expected)
        return unreadable(QStringLiteral("the tree file is not the one the note names"));
    QString problem;
    std::optional<BundleTree> tree = BundleTree::decode(*treeBytes, &problem);
    if (!tree)
        return unreadable(QStringLiteral("the tree file is refused: ") + problem);
    receipt.state = TreeReceipt::State::described;
    receipt.tree = std::move(*tree);
    return receipt;
}

namespace {

// Tree files of the root by the bundle they belong to, the ones its notes
// name, and the apps the notes are for.
struct TreeFiles {
    QHash<QString, QStringList> byBundle;
    QSet<QString> named;
    QHash<QString, QString> appIdByNote;

    explicit TreeFiles(const QString &installRoot)
    {
        const QDir root(installRoot);
        for (const QString &name : root.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (const QRegularExpressionMatch match = treeFilePattern().match(name); match.hasMatch()) {
                byBundle[match.captured(1)].append(name);
            } else if (name.endsWith(QLatin1String(".vantrel-receipt"))) {
                const QJsonObject note
                    = QJsonDocument::fromJson(readSmallFile(root.filePath(name), maxNoteSize).value_or(QByteArray())).object();
                named.insert(treeNameIn(note));
                appIdByNote.insert(name, note.value(QStringLiteral("appId")).toString());
            }
        }
    }

    QStringList unnamed(const QString &bundleName) const
    {
        QStringList found = byBundle.value(bundleName);
        found.removeIf([this](const QString &name) { return named.contains(name); });
        return found;
    }

    // The apps of the notes of the bundle and of its copies (".<bundle>.<more>.vantrel-receipt").
    QStringList appIdsOf(const QString &bundleName) const
    {
        QStringList ids;
        for (auto it = appIdByNote.cbegin(); it != appIdByNote.cend(); ++it) {
            if (it.key().startsWith(QLatin1Char('.') + bundleName + QLatin1Char('.')) && !it.value().isEmpty())
                ids.append(it.value());
        }
        return ids;
    }

    int removeUnnamed(const QString &installRoot, const QString &bundleName) const
    {
        int removed = 0;
        for (const QString &name : unnamed(bundleName)) {
            if (QFile::remove(installRoot + QLatin1Char('/') + name))
                ++removed;
        }
        return removed;
    }
};

}  // namespace

void removeUnreferencedTrees(const QString &installRoot, const QString &bundleName)
{
    TreeFiles(installRoot).removeUnnamed(installRoot, bundleName);
}

int removeDeadTrees(const QString &installRoot)
{
    const TreeFiles found(installRoot);
    int removed = 0;
    for (auto it = found.byBundle.cbegin(); it != found.byBundle.cend(); ++it) {
        const QString &bundleName = it.key();
        // An install placing the bundle may have written its tree and not yet its note.
        if (found.unnamed(bundleName).isEmpty() || InstallLocks::placementInFlight(installRoot, bundleName))
            continue;
        // Installs, roll backs (which rewrite both notes, one after the
        // other) and removals change notes under the app's lock: held here,
        // none is halfway.
        std::vector<std::unique_ptr<FileLock>> held;
        bool free = true;
        for (const QString &appId : found.appIdsOf(bundleName)) {
            try {
                std::unique_ptr<FileLock> lock = FileLock::tryAcquire(InstallLocks::appLockPath(installRoot, appId));
                free = free && lock;
                if (lock)
                    held.push_back(std::move(lock));
            } catch (const PlatformError &) {
                free = false;
            }
        }
        if (free)
            removed += TreeFiles(installRoot).removeUnnamed(installRoot, bundleName);
        for (const std::unique_ptr<FileLock> &lock : held)
            lock->removeAndRelease();
    }
    return removed;
}

std::optional<QString> placedVersion(const QString &bundlePath, const QString &appId)
{
    const QJsonObject note = QJsonDocument::fromJson(noteOf(bundlePath)).object();
    const QJsonValue version = note.value(QStringLiteral("version"));
    if (note.value(QStringLiteral("appId")).toString() != appId || !version.isString()
        || note.value(QStringLiteral("identity")).toString() != identity(bundlePath))
        return std::nullopt;
    return version.toString();
}

std::optional<AppManifestItem> recordedApp(const QString &bundlePath, const QString &appId)
{
    const QJsonObject note = QJsonDocument::fromJson(noteOf(bundlePath)).object();
    if (note.value(QStringLiteral("appId")).toString() != appId || !note.value(QStringLiteral("app")).isObject())
        return std::nullopt;
    try {
        const AppManifestItem app = ManifestDecoder::decodeApp(note.value(QStringLiteral("app")).toObject());
        if (app.id == appId)
            return app;
    } catch (const DecodingError &) {
        // A note edited by hand names nothing then.
    }
    return std::nullopt;
}

QByteArray noteOf(const QString &path)
{
    return readSmallFile(receiptOf(path), maxNoteSize).value_or(QByteArray());
}

void writeNote(const QString &path, const QByteArray &note)
{
    if (note.isEmpty()) {
        remove(path);
        return;
    }
    QSaveFile file(receiptOf(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(note) != note.size() || !file.commit()) {
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("Could not write the install note for \"%1\": %2")
                                .arg(QFileInfo(path).fileName(), file.errorString()));
    }
}

void exchange(const QString &a, const QString &b)
{
    const QByteArray noteOfA = noteOf(a);
    writeNote(a, noteOf(b));
    writeNote(b, noteOfA);
}

void remove(const QString &path) noexcept
{
    QFile::remove(receiptOf(path));
}

}  // namespace InstallReceipt
