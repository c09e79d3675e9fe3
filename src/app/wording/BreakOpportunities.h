#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

// Ids and URLs break across lines only after their dots and slashes
// ("com.vantrel." / "notes"), never inside a word: Unicode's line-breaking
// rules offer no break after a dot between letters, so a long id broke
// anywhere. Views show such values through atDotsAndSlashes, which puts a
// zero-width space after each dot and slash, and copy them with copy(); the
// X11 selection a mouse makes of such a text is cleaned as soon as the
// launcher owns it. What is pasted is the value itself.
class BreakOpportunities : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static BreakOpportunities *create(QQmlEngine *, QJSEngine *);

    Q_INVOKABLE static QString atDotsAndSlashes(const QString &value);
    static QString withoutBreaks(QString text);
    // Puts the text on the clipboard without its break marks.
    Q_INVOKABLE static void copy(const QString &text);

private:
    explicit BreakOpportunities(QObject *parent = nullptr);
    static void cleanSelection();
};
