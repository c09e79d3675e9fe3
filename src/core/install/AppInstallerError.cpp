#include "AppInstallerError.h"

AppInstallerError AppInstallerError::checksumMismatch(const QString &expected, const QString &actual)
{
    AppInstallerError error(Kind::checksumMismatch);
    error.m_expected = expected;
    error.m_actual = actual;
    return error;
}

AppInstallerError AppInstallerError::unsupportedMacOS(const QString &minimum)
{
    AppInstallerError error(Kind::unsupportedMacOS);
    error.m_minimum = minimum;
    return error;
}

AppInstallerError AppInstallerError::versionNotOffered(const QString &version)
{
    AppInstallerError error(Kind::versionNotOffered);
    error.m_version = version;
    return error;
}

QString AppInstallerError::localizedDescription() const
{
    switch (m_kind) {
    case Kind::checksumMismatch:
        return QStringLiteral("Checksum mismatch. Expected ") + m_expected + QStringLiteral(", got ") + m_actual
            + QStringLiteral(".");
    case Kind::unsupportedMacOS:
        return QStringLiteral("This app requires macOS ") + m_minimum + QStringLiteral(" or newer.");
    case Kind::missingDownloadURL:
        return QStringLiteral("The catalog does not include a download URL.");
    case Kind::invalidReleaseMetadata:
        return QStringLiteral("The release metadata is incomplete.");
    case Kind::unsupportedDownloadScheme:
        return QStringLiteral("The download URL must use HTTPS.");
    case Kind::downloadFailed:
        return QStringLiteral("The download failed.");
    case Kind::extractionFailed:
        return QStringLiteral("The downloaded archive could not be extracted.");
    case Kind::appBundleNotFound:
        return QStringLiteral("The archive does not contain a macOS app bundle.");
    case Kind::bundleIdentifierMismatch:
        return QStringLiteral("The app bundle does not match the catalog bundle identifier.");
    case Kind::cancelled:
        return QStringLiteral("The install was cancelled.");
    case Kind::versionNotOffered:
        return QStringLiteral("The catalog no longer offers version ") + m_version + QStringLiteral(".");
    }
    return {};
}

QString AppInstallerError::debugDescription() const
{
    switch (m_kind) {
    case Kind::checksumMismatch:
        return QStringLiteral("checksumMismatch(expected: %1, actual: %2)").arg(debugQuoted(m_expected), debugQuoted(m_actual));
    case Kind::unsupportedMacOS:
        return QStringLiteral("unsupportedMacOS(minimum: %1)").arg(debugQuoted(m_minimum));
    case Kind::missingDownloadURL: return QStringLiteral("missingDownloadURL");
    case Kind::invalidReleaseMetadata: return QStringLiteral("invalidReleaseMetadata");
    case Kind::unsupportedDownloadScheme: return QStringLiteral("unsupportedDownloadScheme");
    case Kind::downloadFailed: return QStringLiteral("downloadFailed");
    case Kind::extractionFailed: return QStringLiteral("extractionFailed");
    case Kind::appBundleNotFound: return QStringLiteral("appBundleNotFound");
    case Kind::bundleIdentifierMismatch: return QStringLiteral("bundleIdentifierMismatch");
    case Kind::cancelled: return QStringLiteral("cancelled");
    case Kind::versionNotOffered: return QStringLiteral("versionNotOffered(version: %1)").arg(debugQuoted(m_version));
    }
    return {};
}
