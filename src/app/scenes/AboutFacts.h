#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

// What the About window states: the launcher's version, its copyright and
// licence as the package's copyright file states them (read at build time),
// and the catalog URL the running launcher fetches. One instance per process;
// the application sets the catalog URL once its collaborators exist.
class AboutFacts : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(AboutFacts)
    QML_SINGLETON
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString copyright READ copyright CONSTANT)
    Q_PROPERTY(QString licence READ licence CONSTANT)
    Q_PROPERTY(QString catalogUrl READ catalogUrl NOTIFY catalogUrlChanged)

public:
    static AboutFacts *instance();
    static AboutFacts *create(QQmlEngine *, QJSEngine *);

    QString version() const;
    QString copyright() const;
    // The licence's name and text, as one paragraph.
    QString licence() const;
    QString catalogUrl() const { return m_catalogUrl; }
    void setCatalogUrl(const QString &url);

Q_SIGNALS:
    void catalogUrlChanged();

private:
    explicit AboutFacts(QObject *parent = nullptr) : QObject(parent) {}
    QString m_catalogUrl;
};
