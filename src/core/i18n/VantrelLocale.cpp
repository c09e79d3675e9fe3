#include "VantrelLocale.h"

#include "codec/EnumNames.h"

namespace VantrelLocaleUtil {

QString rawValue(VantrelLocale locale)
{
    return EnumNames::name(locale);
}

std::optional<VantrelLocale> fromRawValue(const QString &raw)
{
    return EnumNames::fromName<VantrelLocale>(raw);
}

VantrelLocale normalized(const std::optional<QString> &identifier)
{
    if (!identifier)
        return VantrelLocale::en;
    // Only the language code decides; a region after "-" is ignored.
    const QString lowered = identifier->toLower();
    if (auto exact = fromRawValue(lowered))
        return *exact;
    if (lowered.startsWith(QLatin1String("pl-")))
        return VantrelLocale::pl;
    if (lowered.startsWith(QLatin1String("de-")))
        return VantrelLocale::de;
    return VantrelLocale::en;
}

}  // namespace VantrelLocaleUtil
