#include "VantrelFonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

VantrelFonts::VantrelFonts(QObject *parent) : QObject(parent) {}

QString VantrelFonts::systemFamily() const
{
    return QGuiApplication::font().family();
}

QString VantrelFonts::monoFamily() const
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

bool VantrelFonts::displayFontAvailable() const
{
    return QFontDatabase::hasFamily(displayFamilyName);
}

QString VantrelFonts::displayFamily() const
{
    return displayFontAvailable() ? displayFamilyName : systemFamily();
}
