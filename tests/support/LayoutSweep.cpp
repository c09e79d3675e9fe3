#include "LayoutSweep.h"

#include "QmlHarness.h"

#include <QFontMetricsF>
#include <QQuickWindow>

namespace LayoutSweep {

namespace {

constexpr qreal slack = 0.5;        // a layout's rounding, not a fault
constexpr qreal unbounded = 1e9;    // along a direction a view scrolls
constexpr qreal narrowestLine = 12;  // characters a wrapped line holds at the least

bool isCard(const QQuickItem *item)
{
    for (const QMetaObject *type = item->metaObject(); type; type = type->superClass()) {
        if (qstrncmp(type->className(), "VantrelCard_QML", 15) == 0)
            return true;
    }
    return false;
}

QRectF sceneRect(const QQuickItem *item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
}

// Where a text draws: its content, placed in its box as aligned (a box may be taller than its lines).
QRectF paintedRect(const QQuickItem *item)
{
    const QSizeF content(item->property("contentWidth").toReal(), item->property("contentHeight").toReal());
    const int h = item->property("effectiveHorizontalAlignment").toInt();
    const int v = item->property("verticalAlignment").toInt();
    const qreal x = h & Qt::AlignRight ? item->width() - content.width() : h & Qt::AlignHCenter ? (item->width() - content.width()) / 2 : 0;
    const qreal y = v & Qt::AlignBottom ? item->height() - content.height() : v & Qt::AlignVCenter ? (item->height() - content.height()) / 2 : 0;
    return item->mapRectToScene(QRectF(QPointF(x, y), content));
}

// The room an item has: the window and every view above it, each opened up along the directions a view above it
// scrolls (content may lie beyond the view there, not across it).
QRectF room(const QQuickItem *item)
{
    QList<const QQuickItem *> views;
    bool across = false, down = false;
    for (const QQuickItem *p = item->parentItem(); p; p = p->parentItem()) {
        if (!p->inherits("QQuickFlickable"))
            continue;
        views.prepend(p);  // outermost first
        across |= p->property("contentWidth").toReal() > p->width() + slack;
        down |= p->property("contentHeight").toReal() > p->height() + slack;
    }
    const auto opened = [&](const QRectF &r) {
        return QRectF(QPointF(across ? -unbounded : r.left(), down ? -unbounded : r.top()),
                      QPointF(across ? unbounded : r.right(), down ? unbounded : r.bottom()));
    };
    QRectF bounds = opened(item->window()->contentItem()->boundingRect());
    for (const QQuickItem *view : views)
        bounds &= opened(sceneRect(view));
    return bounds;
}

const QQuickItem *cardAbove(const QQuickItem *item)
{
    for (const QQuickItem *p = item->parentItem(); p; p = p->parentItem()) {
        if (isCard(p))
            return p;
    }
    return nullptr;
}

QString describe(const QQuickItem *item)
{
    const QString text = ViewHost::text(item);
    const QString name = item->objectName().isEmpty() ? QString::fromLatin1(item->metaObject()->className()) : item->objectName();
    return text.isEmpty() ? name : name + QStringLiteral(" \"") + text + QLatin1Char('"');
}

QString where(const QRectF &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// A text that breaks into more lines than it has: how many characters of its font its lines hold.
std::optional<qreal> wrappedWidthInCharacters(const QQuickItem *item)
{
    const QVariant wrap = item->property("wrapMode");
    const int lines = item->property("lineCount").toInt();
    if (!wrap.isValid() || wrap.toInt() == 0 || lines <= ViewHost::text(item).count(QLatin1Char('\n')) + 1)
        return std::nullopt;
    return item->width() / QFontMetricsF(item->property("font").value<QFont>()).averageCharWidth();
}

}  // namespace

QList<QQuickItem *> shownItems(QQuickItem *root, const std::function<bool(const QQuickItem *)> &wanted)
{
    QList<QQuickItem *> out;
    std::function<void(QQuickItem *)> visit = [&](QQuickItem *item) {
        if (!item->isVisible() || item->opacity() <= 0)
            return;
        if (wanted(item))
            out.append(item);
        for (QQuickItem *child : item->childItems())
            visit(child);
    };
    if (root && ViewHost::shown(root))
        visit(root);
    return out;
}

bool isText(const QQuickItem *item)
{
    return item->inherits("QQuickText") || item->inherits("QQuickTextEdit") || item->inherits("QQuickTextInput");
}

bool isControl(const QQuickItem *item)
{
    return item->inherits("QQuickControl");
}

QStringList faults(QQuickItem *root)
{
    QStringList out;
    const auto wanted = [](const QQuickItem *item) {
        return (isText(item) || isControl(item)) && item->width() > 0 && item->height() > 0
            && !(isText(item) && ViewHost::text(item).isEmpty());
    };
    for (const QQuickItem *item : shownItems(root, wanted)) {
        const QRectF r = isText(item) && item->property("contentWidth").isValid() ? paintedRect(item) : sceneRect(item);
        if (const QQuickItem *card = cardAbove(item); card && !sceneRect(card).adjusted(-slack, -slack, slack, slack).contains(r))
            out << describe(item) + QStringLiteral(" at ") + where(r) + QStringLiteral(" past its card at ") + where(sceneRect(card));
        if (const QRectF bounds = room(item); !bounds.adjusted(-slack, -slack, slack, slack).contains(r))
            out << describe(item) + QStringLiteral(" at ") + where(r) + QStringLiteral(" out of the window");
        if (const auto wide = wrappedWidthInCharacters(item); wide && *wide < narrowestLine)
            out << describe(item) + QStringLiteral(" wrapped into %1 lines %2 characters wide").arg(item->property("lineCount").toInt()).arg(*wide, 0, 'f', 1);
    }
    return out;
}

}  // namespace LayoutSweep
