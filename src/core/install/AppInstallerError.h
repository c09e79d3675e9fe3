#pragma once

#include "errors/LauncherError.h"

#include <QList>
#include <QObject>
#include <QString>

namespace AppInstallerErrorKinds {
Q_NAMESPACE
// The case names are the debug description's names (codec/EnumNames.h).
enum class Kind {
    checksumMismatch,
    unsupportedMacOS,
    missingDownloadURL,
    invalidReleaseMetadata,
    unsupportedDownloadScheme,
    downloadFailed,
    extractionFailed,
    appBundleNotFound,
    bundleIdentifierMismatch,
    // The caller asked the install to stop before the bundle was swapped in.
    cancelled,
    // A repair asked for the installed version and the catalog offers another.
    versionNotOffered,
    // The download, its extraction or the staged copy would not fit on a
    // file system; found before anything was written there.
    notEnoughSpace,
};
Q_ENUM_NS(Kind)
}  // namespace AppInstallerErrorKinds

// One file system an install writes to: what the install needs there and
// what was free.
struct VolumeNeed {
    QString volume;  // where the file system is mounted
    qint64 needed = 0;
    qint64 available = 0;

    bool fits() const { return needed <= available; }
    friend bool operator==(const VolumeNeed &, const VolumeNeed &) = default;
};

class AppInstallerError : public LauncherError
{
public:
    using Kind = AppInstallerErrorKinds::Kind;

    static AppInstallerError checksumMismatch(const QString &expected, const QString &actual);
    static AppInstallerError unsupportedMacOS(const QString &minimum);
    static AppInstallerError versionNotOffered(const QString &version);
    // Every file system the install writes to, at least one of which is too small.
    static AppInstallerError notEnoughSpace(const QList<VolumeNeed> &volumes);
    explicit AppInstallerError(Kind kind) : m_kind(kind) {}

    Kind kind() const { return m_kind; }
    QString expected() const { return m_expected; }
    QString actual() const { return m_actual; }
    QString minimum() const { return m_minimum; }
    QString version() const { return m_version; }
    const QList<VolumeNeed> &volumes() const { return m_volumes; }

    QString localizedDescription() const override;
    QString debugDescription() const override;

    friend bool operator==(const AppInstallerError &a, const AppInstallerError &b)
    {
        return a.m_kind == b.m_kind && a.m_expected == b.m_expected && a.m_actual == b.m_actual
            && a.m_minimum == b.m_minimum && a.m_version == b.m_version && a.m_volumes == b.m_volumes;
    }

private:
    Kind m_kind;
    QString m_expected;
    QString m_actual;
    QString m_minimum;
    QString m_version;
    QList<VolumeNeed> m_volumes;
};
