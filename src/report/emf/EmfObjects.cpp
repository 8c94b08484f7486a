#include "report/emf/EmfObjects.h"

#include "report/emf/EmfBitmap.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfRecord.h"

namespace zel::report::emf {

namespace {

// More dash entries than any pen needs; a longer list is cut here.
constexpr quint32 MaxDashEntries = 64;

QImage patternBitmap(const EmfRecord& r, quint32 offInfo, quint32 cbInfo, quint32 offBits,
                     quint32 cbBits, quint32 usage, const std::vector<QRgb>& palette, bool draw)
{
    if (cbInfo == 0)
        return {};
    const EmfBitmap bitmap(r, offInfo, cbInfo, offBits, cbBits, usage);
    return draw ? bitmap.decode(palette) : QImage();
}

} // namespace

bool EmfPen::isNull() const
{
    return dashStyle() == PS_NULL;
}

bool EmfPen::isCosmetic() const
{
    return !(style & PS_GEOMETRIC) || width <= 0;
}

quint32 EmfPen::dashStyle() const
{
    return style & PS_STYLE_MASK;
}

EmfPen penFromCreatePen(const EmfRecord& r)
{
    r.require(28);
    EmfPen pen;
    const qint64 width = qAbs(qint64(r.i32(16)));
    // A pen of some width scales with the drawing; width 0 stays one pixel.
    pen.style = (r.u32(12) & (PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK)) |
                (width > 0 ? quint32(PS_GEOMETRIC) : 0u);
    pen.width = double(width);
    pen.colour = r.colour(24);
    pen.simple = true;
    return pen;
}

EmfPen penFromExtCreatePen(const EmfRecord& r, const std::vector<QRgb>& palette, bool draw)
{
    r.require(52);
    EmfPen pen;
    pen.style = r.u32(28);
    pen.width = double(qAbs(qint64(r.i32(32))));
    const quint32 brushStyle = r.u32(36);
    pen.colour = r.colour(40);
    const quint32 entries = r.u32(48);
    r.requireArray(52, entries, 4, "pen style entries");
    if (pen.dashStyle() == PS_USERSTYLE) {
        for (quint32 i = 0; i < entries && i < MaxDashEntries; ++i)
            pen.dashes.push_back(double(r.u32(52 + 4 * i)));
    }
    if (brushStyle == BS_NULL)
        pen.style = (pen.style & ~quint32(PS_STYLE_MASK)) | PS_NULL;
    if (brushStyle == BS_DIBPATTERN || brushStyle == BS_DIBPATTERNPT || brushStyle == BS_PATTERN)
        pen.pattern =
            patternBitmap(r, r.u32(12), r.u32(16), r.u32(20), r.u32(24),
                          brushStyle == BS_PATTERN ? DIB_RGB_COLORS : r.u32(40) & 1, palette, draw);
    return pen;
}

EmfBrush brushFromCreateBrush(const EmfRecord& r)
{
    r.require(24);
    EmfBrush brush;
    const quint32 style = r.u32(12);
    brush.colour = r.colour(16);
    brush.hatch = r.u32(20);
    if (style == BS_NULL)
        brush.kind = EmfBrush::Kind::Null;
    else if (style == BS_HATCHED && brush.hatch <= HS_DIAGCROSS)
        brush.kind = EmfBrush::Kind::Hatched;
    else
        brush.kind = EmfBrush::Kind::Solid; // patterns come with their own records
    return brush;
}

EmfBrush brushFromPattern(const EmfRecord& r, const std::vector<QRgb>& palette, bool draw)
{
    r.require(32);
    EmfBrush brush;
    brush.kind = EmfBrush::Kind::Pattern;
    const quint32 usage = r.u32(12);
    const EmfBitmap bitmap(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28),
                           usage == DIB_PAL_COLORS ? DIB_PAL_COLORS : DIB_RGB_COLORS);
    brush.monochrome = r.type() == EMR_CREATEMONOBRUSH && bitmap.isMonochrome();
    if (draw)
        brush.pattern = bitmap.decode(palette);
    if (draw && brush.pattern.isNull())
        brush.kind = EmfBrush::Kind::Solid; // nothing to repeat: paints like the default
    return brush;
}

EmfFont fontFromCreateFont(const EmfRecord& r)
{
    r.require(12 + LOGFONT_SIZE);
    EmfFont f;
    f.height = r.i32(12);
    f.width = r.i32(16);
    f.escapement = r.i32(20);
    f.weight = r.i32(28);
    f.italic = r.u8(32) != 0;
    f.underline = r.u8(33) != 0;
    f.strikeOut = r.u8(34) != 0;
    f.charSet = r.u8(35);
    f.face = r.faceName(40, 32);
    return f;
}

EmfPalette paletteFromCreatePalette(const EmfRecord& r)
{
    r.require(16);
    const quint16 count = r.u16(14);
    r.requireArray(16, count, 4, "palette entries");
    EmfPalette palette;
    palette.entries.reserve(count);
    for (quint16 i = 0; i < count; ++i)
        palette.entries.push_back(
            qRgb(r.u8(16 + 4 * i), r.u8(16 + 4 * i + 1), r.u8(16 + 4 * i + 2)));
    return palette;
}

EmfObject stockObject(quint32 number)
{
    const auto solid = [](QColor c) {
        EmfBrush b;
        b.colour = c;
        return b;
    };
    const auto pen = [](QColor c, quint32 style) {
        EmfPen p;
        p.colour = c;
        p.style = style;
        return p;
    };
    switch (number) {
    case WHITE_BRUSH:
    case DC_BRUSH:
        return solid(Qt::white);
    case LTGRAY_BRUSH:
        return solid(QColor(192, 192, 192));
    case GRAY_BRUSH:
        return solid(QColor(128, 128, 128));
    case DKGRAY_BRUSH:
        return solid(QColor(64, 64, 64));
    case BLACK_BRUSH:
        return solid(Qt::black);
    case NULL_BRUSH: {
        EmfBrush b;
        b.kind = EmfBrush::Kind::Null;
        return b;
    }
    case WHITE_PEN:
        return pen(Qt::white, PS_SOLID);
    case BLACK_PEN:
    case DC_PEN:
        return pen(Qt::black, PS_SOLID);
    case NULL_PEN:
        return pen(Qt::black, PS_NULL);
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT: {
        EmfFont f;
        f.face = QStringLiteral("Courier New");
        return f;
    }
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case DEFAULT_GUI_FONT:
        return EmfFont();
    case DEFAULT_PALETTE:
        return EmfPalette{defaultPalette()};
    default:
        return std::monostate();
    }
}

const std::vector<QRgb>& defaultPalette()
{
    static const std::vector<QRgb> colours = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),     qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192),
        qRgb(192, 220, 192), qRgb(166, 202, 240), qRgb(255, 251, 240), qRgb(160, 160, 164),
        qRgb(128, 128, 128), qRgb(255, 0, 0),     qRgb(0, 255, 0),     qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(0, 255, 255),   qRgb(255, 255, 255),
    };
    return colours;
}

} // namespace zel::report::emf
