#pragma once

#include "system/SystemLayers.h"

// A system version set by the test.
class FixedSystemVersion : public SystemVersionProvider
{
public:
    explicit FixedSystemVersion(OperatingSystemVersion version = {14, 5, 0}) : m_version(version) {}
    OperatingSystemVersion operatingSystemVersion() const override { return m_version; }

private:
    OperatingSystemVersion m_version;
};
