#include "CopyLookup.h"

#include <QLocale>

CopyLookup::CopyLookup(VantrelLocale locale, QObject *parent) : QObject(parent), m_locale(locale) {}

bool CopyLookup::setLocale(VantrelLocale locale)
{
    if (m_locale == locale)
        return false;
    m_locale = locale;
    return true;
}

QString CopyLookup::text(CopyKey key, const VantrelCopy::Values &values) const
{
    return VantrelCopy::text(key, m_locale, values);
}

QString CopyLookup::text(const QString &key, const QVariantMap &values) const
{
    const auto copyKey = VantrelCopy::keyFromRawValue(key);
    if (!copyKey)
        return key;
    VantrelCopy::Values filled;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        filled.insert(it.key(), it.value().toString());
    return text(*copyKey, filled);
}

QString CopyLookup::formattedDate(const QDate &date) const
{
    // The CLDR skeleton EEEE MMMM d in each language's order; Polish takes the
    // genitive month name, which QLocale gives for "MMMM" next to a day.
    QString pattern;
    switch (m_locale) {
    case VantrelLocale::en:
        pattern = QStringLiteral("dddd, MMMM d");
        break;
    case VantrelLocale::pl:
        pattern = QStringLiteral("dddd, d MMMM");
        break;
    case VantrelLocale::de:
        pattern = QStringLiteral("dddd, d. MMMM");
        break;
    }
    const QLocale qlocale(VantrelLocaleUtil::rawValue(m_locale));
    return qlocale.toUpper(qlocale.toString(date, pattern));
}
