#pragma once

#include <QByteArray>
#include <QString>

struct archive;

// Writes a ZIP archive with libarchive, entry by entry, into a file or into
// memory. Names are written byte for byte as given, so hostile names such as
// "../x" or "/abs/x" can be produced, and no parent folder is added on its
// own. Every entry carries the same time stamp, so the same entries give the
// same bytes. Once a call fails, the archive is unusable; errorString() says
// why.
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
};
