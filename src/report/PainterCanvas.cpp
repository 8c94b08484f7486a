#include "report/PainterCanvas.h"

#include <QFontMetricsF>
#include <QPainter>

namespace zel::report {

PainterCanvas::PainterCanvas(QPainter& painter, double dpi) : m_painter(painter), m_dpi(dpi) {}

PainterCanvas::~PainterCanvas() = default;

const QFontMetricsF& PainterCanvas::deviceMetrics(const TextFont& font, const QFont& device)
{
    for (const Measured& m : m_deviceFonts)
        if (m.font == font)
            return m.metrics;
    m_deviceFonts.push_back({font, QFontMetricsF(device, m_painter.device())});
    return m_deviceFonts.back().metrics;
}

void PainterCanvas::drawText(const QPoint& topLeft, const QString& text, const TextFont& font,
                             const QRect& clip)
{
    if (text.isEmpty())
        return;
    const QFont f = TextMeasure::deviceFont(font);
    const QFontMetricsF& m = deviceMetrics(font, f);
    m_painter.save();
    if (!clip.isNull())
        m_painter.setClipRect(clip);
    m_painter.setFont(f);
    m_painter.setPen(font.colour);
    // The device's own advances differ from the measured ones by a fraction of a percent (its
    // font size is not the reference size). Every word starts where the layout measured it,
    // so a line ends where the layout ends it; within a word the device's spacing reads best.
    const double baseline = topLeft.y() + m.ascent();
    const double toDevice = m_dpi / 254.0;
    double advance = 0; // native, from the start of the text
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == QLatin1Char(' ')) {
            const qsizetype blanks = i;
            while (i < text.size() && text[i] == QLatin1Char(' '))
                ++i;
            advance += m_measure.width(font, text.mid(blanks, i - blanks));
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && text[i] != QLatin1Char(' '))
            ++i;
        const QString word = text.mid(start, i - start);
        m_painter.drawText(QPointF(topLeft.x() + advance * toDevice, baseline), word);
        advance += m_measure.width(font, word);
    }
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
