#pragma once

#include "OperationOutcome.h"
#include "catalog/AppInstallState.h"
#include "catalog/Models.h"
#include "install/BundleVerification.h"
#include "system/OperatingSystemVersion.h"

#include <optional>

// Why an operation on an app would be refused, or nothing. The rules alone,
// over what the installed apps know of the app when asked, so that each one
// can be read and tested without an installer, records or a catalog.
namespace OperationRefusals {

// What the rules go by, for one app.
struct Facts {
    // The catalog's entry for the app; null when the catalog does not list it.
    const AppManifestItem *listed = nullptr;
    // Listed, or installed and described as its receipt kept it.
    bool described = false;
    // The catalog shown is past its expiry.
    bool catalogExpired = false;
    OperatingSystemVersion running;
    // The state shown, and the version of the copy it says is on disk (empty: none).
    AppInstallState::Kind shown = AppInstallState::Kind::notInstalled;
    QString installedVersion;
    // The records name its bundle.
    bool bundleKnown = false;
    // The installer runs for it; it is being removed, rolled back or repaired
    // in place; it is being verified.
    bool installing = false;
    bool changing = false;
    bool verifying = false;
    // Something acts on installed copies (remove, roll back, verify, repair).
    bool handlesInstalledCopies = false;
    // An update is offered, or one the catalog releases gradually has not reached it yet.
    bool hasUpdate = false;
    bool stagedUpdate = false;
    bool held = false;
    // A previous copy is kept to roll back to.
    bool hasPrevious = false;
    // What the last verify of the copy there now says to repair; nullopt before one.
    std::optional<BundleVerification::Repair> repair;
};

// Whether the catalog offers a release of app this system can install.
std::optional<Refusal> release(const AppManifestItem &app, const Facts &facts);
std::optional<Refusal> install(const AppManifestItem &app, const Facts &facts);
std::optional<Refusal> update(const AppManifestItem &app, const Facts &facts);
// Remove, and the start of every check on an installed copy.
std::optional<Refusal> remove(const Facts &facts);
std::optional<Refusal> rollBack(const Facts &facts);
std::optional<Refusal> open(const Facts &facts);
std::optional<Refusal> verify(const Facts &facts);
std::optional<Refusal> repair(const Facts &facts);
// Holding, releasing, skipping a version or offering it again.
std::optional<Refusal> decision(const Facts &facts);
// Skipping the catalog's version: it must be newer than the copy installed.
std::optional<Refusal> skip(const Facts &facts);

}  // namespace OperationRefusals
