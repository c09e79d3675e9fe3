#include "PartialAssembly.h"

#include "AppInstallerError.h"
#include "Crc32.h"
#include "EntryInflate.h"
#include "FileError.h"
#include "InstallReceipt.h"
#include "InstallerLayers.h"
#include "Sha256Stream.h"
#include "UniqueFd.h"
#include "errors/LauncherError.h"
#include "faults/FaultPoint.h"

#include <QDir>
#include <QThread>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PartialAssembly {
namespace {

constexpr qint64 blockSize = 1 << 20;

void throwIfCancelled(const std::atomic_bool *cancel)
{
    if (cancel && cancel->load())
        throw AppInstallerError(AppInstallerError::Kind::cancelled);
}

// A file of the new tree as it is written: its SHA-256 and CRC-32 taken on the way.
class PlacedFile
{
public:
    explicit PlacedFile(QByteArray path) : m_path(std::move(path))
    {
        m_fd = UniqueFd(::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!m_fd.isValid())
            throwFileError(QStringLiteral("Could not write"), m_path, errno);
    }

    void write(const char *data, std::size_t length)
    {
        m_sha.update(data, length);
        m_crc.update(data, length);
        m_size += qint64(length);
        while (length > 0) {
            const ssize_t n = ::write(m_fd.get(), data, length);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throwFileError(QStringLiteral("Could not write"), m_path, errno);
            data += n;
            length -= std::size_t(n);
        }
    }

    // Whether it holds what the list says; the mode is the extractor's.
    bool matches(const FileListEntry &entry)
    {
        const bool same = m_size == entry.size && m_sha.finishHex().toLatin1() == entry.sha256;
        if (same && ::fchmod(m_fd.get(), mode_t((entry.mode & 0777) | 0600)) != 0)
            throwFileError(QStringLiteral("Could not write"), m_path, errno);
        return same;
    }

