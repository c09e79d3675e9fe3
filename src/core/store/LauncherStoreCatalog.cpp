// Catalog refresh and reconciliation of the install records with the disk.

#include "LauncherStore.h"

#include "catalog/ManifestClient.h"
#include "i18n/RelativeTime.h"
#include "log/Logging.h"

#include <QPointer>

QCoro::Task<void> LauncherStore::loadManifest()
{
    QPointer<LauncherStore> self(this);
    // Keep the loader alive even if the store goes away while it works.
    const std::shared_ptr<ManifestLoading> loader = m_c.manifestLoader;
    const VantrelLocale requestLocale = locale();

    std::optional<LauncherManifest> loaded;
    bool unverified = false;
    if (loader) {
        try {
            loaded = co_await loader->loadManifest(requestLocale);
        } catch (const ManifestClientError &e) {
            // A catalog that may have been tampered with gets its own line.
            unverified = e.kind() == ManifestClientError::Kind::invalidSignature;
            qCInfo(lcStore) << "Catalog refresh failed:" << e.debugDescription() << "- the catalog shown stays";
        } catch (...) {
            // The kind of failure does not matter: the catalog shown stays.
            qCInfo(lcStore) << "Catalog refresh failed; the catalog shown stays";
        }
    }
    if (!self)
        co_return;

    if (!loaded) {
        setErrorMessage(refreshFailureLine(unverified));
        if (ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps).isEmpty())
            setOnboardingComplete(true);
        co_return;
    }
    applyCatalog(*loaded, QDateTime::currentDateTimeUtc());
}

bool LauncherStore::restoreStoredCatalog()
{
    const std::optional<StoredCatalog> stored = m_c.manifestLoader ? m_c.manifestLoader->storedManifest() : std::nullopt;
    if (stored)
        applyCatalog(stored->manifest, stored->fetchedAt);
    return stored.has_value();
}

void LauncherStore::applyCatalog(const LauncherManifest &manifest, const QDateTime &fetchedAt)
{
    m_catalogFetchedAt = fetchedAt;
    setManifest(manifest);
    setIfChanged(this, m_lastCatalogCheck, QDateTime::currentDateTime(), &LauncherStore::lastCatalogCheckChanged);

    m_installStates->addMissing(manifest.apps);

    applyPersistedInstallStates(manifest.apps);

    const bool selectionKnown = m_selectedAppID && manifest.findApp(*m_selectedAppID) != nullptr;
    if (!selectionKnown)
        setSelectedAppID(ManifestPolicy::defaultSelection(manifest, m_includeBetaApps));

    updatePendingAnnouncement();

    if (ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps).isEmpty())
        setOnboardingComplete(true);
}

QString LauncherStore::refreshFailureLine(bool unverified) const
{
    // The built-in catalog has no fetch time; a fetched one says how old it is.
    if (!m_catalogFetchedAt)
        return qtTrId(unverified ? "errorCatalogSignature" : "errorManifestFallback");
    const QString time = RelativeTime::shortText(*m_catalogFetchedAt, QDateTime::currentDateTimeUtc());
    return qtTrId(unverified ? "errorCatalogSignatureStored" : "errorManifestStored").arg(time);
}

void LauncherStore::applyPersistedInstallStates(const QList<AppManifestItem> &apps)
{
    const InstallRecords::Reconciled reconciled = m_records.reconcile(apps);
    for (const auto &[id, state] : reconciled.states)
        setInstallState(id, state);
    setInstalledAppURLs(reconciled.urls);
}
