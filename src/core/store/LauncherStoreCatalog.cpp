// Catalog refresh, reconciliation of the install records with the disk, and
// the records' persistence.

#include "LauncherStore.h"

#include "system/SystemLayers.h"
#include "catalog/ManifestClient.h"
#include "catalog/VersionComparison.h"
#include "install/InstallReceipt.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

QHash<QString, QString> LauncherStore::loadStringDictionary(const QString &key, const UserDefaults &defaults)
{
    const QVariant value = defaults.object(key);
    if (value.typeId() != QMetaType::QByteArray)
        return {};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(value.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};
    const QJsonObject object = document.object();
    QHash<QString, QString> map;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isString())
            return {};
        map.insert(it.key(), it.value().toString());
    }
    return map;
}

void LauncherStore::saveStringDictionary(const QHash<QString, QString> &map, const QString &key,
                                         UserDefaults &defaults)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.insert(it.key(), it.value());
    defaults.setData(key, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QCoro::Task<void> LauncherStore::loadManifest()
{
    QPointer<LauncherStore> self(this);
    // Keep the loader alive even if the store goes away while it works.
    const std::shared_ptr<ManifestLoading> loader = m_c.manifestLoader;
    const VantrelLocale requestLocale = m_locale;

    std::optional<LauncherManifest> loaded;
    if (loader) {
        try {
            loaded = co_await loader->loadManifest(requestLocale);
        } catch (...) {
            // The kind of failure does not matter: the catalog shown stays.
        }
    }
    if (!self)
        co_return;

    if (!loaded) {
        setErrorMessage(VantrelCopy::text(CopyKey::errorManifestFallback, m_locale));
        if (ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps).isEmpty())
            setOnboardingComplete(true);
        co_return;
    }

    const LauncherManifest manifest = std::move(*loaded);
    setManifest(manifest);

    // Merge: existing states (an install in progress, a failure, a version) stay.
    QStringList added;
    for (const AppManifestItem &app : manifest.apps) {
        if (!m_installStates.contains(app.id)) {
            m_installStates.insert(app.id, AppInstallState::notInstalled());
            added.append(app.id);
        }
    }
    for (const QString &id : std::as_const(added))
        Q_EMIT installStateChanged(id);
    if (!added.isEmpty())
        Q_EMIT installStatesChanged();

    applyPersistedInstallStates(manifest.apps);

    const bool selectionKnown = m_selectedAppID && manifest.findApp(*m_selectedAppID) != nullptr;
    if (!selectionKnown) {
        const QList<AppManifestItem> published = ManifestPolicy::publishedApps(manifest, m_includeBetaApps);
        if (!published.isEmpty()) {
            setSelectedAppID(published.first().id);
        } else {
            const QList<AppManifestItem> visible = ManifestPolicy::visibleApps(manifest, m_includeBetaApps);
            setSelectedAppID(visible.isEmpty() ? std::nullopt : std::optional<QString>(visible.first().id));
        }
    }

    updatePendingAnnouncement();

    if (ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps).isEmpty())
        setOnboardingComplete(true);
}

void LauncherStore::applyPersistedInstallStates(const QList<AppManifestItem> &apps)
{
    if (!m_c.userDefaults) {
        setInstalledAppURLs({});
        return;
    }
    QHash<QString, QString> versions = loadStringDictionary(installedVersionsKey, *m_c.userDefaults);
    QHash<QString, QString> paths = loadStringDictionary(installedPathsKey, *m_c.userDefaults);
    const QHash<QString, QString> versionsRead = versions;
    const QHash<QString, QString> pathsRead = paths;
    QHash<QString, QUrl> urls;

    for (const AppManifestItem &app : apps) {
        const QString &id = app.id;
        const auto recordedIt = versions.constFind(id);
        if (recordedIt == versions.cend())
            continue;
        QString recorded = *recordedIt;
        const auto pathIt = paths.constFind(id);
        // QFileInfo::exists follows symbolic links: a dangling link counts as gone.
        if (pathIt != paths.cend() && !pathIt->isEmpty() && QFileInfo::exists(*pathIt)) {
            // A crash between the swap and the recording left the previous version recorded.
            if (const auto placed = InstallReceipt::placedVersion(*pathIt, id); placed && *placed != recorded) {
                recorded = *placed;
                versions.insert(id, recorded);
            }
            urls.insert(id, QUrl::fromLocalFile(*pathIt));
            if (recorded == app.version)
                setInstallState(id, AppInstallState::installed(recorded));
            else if (compareVersions(app.version, recorded) == ComparisonResult::orderedDescending)
                setInstallState(id, AppInstallState::updateAvailable(recorded, app.version));
            else
                setInstallState(id, AppInstallState::installed(recorded));
        } else {
            versions.remove(id);
            paths.remove(id);
            setInstallState(id, AppInstallState::notInstalled());
        }
    }

    setInstalledAppURLs(urls);
    if (versions != versionsRead)
        saveStringDictionary(versions, installedVersionsKey, *m_c.userDefaults);
    if (paths != pathsRead)
        saveStringDictionary(paths, installedPathsKey, *m_c.userDefaults);
}

void LauncherStore::clearPersistedInstall(const QString &appID)
{
    QHash<QString, QUrl> urls = m_installedAppURLs;
    urls.remove(appID);
    setInstalledAppURLs(urls);
    if (!m_c.userDefaults)
        return;
    QHash<QString, QString> versions = loadStringDictionary(installedVersionsKey, *m_c.userDefaults);
    versions.remove(appID);
    saveStringDictionary(versions, installedVersionsKey, *m_c.userDefaults);
    QHash<QString, QString> paths = loadStringDictionary(installedPathsKey, *m_c.userDefaults);
    paths.remove(appID);
    saveStringDictionary(paths, installedPathsKey, *m_c.userDefaults);
}
