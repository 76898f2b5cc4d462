#include "app/SortGlyphs.h"

#include <QPainter>

#include "app/Fonts.h"

namespace app {

namespace {

QPixmap Draw(QChar top, QChar bottom, const QColor& colour, qreal ratio)
{
    QPixmap pixmap(qRound(TSortGlyphs::Size * ratio), qRound(TSortGlyphs::Size * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(colour);
    p.setFont(UiFont(9, true));
    p.drawText(QRectF(0, -0.5, 9, 8.5), Qt::AlignCenter, QString(top));
    p.drawText(QRectF(0, 7.5, 9, 8.5), Qt::AlignCenter, QString(bottom));
    // The arrow: a shaft and a head, pointing from the first letter to the last.
    p.setPen(QPen(colour, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(12.5, 2), QPointF(12.5, 13));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({QPointF(10, 10.5), QPointF(15, 10.5), QPointF(12.5, 14.5)}));
    return pixmap;
}

}  // namespace

void TSortGlyphs::Build(const QPalette& palette, qreal pixelRatio)
{
    const QColor colour = palette.color(QPalette::ButtonText);
    images_[Ascending] = Draw(u'A', u'Z', colour, pixelRatio);
    images_[Descending] = Draw(u'Z', u'A', colour, pixelRatio);
}

}  // namespace app
