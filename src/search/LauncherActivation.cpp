#include "LauncherActivation.h"

#include "SearchLogging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace LauncherActivation {

QString launcherProgram()
{
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {here.filePath(QStringLiteral("vantrel-launcher")),
                                     here.filePath(QStringLiteral(VANTREL_LAUNCHER_FROM_LIBEXEC))}) {
        if (QFileInfo(candidate).isExecutable())
            return QDir::cleanPath(candidate);
    }
    return QStringLiteral("vantrel-launcher");  // from PATH
}

bool show(const LauncherLink &link)
{
    const QString program = launcherProgram();
    if (QProcess::startDetached(program, {QString::fromUtf8(link.toEncoded())}))
        return true;
    qCWarning(lcSearch).noquote() << "Could not start" << program;
    return false;
}

}  // namespace LauncherActivation
