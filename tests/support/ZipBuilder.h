#pragma once

#include <QMap>
#include <QMetaType>
#include <QStringList>

class ZipWriter;

// Builds real ZIPs (via ZipWriter) for tests; names are written as given ("../x" too), parent folders never added.
class ZipBuilder
{
public:
    enum class PlistFormat { xml, binary };

    // A regular file with the given permission bits.
    ZipBuilder &addFile(const QString &name, const QByteArray &content, int mode = 0644);
    ZipBuilder &addExecutable(const QString &name, const QByteArray &content) { return addFile(name, content, 0755); }
    // A directory entry ("name/" is written).
    ZipBuilder &addDirectory(const QString &name, int mode = 0755);
    // A symbolic link whose target is written as given.
    ZipBuilder &addSymlink(const QString &name, const QString &target);
    // A file of size bytes, all equal to fill, generated while the archive is
    // written (never held in memory); compresses to almost nothing.
    ZipBuilder &addFillFile(const QString &name, qint64 size, char fill = 0, int mode = 0644);
    // bundlePath/ (may be nested), Contents/Info.plist (identifier, executable, version, name), and an executable
    // Contents/MacOS script (0755) printing the version.
    ZipBuilder &addBundle(const QString &bundlePath, const QString &bundleId,
                          const QString &executable = QStringLiteral("App"),
                          PlistFormat format = PlistFormat::xml,
                          const QString &version = QStringLiteral("1.0"));

    // Archives around "Notes.app" that write or point outside the extraction folder, reaching `outside` by the relative
    // way up; the extractor must refuse every one.
    static QStringList hostileKinds();
    static ZipBuilder hostile(const QString &kind, const QString &bundleId, const QString &outside, const QString &up);

    ZipBuilder &setStored(bool stored);
    // Names without the UTF-8 flag, as macOS tools write them.
    ZipBuilder &setUtf8Flag(bool flagged);
    // Zip64 extensions on every entry (beyond 65,535 entries they are always there).
    ZipBuilder &setZip64(bool always);
    ZipBuilder &add(const ZipBuilder &other);

    // Writes the archive; false (with a message in error) on failure.
    bool writeTo(const QString &path, QString *error = nullptr) const;
    QByteArray build() const;

    int entryCount() const { return int(m_entries.size()); }

    // An Info.plist with these string keys, XML or binary ("bplist00").
    static QByteArray infoPlist(const QMap<QString, QString> &keys, PlistFormat format);
    // Lower-case hexadecimal SHA-256.
    static QString sha256Hex(const QByteArray &data);

private:
    enum class Kind { file, directory, symlink, fill };
    struct Entry {
        Kind kind;
        QString name;
        QByteArray content;  // file content or symlink target
        int mode = 0644;
        qint64 fillSize = 0;
        char fill = 0;
    };
    bool write(ZipWriter &zip) const;

    QList<Entry> m_entries;
    bool m_stored = false;
    bool m_utf8Flag = true;
    bool m_zip64 = false;
};

Q_DECLARE_METATYPE(ZipBuilder)
