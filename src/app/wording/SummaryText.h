#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// One-line summaries for people: the installer's checksum message names both
// digests in full (64 hexadecimal digits each), which a summary replaces by a
// short sentence in the view's language, and a sentence that ends in an
// ellipsis gets no second full stop.
class SummaryText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit SummaryText(QObject *parent = nullptr) : QObject(parent) {}

    static QString readable(const QString &text, const QString &locale);
    Q_INVOKABLE QString summary(const QString &text, const QString &locale) const { return readable(text, locale); }
};
