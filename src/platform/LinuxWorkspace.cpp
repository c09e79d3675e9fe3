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

LinuxWorkspace::Program LinuxWorkspace::program(const QString &bundlePath) const
{
    using Kind = LaunchProblem::Kind;
    const auto problem = [](Kind kind, const QString &path) { return Program{{}, LaunchProblem{kind, path.toUtf8()}}; };
    const QString plist = QStringLiteral("Contents/Info.plist");
    const std::optional<QString> name = m_bundles ? m_bundles->executableName(bundlePath) : std::nullopt;
    // The name comes from a downloaded file: only a plain file name is accepted.
    if (!name || name->isEmpty() || name->contains(QLatin1Char('/')) || name->contains(QLatin1Char('\\'))
        || *name == QLatin1String(".") || name->contains(QLatin1String("..")) || name->contains(QChar(0)))
        return problem(Kind::programUnnamed, plist);

    const QString relative = QStringLiteral("Contents/MacOS/") + *name;
    const QString bundleRoot = QFileInfo(bundlePath).canonicalFilePath();
    const QFileInfo candidate(bundlePath + QLatin1Char('/') + relative);
    const QString resolved = candidate.canonicalFilePath();  // empty when missing or a dangling link
    if (resolved.isEmpty())
        return problem(Kind::programMissing, relative);
    if (bundleRoot.isEmpty() || !resolved.startsWith(bundleRoot + QLatin1Char('/')))
        return problem(Kind::programUnnamed, plist);
    const QFileInfo target(resolved);
    if (!target.isFile())
        return problem(Kind::programMissing, relative);
    // The owner's bits as well as access(): root may read and run anything,
    // yet a copy whose bits were taken away is damaged all the same.
    const QFile::Permissions bits = target.permissions();
    if (!target.isReadable() || !bits.testFlag(QFile::ReadOwner))
        return problem(Kind::unreadable, relative);
    if (!target.isExecutable() || !bits.testFlag(QFile::ExeOwner))
        return problem(Kind::notExecutable, relative);
    return Program{resolved, std::nullopt};
}

std::optional<QString> LinuxWorkspace::executablePath(const QString &bundlePath) const
{
    if (!QFileInfo(bundlePath).isDir())
        return std::nullopt;
    const Program found = program(bundlePath);
    return found.problem ? std::nullopt : std::optional<QString>(found.path);
}

std::optional<LaunchProblem> LinuxWorkspace::launchProblem(const QUrl &bundleUrl) const
{
    if (!bundleUrl.isLocalFile() || !QFileInfo(bundleUrl.toLocalFile()).isDir())
        return std::nullopt;
    return program(bundleUrl.toLocalFile()).problem;
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
