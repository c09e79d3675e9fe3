#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// A rounded rectangle filled with a linear gradient from the top-leading to
// the bottom-trailing corner (Rectangle only has axis-aligned gradients).
// Painted, so a change of colour is redrawn whether or not the item is shown
// at that moment; a layered Shape kept its first colours when they changed
// while it was hidden.
class GradientRoundedRect : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)
    Q_PROPERTY(QColor startColor READ startColor WRITE setStartColor NOTIFY startColorChanged)
    Q_PROPERTY(QColor endColor READ endColor WRITE setEndColor NOTIFY endColorChanged)

public:
    explicit GradientRoundedRect(QQuickItem *parent = nullptr);

    qreal radius() const { return m_radius; }
    QColor startColor() const { return m_startColor; }
    QColor endColor() const { return m_endColor; }
    void setRadius(qreal radius);
    void setStartColor(const QColor &color);
    void setEndColor(const QColor &color);

    void paint(QPainter *painter) override;

protected:
    // The gradient plate within area.
    void paintPlate(QPainter *painter, const QRectF &area) const;
    // The corner radius within area: at most half its shorter side.
    qreal cornerRadius(const QRectF &area) const;

Q_SIGNALS:
    void radiusChanged();
    void startColorChanged();
    void endColorChanged();

private:
    qreal m_radius = 0;
    QColor m_startColor = Qt::white;
    QColor m_endColor = Qt::black;
};
