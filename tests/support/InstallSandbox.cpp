#include "InstallSandbox.h"

#include "CatalogBuilders.h"
#include "DefaultCollaborators.h"
#include "FakeSystem.h"
#include "async/WaitForTask.h"
#include "install/BackgroundCleanup.h"

#include <QTest>

QString InstallOutcome::message() const
{
    if (installerError)
        return installerError->localizedDescription();
    return platformError ? platformError->localizedDescription() : QString();
}

QString InstallOutcome::describe() const
{
    return app ? QStringLiteral("success") : QStringLiteral("failure: ") + message();
}

InstallOutcome outcomeOf(QCoro::Task<InstalledApp> task)
{
    InstallOutcome outcome;
    try {
        outcome.app = waitForTask(std::move(task));
    } catch (const AppInstallerError &error) {
        outcome.installerError = error;
    } catch (const PlatformError &error) {
        outcome.platformError = error;
    }
    // A success leaves its clean-up to the background; the tests look at the result of both.
    if (!BackgroundCleanup::waitForAll(30000))
        QTest::qFail("the install's clean-up did not end", __FILE__, __LINE__);
    return outcome;
}

ZipBuilder notesApp(const QString &version, ZipBuilder::PlistFormat format)
{
    ZipBuilder zip;
    zip.addBundle(QStringLiteral("Notes.app"), QStringLiteral("com.vantrel.notes"), QStringLiteral("Notes"), format, version);
    zip.addDirectory(QStringLiteral("Notes.app/Contents/Resources"));
    zip.addFile(QStringLiteral("Notes.app/Contents/Resources/version.txt"), version.toUtf8());
    zip.addFile(QStringLiteral("Notes.app/Contents/Resources/only-in-") + version, "x");
    zip.addSymlink(QStringLiteral("Notes.app/Contents/Resources/launcher"), QStringLiteral("../MacOS/Notes"));
    return zip;
}

AppManifestItem notesRelease(const QUrl &url, const QByteArray &archive, const QString &version)
{
    return TestCatalog::release(QStringLiteral("notes"), url, ZipBuilder::sha256Hex(archive), version);
}

InstallSandbox::~InstallSandbox()
{
    const QStringList left = leftovers();
    if (!m_leftoversAllowed && !left.isEmpty())
        QTest::qFail(qPrintable(QStringLiteral("left behind: ") + left.join(QStringLiteral(", "))), __FILE__, __LINE__);
}

std::unique_ptr<AppInstaller> InstallSandbox::makeInstaller(std::shared_ptr<const ArchiveExtractor> extractor,
                                                            std::shared_ptr<const DiskSpace> diskSpace)
{
    AppInstaller::Layers layers = defaultInstallerLayers();
    layers.systemVersion = std::make_shared<FixedSystemVersion>();
    if (extractor)
        layers.extractor = std::move(extractor);
    layers.diskSpace = std::move(diskSpace);
    auto installer = std::make_unique<AppInstaller>(QUrl::fromLocalFile(installRoot()), &m_session, layers);
    installer->setTemporaryDirectory(tempDir());
    return installer;
}

std::unique_ptr<InstalledCopyOperations> InstallSandbox::makeInstalledCopies() const
{
    return std::make_unique<InstalledCopyOperations>(QUrl::fromLocalFile(installRoot()), defaultInstallerLayers().replacer);
}

InstallOutcome InstallSandbox::installArchive(const ZipBuilder &zip, const QString &id, const QString &version)
{
    const QString archive = writeArchive(zip, id + QLatin1Char('-') + version + QStringLiteral(".zip"));
    return install(TestCatalog::release(id, QUrl::fromLocalFile(archive), ZipBuilder::sha256Hex(readFile(archive)), version));
}
