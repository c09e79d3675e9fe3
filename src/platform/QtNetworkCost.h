#pragma once

#include "system/SystemLayers.h"

// Whether the connection is metered, as Qt's network information backend
// tells (NetworkManager on Linux). Without a backend that knows: not known.
class QtNetworkCost : public NetworkCost
{
public:
    std::optional<bool> isMetered() const override;
};
