#include "BundleZip.h"

#include "SampleCatalog.h"
#include "ReleasePublisher.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
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

QFileDevice::Permissions modeOf(int mode)
{
    QFileDevice::Permissions permissions;
    const QFileDevice::Permission owner[] = {QFileDevice::ReadOwner, QFileDevice::WriteOwner, QFileDevice::ExeOwner};
    const QFileDevice::Permission group[] = {QFileDevice::ReadGroup, QFileDevice::WriteGroup, QFileDevice::ExeGroup};
    const QFileDevice::Permission other[] = {QFileDevice::ReadOther, QFileDevice::WriteOther, QFileDevice::ExeOther};
    for (int bit = 0; bit < 3; ++bit) {
        const int mask = 4 >> bit;
        if ((mode >> 6) & mask)
            permissions |= owner[bit];
        if ((mode >> 3) & mask)
            permissions |= group[bit];
        if (mode & mask)
            permissions |= other[bit];
    }
    return permissions;
}

void writeFile(const QString &path, const QByteArray &bytes, int mode)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.setPermissions(modeOf(mode)))
        throw PackagingError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()).toStdString());
}

void copyProgram(const QString &program, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFile::copy(program, path) || !QFile::setPermissions(path, modeOf(0755)))
        throw PackagingError(QStringLiteral("cannot copy %1").arg(program).toStdString());
}

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
    // The bundle as a folder, published as any maker's app is: the archive and its file list.
    QTemporaryDir staging;
    if (!staging.isValid())
        throw PackagingError("cannot make a staging folder");
    const QString root = staging.filePath(archive.bundleName);
    const Icon picture = icon(archive);
    writeFile(root + QStringLiteral("/Contents/Info.plist"), infoPlist(archive, picture.fileName), 0644);
    writeFile(root + QStringLiteral("/Contents/Resources/") + picture.fileName, picture.bytes, 0644);
    copyProgram(program, root + QStringLiteral("/Contents/MacOS/") + archive.executable);
    for (const QString &folder : {QStringLiteral("/Contents/MacOS"), QStringLiteral("/Contents/Resources"),
                                  QStringLiteral("/Contents"), QString()})
        QFile::setPermissions(root + folder, modeOf(0755));
    const QFileInfo target(archivePath);
    try {
        ReleasePublisher::publish(root, target.absolutePath(), target.fileName());
    } catch (const PublishError &error) {
        throw PackagingError(error.what());
    }
}

}  // namespace BundleZip
