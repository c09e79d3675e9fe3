#include "GradientRoundedRect.h"

#include "store/SetIfChanged.h"

#include <QLinearGradient>
#include <QPainter>

GradientRoundedRect::GradientRoundedRect(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void GradientRoundedRect::setRadius(qreal radius)
{
    if (setIfChanged(this, m_radius, radius, &GradientRoundedRect::radiusChanged))
        update();
}

void GradientRoundedRect::setStartColor(const QColor &color)
{
    if (setIfChanged(this, m_startColor, color, &GradientRoundedRect::startColorChanged))
        update();
}

void GradientRoundedRect::setEndColor(const QColor &color)
{
    if (setIfChanged(this, m_endColor, color, &GradientRoundedRect::endColorChanged))
        update();
}

void GradientRoundedRect::paint(QPainter *painter)
{
    paintPlate(painter, boundingRect());
}

qreal GradientRoundedRect::cornerRadius(const QRectF &area) const
{
    return std::min({m_radius, area.width() / 2, area.height() / 2});
}

void GradientRoundedRect::paintPlate(QPainter *painter, const QRectF &area) const
{
    const qreal r = cornerRadius(area);
    QLinearGradient gradient(area.topLeft(), area.bottomRight());
    gradient.setColorAt(0, m_startColor);
    gradient.setColorAt(1, m_endColor);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawRoundedRect(area, r, r);
}
