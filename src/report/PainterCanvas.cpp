#include "report/PainterCanvas.h"

#include <QFontMetricsF>
#include <QPainter>

namespace zel::report {

QFont PainterCanvas::deviceFont(const TextFont& font, double dpi)
{
    QFont f(font.family);
    // Scaled from the whole-pixel size page images use, so a printed page breaks its lines
    // where the preview shows them broken.
    f.setPixelSize(qMax(1, qRound(font.pixelSize(96) * dpi / 96.0)));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    return f;
}

void PainterCanvas::drawText(const QPoint& topLeft, const QString& text, const TextFont& font,
                             const QRect& clip)
{
    if (text.isEmpty())
        return;
    const QFont f = deviceFont(font, m_dpi);
    m_painter.save();
    if (!clip.isNull())
        m_painter.setClipRect(clip);
    m_painter.setFont(f);
    m_painter.setPen(font.colour);
    m_painter.drawText(QPointF(topLeft.x(), topLeft.y() + QFontMetricsF(f).ascent()), text);
    m_painter.restore();
}

void PainterCanvas::fillRect(const QRect& rect, const QColor& colour)
{
    m_painter.fillRect(rect, colour);
}

void PainterCanvas::applyPen(const Pen& pen)
{
    static constexpr Qt::PenStyle styles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                              Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    QPen p(pen.colour);
    p.setWidth(pen.width);
    p.setStyle(styles[int(pen.style)]);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(p);
}

void PainterCanvas::applyBrush(const Brush& brush)
{
    static constexpr Qt::BrushStyle styles[] = {
        Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
        Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    m_painter.setBrush(QBrush(brush.colour, styles[int(brush.style)]));
}

void PainterCanvas::drawLine(const QPoint& from, const QPoint& to, const Pen& pen)
{
    m_painter.save();
    applyPen(pen);
    m_painter.drawLine(from, to);
    m_painter.restore();
}

// The outline lies inside the rectangle, as on page images, so neighbours do not overlap.
static QRectF inside(const QRect& rect, const Pen& pen)
{
    const double w = pen.style == Pen::Style::None ? 0 : qMax(1, pen.width);
    return QRectF(rect).adjusted(w / 2, w / 2, -w / 2, -w / 2);
}

void PainterCanvas::drawRectangle(const QRect& rect, const Pen& pen, const Brush& brush)
{
    m_painter.save();
    applyPen(pen);
    applyBrush(brush);
    m_painter.drawRect(inside(rect, pen));
    m_painter.restore();
}

void PainterCanvas::drawEllipse(const QRect& rect, const Pen& pen, const Brush& brush)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing);
    applyPen(pen);
    applyBrush(brush);
    m_painter.drawEllipse(inside(rect, pen));
    m_painter.restore();
}

} // namespace zel::report
