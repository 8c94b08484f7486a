#pragma once

#include "report/Canvas.h"

#include <QFont>

class QPainter;

namespace zel::report {

// The canvas for any QPainter device: PDF files, printers, the screen. Coordinates are the
// device's own pixels.
class PainterCanvas final : public Canvas
{
public:
    PainterCanvas(QPainter& painter, double dpi) : m_painter(painter), m_dpi(dpi) {}

    void drawText(const QPoint& topLeft, const QString& text, const TextFont& font,
                  const QRect& clip) override;
    void fillRect(const QRect& rect, const QColor& colour) override;
    void drawLine(const QPoint& from, const QPoint& to, const Pen& pen) override;
    void drawRectangle(const QRect& rect, const Pen& pen, const Brush& brush) override;
    void drawEllipse(const QRect& rect, const Pen& pen, const Brush& brush) override;

    // The font text is measured and drawn with at dpi: the page images' whole-pixel size
    // scaled to dpi, so that lines break at the same places on every device.
    static QFont deviceFont(const TextFont& font, double dpi);

private:
    void applyPen(const Pen& pen);
    void applyBrush(const Brush& brush);

    QPainter& m_painter;
    double m_dpi;
};

} // namespace zel::report
