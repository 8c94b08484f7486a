#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

namespace zel::report {

// Outline of lines, rectangles and ellipses. The width is in device pixels and is not scaled
// by the report; 0 draws the thinnest line the device has.
struct Pen
{
    enum class Style
    {
        Solid,
        Dash,
        Dot,
        DashDot,
        DashDotDot,
        None
    };

    QColor colour = Qt::black;
    int width = 1;
    Style style = Style::Solid;

    bool operator==(const Pen&) const = default;
};

// Inside of rectangles and ellipses. Clear leaves the inside untouched; the hatched styles
// draw their lines in the brush colour over what is already there.
struct Brush
{
    enum class Style
    {
        Solid,
        Clear,
        Horizontal,
        Vertical,
        FDiagonal,
        BDiagonal,
        Cross,
        DiagCross
    };

    QColor colour = Qt::white;
    Style style = Style::Solid;

    static Brush clear() { return {Qt::white, Style::Clear}; }
    bool operator==(const Brush&) const = default;
};

// A text font as a report printable names it. Sizes are in points, so the same font prints
// at the same physical size on any device.
struct TextFont
{
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor colour = Qt::black;

    // Height of the em square in whole device pixels at dpi: what page images record and
    // what the report engine should measure with, so that measured and drawn text agree.
    int pixelSize(double dpi) const;

    bool operator==(const TextFont&) const = default;
};

inline int TextFont::pixelSize(double dpi) const
{
    const int size = qRound(pointSize * dpi / 72.0);
    return size < 1 ? 1 : size;
}

// The surface the report engine draws a page on. Positions and sizes are device pixels of the
// page; page images use 96 pixels per inch. A QRect covers the pixels from its left edge up to,
// not including, left + width (and the same downwards), so rectangles that share an edge tile
// without overlap.
//
// Implementations: the page image recorder (emf::EmfWriter) and the painter canvas for printers
// and PDF files (PainterCanvas).
class Canvas
{
public:
    virtual ~Canvas() = default;

    // One line of text whose character cell has its top left corner at topLeft. Nothing is
    // drawn outside clip; a null clip does not clip. The background is left as it is.
    virtual void drawText(const QPoint& topLeft, const QString& text, const TextFont& font,
                          const QRect& clip) = 0;
    // Fills rect with colour, without an outline (band backgrounds, frame edges).
    virtual void fillRect(const QRect& rect, const QColor& colour) = 0;
    // A straight line from one point to the other.
    virtual void drawLine(const QPoint& from, const QPoint& to, const Pen& pen) = 0;
    // Rectangle and ellipse: the brush fills the inside, the pen draws the outline.
    virtual void drawRectangle(const QRect& rect, const Pen& pen, const Brush& brush) = 0;
    virtual void drawEllipse(const QRect& rect, const Pen& pen, const Brush& brush) = 0;

    // A frame is an outlined rectangle with nothing inside.
    void drawFrame(const QRect& rect, const Pen& pen) { drawRectangle(rect, pen, Brush::clear()); }

    // Rules: bars and lines that must stay visible however far a page is scaled down. A page
    // image shown at a small zoom draws a 1-pixel bar a fraction of a screen pixel thick, and
    // such a bar, like a line of a pen scaled below a pixel, can vanish. Each rule therefore
    // also draws a hairline (a pen of width 0, the device's thinnest line at any scale) along
    // its middle, which lies inside the rule at full size.
    void drawBar(const QRect& bar, const QColor& colour)
    {
        fillRect(bar, colour);
        if (bar.width() <= 0 || bar.height() <= 0)
            return;
        const Pen hairline{colour, 0};
        if (bar.width() >= bar.height()) {
            const int y = bar.top() + (bar.height() - 1) / 2;
            drawLine({bar.left(), y}, {bar.left() + bar.width() - 1, y}, hairline);
        } else {
            const int x = bar.left() + (bar.width() - 1) / 2;
            drawLine({x, bar.top()}, {x, bar.top() + bar.height() - 1}, hairline);
        }
    }
    void drawRule(const QPoint& from, const QPoint& to, const Pen& pen)
    {
        drawLine(from, to, pen);
        if (pen.width > 0 && pen.style == Pen::Style::Solid)
            drawLine(from, to, Pen{pen.colour, 0});
    }
};

} // namespace zel::report
