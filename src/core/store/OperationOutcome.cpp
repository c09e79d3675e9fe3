#include "OperationOutcome.h"

namespace RefusalText {

const char *key(Refusal refusal)
{
    switch (refusal) {
    case Refusal::unknownApp: return "refusalUnknownApp";
    case Refusal::noPublishedRelease: return "refusalNoPublishedRelease";
    case Refusal::comingSoon: return "refusalComingSoon";
    case Refusal::retired: return "refusalRetired";
    case Refusal::malformedChecksum: return "refusalMalformedChecksum";
    case Refusal::systemTooOld: return "refusalSystemTooOld";
    case Refusal::alreadyInstalling: return "refusalAlreadyInstalling";
    case Refusal::alreadyInstalled: return "refusalAlreadyInstalled";
    case Refusal::noUpdate: return "updateNotAvailable";
    case Refusal::notInstalled: return "refusalNotInstalled";
    case Refusal::busy: return "refusalBusy";
    case Refusal::nothingToRollBack: return "refusalNothingToRollBack";
    case Refusal::noInstaller: return "refusalNoInstaller";
    case Refusal::notInCatalog: return "refusalNotInCatalog";
    case Refusal::alreadyVerifying: return "refusalAlreadyVerifying";
    case Refusal::nothingToRepair: return "refusalNothingToRepair";
    case Refusal::versionNotOffered: return "refusalVersionNotOffered";
    }
    return "refusalUnknownApp";
}

QString name(Refusal refusal)
{
    switch (refusal) {
    case Refusal::unknownApp: return QStringLiteral("unknownApp");
    case Refusal::noPublishedRelease: return QStringLiteral("noPublishedRelease");
    case Refusal::comingSoon: return QStringLiteral("comingSoon");
    case Refusal::retired: return QStringLiteral("retired");
    case Refusal::malformedChecksum: return QStringLiteral("malformedChecksum");
    case Refusal::systemTooOld: return QStringLiteral("systemTooOld");
    case Refusal::alreadyInstalling: return QStringLiteral("alreadyInstalling");
    case Refusal::alreadyInstalled: return QStringLiteral("alreadyInstalled");
    case Refusal::noUpdate: return QStringLiteral("noUpdate");
    case Refusal::notInstalled: return QStringLiteral("notInstalled");
    case Refusal::busy: return QStringLiteral("busy");
    case Refusal::nothingToRollBack: return QStringLiteral("nothingToRollBack");
    case Refusal::noInstaller: return QStringLiteral("noInstaller");
    case Refusal::notInCatalog: return QStringLiteral("notInCatalog");
    case Refusal::alreadyVerifying: return QStringLiteral("alreadyVerifying");
    case Refusal::nothingToRepair: return QStringLiteral("nothingToRepair");
    case Refusal::versionNotOffered: return QStringLiteral("versionNotOffered");
    }
    return {};
}

}  // namespace RefusalText
