#pragma once

#include <QColor>
#include <QImage>
#include <QRgb>
#include <QString>
#include <variant>
#include <vector>

namespace zel::report::emf {

class EmfRecord;

// A pen as the image describes it; widths are in logical units and become device units only
// when the pen draws.
struct EmfPen
{
    quint32 style = 0; // the whole style word: dash style, end cap, join, geometric flag
    double width = 0;  // 0: one pixel whatever the transform
    QColor colour{Qt::black};
    std::vector<double> dashes; // PS_USERSTYLE: on and off lengths in logical units
    QImage pattern;             // a pen that paints with a bitmap
    // Made by CREATEPEN: such a pen dashes like a one-pixel pen while it is no wider than
    // a device pixel.
    bool simple = false;

    bool isNull() const;
    bool isCosmetic() const; // one device pixel wide
    quint32 dashStyle() const;
};

struct EmfBrush
{
    enum class Kind
    {
        Solid,
        Null,
        Hatched,
        Pattern, // a bitmap repeated over the area
    };
    Kind kind = Kind::Solid;
    QColor colour{Qt::white};
    quint32 hatch = 0;
    QImage pattern;
    // A one-bit pattern that takes the text colour for its zeros and the background colour
    // for its ones when it paints.
    bool monochrome = false;
};

struct EmfFont
{
    qint32 height = 0;     // negative: em size; positive: cell height; 0: the default
    qint32 width = 0;      // average character width; 0: the face's own
    qint32 escapement = 0; // tenths of a degree, counter-clockwise
    qint32 weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    quint8 charSet = 1;
    QString face;

    bool operator==(const EmfFont&) const = default;
};

struct EmfPalette
{
    std::vector<QRgb> entries;
};

using EmfObject = std::variant<std::monostate, EmfPen, EmfBrush, EmfFont, EmfPalette>;

// Objects from their records; the record's reads check every offset. The bitmaps of pattern
// brushes and pens are decoded at once, with palette for palette-indexed colour tables; when
// draw is false only the records are checked and the objects are left empty.
EmfPen penFromCreatePen(const EmfRecord& r);
EmfPen penFromExtCreatePen(const EmfRecord& r, const std::vector<QRgb>& palette, bool draw);
EmfBrush brushFromCreateBrush(const EmfRecord& r);
EmfBrush brushFromPattern(const EmfRecord& r, const std::vector<QRgb>& palette, bool draw);
EmfFont fontFromCreateFont(const EmfRecord& r);
EmfPalette paletteFromCreatePalette(const EmfRecord& r);

// Stock objects by number (without the stock flag); std::monostate for numbers that name none.
EmfObject stockObject(quint32 number);

// The system palette's twenty static colours, the palette a device context starts with.
const std::vector<QRgb>& defaultPalette();

} // namespace zel::report::emf
