#include "SummaryText.h"

#include "store/SpaceWording.h"

QString SummaryText::summary(const UpdateBatchResult &updates, const QString &language) const
{
    Q_UNUSED(language)
    return updates.summary(&SummaryText::failureWords);
}

QString SummaryText::failureWords(const UpdateBatch::Failure &failure)
{
    const OperationOutcome &outcome = failure.outcome;
    if (outcome.kind == OperationOutcome::Kind::cancelled)
        return qtTrId("failureCancelled");
    // Refusals are worded by the store already; platform errors carry their own text.
    if (!outcome.installerError)
        return failure.reason;
    switch (outcome.installerError->kind()) {
    case AppInstallerError::Kind::checksumMismatch: return qtTrId("failureChecksumMismatch");
    case AppInstallerError::Kind::unsupportedMacOS:
        return qtTrId("failureUnsupportedMacOS").arg(outcome.installerError->minimum());
    case AppInstallerError::Kind::missingDownloadURL: return qtTrId("failureMissingDownloadURL");
    case AppInstallerError::Kind::invalidReleaseMetadata: return qtTrId("failureInvalidReleaseMetadata");
    case AppInstallerError::Kind::unsupportedDownloadScheme: return qtTrId("failureUnsupportedDownloadScheme");
    case AppInstallerError::Kind::downloadFailed: return qtTrId("failureDownloadFailed");
    case AppInstallerError::Kind::extractionFailed: return qtTrId("failureExtractionFailed");
    case AppInstallerError::Kind::appBundleNotFound: return qtTrId("failureAppBundleNotFound");
    case AppInstallerError::Kind::bundleIdentifierMismatch: return qtTrId("failureBundleIdentifierMismatch");
    case AppInstallerError::Kind::cancelled: return qtTrId("failureCancelled");
    case AppInstallerError::Kind::notEnoughSpace: return SpaceWording::sentence(outcome.installerError->volumes());
    // Only a repair asks for a version; its error names the version itself.
    case AppInstallerError::Kind::versionNotOffered: return failure.reason;
    }
    return failure.reason;
}
