#pragma once

// Shared by the reliability tests: catalog entries, installers over temporary
// folders, and a content fingerprint of a folder tree.

#include "DefaultCollaborators.h"
#include "LoopbackHttpServer.h"
#include "ZipBuilder.h"
#include "catalog/Models.h"
#include "install/AppInstaller.h"

#include <QCoroTask>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>

namespace Reliability {

template <typename T>
struct Awaited {
    std::optional<T> value;
    std::exception_ptr error;
};

template <typename T>
QCoro::Task<Awaited<T>> captured(QCoro::Task<T> task)
{
    Awaited<T> result;
    try {
        result.value = co_await std::move(task);
    } catch (...) {
        result.error = std::current_exception();
    }
    co_return result;
}

// Waits for the task in a nested event loop and rethrows what it threw
// (waiting on a throwing task directly never returns with QCoro 0.8).
template <typename T>
T await(QCoro::Task<T> task)
{
    Awaited<T> result = QCoro::waitFor(captured(std::move(task)));
    if (result.error)
        std::rethrow_exception(result.error);
    return std::move(*result.value);
}

inline AppManifestItem appEntry(const QString &id, const QString &bundleId, const QUrl &downloadUrl,
                                const QString &sha256, const QString &version = QStringLiteral("2.0.0"))
{
    AppManifestItem app;
    app.id = id;
    app.name = QStringLiteral("Test ") + id;
    app.tagline = QStringLiteral("t");
    app.category = QStringLiteral("c");
    app.bundleId = bundleId;
    app.version = version;
    app.minMacOS = QStringLiteral("1");
    app.status = AppReleaseStatus::live;
    app.downloadUrl = downloadUrl;
    app.sha256 = sha256;
    app.symbolName = QStringLiteral("star");
    return app;
}

// path relative to root -> "file:<sha256>:<mode>", "dir" or "link:<target>".
inline QMap<QString, QString> treeFingerprint(const QString &root)
{
    QMap<QString, QString> result;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString relative = QDir(root).relativeFilePath(path);
        if (info.isSymLink()) {
            result.insert(relative, QStringLiteral("link:") + QFile::symLinkTarget(path));
        } else if (info.isDir()) {
            result.insert(relative, QStringLiteral("dir"));
        } else {
            QFile file(path);
            QCryptographicHash hash(QCryptographicHash::Sha256);
            if (file.open(QIODevice::ReadOnly))
                hash.addData(&file);
            result.insert(relative, QStringLiteral("file:%1:%2")
                                        .arg(QString::fromLatin1(hash.result().toHex()))
                                        .arg(int(info.permissions() & (QFile::ExeOwner)) != 0));
        }
    }
    return result;
}

// Names in dir that belong to an install still in progress or left by one.
inline QStringList installLeftovers(const QString &installRoot, const QString &tempDir)
{
    QStringList found;
    for (const QString &name : QDir(installRoot).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (name.contains(QLatin1String(".staged")) || name.endsWith(QLatin1String(".vantrel-lock")))
            found.append(name);
    }
    for (const QString &name : QDir(tempDir).entryList({QStringLiteral("VantrelInstall-*")},
                                                       QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        found.append(name);
    return found;
}

}  // namespace Reliability
