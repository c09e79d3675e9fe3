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
    case Refusal::held: return "refusalHeld";
    case Refusal::catalogExpired: return "refusalCatalogExpired";
    }
    return "refusalUnknownApp";
}

}  // namespace RefusalText
