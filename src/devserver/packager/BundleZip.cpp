#include "BundleZip.h"

#include "SampleCatalog.h"
#include "ZipWriter.h"

#include <QFile>

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

QByteArray infoPlist(const SampleArchive &archive)
{
    QByteArray xml;
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    const auto add = [&xml](const char *key, const QString &value) {
        xml += "\t<key>" + QByteArray(key) + "</key>\n\t<string>" + escaped(value) + "</string>\n";
    };
    add("CFBundleExecutable", archive.executable);
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
        writer.file(root + QStringLiteral("Contents/Info.plist"), infoPlist(archive), 0644);
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
