#include "VantrelCopy.h"

#include "codec/EnumNames.h"

namespace {

struct CopyRow {
    CopyKey key;
    const char16_t *en;
    const char16_t *pl;
    const char16_t *de;
};

constexpr CopyRow copyRows[] = {
#include "CopyCatalogue.inc"
};

static_assert(std::size(copyRows) == copyKeyCount, "every key has one row");

}  // namespace

namespace VantrelCopy {

const QHash<VantrelLocale, QHash<CopyKey, QString>> &messages()
{
    // Function-local static: built once, thread-safe.
    static const QHash<VantrelLocale, QHash<CopyKey, QString>> table = [] {
        QHash<VantrelLocale, QHash<CopyKey, QString>> t;
        for (const CopyRow &row : copyRows) {
            t[VantrelLocale::en].insert(row.key, QString::fromUtf16(row.en));
            t[VantrelLocale::pl].insert(row.key, QString::fromUtf16(row.pl));
            t[VantrelLocale::de].insert(row.key, QString::fromUtf16(row.de));
        }
        return t;
    }();
    return table;
}

QString rawValue(CopyKey key)
{
    return EnumNames::name(key);
}

std::optional<CopyKey> keyFromRawValue(const QString &raw)
{
    return EnumNames::fromName<CopyKey>(raw);
}

const QList<CopyKey> &allKeys()
{
    static const QList<CopyKey> keys = [] {
        QList<CopyKey> k;
        for (const CopyRow &row : copyRows)
            k.append(row.key);
        return k;
    }();
    return keys;
}

QString templateFor(CopyKey key, VantrelLocale locale)
{
    const auto &table = messages();
    const auto localeTable = table.constFind(locale);
    if (localeTable != table.constEnd()) {
        const auto it = localeTable->constFind(key);
        if (it != localeTable->constEnd())
            return *it;
    }
    const auto &english = table.value(VantrelLocale::en);
    const auto it = english.constFind(key);
    if (it != english.constEnd())
        return *it;
    return rawValue(key);
}

QString text(CopyKey key, VantrelLocale locale, const Values &values)
{
    QString result = templateFor(key, locale);
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        result.replace(QStringLiteral("{{") + it.key() + QStringLiteral("}}"), it.value());
    return result;
}

}  // namespace VantrelCopy
