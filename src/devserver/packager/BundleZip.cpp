#include "BundleZip.h"

#include "SampleCatalog.h"
#include "ZipWriter.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>

namespace {

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// The packager's errors name the archive; ZipWriter's text says what failed.
class Writer
{
public:
    explicit Writer(const QString &path) : m_path(path) { check(m_zip.openFile(path)); }

    void directory(const QString &name) { check(m_zip.addDirectory(name.toUtf8())); }

    void file(const QString &name, const QByteArray &data, int mode) { check(m_zip.addFile(name.toUtf8(), data, mode)); }

    // Copies a file in blocks; a program can be large.
    void copy(const QString &name, const QString &source, int mode)
    {
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            throw PackagingError(QStringLiteral("cannot read %1: %2").arg(source, in.errorString()).toStdString());
        check(m_zip.beginFile(name.toUtf8(), in.size(), mode));
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        qint64 read = 0;
        while ((read = in.read(buffer.data(), buffer.size())) > 0)
            check(m_zip.writeData(buffer.constData(), read));
        if (read < 0)
            throw PackagingError(QStringLiteral("cannot read %1: %2").arg(source, in.errorString()).toStdString());
    }

    void close() { check(m_zip.close()); }

private:
    void check(bool ok)
    {
        if (!ok)
            throw PackagingError(QStringLiteral("%1: %2").arg(m_path, m_zip.errorString()).toStdString());
    }

    ZipWriter m_zip;
    QString m_path;
};

}  // namespace

namespace BundleZip {

Icon icon(const SampleArchive &archive)
{
    // A colour of the app's own, the same in every build.
    const QByteArray hash = QCryptographicHash::hash(archive.bundleId.toUtf8(), QCryptographicHash::Sha256);
    const QColor colour = QColor::fromHsv(int(quint8(hash.at(0))) * 359 / 255, 170, 230);
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 256, 256);
    gradient.setColorAt(0, colour.lighter(130));
    gradient.setColorAt(1, colour.darker(140));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(QRectF(8, 8, 240, 240));
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRoundedRect(QRectF(88, 88, 80, 80), 16, 16);
    painter.end();
    const bool icns = QImageWriter::supportedImageFormats().contains("icns");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, icns ? "icns" : "png");
    if (!writer.write(image))
        throw PackagingError(QStringLiteral("cannot draw the icon: %1").arg(writer.errorString()).toStdString());
    return {icns ? QStringLiteral("AppIcon.icns") : QStringLiteral("AppIcon.png"), buffer.data()};
}

QByteArray infoPlist(const SampleArchive &archive, const QString &iconFile)
{
    QByteArray xml;
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    const auto add = [&xml](const char *key, const QString &value) {
        xml += "\t<key>" + QByteArray(key) + "</key>\n\t<string>" + escaped(value) + "</string>\n";
    };
    add("CFBundleExecutable", archive.executable);
    add("CFBundleIconFile", iconFile);
    add("CFBundleIdentifier", archive.bundleId);
    add("CFBundleName", archive.appName);
    add("CFBundlePackageType", QStringLiteral("APPL"));
    add("CFBundleShortVersionString", archive.version);
    add("CFBundleVersion", archive.version);
    xml += "</dict>\n</plist>\n";
    return xml;
}

void write(const SampleArchive &archive, const QString &program, const QString &archivePath)
{
    const QString temporary = archivePath + QStringLiteral(".part");
    QFile::remove(temporary);
    try {
        Writer writer(temporary);
        const QString root = archive.bundleName + QLatin1Char('/');
        writer.directory(root);
        writer.directory(root + QStringLiteral("Contents/"));
        const Icon picture = icon(archive);
        writer.file(root + QStringLiteral("Contents/Info.plist"), infoPlist(archive, picture.fileName), 0644);
        writer.directory(root + QStringLiteral("Contents/Resources/"));
        writer.file(root + QStringLiteral("Contents/Resources/") + picture.fileName, picture.bytes, 0644);
        writer.directory(root + QStringLiteral("Contents/MacOS/"));
        writer.copy(root + QStringLiteral("Contents/MacOS/") + archive.executable, program, 0755);
        writer.close();
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    QFile::remove(archivePath);
    if (!QFile::rename(temporary, archivePath)) {
        QFile::remove(temporary);
        throw PackagingError(QStringLiteral("cannot move %1 into place").arg(archivePath).toStdString());
    }
}

}  // namespace BundleZip
