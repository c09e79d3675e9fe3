#pragma once

// Shared pieces of the installer tests: a temporary install root and
// temporary directory, catalog entries, running an install to its outcome,
// and snapshots of directory trees.

#include "DefaultCollaborators.h"
#include "FakeSystem.h"
#include "ZipBuilder.h"
#include "install/AppInstaller.h"

#include <QCoroTask>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QNetworkAccessManager>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(ZipBuilder)
Q_DECLARE_METATYPE(OperatingSystemVersion)
Q_DECLARE_METATYPE(AppInstallerError::Kind)

struct InstallOutcome {
    std::optional<InstalledApp> app;
    std::optional<AppInstallerError> installerError;
    std::optional<PlatformError> platformError;
    QString otherError;

    bool succeeded() const { return app.has_value(); }
    QString message() const
    {
        if (installerError)
            return installerError->localizedDescription();
        if (platformError)
            return platformError->localizedDescription();
        return otherError;
    }
    QString describe() const { return app ? QStringLiteral("success") : QStringLiteral("failure: ") + message(); }
};

inline QCoro::Task<InstallOutcome> captureOutcome(QCoro::Task<InstalledApp> task)
{
    InstallOutcome outcome;
    try {
        outcome.app = co_await std::move(task);
    } catch (const AppInstallerError &error) {
        outcome.installerError = error;
    } catch (const PlatformError &error) {
        outcome.platformError = error;
    } catch (const std::exception &error) {
        outcome.otherError = QString::fromUtf8(error.what());
    }
    co_return outcome;
}

inline InstallOutcome runInstall(AppInstaller &installer, const AppManifestItem &app)
{
    return QCoro::waitFor(captureOutcome(installer.install(app)));
}

inline AppManifestItem catalogEntry(const QString &id, const QString &bundleId, const std::optional<QUrl> &url,
                                    const std::optional<QString> &sha256, const QString &version = QStringLiteral("1.0"),
                                    const QString &minMacOS = QStringLiteral("13"))
{
    AppManifestItem app;
    app.id = id;
    app.name = id;
    app.bundleId = bundleId;
    app.version = version;
    app.minMacOS = minMacOS;
    app.status = AppReleaseStatus::live;
    app.downloadUrl = url;
    app.sha256 = sha256;
    app.symbolName = QStringLiteral("sparkles");
    return app;
}

// Relative path -> "type mode content-digest-or-link-target", for byte-for-byte comparisons.
inline QMap<QString, QString> treeSnapshot(const QString &root)
{
    QMap<QString, QString> snapshot;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        QString value = QString::number(st.st_mode, 8) + QLatin1Char(' ');
        if (S_ISLNK(st.st_mode)) {
            value += QFileInfo(path).symLinkTarget();
        } else if (S_ISREG(st.st_mode)) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            value += QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
        }
        snapshot.insert(relative, value);
    }
    return snapshot;
}

// A temporary home for one test: install root, temporary directory, an
// installer with the real platform layers and a fixed system version.
class InstallSandbox
{
public:
    explicit InstallSandbox(OperatingSystemVersion version = {14, 5, 0})
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("tmp"));
        QDir(m_dir.path()).mkpath(QStringLiteral("outside"));
        m_installer = makeInstaller(version);
    }

    std::unique_ptr<AppInstaller> makeInstaller(OperatingSystemVersion version = {14, 5, 0},
                                                std::shared_ptr<const ArchiveExtractor> extractor = nullptr)
    {
        AppInstaller::Layers layers = defaultInstallerLayers();
        layers.systemVersion = std::make_shared<FixedSystemVersion>(version);
        if (extractor)
            layers.extractor = std::move(extractor);
        auto installer = std::make_unique<AppInstaller>(QUrl::fromLocalFile(installRoot()), &m_session, layers);
        installer->setTemporaryDirectory(tempDir());
        return installer;
    }

    AppInstaller &installer() { return *m_installer; }
    QString path() const { return m_dir.path(); }
    QString installRoot() const { return m_dir.path() + QStringLiteral("/Applications/Vantrel"); }
    QString tempDir() const { return m_dir.path() + QStringLiteral("/tmp"); }
    // A folder beside the others that hostile archives try to reach.
    QString outsideDir() const { return m_dir.path() + QStringLiteral("/outside"); }

    // Writes an archive into the sandbox and returns its path.
    QString writeArchive(const ZipBuilder &zip, const QString &name = QStringLiteral("archive.zip")) const
    {
        const QString file = m_dir.path() + QLatin1Char('/') + name;
        QString error;
        if (!zip.writeTo(file, &error))
            qWarning("could not write archive: %s", qPrintable(error));
        return file;
    }

    // Work directories, ".staged" items and lock files that outlived an install.
    QStringList leftovers() const
    {
        QStringList found;
        for (const QString &name : QDir(tempDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            found << QStringLiteral("tmp/") + name;
        for (const QString &name :
             QDir(installRoot()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            // Receipts describe placed bundles; they are meant to stay.
            if (name.startsWith(QLatin1Char('.')) && !name.endsWith(QStringLiteral(".vantrel-receipt")))
                found << QStringLiteral("root/") + name;
        }
        return found;
    }

    // What the install root shows, receipts aside.
    QStringList rootEntries() const
    {
        QStringList names = QDir(installRoot()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        names.removeIf([](const QString &name) { return name.endsWith(QStringLiteral(".vantrel-receipt")); });
        return names;
    }

    QStringList outsideEntries() const
    {
        return QDir(outsideDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir m_dir;
    QNetworkAccessManager m_session;
    std::unique_ptr<AppInstaller> m_installer;
};
