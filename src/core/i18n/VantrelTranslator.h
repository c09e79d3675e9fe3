#pragma once

#include "VantrelLocale.h"

#include <QDate>
#include <QObject>
#include <QTranslator>

// Puts one language's compiled translations in front of the application, so
// qtTrId and qsTrId answer in it, and swaps them when the language changes.
// English stays installed underneath: a message another language lacks reads
// in English rather than as its id. The window and the terminal tool both
// start from the system language (VantrelLocaleUtil::normalized).
class VantrelTranslator : public QObject
{
    Q_OBJECT

public:
    explicit VantrelTranslator(VantrelLocale locale, QObject *parent = nullptr);

    VantrelLocale locale() const { return m_locale; }
    // True when the language really changed; the new texts are in place on return.
    bool setLocale(VantrelLocale locale);

    // Full weekday, day and full month, in the language's usual order, upper case.
    QString formattedDate(const QDate &date) const;

    // The compiled translations of a language, as built into the core.
    static QString qmFile(VantrelLocale locale);

private:
    void install();

    VantrelLocale m_locale;
    QTranslator m_english;
    QTranslator m_chosen;
    QTranslator m_qt;
};
