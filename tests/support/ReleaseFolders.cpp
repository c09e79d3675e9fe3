#include "ReleaseFolders.h"

#include "TempHome.h"
#include "ZipBuilder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace ReleaseFolders {
namespace {

QByteArray noise(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

}  // namespace

bool write(const QString &root, const QString &version)
{
    const QString app = root + QLatin1Char('/') + bundleName;
    QDir(app).removeRecursively();
    const QMap<QString, QString> plist{{QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.vantrel.notes")},
                                       {QStringLiteral("CFBundleExecutable"), QStringLiteral("Notes")},
                                       {QStringLiteral("CFBundleShortVersionString"), version}};
    const quint32 generation = version == QLatin1String("1.0") ? 0 : 1;
    bool ok = TempHome::writeFile(app + QStringLiteral("/Contents/Info.plist"), ZipBuilder::infoPlist(plist, ZipBuilder::PlistFormat::xml))
        && TempHome::writeFile(app + QStringLiteral("/Contents/MacOS/Notes"), "#!/bin/sh\necho notes\n", 0755)
        && TempHome::writeFile(app + QStringLiteral("/Contents/MacOS/helper"), noise(4096, 7), generation == 0 ? 0700 : 0750)
        && TempHome::writeFile(app + QStringLiteral("/Contents/Resources/private.key"), "secret", 0600)
        && TempHome::writeFile(app + QStringLiteral("/Contents/Resources/empty"), QByteArray(), 0644)
        && TempHome::writeFile(app + QStringLiteral("/Contents/Resources/notes.txt"),
                               QByteArray("a line that compresses well\n").repeated(4000), 0644);
    for (int i = 0; ok && i < partCount; ++i) {
        const quint32 seed = quint32(i) + (changedParts.contains(i) ? 1000 * generation : 0);
        ok = TempHome::writeFile(app + QStringLiteral("/Contents/Resources/part%1.bin").arg(i, 2, 10, QLatin1Char('0')),
                                 noise(partBytes, seed));
    }
    return ok && QFile::link(QStringLiteral("Resources"), app + QStringLiteral("/Contents/Current"))
        && QFile::link(QStringLiteral("../MacOS/Notes"), app + QStringLiteral("/Contents/Resources/launcher"))
        && QFile::setPermissions(app + QStringLiteral("/Contents/Resources"),
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                     | QFileDevice::ExeGroup);
}

}  // namespace ReleaseFolders
