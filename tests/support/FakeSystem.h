#pragma once

// Substitutes for what the operating system tells the launcher, set by the test.

#include "system/SystemLayers.h"

#include <QVariantMap>

class FixedSystemVersion : public SystemVersionProvider
{
public:
    explicit FixedSystemVersion(OperatingSystemVersion v = {14, 5, 0}) : version(v) {}
    OperatingSystemVersion operatingSystemVersion() const override { return version; }
    OperatingSystemVersion version;
};

class FixedLanguage : public SystemLanguageProvider
{
public:
    explicit FixedLanguage(std::optional<QString> l = std::nullopt) : language(std::move(l)) {}
    std::optional<QString> preferredLanguage() const override { return language; }
    std::optional<QString> language;
};

class FixedAppProperties : public AppProperties
{
public:
    QVariant value(const QString &key) const override { return values.value(key); }
    QVariantMap values;
};
