#include "VantrelTranslator.h"
#include "codec/EnumNames.h"

#include "log/Logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

VantrelTranslator::VantrelTranslator(VantrelLocale locale, QObject *parent) : QObject(parent), m_locale(locale)
{
    if (!m_english.load(qmFile(VantrelLocale::en)))
        qCWarning(lcI18n) << "The English translations are missing from the build.";
    QCoreApplication::installTranslator(&m_english);
    install();
}

bool VantrelTranslator::setLocale(VantrelLocale locale)
{
    if (m_locale == locale)
        return false;
    m_locale = locale;
    install();
    return true;
}

void VantrelTranslator::install()
{
    QCoreApplication::removeTranslator(&m_chosen);
    QCoreApplication::removeTranslator(&m_qt);
    // Counts (%Ln) take the default locale's digits and grouping.
    QLocale::setDefault(QLocale(EnumNames::name(m_locale)));
    if (m_locale == VantrelLocale::en)
        return;
    if (m_chosen.load(qmFile(m_locale)))
        QCoreApplication::installTranslator(&m_chosen);
    else
        qCWarning(lcI18n).noquote() << "The" << EnumNames::name(m_locale) << "translations are missing from the build.";
    // Qt's own texts (its option help, its network errors) from the system's
    // Qt translations, where they are installed.
    const QString qtTranslations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (m_qt.load(QStringLiteral("qtbase_") + EnumNames::name(m_locale), qtTranslations))
        QCoreApplication::installTranslator(&m_qt);
}

QString VantrelTranslator::qmFile(VantrelLocale locale)
{
    return QStringLiteral(":/i18n/vantrel_%1.qm").arg(EnumNames::name(locale));
}

QString VantrelTranslator::formattedDate(const QDate &date) const
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
    const QLocale qlocale(EnumNames::name(m_locale));
    return qlocale.toUpper(qlocale.toString(date, pattern));
}
