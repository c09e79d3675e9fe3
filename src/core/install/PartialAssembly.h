#pragma once

#include "FileList.h"

#include <QHash>
#include <QList>
#include <QString>
#include <atomic>
#include <optional>

class ExtractedChecksums;

// The file work of an update that reuses the installed copy: the release's
// tree built in the work folder from the list, unchanged files taken from
// (or linked to) the installed copy, the others unpacked from byte ranges of
// the archive.
// The tree comes out as the extractor would write it: files' modes with the
// owner's read and write bits, folders' with the owner's three. Blocking;
// throws PlatformError(fileSystem) when the work folder cannot be written.
namespace PartialAssembly {

// Whether installRoot holds a copy of appId to reuse at all (a folder whose
// note names the app); a first install does not ask for the list.
bool hasInstalledCopy(const QString &installRoot, const QString &appId);

struct InstalledFolder {
    QString path;
    // Each file's size and CRC-32 below the folder, by path, as its note's
    // tree records them; none for a copy installed before trees were kept.
    std::optional<QHash<QByteArray, std::pair<qint64, quint32>>> recorded;
};

// The installed copy of each top folder of the list, when a copy of appId
// stands under that name in installRoot (its note says so).
QHash<QByteArray, InstalledFolder> installedFolders(const FileList &list, const QString &installRoot, const QString &appId);

// Makes the list's folders in extracted, writable until finish.
void makeFolders(const FileList &list, const QString &extracted);

// The list's files (indexes) split by what the installed copy may give.
struct Sorted {
    QList<qsizetype> toLookAt;  // worth reading in the installed copy
    QList<qsizetype> toFetch;   // no copy holds them, or its tree records other bytes
};
// A file the copy's tree records with another size or CRC-32, or not at all,
// surely differs and is fetched unread: the record may keep a file out, only
// its hash lets it in (placeReusable).
Sorted sortOut(const FileList &list, const QHash<QByteArray, InstalledFolder> &installed);

struct Reused {
    qint64 bytes = 0;
    QList<qsizetype> missing;  // indexes of the files still to fetch
};

// Takes each of files whose installed counterpart has the list's SHA-256: a
// hard link to it where the file system allows and the mode is the same,
// else a copy, hashed either way; anything else (absent, a link, other bytes,
// unreadable) is left to fetch. The folders must exist.
Reused placeReusable(const FileList &list, const QList<qsizetype> &files, const QHash<QByteArray, InstalledFolder> &installed,
                     const QString &extracted, ExtractedChecksums *checksums, const std::atomic_bool *cancel);

// Neighbouring files fetched by one request: gaps up to maximumGap bytes are
// fetched with them, and a run grows no longer than maximumBytes (a single
// larger file is a run of its own).
struct Run {
    qint64 first = 0;  // archive offsets, both inclusive
    qint64 last = 0;
    QList<qsizetype> files;
    qint64 bytes() const { return last - first + 1; }
};
QList<Run> runs(const FileList &list, QList<qsizetype> files, qint64 maximumGap, qint64 maximumBytes);

// Unpacks the run's files from runFile (the archive's bytes run.first to
// run.last) into extracted, each checked against the list's size and
// SHA-256. Yields the path of the first file that does not match.
std::optional<QByteArray> unpackRun(const FileList &list, const Run &run, const QString &runFile, const QString &extracted,
                                    ExtractedChecksums *checksums, const std::atomic_bool *cancel);

// The links, then the folders' modes, deepest first.
void finish(const FileList &list, const QString &extracted);

}  // namespace PartialAssembly
