#pragma once

#include "system/SystemLayers.h"

// The first of the system's preferred user-interface languages ("de-DE").
class SystemLanguage : public SystemLanguageProvider
{
public:
    std::optional<QString> preferredLanguage() const override;
};

// A fixed answer, for tests and tools that choose the language themselves.
class FixedSystemLanguage : public SystemLanguageProvider
{
public:
    explicit FixedSystemLanguage(std::optional<QString> language) : m_language(std::move(language)) {}
    std::optional<QString> preferredLanguage() const override { return m_language; }

private:
    std::optional<QString> m_language;
};
