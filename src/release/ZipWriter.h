#pragma once

#include <QByteArray>
#include <QString>

struct archive;

// Writes a ZIP archive with libarchive, entry by entry, into a file or into
// memory. Names are written byte for byte as given, so hostile names such as
// "../x" or "/abs/x" can be produced, and no parent folder is added on its
// own. Names that are not ASCII carry the UTF-8 flag unless told otherwise,
// whatever the process's locale. Every entry carries the same time stamp, so
// the same entries give the same bytes. Once a call fails, the archive is
// unusable; errorString() says why.
class ZipWriter
{
public:
    enum class Compression { deflate, store };

    // The modification time of every entry: 2026-05-03T00:00:00Z.
    static constexpr qint64 entryTime = 1777766400;

    ZipWriter();
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    bool openFile(const QString &path);
    // Appends the archive to *bytes, which must outlive the writer.
    bool openBuffer(QByteArray *bytes);

    // Applies to the entries added after the call; deflate by default.
    bool setCompression(Compression compression);
    // Whether names that are not ASCII are flagged as UTF-8 (the default);
    // macOS tools write UTF-8 names without the flag. For the entries added after.
    void setUtf8Flag(bool flagged) { m_utf8Flag = flagged; }
    // Zip64 extensions on every entry, not only where sizes or counts need
    // them (over 65,535 entries or 4 GiB they are always written).
    bool forceZip64();

    bool addFile(const QByteArray &name, const QByteArray &content, int mode = 0644);
    // A file of size bytes whose content follows in writeData() calls.
    bool beginFile(const QByteArray &name, qint64 size, int mode = 0644);
    bool writeData(const char *data, qint64 size);
    // Written as "name/".
    bool addDirectory(const QByteArray &name, int mode = 0755);
    bool addSymlink(const QByteArray &name, const QByteArray &target, int mode = 0777);

    // Finishes the archive (the central directory is written here).
    bool close();

    QString errorString() const { return m_error; }

private:
    bool open(int status);
    bool addEntry(const QByteArray &name, unsigned type, int mode, qint64 size, const QByteArray &symlink = {});
    bool fail(const char *what);

    struct archive *m_archive = nullptr;
    QString m_error;
    bool m_utf8Flag = true;
};
