#include "BundleArchive.h"

#include "ZipWriter.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

// The bundle's own layout rules over the one ZIP writer: every folder once,
// parents first; already-compressed content stored, as packaging tools do.
class Writer
{
public:
    explicit Writer(const QString &path)
    {
        check(m_zip.openFile(path));
    }

    void dir(const std::string &path)
    {
        if (!m_dirs.insert(path).second)
            return;
        const size_t slash = path.rfind('/', path.size() - 2);
        if (slash != std::string::npos)
            dir(path.substr(0, slash + 1));
        check(m_zip.addDirectory(QByteArray::fromStdString(path)));
    }

    void file(const std::string &path, const QByteArray &content, bool executable, bool store)
    {
        dir(path.substr(0, path.rfind('/') + 1));
        check(m_zip.setCompression(store ? ZipWriter::Compression::store : ZipWriter::Compression::deflate));
        check(m_zip.addFile(QByteArray::fromStdString(path), content, executable ? 0755 : 0644));
        ++written.files;
        written.unpackedBytes += content.size();
    }

    void link(const std::string &path, const std::string &target)
    {
        check(m_zip.addSymlink(QByteArray::fromStdString(path), QByteArray::fromStdString(target), 0755));
        ++written.links;
    }

    void close() { check(m_zip.close()); }

    Written written;

private:
    void check(bool ok)
    {
        if (!ok)
            throw std::runtime_error("archive: " + m_zip.errorString().toStdString());
    }

    ZipWriter m_zip;
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
