#pragma once

#include "CopyKey.h"
#include "VantrelLocale.h"

#include <QHash>
#include <QMap>
#include <QString>

// The compiled-in copy catalogue: every interface text in three languages.
namespace VantrelCopy {

using Values = QMap<QString, QString>;

// Template for key in locale, falling back to English, then to the key's name.
QString templateFor(CopyKey key, VantrelLocale locale);

// Template with every "{{name}}" of values replaced by its value.
QString text(CopyKey key, VantrelLocale locale, const Values &values = {});

// The key's raw value: exactly its case name.
QString rawValue(CopyKey key);
std::optional<CopyKey> keyFromRawValue(const QString &raw);

// All keys in declaration order.
const QList<CopyKey> &allKeys();

// The whole table, per language.
const QHash<VantrelLocale, QHash<CopyKey, QString>> &messages();

}  // namespace VantrelCopy
