#include "OperationOutcome.h"

namespace RefusalText {

CopyKey key(Refusal refusal)
{
    switch (refusal) {
    case Refusal::unknownApp: return CopyKey::refusalUnknownApp;
    case Refusal::noPublishedRelease: return CopyKey::refusalNoPublishedRelease;
    case Refusal::comingSoon: return CopyKey::refusalComingSoon;
    case Refusal::retired: return CopyKey::refusalRetired;
    case Refusal::malformedChecksum: return CopyKey::refusalMalformedChecksum;
    case Refusal::systemTooOld: return CopyKey::refusalSystemTooOld;
    case Refusal::alreadyInstalling: return CopyKey::refusalAlreadyInstalling;
    case Refusal::alreadyInstalled: return CopyKey::refusalAlreadyInstalled;
    case Refusal::noUpdate: return CopyKey::updateNotAvailable;
    case Refusal::notInstalled: return CopyKey::refusalNotInstalled;
    case Refusal::busy: return CopyKey::refusalBusy;
    case Refusal::nothingToRollBack: return CopyKey::refusalNothingToRollBack;
    case Refusal::noInstaller: return CopyKey::refusalNoInstaller;
    }
    return CopyKey::refusalUnknownApp;
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
    }
    return {};
}

}  // namespace RefusalText
