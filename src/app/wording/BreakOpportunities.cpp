#include "BreakOpportunities.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJSEngine>

namespace {
constexpr QChar zeroWidthSpace(0x200B);
}

BreakOpportunities::BreakOpportunities(QObject *parent) : QObject(parent)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::selectionChanged, this, &BreakOpportunities::cleanSelection);
}

BreakOpportunities *BreakOpportunities::create(QQmlEngine *, QJSEngine *)
{
    static BreakOpportunities *instance = new BreakOpportunities;
    QJSEngine::setObjectOwnership(instance, QJSEngine::CppOwnership);
    return instance;
}

QString BreakOpportunities::atDotsAndSlashes(const QString &value)
{
    QString text;
    text.reserve(value.size() + value.size() / 4);
    for (qsizetype i = 0; i < value.size(); ++i) {
        text += value.at(i);
        const bool breakable = value.at(i) == QLatin1Char('.') || value.at(i) == QLatin1Char('/');
        // Not inside a run ("//", "..."), nor at the end.
        if (breakable && i + 1 < value.size() && value.at(i + 1) != value.at(i))
            text += zeroWidthSpace;
    }
    return text;
}

QString BreakOpportunities::withoutBreaks(QString text)
{
    return text.remove(zeroWidthSpace);
}

void BreakOpportunities::copy(const QString &text)
{
    QGuiApplication::clipboard()->setText(withoutBreaks(text));
}

void BreakOpportunities::cleanSelection()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QString text = clipboard->text(QClipboard::Selection);
    // Setting the clean text announces a change again, which then finds nothing to clean.
    if (clipboard->ownsSelection() && text.contains(zeroWidthSpace))
        clipboard->setText(withoutBreaks(text), QClipboard::Selection);
}
