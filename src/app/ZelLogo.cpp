#include "app/ZelLogo.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace zel::app {

namespace {

const QColor kInk(0, 80, 80);
const QColor kTeal(0, 128, 128);
const QColor kGold(200, 150, 40);

// The letters Z, E and L as shapes of one stroke width, from the top left corner x, y.
void drawLetters(QPainter& p, qreal x, qreal y)
{
    const qreal h = 44, w = 32, s = 10, gap = 9;
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    // Z
    p.drawRect(QRectF(x, y, w, s));
    p.drawRect(QRectF(x, y + h - s, w, s));
    p.drawPolygon(QPolygonF{QPointF(x + w - s * 1.25, y + s), QPointF(x + w, y + s),
                            QPointF(x + s * 1.25, y + h - s), QPointF(x, y + h - s)});
    // E
    x += w + gap;
    p.drawRect(QRectF(x, y, s, h));
    p.drawRect(QRectF(x, y, w - 2, s));
    p.drawRect(QRectF(x, y + (h - s) / 2, w - 8, s));
    p.drawRect(QRectF(x, y + h - s, w - 2, s));
    // L
    x += w - 2 + gap;
    p.drawRect(QRectF(x, y, s, h));
    p.drawRect(QRectF(x, y + h - s, w - 4, s));
}

// A drop with three wisps of scent rising from it, on a disc: the emblem left of the letters.
void drawEmblem(QPainter& p, const QPointF& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kTeal);
    p.drawEllipse(c, 31, 31);
    p.setBrush(kInk);
    p.drawEllipse(c, 27, 27);

    // The drop sits low on the disc, leaving room above it for the scent rising from it.
    QPainterPath drop;
    const qreal y = c.y() + 5;
    const QPointF tip(c.x(), y - 12);
    drop.moveTo(tip);
    drop.cubicTo(QPointF(c.x() + 3, y - 4), QPointF(c.x() + 11, y + 1), QPointF(c.x() + 10, y + 8));
    drop.cubicTo(QPointF(c.x() + 8, y + 17), QPointF(c.x() - 8, y + 17),
                 QPointF(c.x() - 10, y + 8));
    drop.cubicTo(QPointF(c.x() - 11, y + 1), QPointF(c.x() - 3, y - 4), tip);
    p.setBrush(Qt::white);
    p.drawPath(drop);

    p.setPen(QPen(kGold, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = -1; i <= 1; ++i) {
        const qreal x = c.x() + i * 8;
        const qreal bottom = y - 11 + (i == 0 ? -3 : 1);
        const qreal top = bottom - 13 + (i == 0 ? 0 : 2);
        QPainterPath wisp;
        wisp.moveTo(x, bottom);
        wisp.cubicTo(QPointF(x - 5, bottom - 4), QPointF(x + 5, top + 5), QPointF(x, top));
        p.drawPath(wisp);
    }
}

} // namespace

const QList<QRgb>& ZelLogo::colours()
{
    static const QList<QRgb> table{
        qRgb(255, 255, 255), qRgb(0, 0, 0),       qRgb(0, 80, 80),     qRgb(0, 128, 128),
        qRgb(64, 160, 160),  qRgb(160, 208, 208), qRgb(200, 150, 40),  qRgb(232, 200, 120),
        qRgb(245, 230, 190), qRgb(64, 64, 64),    qRgb(128, 128, 128), qRgb(192, 192, 192),
        qRgb(230, 230, 230), qRgb(0, 0, 128),     qRgb(32, 112, 112),  qRgb(112, 176, 176)};
    return table;
}

const QImage& ZelLogo::image()
{
    static const QImage logo = paint();
    return logo;
}

QImage ZelLogo::paint()
{
    QImage rgb(width, height, QImage::Format_RGB32);
    rgb.fill(Qt::white);
    {
        QPainter p(&rgb);
        p.setRenderHint(QPainter::Antialiasing);
        drawEmblem(p, QPointF(40, 36));
        drawLetters(p, 88, 8);

        p.setPen(QPen(kGold, 2));
        p.drawLine(QPointF(88, 57.5), QPointF(276, 57.5));

        // The tagline runs the width of the rule; its letters are spread to fill it with
        // whatever font stands in for Arial here.
        const QString tagline = QStringLiteral("AROMA MATERIALS REFERENCE");
        const QRectF taglineArea(88, 59, 188, 12);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(9);
        font.setBold(true);
        const qreal natural = QFontMetricsF(font).horizontalAdvance(tagline);
        font.setLetterSpacing(QFont::AbsoluteSpacing, (taglineArea.width() - natural) /
                                                          static_cast<qreal>(tagline.size() - 1));
        p.setFont(font);
        p.setPen(kInk);
        p.drawText(taglineArea, Qt::AlignLeft | Qt::AlignVCenter, tagline);

        // Right of the letters: a small stack of the program's three tables.
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 3; ++i) {
            p.setBrush(i == 1 ? kGold : kTeal);
            p.drawRoundedRect(QRectF(222, 12 + i * 14, 54, 10), 2, 2);
        }
    }
    return rgb.convertToFormat(QImage::Format_Indexed8, colours(),
                               Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace zel::app
