#include "QtNetworkCost.h"

#include <QNetworkInformation>

std::optional<bool> QtNetworkCost::isMetered() const
{
    // Loaded on first use: the backend talks to the system bus, which a start need not wait for.
    static const bool loaded = QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Metered);
    const QNetworkInformation *information = QNetworkInformation::instance();
    if (!loaded || !information || !information->supports(QNetworkInformation::Feature::Metered))
        return std::nullopt;
    return information->isMetered();
}
