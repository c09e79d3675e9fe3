#pragma once

#include "system/SystemLayers.h"

#include <QVariantMap>

// The application properties fixed when the launcher was built
// ("VantrelManifestURL", "VantrelAPIURL": empty unless set at configure time;
// "CFBundleShortVersionString": the project's version).
class CompiledAppProperties : public AppProperties
{
public:
    QVariant value(const QString &key) const override;
};

// Properties from a map, for tests and tools that need other values.
class MapAppProperties : public AppProperties
{
public:
    MapAppProperties() = default;
    explicit MapAppProperties(QVariantMap values) : m_values(std::move(values)) {}

    QVariant value(const QString &key) const override { return m_values.value(key); }
    void setValue(const QString &key, const QVariant &value) { m_values.insert(key, value); }

private:
    QVariantMap m_values;
};
