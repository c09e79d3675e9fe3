#include "FileList.h"

#include "RelativePath.h"

#include <QHash>

#include <algorithm>

namespace {

const QByteArray header = "vantrel-file-list 1";
// Deflate cannot expand more than about 1032 to 1; a little room for the end of a stream.
constexpr qint64 deflateRatio = 1032;
constexpr qint64 largestArchive = qint64(1) << 50;

// Numbers exactly as encode writes them ("+1", "01" and " 1" are not).
std::optional<qint64> number(const QByteArray &field, int base = 10)
{
    bool ok = false;
    const qint64 value = field.toLongLong(&ok, base);
    if (!ok || value < 0 || QByteArray::number(value, base) != field)
        return std::nullopt;
    return value;
}

bool isHex(const QByteArray &field, qsizetype length)
{
    return field.size() == length
        && std::all_of(field.cbegin(), field.cend(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::optional<FileListEntry> entryOf(const QList<QByteArray> &fields)
{
    FileListEntry entry;
    const QByteArray &kind = fields.value(0);
    if (kind == "d" && fields.size() == 3) {
        entry.type = FileListEntry::Type::directory;
    } else if (kind == "f" && fields.size() == 9) {
        entry.type = FileListEntry::Type::file;
        const auto size = number(fields[2]);
        bool crcRead = false;
        const quint32 crc = isHex(fields[4], 8) ? fields[4].toUInt(&crcRead, 16) : 0;
        const auto method = number(fields[5]);
        const auto offset = number(fields[6]);
        const auto compressed = number(fields[7]);
        if (!size || !isHex(fields[3], 64) || !crcRead || !method
            || (*method != 0 && *method != 8) || !offset || !compressed)
            return std::nullopt;
        entry.size = *size;
        entry.sha256 = fields[3];
        entry.crc32 = crc;
        entry.method = int(*method);
        entry.dataOffset = *offset;
        entry.compressedSize = *compressed;
    } else if (kind == "l" && fields.size() == 4) {
        entry.type = FileListEntry::Type::link;
        const auto target = RelativePath::decodedField(fields[3]);
        if (!target || target->contains('\0'))
            return std::nullopt;
        entry.target = *target;
    } else {
        return std::nullopt;
    }
    const auto mode = number(fields[1], 8);
    const auto path = RelativePath::decodedField(kind == "l" ? fields[2] : fields.last());
    if (!mode || *mode > 0777 || !path)
        return std::nullopt;
    entry.mode = int(*mode);
    entry.path = *path;
    return entry;
}

QByteArray hex8(quint32 value)
{
    return QByteArray::number(value, 16).rightJustified(8, '0');
}

}  // namespace

QByteArray FileList::encode() const
{
    QByteArray out = header + '\n';
    out += "archive " + QByteArray::number(archiveSize) + ' ' + archiveSha256 + '\n';
    for (const FileListEntry &e : entries) {
        const QByteArray mode = QByteArray::number(e.mode, 8);
        switch (e.type) {
        case FileListEntry::Type::directory:
            out += "d " + mode + ' ' + RelativePath::encodedField(e.path) + '\n';
            break;
        case FileListEntry::Type::file:
            out += "f " + mode + ' ' + QByteArray::number(e.size) + ' ' + e.sha256 + ' ' + hex8(e.crc32) + ' '
                + QByteArray::number(e.method) + ' ' + QByteArray::number(e.dataOffset) + ' '
                + QByteArray::number(e.compressedSize) + ' ' + RelativePath::encodedField(e.path) + '\n';
            break;
        case FileListEntry::Type::link:
            out += "l " + mode + ' ' + RelativePath::encodedField(e.path) + ' ' + RelativePath::encodedField(e.target) + '\n';
            break;
        }
    }
    return out;
}

std::optional<FileList> FileList::decode(const QByteArray &bytes, QString *problem)
{
    const auto bad = [problem](const QString &why) -> std::optional<FileList> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (!bytes.endsWith('\n'))
        return bad(QStringLiteral("the list is cut short"));
    QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.size() < 2 || lines[0] != header)
        return bad(QStringLiteral("not a file list"));
    const QList<QByteArray> archiveFields = lines[1].split(' ');
    const auto archiveSize = archiveFields.size() == 3 && archiveFields[0] == "archive" ? number(archiveFields[1]) : std::nullopt;
    if (!archiveSize || *archiveSize > largestArchive || !isHex(archiveFields[2], 64))
        return bad(QStringLiteral("the archive line is garbled"));
    FileList list;
    list.archiveSize = *archiveSize;
    list.archiveSha256 = archiveFields[2];

    QHash<QByteArray, FileListEntry::Type> types;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const std::optional<FileListEntry> entry = entryOf(lines[i].split(' '));
        if (!entry)
            return bad(QStringLiteral("line %1 is garbled").arg(i + 1));
        const QString shown = QString::fromUtf8(entry->path);
        if (!RelativePath::isPlain(entry->path))
            return bad(QStringLiteral("the path \"%1\" is not a plain relative path").arg(shown));
        if (entry->path.split('/').last().startsWith("._"))
            return bad(QStringLiteral("the path \"%1\" is hidden metadata").arg(shown));
        if (types.contains(entry->path))
            return bad(QStringLiteral("the path \"%1\" appears twice").arg(shown));
        const qsizetype slash = entry->path.lastIndexOf('/');
        if (slash > 0 && types.value(entry->path.left(slash), FileListEntry::Type::file) != FileListEntry::Type::directory)
            return bad(QStringLiteral("\"%1\" lies below something the list names as no folder").arg(shown));
        if (entry->type == FileListEntry::Type::link) {
            // Inside the top folder (the bundle), never up to the archive's root.
            QList<QByteArray> below = entry->path.split('/');
            below.removeFirst();
            if (below.isEmpty() || !RelativePath::targetStaysInside(below, entry->target))
                return bad(QStringLiteral("the link \"%1\" leads out of its folder").arg(shown));
        }
        if (entry->type == FileListEntry::Type::file) {
            const bool fitsArchive = entry->dataOffset <= list.archiveSize
                && entry->compressedSize <= list.archiveSize - entry->dataOffset;
            const bool sizeHeld = entry->method == 0 ? entry->size == entry->compressedSize
                                                     : entry->size <= entry->compressedSize * deflateRatio + 1024;
            if (!fitsArchive || !sizeHeld)
                return bad(QStringLiteral("the file \"%1\" claims %2 bytes its archive cannot hold").arg(shown).arg(entry->size));
        }
        types.insert(entry->path, entry->type);
        list.entries.append(*entry);
    }
    return list;
}
