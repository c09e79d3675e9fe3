#include "IconPlate.h"

#include "store/SetIfChanged.h"

#include <QPainter>

#include <algorithm>

IconPlate::IconPlate(QQuickItem *parent) : GradientRoundedRect(parent)
{
}

void IconPlate::setShadowColor(const QColor &color)
{
    if (setIfChanged(this, m_shadowColor, color, &IconPlate::shadowChanged))
        update();
}

void IconPlate::setShadowOpacity(qreal opacity)
{
    if (setIfChanged(this, m_shadowOpacity, opacity, &IconPlate::shadowChanged))
        update();
}

void IconPlate::setShadowBlur(qreal blur)
{
    if (setIfChanged(this, m_shadowBlur, std::max<qreal>(0, blur), &IconPlate::shadowChanged))
        update();
}

void IconPlate::setShadowOffsetY(qreal offset)
{
    if (setIfChanged(this, m_shadowOffsetY, std::max<qreal>(0, offset), &IconPlate::shadowChanged))
        update();
}

QRectF IconPlate::plateArea(const QSizeF &item) const
{
    const qreal reach = shadowReach();
    return QRectF(QPointF(0, 0), item).adjusted(reach, reach, -reach, -(reach + m_shadowOffsetY));
}

void IconPlate::paint(QPainter *painter)
{
    const QRectF plate = plateArea(size());
    if (plate.isEmpty())
        return;
    const qreal r = cornerRadius(plate);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_shadowColor);
    painter->setOpacity(m_shadowOpacity / shadowLayers);
    for (int layer = 1; layer <= shadowLayers; ++layer) {
        const qreal spread = shadowReach() * layer / shadowLayers;
        const qreal layerRadius = r + spread;
        painter->drawRoundedRect(plate.translated(0, m_shadowOffsetY).adjusted(-spread, -spread, spread, spread), layerRadius, layerRadius);
    }
    painter->setOpacity(1);
    paintPlate(painter, plate);
}
