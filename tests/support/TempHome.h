#pragma once

#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

class ZipBuilder;

// A temporary home for one test, laid out as
//   <tmp>/<homeName>/Applications/Vantrel   the install root
//   <tmp>/tmp                               work folders (TMPDIR)
//   <tmp>/outside                           what hostile archives aim at
// An extraction folder two levels below tmp/ reaches outside/ as "../../../outside".
class TempHome
{
public:
    explicit TempHome(const QString &homeName = QStringLiteral("home"));

    QString path(const QString &name = QString()) const;
    QString home() const { return m_home; }
    QString tempDir() const { return path(QStringLiteral("tmp")); }
    QString outsideDir() const { return path(QStringLiteral("outside")); }
    QString installRoot() const { return m_home + QStringLiteral("/Applications/Vantrel"); }
    QString bundle(const QString &name) const { return installRoot() + QLatin1Char('/') + name; }

    // Writes the archive beside the folders above; returns its path.
    QString writeArchive(const ZipBuilder &zip, const QString &name = QStringLiteral("archive.zip")) const;

    // Anything in tmp/ and every hidden item of the install root but notes
    // and kept previous copies: what an install leaves behind when it does not clean up.
    QStringList leftovers() const;
    // The install root's entries, notes aside, sorted.
    QStringList rootEntries() const;
    // The installer's notes beside a bundle: its receipt and the tree it names.
    static bool isNote(const QString &name);
    // All entries of dir, hidden ones included, sorted.
    static QStringList entries(const QString &dir);

    // Relative path -> "mode sha256" of files, "mode -> target" of links,
    // "mode" of folders: equal fingerprints mean byte-for-byte equal trees.
    static QMap<QString, QString> fingerprint(const QString &root);
    static QByteArray readFile(const QString &path);
    static bool writeFile(const QString &path, const QByteArray &content, int mode = 0644);

private:
    QTemporaryDir m_dir;
    QString m_home;
};

// A folder nobody may move, change or remove while this lives, not even root:
// the immutable flag on it and on every file and folder below it (chattr, where
// the filesystem keeps one; links cannot carry it), else a read-only bind mount
// of it onto itself (where mounting is allowed).
class ImmutableTree
{
public:
    explicit ImmutableTree(const QString &path);
    ~ImmutableTree();
    bool isSet() const { return m_flagged || m_mounted; }
    QString skipReason() const;

private:
    QStringList m_entries;
    bool m_flagged = false;
    bool m_mounted = false;
    int m_mountError = 0;
};
