#pragma once

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <optional>

// Conversions of the store's C++ values into the forms its properties
// publish: null for an empty optional, a map for a hash, sorted lists for sets.
template <typename T>
QVariant optionalVariant(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

template <typename T>
QVariantMap variantMap(const QHash<QString, T> &hash)
{
    QVariantMap map;
    for (auto it = hash.cbegin(); it != hash.cend(); ++it)
        map.insert(it.key(), QVariant::fromValue(it.value()));
    return map;
}

template <typename Container>
QVariantList variantList(const Container &items)
{
    QVariantList list;
    for (const auto &item : items)
        list.append(QVariant::fromValue(item));
    return list;
}

// A set as a list in ascending order, so it reads the same every time.
inline QStringList sortedList(const QSet<QString> &set)
{
    QStringList list(set.cbegin(), set.cend());
    list.sort();
    return list;
}
