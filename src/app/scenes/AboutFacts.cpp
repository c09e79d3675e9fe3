#include "AboutFacts.h"

#include <QJSEngine>

AboutFacts *AboutFacts::instance()
{
    static AboutFacts *facts = new AboutFacts;
    return facts;
}

AboutFacts *AboutFacts::create(QQmlEngine *, QJSEngine *)
{
    AboutFacts *facts = instance();
    QJSEngine::setObjectOwnership(facts, QJSEngine::CppOwnership);
    return facts;
}

QString AboutFacts::version() const
{
    return QStringLiteral(VANTREL_VERSION);
}

QString AboutFacts::copyright() const
{
    return QStringLiteral(VANTREL_COPYRIGHT);
}

QString AboutFacts::licence() const
{
    return QStringLiteral(VANTREL_LICENCE);
}

void AboutFacts::setCatalogUrl(const QString &url)
{
    if (m_catalogUrl == url)
        return;
    m_catalogUrl = url;
    Q_EMIT catalogUrlChanged();
}
