#include "BundleFolder.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <stdexcept>

namespace BundleFolder {
namespace {

struct Rng {
    quint64 s;
    quint64 next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
};

QByteArray content(qint64 size, quint64 seed, bool text)
{
    static const char *words[] = {"window ", "layout ", "display ", "value ", "<string>", "</string>\n", "return ",
                                  "const ", "notes ", "folder ", "the ", "and ", "= ", "{\n", "}\n", "localized "};
    QByteArray bytes;
    bytes.reserve(size);
    Rng rng{seed * 0x9e3779b97f4a7c15ULL + 1};
    while (bytes.size() < size) {
        const quint64 r = rng.next();
        if (text)
            bytes += words[r % (sizeof words / sizeof *words)];
        else
            bytes.append(reinterpret_cast<const char *>(&r), sizeof r);
    }
    bytes.truncate(size);
    return bytes;
}

void put(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.setPermissions(permissions))
        throw std::runtime_error(("cannot write " + path).toStdString());
}

}  // namespace

qint64 write(const QString &root, const Shape &shape, int generation)
{
    const QString app = root + QStringLiteral("/Bench.app");
    QDir(app).removeRecursively();
    const auto plain = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const auto program = plain | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    put(app + QStringLiteral("/Contents/Info.plist"),
        QStringLiteral("<?xml version=\"1.0\"?>\n<plist version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>com.vantrel.bench</string>"
                       "<key>CFBundleExecutable</key><string>Bench</string><key>CFBundleVersion</key><string>%1</string></dict></plist>\n")
            .arg(generation + 1)
            .toUtf8(),
        plain);
    put(app + QStringLiteral("/Contents/MacOS/Bench"), content(256 << 10, 7, false), program);
    // Changed files weigh about twice the others: a twentieth of the files, a tenth of the bytes.
    const int changed = (shape.files + shape.changeEvery - 1) / shape.changeEvery;
    const double weight = shape.changeEvery == 1 ? 1.0 : 2.1;
    const qint64 unit = qint64(double(shape.unpackedBytes) / (shape.files - changed + changed * weight));
    qint64 total = 0;
    for (int i = 0; i < shape.files; ++i) {
        // Both kinds of content change: pairs of neighbours, one text, one binary.
        const bool changes = shape.changeEvery == 1 || i % (2 * shape.changeEvery) < 2;
        const qint64 size = changes ? qint64(unit * weight) : unit;
        const quint64 seed = quint64(i) + (changes ? quint64(generation) * 1000003ULL : 0);
        const QString path = app + QStringLiteral("/Contents/Resources/%1/file%2.%3")
                                       .arg(i % 40, 2, 10, QLatin1Char('0'))
                                       .arg(i, 4, 10, QLatin1Char('0'))
                                       .arg(i % 2 ? QStringLiteral("bin") : QStringLiteral("txt"));
        put(path, content(size, seed, i % 2 == 0), plain);
        total += size;
    }
    return total;
}

}  // namespace BundleFolder
