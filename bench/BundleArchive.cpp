#include "BundleArchive.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <archive.h>
#include <archive_entry.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

namespace BundleArchive {
namespace {

struct Rng {
    uint64_t s;
    uint64_t next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
    double unit() { return double(next() >> 11) / double(1ULL << 53); }
};

void fillRandom(Rng &rng, char *data, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const uint64_t v = rng.next();
        std::memcpy(data + i, &v, 8);
    }
    for (; i < n; ++i)
        data[i] = char(rng.next());
}

// Text-like content that deflates to roughly a third.
void fillText(Rng &rng, char *data, size_t n)
{
    static const char *words[] = {"window", "layout", "display", "\"key\"", "value", "<string>", "</string>",
                                  "return", "function", "const", "static", "notes", "sync", "folder",
                                  "the", "of", "and", "to", "a", "in", "is", "for", "on", "with", "=", "{", "}",
                                  "localized", "NSString", "config", "0x", "true", "false", "\n", "\n  ", ";"};
    constexpr size_t wordCount = sizeof words / sizeof *words;
    size_t i = 0;
    while (i < n) {
        const uint64_t r = rng.next();
        const char *w = words[r % wordCount];
        if ((r >> 20) % 7 == 0) {
            char number[24];
            const int len = std::snprintf(number, sizeof number, "%u ", unsigned((r >> 32) % 100000));
            for (int k = 0; k < len && i < n; ++k)
                data[i++] = number[k];
            continue;
        }
        for (const char *p = w; *p && i < n; ++p)
            data[i++] = *p;
        if (i < n)
            data[i++] = ' ';
    }
}

struct ArchiveDeleter {
    void operator()(struct archive *a) const { archive_write_free(a); }
};

class Writer
{
public:
    explicit Writer(const QString &path)
        : m_a(archive_write_new())
    {
        archive_write_set_format_zip(m_a.get());
        if (archive_write_open_filename(m_a.get(), QFile::encodeName(path).constData()) != ARCHIVE_OK)
            fail();
    }

    void dir(const std::string &path)
    {
        if (!m_dirs.insert(path).second)
            return;
        const size_t slash = path.rfind('/', path.size() - 2);
        if (slash != std::string::npos)
            dir(path.substr(0, slash + 1));
        entry(path, AE_IFDIR, 0755, 0, nullptr, false);
    }

    void file(const std::string &path, const QByteArray &content, bool executable, bool store)
    {
        dir(path.substr(0, path.rfind('/') + 1));
        entry(path, AE_IFREG, executable ? 0755 : 0644, content.size(), &content, store);
        ++written.files;
        written.unpackedBytes += content.size();
    }

