#include "BundleVerifier.h"

#include "BundleTree.h"
#include "HeldFolder.h"
#include "InstallReceipt.h"
#include "RelativePath.h"
#include "Crc32.h"
#include "errors/LauncherError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <system_error>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace BundleVerifier {
namespace {

using Kind = VerificationFinding::Kind;
using Type = BundleEntry::Type;

constexpr size_t readBlockSize = 1 << 20;
constexpr int mostThreads = 4;
// Below this much to read a second thread costs more than it saves.
constexpr qint64 bytesPerThread = qint64(8) << 20;

[[noreturn]] void throwReadError(const QByteArray &path, int error)
{
    throw PlatformError(PlatformError::Domain::fileSystem,
                        QStringLiteral("Could not read \"%1\": %2")
                            .arg(QFile::decodeName(HeldFolder::nameOf(path)), QString::fromLocal8Bit(std::strerror(error))),
                        error);
}

struct Stopped {};

// A file whose content is still to be compared.
struct ContentCheck {
    QByteArray path;
    qint64 size = 0;
    quint32 crc32 = 0;
};

// The entries' types and bits first, on one thread; then the contents, on several.
class Comparison
{
public:
    Comparison(const HeldFolder &bundle, const BundleTree &tree, const std::atomic_bool *cancel, VerifyProgress *progress)
        : m_bundle(bundle), m_tree(tree), m_cancel(cancel), m_progress(progress)
    {
        m_names[QByteArray()];
        for (const BundleEntry &entry : tree.entries)
            m_names[HeldFolder::parentOf(entry.path)].insert(HeldFolder::nameOf(entry.path));
    }

    void checkEntries()
    {
        m_folders.append(QByteArray());
        for (const BundleEntry &entry : m_tree.entries) {
            checkpoint();
            if (!isBelowSkipped(entry.path))
                checkEntry(entry);
        }
        for (const ContentCheck &file : std::as_const(m_contents))
            m_contentBytes += file.size;
        if (m_progress)
            m_progress->totalBytes.store(m_contentBytes);
    }

    // Whatever the folders that are still folders hold beyond the tree.
    void listExtras()
    {
        for (const QByteArray &folder : std::as_const(m_folders)) {
            checkpoint();
            UniqueFd fd = m_bundle.openFolder(folder);
            DIR *dir = fd.isValid() ? ::fdopendir(fd.get()) : nullptr;
            if (!dir)
                continue;  // gone or closed to us since: its own finding tells
            fd.release();  // the listing closes it
            const QSet<QByteArray> &known = m_names[folder];
            while (const dirent *item = ::readdir(dir)) {
                const QByteArray name(item->d_name);
                if (name != "." && name != ".." && !known.contains(name))
                    add(Kind::extra, folder.isEmpty() ? name : folder + '/' + name);
            }
            ::closedir(dir);
        }
    }

    void compareContents(int threads)
    {
        // Largest first, so the threads end together.
        std::sort(m_contents.begin(), m_contents.end(), [](const ContentCheck &a, const ContentCheck &b) { return a.size > b.size; });
        const int wanted = threads > 0 ? threads : std::clamp(QThread::idealThreadCount(), 1, mostThreads);
        const int count = int(std::clamp<qint64>(m_contentBytes / bytesPerThread, 1, wanted));
        std::atomic<qsizetype> next{0};
        const auto work = [&] {
            try {
                QByteArray buffer(readBlockSize, Qt::Uninitialized);
                for (qsizetype i = next++; i < m_contents.size(); i = next++)
                    compareContent(m_contents[i], buffer);
            } catch (...) {
                fail(std::current_exception());
            }
        };
        std::vector<std::thread> helpers;
        try {
            for (int k = 1; k < count; ++k)
                helpers.emplace_back(work);
        } catch (const std::system_error &) {
            // Fewer threads then; this one does the rest.
        }
        work();
        for (std::thread &helper : helpers)
            helper.join();
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

    QList<VerificationFinding> findings()
    {
        std::sort(m_findings.begin(), m_findings.end(), [](const VerificationFinding &a, const VerificationFinding &b) {
            return a.path != b.path ? a.path < b.path : a.kind < b.kind;
        });
        return m_findings;
    }

private:
    void checkpoint() const
    {
        if ((m_cancel && m_cancel->load()) || m_stop.load())
            throw Stopped{};
    }

    void add(Kind kind, const QByteArray &path)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_findings.append({kind, path});
    }

    bool hasFinding(Kind kind, const QByteArray &path)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_findings.contains(VerificationFinding{kind, path});
    }

