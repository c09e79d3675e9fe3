#include "VantrelLocale.h"

namespace VantrelLocaleUtil {

QString rawValue(VantrelLocale locale)
{
    switch (locale) {
    case VantrelLocale::en: return QStringLiteral("en");
    case VantrelLocale::pl: return QStringLiteral("pl");
    case VantrelLocale::de: return QStringLiteral("de");
    }
    return QStringLiteral("en");
}

std::optional<VantrelLocale> fromRawValue(const QString &raw)
{
    for (VantrelLocale l : allCases()) {
        if (rawValue(l) == raw)
            return l;
    }
    return std::nullopt;
}

const QList<VantrelLocale> &allCases()
{
    static const QList<VantrelLocale> cases{VantrelLocale::en, VantrelLocale::pl, VantrelLocale::de};
    return cases;
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
