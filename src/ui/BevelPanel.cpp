#include "ui/BevelPanel.h"

#include <QPainter>

namespace zel::ui {

namespace {

// Top and left edges in one colour, bottom and right in the other, inside r.
void drawEdge(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    p.setPen(topLeft);
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p.setPen(bottomRight);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

// Draws one bevel inside r and returns what is left inside it.
QRect drawBevel(QPainter& p, QRect r, BevelPanel::Bevel bevel)
{
    switch (bevel) {
    case BevelPanel::Bevel::None:
        return r;
    case BevelPanel::Bevel::Raised:
        drawEdge(p, r, BevelPanel::highlight(), BevelPanel::shadow());
        return r.adjusted(1, 1, -1, -1);
    case BevelPanel::Bevel::Lowered:
        drawEdge(p, r, BevelPanel::shadow(), BevelPanel::highlight());
        return r.adjusted(1, 1, -1, -1);
    case BevelPanel::Bevel::Frame:
        // An etched line: a shadow rectangle with a highlight one a pixel to the lower right.
        p.setPen(BevelPanel::highlight());
        p.drawRect(r.adjusted(1, 1, -1, -1));
        p.setPen(BevelPanel::shadow());
        p.drawRect(r.adjusted(0, 0, -2, -2));
        return r.adjusted(2, 2, -2, -2);
    }
    return r;
}

} // namespace

BevelPanel::BevelPanel(Bevel outer, Bevel inner, QWidget* parent)
    : QWidget(parent), m_outer(outer), m_inner(inner)
{
}

void BevelPanel::setFill(const QColor& colour)
{
    m_fill = colour;
    update();
}

void BevelPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_fill.isValid())
        p.fillRect(rect(), m_fill);
    drawBevel(p, drawBevel(p, rect(), m_outer), m_inner);
}

} // namespace zel::ui
