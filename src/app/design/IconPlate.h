#pragma once

#include "GradientRoundedRect.h"

// An app icon's plate: the gradient rounded rectangle over its soft drop
// shadow, painted as one image. The shadow is stacked, growing, faint rounded
// rectangles whose opacities add up to shadowOpacity, the layers SoftShadow.qml
// makes for the panels (Qt Quick 6.4 has no blur that works on every
// renderer). One painted item instead of a shadow item per layer: a screenful
// of icons is made for the first frame, and the software renderer keeps an
// image of every rounded rectangle it draws.
//
// The item covers the shadow too: place it shadowReach before the plate's
// left and top edges, shadowReach wider on each side and shadowReach +
// shadowOffsetY taller at the bottom.
class IconPlate : public GradientRoundedRect
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor NOTIFY shadowChanged)
    Q_PROPERTY(qreal shadowOpacity READ shadowOpacity WRITE setShadowOpacity NOTIFY shadowChanged)
    Q_PROPERTY(qreal shadowBlur READ shadowBlur WRITE setShadowBlur NOTIFY shadowChanged)
    Q_PROPERTY(qreal shadowOffsetY READ shadowOffsetY WRITE setShadowOffsetY NOTIFY shadowChanged)
    Q_PROPERTY(qreal shadowReach READ shadowReach NOTIFY shadowChanged)

public:
    static constexpr int shadowLayers = 6;

    explicit IconPlate(QQuickItem *parent = nullptr);

    QColor shadowColor() const { return m_shadowColor; }
    qreal shadowOpacity() const { return m_shadowOpacity; }
    qreal shadowBlur() const { return m_shadowBlur; }
    qreal shadowOffsetY() const { return m_shadowOffsetY; }
    qreal shadowReach() const { return m_shadowBlur / 2; }
    void setShadowColor(const QColor &color);
    void setShadowOpacity(qreal opacity);
    void setShadowBlur(qreal blur);
    void setShadowOffsetY(qreal offset);

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void shadowChanged();

private:
    // Where the plate lies in an item of the given size.
    QRectF plateArea(const QSizeF &item) const;

    QColor m_shadowColor = Qt::black;
    qreal m_shadowOpacity = 0;
    qreal m_shadowBlur = 0;
    qreal m_shadowOffsetY = 0;
};
