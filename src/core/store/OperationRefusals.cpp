#include "OperationRefusals.h"

#include "catalog/ManifestPolicy.h"
#include "catalog/VersionComparison.h"

namespace OperationRefusals {

namespace {

bool copyShown(const Facts &facts)
{
    return !facts.installedVersion.isEmpty();
}

}  // namespace

std::optional<Refusal> release(const AppManifestItem &app, const Facts &facts)
{
    // A record an installed app's receipt kept is no release to install from.
    if (!facts.listed)
        return facts.described ? Refusal::notInCatalog : Refusal::unknownApp;
    if (app.status == AppReleaseStatus::comingSoon)
        return Refusal::comingSoon;
    if (app.status == AppReleaseStatus::retired)
        return Refusal::retired;
    if (!app.downloadUrl || !app.sha256 || app.version.trimmed().isEmpty())
        return Refusal::noPublishedRelease;
    if (!ManifestPolicy::isValidSha256(*app.sha256))
        return Refusal::malformedChecksum;
    const std::optional<OperatingSystemVersion> minimum = ManifestPolicy::macOSVersion(app.minMacOS);
    if (!minimum || facts.running < *minimum)
        return Refusal::systemTooOld;
    // The policy has the last word on what counts as published.
    if (ManifestPolicy::installCheck(app, facts.running) != ManifestPolicy::InstallCheck::passes)
        return Refusal::noPublishedRelease;
    return std::nullopt;
}

std::optional<Refusal> install(const AppManifestItem &app, const Facts &facts)
{
    if (const std::optional<Refusal> refusal = release(app, facts))
        return refusal;
    if (facts.catalogExpired)
        return Refusal::catalogExpired;
    // A refresh never turns a running install's state back, but the installer
    // must never run twice for one app whatever the state says.
    if (facts.shown == AppInstallState::Kind::installing || facts.installing)
        return Refusal::alreadyInstalling;
    // Shown installed, a version not yet offered here can still be taken.
    if (facts.shown == AppInstallState::Kind::installed && !facts.stagedUpdate)
        return Refusal::alreadyInstalled;
    if (facts.changing)
        return Refusal::busy;
    return std::nullopt;
}

std::optional<Refusal> update(const AppManifestItem &app, const Facts &facts)
{
    if (facts.held && !facts.installing)
        return Refusal::held;
    if (!facts.hasUpdate && !facts.stagedUpdate && !facts.installing)
        return Refusal::noUpdate;
    return install(app, facts);
}

std::optional<Refusal> remove(const Facts &facts)
{
    if (!facts.handlesInstalledCopies)
        return Refusal::noInstaller;
    if (facts.installing)
        return Refusal::alreadyInstalling;
    if (facts.changing)
        return Refusal::busy;
    if (!copyShown(facts) || !facts.bundleKnown)
        return Refusal::notInstalled;
    return std::nullopt;
}

std::optional<Refusal> rollBack(const Facts &facts)
{
    if (const std::optional<Refusal> refusal = remove(facts))
        return refusal;
    if (!facts.hasPrevious)
        return Refusal::nothingToRollBack;
    return std::nullopt;
}

std::optional<Refusal> open(const Facts &facts)
{
    // The records are not asked: an open of a copy deleted by hand finds it gone and says so.
    if (!copyShown(facts))
        return Refusal::notInstalled;
    return std::nullopt;
}

std::optional<Refusal> verify(const Facts &facts)
{
    if (facts.verifying)
        return Refusal::alreadyVerifying;
    return remove(facts);
}

std::optional<Refusal> repair(const Facts &facts)
{
    if (const std::optional<Refusal> refusal = verify(facts))
        return refusal;
    if (!facts.repair || *facts.repair == BundleVerification::Repair::none)
        return Refusal::nothingToRepair;
    if (*facts.repair == BundleVerification::Repair::permissions || *facts.repair == BundleVerification::Repair::desktop)
        return std::nullopt;
    // A fresh copy of the installed version, from the catalog that offers it now.
    if (!facts.listed)
        return Refusal::notInCatalog;
    if (facts.listed->version != facts.installedVersion)
        return Refusal::versionNotOffered;
    return release(*facts.listed, facts);
}

std::optional<Refusal> decision(const Facts &facts)
{
    if (facts.installing || facts.changing)
        return Refusal::busy;
    if (!facts.bundleKnown || !copyShown(facts))
        return Refusal::notInstalled;
    return std::nullopt;
}

std::optional<Refusal> skip(const Facts &facts)
{
    if (const std::optional<Refusal> refusal = decision(facts))
        return refusal;
    if (!facts.listed || compareVersions(facts.listed->version, facts.installedVersion) != ComparisonResult::orderedDescending)
        return Refusal::noUpdate;
    return std::nullopt;
}

}  // namespace OperationRefusals