    void link(const std::string &path, const std::string &target)
    {
        std::unique_ptr<archive_entry, void (*)(archive_entry *)> e(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(e.get(), path.c_str());
        archive_entry_set_filetype(e.get(), AE_IFLNK);
        archive_entry_set_perm(e.get(), 0755);
        archive_entry_set_symlink(e.get(), target.c_str());
        archive_entry_set_mtime(e.get(), std::time(nullptr), 0);
        if (archive_write_header(m_a.get(), e.get()) != ARCHIVE_OK)
            fail();
        ++written.links;
    }

    void close()
    {
        if (archive_write_close(m_a.get()) != ARCHIVE_OK)
            fail();
    }

    Written written;

private:
    void entry(const std::string &path, int type, int perm, qint64 size, const QByteArray *content, bool store)
    {
        // Already-compressed content is stored, as packaging tools do.
        if (store)
            archive_write_zip_set_compression_store(m_a.get());
        else
            archive_write_zip_set_compression_deflate(m_a.get());
        std::unique_ptr<archive_entry, void (*)(archive_entry *)> e(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(e.get(), path.c_str());
        archive_entry_set_filetype(e.get(), type);
        archive_entry_set_perm(e.get(), perm);
        archive_entry_set_size(e.get(), size);
        archive_entry_set_mtime(e.get(), std::time(nullptr), 0);
        if (archive_write_header(m_a.get(), e.get()) != ARCHIVE_OK)
            fail();
        if (content && !content->isEmpty()
            && archive_write_data(m_a.get(), content->constData(), size_t(content->size())) != content->size())
            fail();
    }

    [[noreturn]] void fail()
    {
        throw std::runtime_error(std::string("archive: ") + (archive_error_string(m_a.get()) ?: "unknown error"));
    }

    std::unique_ptr<struct archive, ArchiveDeleter> m_a;
    std::set<std::string> m_dirs;
};

QByteArray infoPlist()
{
    return QByteArray(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<dict>\n"
        "  <key>CFBundleIdentifier</key>\n  <string>")
        + bundleIdentifier
        + "</string>\n  <key>CFBundleExecutable</key>\n  <string>Bench</string>\n"
          "  <key>CFBundleShortVersionString</key>\n  <string>1.0.0</string>\n</dict>\n</plist>\n";
}

}  // namespace

Written write(const QString &path, const Shape &shape)
{
    Rng rng{0x9E3779B97F4A7C15ULL};
    const int files = std::max(8, shape.files);
    constexpr int frameworks = 8;

    // Log-uniform sizes from 256 bytes to 16 MiB, scaled to the wanted total.
    QList<double> raw;
    double rawSum = 0;
    for (int i = 0; i < files; ++i) {
        raw.append(std::exp(std::log(256.0) + rng.unit() * (std::log(16.0 * 1024 * 1024) - std::log(256.0))));
        rawSum += raw.last();
    }
    const double scale = double(shape.unpackedBytes) / rawSum;

    const std::string root = std::string(bundleName) + "/Contents/";
    Writer w(path);
    w.file(root + "Info.plist", infoPlist(), false, false);
    for (int i = 0; i < files - 1; ++i) {
        const qint64 size = std::max<qint64>(16, qint64(raw[i] * scale));
        const bool incompressible = rng.unit() < shape.incompressibleShare;
        QByteArray content(size, Qt::Uninitialized);
        if (incompressible)
            fillRandom(rng, content.data(), size_t(size));
        else
            fillText(rng, content.data(), size_t(size));

        std::string name;
        bool executable = false;
        if (i == 0) {
            name = root + "MacOS/Bench";
            executable = true;
        } else if (i % 4 == 1) {
            const int fw = (i / 4) % frameworks;
            const std::string base = root + "Frameworks/Kit" + std::to_string(fw) + ".framework/Versions/A/";
            if (i / 4 < frameworks) {
                name = base + "Kit" + std::to_string(fw);
                executable = true;
            } else {
                name = base + "Resources/r" + std::to_string(i) + (incompressible ? ".png" : ".strings");
            }
        } else {
            const int folder = i % 40;
            name = root + "Resources/" + (folder < 12 ? "lang" + std::to_string(folder) + ".lproj/"
                                                      : "assets" + std::to_string(folder) + "/")
                + "item" + std::to_string(i) + (incompressible ? ".png" : ".txt");
        }
        w.file(name, content, executable, incompressible);
    }
    // Framework layout: Current -> A, and the top-level names through Current.
    for (int fw = 0; fw < frameworks && fw * 4 + 1 < files - 1; ++fw) {
        const std::string kit = "Kit" + std::to_string(fw);
        const std::string base = root + "Frameworks/" + kit + ".framework/";
        w.link(base + "Versions/Current", "A");
        w.link(base + kit, "Versions/Current/" + kit);
        if (4 * (frameworks + fw) + 1 < files - 1)
            w.link(base + "Resources", "Versions/Current/Resources");
    }
    w.close();
    Written result = w.written;
    result.archiveBytes = QFile(path).size();
    return result;
}

}  // namespace BundleArchive
