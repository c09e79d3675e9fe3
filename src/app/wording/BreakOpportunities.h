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
// zero-width space after each dot and slash; while the instance lives, a
// copy of such a text the launcher puts on the clipboard (or the selection)
// is cleaned of them, so what is pasted is the value itself.
class BreakOpportunities : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static BreakOpportunities *create(QQmlEngine *, QJSEngine *);

    Q_INVOKABLE static QString atDotsAndSlashes(const QString &value);
    static QString withoutBreaks(QString text);

private:
    explicit BreakOpportunities(QObject *parent = nullptr);
    void cleanClipboard(int mode);
};
