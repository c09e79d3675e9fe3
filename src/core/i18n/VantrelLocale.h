#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <optional>

namespace VantrelLocales {
Q_NAMESPACE

// Declaration order is the order the language picker lists.
enum class VantrelLocale { en, pl, de };
Q_ENUM_NS(VantrelLocale)

}  // namespace VantrelLocales

using VantrelLocales::VantrelLocale;

namespace VantrelLocaleUtil {

// Maps a system language identifier ("de-AT", "pl", ...) to a supported language.
VantrelLocale normalized(const std::optional<QString> &identifier);

}  // namespace VantrelLocaleUtil
