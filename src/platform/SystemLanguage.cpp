#include "SystemLanguage.h"

#include <QLocale>

std::optional<QString> SystemLanguage::preferredLanguage() const
{
    const QStringList languages = QLocale::system().uiLanguages();
    if (languages.isEmpty() || languages.first().isEmpty())
        return std::nullopt;
    return languages.first();
}
