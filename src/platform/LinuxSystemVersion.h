#pragma once

#include "system/SystemLayers.h"

// The running system's version: on Linux the numbers of the kernel release
// ("6.1.0-18-amd64" gives 6.1.0), on macOS the product version.
class LinuxSystemVersion : public SystemVersionProvider
{
public:
    OperatingSystemVersion operatingSystemVersion() const override;

    // Leading "major[.minor[.patch]]" numbers of a release text; missing parts 0.
    static OperatingSystemVersion parseRelease(const QString &release);
};
