#include "ui/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <functional>

namespace zel::ui::glyphs {

namespace {

const QColor kRed(200, 0, 0);
const QColor kDark(40, 40, 40);

// Draws at 16 x 16 and at twice that for high-density screens, plus a greyed copy for the
// disabled state.
QIcon make(const std::function<void(QPainter&)>& draw)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(16 * scale, 16 * scale);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(scale, scale);
            draw(p);
        }
        icon.addPixmap(pm, QIcon::Normal);
        QImage grey = pm.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < grey.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
            for (int x = 0; x < grey.width(); ++x) {
                const int g = 128 + qGray(line[x]) / 2;
                line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
            }
        }
        icon.addPixmap(QPixmap::fromImage(grey), QIcon::Disabled);
    }
    return icon;
}

// The closed outline through corners, in their order.
QPainterPath outline(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(corners));
    path.closeSubpath();
    return path;
}

void arrow(QPainter& p, bool left, bool bar)
{
    p.setPen(QPen(kRed.darker(140), 1));
    p.setBrush(kRed);
    p.drawPath(left ? outline({{4, 8}, {11, 2}, {11, 14}}) : outline({{12, 8}, {5, 2}, {5, 14}}));
    if (bar) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRed.darker(120));
        p.drawRect(left ? QRectF(1.5, 2, 2, 12) : QRectF(12.5, 2, 2, 12));
    }
}

void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kDark, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void pencil(QPainter& p)
{
    p.save();
    p.translate(11, 5);
    p.rotate(45);
    p.setPen(QPen(kDark, 0.8));
    p.setBrush(QColor(240, 190, 40));
    p.drawRect(QRectF(-1.5, -5, 3, 8));
    p.setBrush(QColor(230, 200, 160));
    p.drawPath(outline({{-1.5, 3}, {1.5, 3}, {0, 6}}));
    p.restore();
}

} // namespace

QIcon first()
{
    return make([](QPainter& p) { arrow(p, true, true); });
}
QIcon prior()
{
    return make([](QPainter& p) { arrow(p, true, false); });
}
QIcon next()
{
    return make([](QPainter& p) { arrow(p, false, false); });
}
QIcon last()
{
    return make([](QPainter& p) { arrow(p, false, true); });
}

QIcon order()
{
    return make([](QPainter& p) {
        sheet(p, QRectF(1.5, 3.5, 10, 12));
        p.setPen(QPen(QColor(0, 0, 160), 1));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(3.5, 6.5 + 2.5 * i), QPointF(5.5 + 1.5 * i, 6.5 + 2.5 * i));
        pencil(p);
    });
}

QIcon select()
{
    return make([](QPainter& p) {
        sheet(p, QRectF(1.5, 3.5, 10, 12));
        p.setPen(QPen(QColor(0, 100, 0), 0.8));
        p.setBrush(QColor(60, 170, 60));
        p.drawPath(outline({{3, 6}, {10, 6}, {7.5, 9.5}, {7.5, 13}, {5.5, 13}, {5.5, 9.5}}));
        pencil(p);
    });
}

QIcon print()
{
    return make([](QPainter& p) {
        p.setPen(QPen(kDark, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(170, 170, 175));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 170, 0));
        p.drawEllipse(QRectF(11.5, 8, 1.8, 1.8));
    });
}

QIcon show()
{
    return make([](QPainter& p) {
        sheet(p, QRectF(1.5, 8.5, 13, 6));
        p.setPen(QPen(QColor(0, 0, 160), 1));
        p.drawLine(QPointF(3.5, 11.5), QPointF(12.5, 11.5));
        pencil(p);
    });
}

QIcon hide()
{
    return make([](QPainter& p) {
        sheet(p, QRectF(1.5, 12.5, 13, 2));
        pencil(p);
    });
}

QIcon program()
{
    return make([](QPainter& p) {
        p.setPen(QPen(kDark, 1));
        p.setBrush(QColor(220, 235, 250));
        p.drawPath(outline({{6, 1.5}, {10, 1.5}, {10, 6}, {14.5, 14.5}, {1.5, 14.5}, {6, 6}}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 60, 170)); // the liquid
        p.drawPath(outline({{4, 10}, {12, 10}, {14, 14}, {2, 14}}));
    });
}

// A funnel letting a drop through: narrowing the list.
QIcon funnel()
{
    return make([](QPainter& p) {
        p.setPen(QPen(QColor(0, 60, 120), 1));
        p.setBrush(QColor(70, 140, 210));
        p.drawPath(
            outline({{1.5, 2.5}, {14.5, 2.5}, {9.5, 8.5}, {9.5, 13.5}, {6.5, 15}, {6.5, 8.5}}));
    });
}

// Three list lines, each ticked: every material again.
QIcon all()
{
    return make([](QPainter& p) {
        for (int i = 0; i < 3; ++i) {
            const qreal y = 3.5 + 4.5 * i;
            p.setPen(QPen(QColor(0, 128, 0), 1.6));
            p.drawLine(QPointF(1.5, y), QPointF(3, y + 1.5));
            p.drawLine(QPointF(3, y + 1.5), QPointF(5.5, y - 1.5));
            p.setPen(QPen(QColor(40, 40, 40), 1.5));
            p.drawLine(QPointF(7.5, y), QPointF(14.5, y));
        }
    });
}

// An eraser: the criteria wiped out.
QIcon eraser()
{
    return make([](QPainter& p) {
        p.translate(8, 8);
        p.rotate(-40);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(235, 120, 140));
        p.drawRect(QRectF(-6.5, -3, 7, 6));
        p.setBrush(QColor(80, 110, 200));
        p.drawRect(QRectF(0.5, -3, 6, 6));
    });
}

// An open door: leaving without a search.
QIcon door()
{
    return make([](QPainter& p) {
        p.setPen(QPen(QColor(70, 45, 20), 1));
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(3.5, 1.5, 9, 13));
        p.setBrush(QColor(170, 110, 50)); // the door, open
        p.drawPath(outline({{3.5, 1.5}, {9.5, 3.5}, {9.5, 15.5}, {3.5, 14.5}}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 200, 60));
        p.drawEllipse(QPointF(8, 9), 0.9, 0.9);
    });
}

// A five-pointed star: gold for a favourite, a hollow outline otherwise.
QIcon star(bool filled)
{
    return make([filled](QPainter& p) {
        QPolygonF points;
        for (int i = 0; i < 10; ++i) {
            const double radius = i % 2 == 0 ? 7.2 : 3.0;
            const double angle = M_PI * (i / 5.0 - 0.5);
            points << QPointF(8 + radius * std::cos(angle), 8.6 + radius * std::sin(angle));
        }
        p.setPen(QPen(filled ? QColor(170, 120, 0) : QColor(110, 110, 110), 1));
        p.setBrush(filled ? QBrush(QColor(250, 200, 30)) : QBrush(Qt::NoBrush));
        p.drawPolygon(points);
    });
}

} // namespace zel::ui::glyphs