    void fail(std::exception_ptr error)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_failure)
            m_failure = error;
        m_stop.store(true);
    }

    bool isBelowSkipped(const QByteArray &path) const
    {
        for (qsizetype slash = path.indexOf('/'); slash >= 0; slash = path.indexOf('/', slash + 1)) {
            if (m_skipped.contains(path.left(slash)))
                return true;
        }
        return false;
    }

    // The folder an entry is in, kept open for its siblings that follow; -1 with errno set when it cannot be opened.
    int parentOf(const QByteArray &path)
    {
        const QByteArray parent = HeldFolder::parentOf(path);
        if (!m_parent.isValid() || parent != m_parentPath) {
            m_parent = UniqueFd();
            m_parent = m_bundle.openFolder(parent);
            m_parentError = errno;
            m_parentPath = parent;
        }
        errno = m_parentError;
        return m_parent.get();
    }

    void checkEntry(const BundleEntry &entry)
    {
        const int parent = parentOf(entry.path);
        const QByteArray name = HeldFolder::nameOf(entry.path);
        struct stat st {};
        if (parent < 0 || ::fstatat(parent, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            m_skipped.insert(entry.path);
            // A folder above that went since, or became something else, leaves this one gone too.
            if (error == ENOENT || error == ENOTDIR || error == ELOOP)
                add(Kind::missing, entry.path);
            else if (error != EACCES)  // a folder whose bits changed: its finding tells
                throwReadError(entry.path, error);
            return;
        }
        if (S_ISLNK(st.st_mode)) {
            checkLink(entry, parent, name);
            return;
        }
        const bool sameType = entry.type == Type::directory ? S_ISDIR(st.st_mode)
                            : entry.type == Type::file      ? S_ISREG(st.st_mode)
                                                            : false;
        if (!sameType) {
            add(entry.type == Type::link ? Kind::linkChanged : Kind::changed, entry.path);
            m_skipped.insert(entry.path);
            return;
        }
        if (int(st.st_mode & 0777) != entry.mode)
            add(Kind::permissions, entry.path);
        if (entry.type == Type::directory)
            m_folders.append(entry.path);
        else if (qint64(st.st_size) != entry.size)
            add(Kind::changed, entry.path);
        else
            m_contents.append({entry.path, entry.size, entry.crc32});
    }

    void checkLink(const BundleEntry &entry, int parent, const QByteArray &name)
    {
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlinkat(parent, name.constData(), target.data(), size_t(target.size()));
        if (n < 0 || n >= target.size())
            throwReadError(entry.path, n < 0 ? errno : ENAMETOOLONG);
        target.truncate(n);
        if (entry.type != Type::file)
            m_skipped.insert(entry.path);
        if (entry.type == Type::link && target == entry.target)
            return;
        if (!RelativePath::targetStaysInside(entry.path.split('/'), target))
            add(Kind::linkLeadsOut, entry.path);
        else
            add(entry.type == Type::link ? Kind::linkChanged : Kind::changed, entry.path);
    }

    void compareContent(const ContentCheck &file, QByteArray &buffer)
    {
        const UniqueFd fd = m_bundle.openFile(file.path);
        struct stat st {};
        if (!fd.isValid() || ::fstat(fd.get(), &st) != 0) {
            const int error = errno;
            if (error == ENOENT || error == ENOTDIR)
                add(Kind::missing, file.path);
            else if (error == ELOOP)
                add(Kind::changed, file.path);
            else if (error != EACCES || !hasFinding(Kind::permissions, file.path))
                throwReadError(file.path, error);
            return;
        }
        if (!S_ISREG(st.st_mode) || qint64(st.st_size) != file.size) {
            add(Kind::changed, file.path);
            return;
        }
#ifdef POSIX_FADV_SEQUENTIAL
        ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
        Crc32 checksum;
        for (;;) {
            checkpoint();
            const ssize_t n = ::read(fd.get(), buffer.data(), size_t(buffer.size()));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throwReadError(file.path, errno);
            if (n == 0)
                break;
            checksum.update(buffer.constData(), size_t(n));
            if (m_progress)
                m_progress->readBytes.fetch_add(n, std::memory_order_relaxed);
        }
        if (checksum.value() != file.crc32)
            add(Kind::changed, file.path);
    }

    const HeldFolder &m_bundle;
    const BundleTree &m_tree;
    const std::atomic_bool *m_cancel;
    VerifyProgress *m_progress;
    // What the tree puts in each folder ("" is the bundle).
    QHash<QByteArray, QSet<QByteArray>> m_names;
    // Entries whose content, if any, is not looked into: gone or something else now.
    QSet<QByteArray> m_skipped;
    QList<QByteArray> m_folders;
    QList<ContentCheck> m_contents;
    qint64 m_contentBytes = 0;
    QByteArray m_parentPath;
    UniqueFd m_parent;
    int m_parentError = 0;

    std::mutex m_mutex;
    QList<VerificationFinding> m_findings;
    std::exception_ptr m_failure;
    std::atomic_bool m_stop{false};
};

}  // namespace

BundleVerification verify(const QString &bundlePath, const QString &appId, const std::atomic_bool *cancel,
                          VerifyProgress *progress, int threads)
{
    const HeldFolder bundle(bundlePath);
    const InstallReceipt::TreeReceipt receipt = InstallReceipt::treeReceipt(bundlePath, appId);
    BundleVerification result;
    result.receiptVersion = receipt.version;
    switch (receipt.state) {
    case InstallReceipt::TreeReceipt::State::legacy:
        result.status = BundleVerification::Status::legacyReceipt;
        return result;
    case InstallReceipt::TreeReceipt::State::unreadable:
        result.status = BundleVerification::Status::unreadableReceipt;
        result.problem = receipt.problem;
        return result;
    case InstallReceipt::TreeReceipt::State::described:
        break;
    }
    Comparison comparison(bundle, receipt.tree, cancel, progress);
    try {
        comparison.checkEntries();
        comparison.listExtras();
        comparison.compareContents(threads);
    } catch (const Stopped &) {
        result.status = BundleVerification::Status::cancelled;
        return result;
    }
    if (!bundle.isAt(bundlePath)) {
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("\"%1\" was replaced while it was checked.").arg(QFileInfo(bundlePath).fileName()), EAGAIN);
    }
    result.findings = comparison.findings();
    const bool damaged = std::any_of(result.findings.cbegin(), result.findings.cend(),
                                     [](const VerificationFinding &f) { return f.kind != Kind::extra; });
    result.status = damaged ? BundleVerification::Status::damaged : BundleVerification::Status::intact;
    return result;
}

}  // namespace BundleVerifier