    quint32 crc32() const { return m_crc.value(); }

private:
    QByteArray m_path;
    UniqueFd m_fd;
    Sha256Stream m_sha;
    Crc32 m_crc;
    qint64 m_size = 0;
};

QByteArray placedPath(const QString &extracted, const FileListEntry &entry)
{
    return QFile::encodeName(extracted) + '/' + entry.path;
}

QByteArray topFolder(const QByteArray &path)
{
    return path.left(path.indexOf('/'));
}

// The entry's path below its top folder.
QByteArray below(const FileListEntry &entry)
{
    return entry.path.mid(entry.path.indexOf('/') + 1);
}

// Reads fd to its end in blocks, handing each to take; false on a read error.
template <typename Take>
bool readThrough(int fd, qint64 size, const std::atomic_bool *cancel, Take take)
{
    QByteArray buffer(qsizetype(qMin<qint64>(blockSize, qMax<qint64>(size, 1))), Qt::Uninitialized);
    for (;;) {
        throwIfCancelled(cancel);
        const ssize_t n = ::read(fd, buffer.data(), std::size_t(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        take(buffer.constData(), std::size_t(n));
    }
}

// Copies the installed file at source while hashing it; false when it is not
// a plain file of the listed bytes (the copy is then removed).
bool copyIfSame(const QByteArray &source, const QByteArray &destination, const FileListEntry &entry,
                ExtractedChecksums *checksums, const QByteArray &relative, const std::atomic_bool *cancel)
{
    const UniqueFd in(::open(source.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!in.isValid() || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != entry.size)
        return false;
    bool same = false;
    {
        PlacedFile out(destination);
        same = readThrough(in.get(), entry.size, cancel, [&out](const char *data, std::size_t length) { out.write(data, length); })
            && out.matches(entry);
        if (same && checksums)
            checksums->add(relative, out.crc32());
    }
    if (!same)
        ::unlink(destination.constData());
    return same;
}

enum class Linked { yes, otherBytes, notLinked };

// Links the installed file into the new tree, so its data is shared rather
// than read, written and flushed again: this is what takes an update that
// changed a tenth of the bytes to a third of a whole one's time. Safe
// because no copy is ever written into, only replaced whole, and a file whose
// mode differs is not linked (a chmod would reach the installed copy). The
// linked file itself is then checked, so what is placed is what was hashed.
Linked linkIfSame(const QByteArray &source, const QByteArray &destination, const FileListEntry &entry,
                  ExtractedChecksums *checksums, const QByteArray &relative, const std::atomic_bool *cancel)
{
    // Another file system (a separate /tmp) or one without links: copy instead.
    if (::link(source.constData(), destination.constData()) != 0)
        return Linked::notLinked;
    Linked result = Linked::otherBytes;
    {
        const UniqueFd in(::open(destination.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        const bool plainOfSize = in.isValid() && ::fstat(in.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == entry.size;
        if (plainOfSize && (st.st_mode & 07777) != mode_t((entry.mode & 0777) | 0600)) {
            result = Linked::notLinked;
        } else if (plainOfSize) {
            Sha256Stream sha;
            Crc32 crc;
            const bool read = readThrough(in.get(), entry.size, cancel, [&](const char *data, std::size_t length) {
                sha.update(data, length);
                crc.update(data, length);
            });
            if (read && sha.finishHex().toLatin1() == entry.sha256) {
                result = Linked::yes;
                if (checksums)
                    checksums->add(relative, crc.value());
            }
        }
    }
    if (result != Linked::yes)
        ::unlink(destination.constData());
    return result;
}

// Whether the copy's tree records the file (below its folder) with other
// bytes than the list's, or not at all: then it surely differs.
bool recordedOtherwise(const InstalledFolder &folder, const QByteArray &path, const FileListEntry &entry)
{
    if (!folder.recorded)
        return false;
    const auto recorded = folder.recorded->constFind(path);
    return recorded == folder.recorded->cend() || recorded->first != entry.size || recorded->second != entry.crc32;
}

// Takes the installed file into the new tree when it holds the listed bytes.
bool reuse(const QByteArray &source, const QByteArray &destination, const FileListEntry &entry,
           ExtractedChecksums *checksums, const QByteArray &relative, const std::atomic_bool *cancel)
{
    switch (linkIfSame(source, destination, entry, checksums, relative, cancel)) {
    case Linked::yes:
        return true;
    case Linked::otherBytes:
        return false;
    case Linked::notLinked:
        break;
    }
    return copyIfSame(source, destination, entry, checksums, relative, cancel);
}

}  // namespace

bool hasInstalledCopy(const QString &installRoot, const QString &appId)
{
    const QStringList folders = QDir(installRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return std::any_of(folders.cbegin(), folders.cend(), [&](const QString &name) {
        return InstallReceipt::placedVersion(installRoot + QLatin1Char('/') + name, appId).has_value();
    });
}

QHash<QByteArray, InstalledFolder> installedFolders(const FileList &list, const QString &installRoot, const QString &appId)
{
    QHash<QByteArray, InstalledFolder> folders;
    for (const FileListEntry &entry : list.entries) {
        if (entry.type != FileListEntry::Type::directory || entry.path.contains('/'))
            continue;
        InstalledFolder folder{installRoot + QLatin1Char('/') + QFile::decodeName(entry.path), std::nullopt};
        if (!InstallReceipt::placedVersion(folder.path, appId))
            continue;
        const InstallReceipt::TreeReceipt receipt = InstallReceipt::treeReceipt(folder.path, appId);
        if (receipt.state == InstallReceipt::TreeReceipt::State::described) {
            folder.recorded.emplace();
            for (const BundleEntry &recorded : receipt.tree.entries) {
                if (recorded.type == BundleEntry::Type::file)
                    folder.recorded->insert(recorded.path, {recorded.size, recorded.crc32});
            }
        }
        folders.insert(entry.path, folder);
    }
    return folders;
}

void makeFolders(const FileList &list, const QString &extracted)
{
    for (const FileListEntry &entry : list.entries) {
        if (entry.type != FileListEntry::Type::directory)
            continue;
        const QByteArray path = placedPath(extracted, entry);
        if (::mkdir(path.constData(), 0700) != 0)
            throwFileError(QStringLiteral("Could not create"), path, errno);
    }
}

Sorted sortOut(const FileList &list, const QHash<QByteArray, InstalledFolder> &installed)
{
    Sorted sorted;
    for (qsizetype i = 0; i < list.entries.size(); ++i) {
        const FileListEntry &entry = list.entries[i];
        if (entry.type != FileListEntry::Type::file)
            continue;
        const auto folder = installed.constFind(topFolder(entry.path));
        const bool absent = folder == installed.cend() || recordedOtherwise(*folder, below(entry), entry);
        (absent ? sorted.toFetch : sorted.toLookAt).append(i);
    }
    return sorted;
}

Reused placeReusable(const FileList &list, const QList<qsizetype> &files, const QHash<QByteArray, InstalledFolder> &installed,
                     const QString &extracted, ExtractedChecksums *checksums, const std::atomic_bool *cancel)
{
    if (cancel)
        FaultPoint::hold("reusing", *cancel);
    // Hashing (and copying) share the cores, as an extraction does.
    const int workers = std::clamp(QThread::idealThreadCount(), 1, 4);
    std::atomic<qsizetype> next{0};
    std::vector<Reused> found(static_cast<std::size_t>(workers));
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(workers));
    const auto work = [&](int worker) {
        try {
            for (qsizetype at = next++; at < files.size(); at = next++) {
                throwIfCancelled(cancel);
                const qsizetype i = files[at];
                const FileListEntry &entry = list.entries[i];
                const auto folder = installed.constFind(topFolder(entry.path));
                if (folder != installed.cend()
                    && reuse(QFile::encodeName(folder->path) + '/' + below(entry), placedPath(extracted, entry), entry, checksums,
                             entry.path, cancel))
                    found[std::size_t(worker)].bytes += entry.size;
                else
                    found[std::size_t(worker)].missing.append(i);
                FaultPoint::reach("reusing");
            }
        } catch (...) {
            failures[std::size_t(worker)] = std::current_exception();
            next = files.size();  // the others stop too
        }
    };
    std::vector<std::thread> threads;
    for (int worker = 1; worker < workers; ++worker)
        threads.emplace_back(work, worker);
    work(0);
    for (std::thread &thread : threads)
        thread.join();
    for (const std::exception_ptr &failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
    Reused reused;
    for (const Reused &part : found) {
        reused.bytes += part.bytes;
        reused.missing += part.missing;
    }
    std::sort(reused.missing.begin(), reused.missing.end());
    return reused;
}

QList<Run> runs(const FileList &list, QList<qsizetype> files, qint64 maximumGap, qint64 maximumBytes)
{
    std::sort(files.begin(), files.end(),
              [&list](qsizetype a, qsizetype b) { return list.entries[a].dataOffset < list.entries[b].dataOffset; });
    QList<Run> result;
    for (const qsizetype i : files) {
        const FileListEntry &entry = list.entries[i];
        const qint64 first = entry.dataOffset;
        // An empty entry still needs its (empty) range read: one byte keeps ranges valid.
        const qint64 last = entry.dataOffset + qMax<qint64>(entry.compressedSize, 1) - 1;
        if (!result.isEmpty()) {
            Run &run = result.last();
            if (first <= run.last + 1 + maximumGap && last - run.first + 1 <= maximumBytes) {
                run.last = qMax(run.last, last);
                run.files.append(i);
                continue;
            }
        }
        result.append(Run{first, last, {i}});
    }
    return result;
}

std::optional<QByteArray> unpackRun(const FileList &list, const Run &run, const QString &runFile, const QString &extracted,
                                    ExtractedChecksums *checksums, const std::atomic_bool *cancel)
{
    QFile in(runFile);
    if (!in.open(QIODevice::ReadOnly))
        throwFileError(QStringLiteral("Could not read"), QFile::encodeName(runFile), ENOENT);
    for (const qsizetype i : run.files) {
        throwIfCancelled(cancel);
        const FileListEntry &entry = list.entries[i];
        if (!in.seek(entry.dataOffset - run.first))
            return entry.path;
        PlacedFile out(placedPath(extracted, entry));
        const bool unpacked = EntryInflate::unpack(in, entry.compressedSize, entry.method, entry.size,
                                                   [&out](const char *data, std::size_t length) { out.write(data, length); });
        if (!unpacked || !out.matches(entry) || out.crc32() != entry.crc32)
            return entry.path;
        if (checksums)
            checksums->add(entry.path, out.crc32());
    }
    return std::nullopt;
}

void finish(const FileList &list, const QString &extracted)
{
    for (const FileListEntry &entry : list.entries) {
        if (entry.type != FileListEntry::Type::link)
            continue;
        const QByteArray path = placedPath(extracted, entry);
        if (::symlink(entry.target.constData(), path.constData()) != 0)
            throwFileError(QStringLiteral("Could not create"), path, errno);
    }
    // Deepest first, so a folder closed to its owner is never written into.
    for (auto it = list.entries.crbegin(); it != list.entries.crend(); ++it) {
        if (it->type != FileListEntry::Type::directory)
            continue;
        const QByteArray path = placedPath(extracted, *it);
        if (::chmod(path.constData(), mode_t((it->mode & 0777) | 0700)) != 0)
            throwFileError(QStringLiteral("Could not change"), path, errno);
    }
}

}  // namespace PartialAssembly
