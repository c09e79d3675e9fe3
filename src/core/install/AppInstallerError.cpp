#include "AppInstallerError.h"

#include "codec/EnumNames.h"

#include <QLocale>
#include <QStringList>

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

AppInstallerError AppInstallerError::notEnoughSpace(const QList<VolumeNeed> &volumes)
{
    AppInstallerError error(Kind::notEnoughSpace);
    error.m_volumes = volumes;
    return error;
}

QString AppInstallerError::localizedDescription() const
{
    switch (m_kind) {
    case Kind::checksumMismatch:
        // No actual checksum when the download was stopped before its end.
        if (m_actual.isEmpty())
            return QStringLiteral("Checksum mismatch. Expected ") + m_expected + QStringLiteral(".");
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
    case Kind::notEnoughSpace: {
        const QLocale english(QLocale::English);
        QStringList parts;
        for (const VolumeNeed &volume : m_volumes) {
            parts.append(QStringLiteral("%1 needs %2 and has %3 free")
                             .arg(volume.volume, english.formattedDataSize(volume.needed, 1, QLocale::DataSizeSIFormat),
                                  english.formattedDataSize(volume.available, 1, QLocale::DataSizeSIFormat)));
        }
        return QStringLiteral("Not enough disk space: ") + parts.join(QStringLiteral("; ")) + QStringLiteral(".");
    }
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
    case Kind::notEnoughSpace: {
        QStringList volumes;
        for (const VolumeNeed &volume : m_volumes)
            volumes.append(QStringLiteral("(volume: %1, needed: %2, available: %3)")
                               .arg(debugQuoted(volume.volume)).arg(volume.needed).arg(volume.available));
        return name + QStringLiteral("(volumes: [%1])").arg(volumes.join(QStringLiteral(", ")));
    }
    default:
        return name;
    }
}
