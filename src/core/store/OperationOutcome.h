#pragma once

#include "install/AppInstaller.h"

#include <QObject>
#include <QString>
#include <optional>

namespace RefusalKinds {
Q_NAMESPACE
// Why an operation on an app was not started: the check that failed. The
// case names are the coded form tools and logs show (codec/EnumNames.h).
enum class Refusal {
    unknownApp,
    noPublishedRelease,  // not beta or live, or no download, checksum or version
    comingSoon,
    retired,
    malformedChecksum,
    systemTooOld,
    alreadyInstalling,
    alreadyInstalled,
    noUpdate,
    notInstalled,
    busy,  // being removed or rolled back
    nothingToRollBack,
    noInstaller,
    notInCatalog,  // installed, but the catalog no longer offers it: nothing to install from
    alreadyVerifying,
    nothingToRepair,    // not verified, or nothing found
    versionNotOffered,  // a repair needs the installed version, and the catalog offers another
    held,               // the user holds the app at its version until released
    catalogExpired,     // install, update: the catalog shown is past its expiry
};
Q_ENUM_NS(Refusal)
}  // namespace RefusalKinds

using RefusalKinds::Refusal;

namespace RefusalText {
// The message id of the sentence that says why.
const char *key(Refusal refusal);
}  // namespace RefusalText

// How an operation on an app ended.
struct OperationOutcome {
    enum class Kind { done, refused, failed, cancelled };

    Kind kind = Kind::done;
    std::optional<Refusal> refusal;  // refused only
    QString reason;                  // failed only: the localized description
    // Failed in the installer: its error, which views word in their own
    // language (its description is fixed English).
    std::optional<AppInstallerError> installerError;

    static OperationOutcome done() { return {}; }
    static OperationOutcome refused(Refusal refusal) { return {Kind::refused, refusal, {}}; }
    static OperationOutcome failed(QString reason, std::optional<AppInstallerError> installerError = std::nullopt)
    {
        return {Kind::failed, std::nullopt, std::move(reason), std::move(installerError)};
    }
    static OperationOutcome cancelled() { return {Kind::cancelled, std::nullopt, {}}; }

    friend bool operator==(const OperationOutcome &, const OperationOutcome &) = default;
};
