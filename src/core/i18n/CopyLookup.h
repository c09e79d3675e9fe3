#pragma once

#include "VantrelCopy.h"

#include <QDate>
#include <QObject>
#include <QVariantMap>

// Copy-catalogue lookups in one language. The store owns one and publishes it
// with its locale's change signal, so every view binding that reads a text
// through it is re-evaluated when the language changes.
class CopyLookup : public QObject
{
    Q_OBJECT

public:
    explicit CopyLookup(VantrelLocale locale, QObject *parent = nullptr);

    VantrelLocale locale() const { return m_locale; }
    // True when the language really changed.
    bool setLocale(VantrelLocale locale);

    QString text(CopyKey key, const VantrelCopy::Values &values = {}) const;
    // For the views: a key by its name (an unknown name comes back as it is);
    // values fill "{{name}}" placeholders.
    Q_INVOKABLE QString text(const QString &key, const QVariantMap &values = {}) const;

    // Full weekday, day and full month, in the language's usual order, upper case.
    QString formattedDate(const QDate &date) const;

private:
    VantrelLocale m_locale;
};
