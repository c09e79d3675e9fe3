#include "LauncherActivation.h"

#include "SearchLogging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace LauncherActivation {

QString launcherProgram()
{
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("vantrel-launcher"));
    return QFileInfo(beside).isExecutable() ? beside : QStringLiteral(VANTREL_LAUNCHER_PROGRAM);
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
