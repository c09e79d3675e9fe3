#include "LinuxWorkspace.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

LinuxWorkspace::LinuxWorkspace(std::shared_ptr<const BundleInspector> bundles, QStringList searchRoots)
    : m_bundles(std::move(bundles))
    , m_searchRoots(std::move(searchRoots))
{
}

QStringList LinuxWorkspace::defaultSearchRoots(const QString &installRoot)
{
    QStringList roots;
    if (!installRoot.isEmpty())
        roots.append(installRoot);
    roots.append(QDir::home().filePath(QStringLiteral("Applications")));
    roots.append(QStringLiteral("/Applications"));
    roots.removeDuplicates();
    return roots;
}

std::optional<QString> LinuxWorkspace::executablePath(const QString &bundlePath) const
{
    if (!m_bundles)
        return std::nullopt;
    const QFileInfo bundleInfo(bundlePath);
    if (!bundleInfo.isDir())
        return std::nullopt;
    const std::optional<QString> name = m_bundles->executableName(bundlePath);
    // The name comes from a downloaded file: only a plain file name is accepted.
    if (!name || name->isEmpty() || name->contains(QLatin1Char('/')) || name->contains(QLatin1Char('\\'))
        || *name == QLatin1String(".") || name->contains(QLatin1String("..")) || name->contains(QChar(0)))
        return std::nullopt;

    const QString bundleRoot = bundleInfo.canonicalFilePath();
    const QFileInfo candidate(bundlePath + QStringLiteral("/Contents/MacOS/") + *name);
    const QString resolved = candidate.canonicalFilePath();  // empty when missing or a dangling link
    if (bundleRoot.isEmpty() || resolved.isEmpty() || !resolved.startsWith(bundleRoot + QLatin1Char('/')))
        return std::nullopt;
    const QFileInfo target(resolved);
    if (!target.isFile() || !target.isExecutable())
        return std::nullopt;
    return resolved;
}

bool LinuxWorkspace::canOpenApplication(const QUrl &bundleUrl) const
{
    return bundleUrl.isLocalFile() && executablePath(bundleUrl.toLocalFile()).has_value();
}

bool LinuxWorkspace::openApplication(const QUrl &bundleUrl)
{
    if (!bundleUrl.isLocalFile())
        return false;
    const QString bundlePath = bundleUrl.toLocalFile();
    const std::optional<QString> executable = executablePath(bundlePath);
    if (!executable)
        return false;
    // Started directly, never through a shell; the bundle is its working folder.
    // Its standard streams go nowhere: it must not inherit (and later write
    // into) pipes of whoever opened it.
    QProcess process;
    process.setProgram(*executable);
    process.setWorkingDirectory(bundlePath);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

std::optional<QUrl> LinuxWorkspace::urlForApplication(const QString &bundleIdentifier) const
{
    if (!m_bundles || bundleIdentifier.isEmpty())
        return std::nullopt;
    for (const QString &root : m_searchRoots) {
        const QDir dir(root);
        if (!dir.exists())
            continue;
        const QFileInfoList entries =
            dir.entryInfoList({QStringLiteral("*.app")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            const QString path = entry.absoluteFilePath();
            if (m_bundles->bundleIdentifier(path) != bundleIdentifier)
                continue;
            if (executablePath(path))
                return QUrl::fromLocalFile(path);
        }
    }
    return std::nullopt;
}
