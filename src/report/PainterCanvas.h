#pragma once

#include "report/Canvas.h"
#include "report/TextMeasure.h"

#include <QFont>
#include <QFontMetricsF>
#include <deque>
#include <memory>

class QPainter;

namespace zel::report {

// The canvas for any QPainter device: PDF files, printers, the screen. Coordinates are the
// device's own pixels, dpi of them to the inch.
//
// Text is drawn as wide as the report engine measured it (TextMeasure), so a line fills the
// same share of its box on every device as on the page images.
class PainterCanvas final : public Canvas
{
public:
    PainterCanvas(QPainter& painter, double dpi);
    ~PainterCanvas() override;

    void drawText(const QPoint& topLeft, const QString& text, const TextFont& font,
                  const QRect& clip) override;
    void fillRect(const QRect& rect, const QColor& colour) override;
    void drawLine(const QPoint& from, const QPoint& to, const Pen& pen) override;
    void drawRectangle(const QRect& rect, const Pen& pen, const Brush& brush) override;
    void drawEllipse(const QRect& rect, const Pen& pen, const Brush& brush) override;

private:
    void applyPen(const Pen& pen);
    void applyBrush(const Brush& brush);
    const QFontMetricsF& deviceMetrics(const TextFont& font, const QFont& device);

    QPainter& m_painter;
    double m_dpi;
    TextMeasure m_measure;
    struct Measured
    {
        TextFont font;
        QFontMetricsF metrics;
    };
    std::deque<Measured> m_deviceFonts; // stable: metrics are handed out by reference
};

} // namespace zel::report
