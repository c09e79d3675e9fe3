#pragma once

#include <QList>
#include <QMetaEnum>
#include <QString>
#include <QStringView>
#include <optional>

// Coded names of enums declared with Q_ENUM / Q_ENUM_NS whose coded form is
// exactly the case name. Enums coded differently keep a table of their own.
namespace EnumNames {

template<typename Enum>
QString name(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(int(value)));
}

// Only the bare case name as spelled: no scoped names, numbers or other case.
template<typename Enum>
std::optional<Enum> fromName(QStringView text)
{
    const QMetaEnum meta = QMetaEnum::fromType<Enum>();
    for (int i = 0; i < meta.keyCount(); ++i) {
        if (QLatin1StringView(meta.key(i)) == text)
            return Enum(meta.value(i));
    }
    return std::nullopt;
}

// Every case in declaration order.
template<typename Enum>
const QList<Enum> &allCases()
{
    static const QList<Enum> cases = [] {
        const QMetaEnum meta = QMetaEnum::fromType<Enum>();
        QList<Enum> all;
        for (int i = 0; i < meta.keyCount(); ++i)
            all.append(Enum(meta.value(i)));
        return all;
    }();
    return cases;
}

}  // namespace EnumNames
