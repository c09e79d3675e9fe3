#include "TempHome.h"

#include "ZipBuilder.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

TempHome::TempHome(const QString &homeName)
    : m_home(m_dir.filePath(homeName))
{
    for (const QString &dir : {m_home, tempDir(), outsideDir()})
        QDir().mkpath(dir);
}

QString TempHome::path(const QString &name) const
{
    return name.isEmpty() ? m_dir.path() : m_dir.filePath(name);
}

QString TempHome::writeArchive(const ZipBuilder &zip, const QString &name) const
{
    QString error;
    if (!zip.writeTo(path(name), &error))
        qWarning("could not write the archive: %s", qPrintable(error));
    return path(name);
}

bool TempHome::isNote(const QString &name)
{
    return name.endsWith(QLatin1String(".vantrel-receipt")) || name.endsWith(QLatin1String(".vantrel-tree"));
}

QStringList TempHome::leftovers() const
{
    QStringList found;
    for (const QString &name : entries(tempDir()))
        found << QStringLiteral("tmp/") + name;
    for (const QString &name : entries(installRoot())) {
        if (name.startsWith(QLatin1Char('.')) && !isNote(name) && !name.endsWith(QLatin1String(".previous")))
            found << name;
    }
    return found;
}

QStringList TempHome::rootEntries() const
{
    QStringList names = entries(installRoot());
    names.removeIf(isNote);
    return names;
}

QStringList TempHome::entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QMap<QString, QString> TempHome::fingerprint(const QString &root)
{
    QMap<QString, QString> result;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        QString value = QString::number(st.st_mode, 8);
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
            value += QStringLiteral(" -> ") + QFile::decodeName(QByteArray(target, int(qMax<ssize_t>(0, n))));
        }
        if (S_ISREG(st.st_mode))
            value += QLatin1Char(' ') + QString::fromLatin1(QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256).toHex());
        result.insert(QDir(root).relativeFilePath(path), value);
    }
    return result;
}

QByteArray TempHome::readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ImmutableTree::ImmutableTree(const QString &path) : m_entries{path}
{
    // Named one by one: chattr -R gives up at the first link.
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        m_entries.append(it.next());
    m_flagged = QProcess::execute(QStringLiteral("chattr"), QStringList{QStringLiteral("+i")} + m_entries) == 0;
    if (m_flagged)
        return;
    QProcess::execute(QStringLiteral("chattr"), QStringList{QStringLiteral("-i")} + m_entries);
    const QByteArray name = QFile::encodeName(path);
    m_mounted = ::mount(name.constData(), name.constData(), nullptr, MS_BIND, nullptr) == 0;
    if (m_mounted && ::mount(nullptr, name.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        ::umount2(name.constData(), MNT_DETACH);
        m_mounted = false;
    }
    m_mountError = m_mounted ? 0 : errno;
}

ImmutableTree::~ImmutableTree()
{
    if (m_flagged)
        QProcess::execute(QStringLiteral("chattr"), QStringList{QStringLiteral("-i")} + m_entries);
    if (m_mounted)
        ::umount2(QFile::encodeName(m_entries.first()).constData(), MNT_DETACH);
}

QString ImmutableTree::skipReason() const
{
    return QStringLiteral("cannot make a folder immutable here (chattr +i) nor mount it read-only (%1); run as root")
        .arg(QString::fromLocal8Bit(std::strerror(m_mountError)));
}

bool TempHome::writeFile(const QString &path, const QByteArray &content, int mode)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        return false;
    file.close();
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}
