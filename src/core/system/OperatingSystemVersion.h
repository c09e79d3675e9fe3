#pragma once

#include <QString>
#include <QtGlobal>

// A system version as major.minor.patch; compared part by part.
struct OperatingSystemVersion {
    qint64 majorVersion = 0;
    qint64 minorVersion = 0;
    qint64 patchVersion = 0;

    friend bool operator==(const OperatingSystemVersion &, const OperatingSystemVersion &) = default;
    friend auto operator<=>(const OperatingSystemVersion &, const OperatingSystemVersion &) = default;
    // "14.5.0": always three parts.
    QString toString() const;
};
