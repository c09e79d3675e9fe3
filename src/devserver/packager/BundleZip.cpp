#include "BundleZip.h"

#include "DesktopIcons.h"
#include "ReleasePublisher.h"
#include "SampleCatalog.h"
#include "catalog/SymbolCodePoints.h"
#include "codec/EnumNames.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QFile>
#include <QImageWriter>

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

Icon icon(const SampleArchive &archive, const QString &symbolFont)
{
    const AppAccent accent = EnumNames::fromName<AppAccent>(archive.accent).value_or(AppAccent::lime);
    std::optional<DesktopIcons::Symbol> symbol;
    if (!symbolFont.isEmpty())
        symbol = DesktopIcons::Symbol{symbolFont, QChar(SymbolCodePoints::codePoint(archive.symbolName).value_or(SymbolCodePoints::fallback))};
    const QImage image = DesktopIcons::drawnIcon(accent, 512, symbol);
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

void write(const SampleArchive &archive, const QString &program, const QString &archivePath, const QString &symbolFont)
{
    // The bundle as a folder, published as any maker's app is: the archive and its file list.
    QTemporaryDir staging;
    if (!staging.isValid())
        throw PackagingError("cannot make a staging folder");
    const QString root = staging.filePath(archive.bundleName);
    const Icon picture = icon(archive, symbolFont);
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
