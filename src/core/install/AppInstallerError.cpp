#include "AppInstallerError.h"

#include "codec/EnumNames.h"

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

// The case name, then the values the case carries: checksumMismatch(expected: "ab", actual: "cd").
// Operational events carry it as the failure's reason.
QString AppInstallerError::debugDescription() const
{
    const QString name = EnumNames::name(m_kind);
    switch (m_kind) {
    case Kind::checksumMismatch:
        return name + QStringLiteral("(expected: %1, actual: %2)").arg(debugQuoted(m_expected), debugQuoted(m_actual));
    case Kind::unsupportedMacOS:
        return name + QStringLiteral("(minimum: %1)").arg(debugQuoted(m_minimum));
    case Kind::versionNotOffered:
        return name + QStringLiteral("(version: %1)").arg(debugQuoted(m_version));
    default:
        return name;
    }
}
