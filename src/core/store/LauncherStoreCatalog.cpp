// Catalog refresh, and showing a loaded catalog.

#include "LauncherStore.h"

#include "catalog/ManifestClient.h"
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
        setErrorMessage(m_copy->text(unverified ? CopyKey::errorCatalogSignature : CopyKey::errorManifestFallback));
        if (ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps).isEmpty())
            setOnboardingComplete(true);
        co_return;
    }

    applyManifest(*loaded);
}

void LauncherStore::applyManifest(const LauncherManifest &manifest)
{
    setManifest(manifest);
    m_apps->reconcile(manifest.apps);
    const bool selectionKnown = m_selectedAppID && manifest.findApp(*m_selectedAppID) != nullptr;
    if (!selectionKnown)
        setSelectedAppID(ManifestPolicy::defaultSelection(manifest, m_includeBetaApps));
    m_announcements->update(m_manifest);
    if (ManifestPolicy::publishedApps(m_manifest, m_includeBetaApps).isEmpty())
        setOnboardingComplete(true);
}
