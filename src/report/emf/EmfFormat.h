#pragma once

#include <QtGlobal>

// Numbers of the enhanced metafile format that both the writer and the player use: record
// types, stock objects and the flag values of the records we write or draw. Names follow the
// public format description so that a record can be looked up there by name.
namespace zel::report::emf {

enum RecordType : quint32
{
    EMR_HEADER = 1,
    EMR_EOF = 14,
    EMR_SETBKMODE = 18,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_LINETO = 54,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
    EMR_EXTCREATEPEN = 95,
};

// " EMF" read as a little-endian integer, at offset 40 of the header record.
constexpr quint32 ENHMETA_SIGNATURE = 0x464D4520;
constexpr quint32 EMF_VERSION = 0x00010000;

// Sizes of the fixed parts of the records.
constexpr int HEADER_BASE_SIZE = 88;  // without extensions
constexpr int HEADER_EXT1_SIZE = 100; // with pixel format fields
constexpr int HEADER_FULL_SIZE = 108; // with the micrometre size
constexpr int EOF_RECORD_SIZE = 20;
constexpr int LOGFONT_SIZE = 92;          // LogFont with its 32-character face name
constexpr int LOGFONT_PANOSE_SIZE = 320;  // the extended form other readers expect
constexpr int EXTTEXTOUT_FIXED_SIZE = 76; // up to and including offDx

// A stock object is selected by its number with the high bit set.
constexpr quint32 STOCK_OBJECT = 0x80000000;
enum StockObject : quint32
{
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    OEM_FIXED_FONT = 10,
    ANSI_FIXED_FONT = 11,
    ANSI_VAR_FONT = 12,
    SYSTEM_FONT = 13,
    DEVICE_DEFAULT_FONT = 14,
    SYSTEM_FIXED_FONT = 16,
    DEFAULT_GUI_FONT = 17,
};

enum PenStyle : quint32
{
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
    PS_STYLE_MASK = 0x0F,
};

enum BrushStyle : quint32
{
    BS_SOLID = 0,
    BS_NULL = 1,
    BS_HATCHED = 2,
};

enum HatchStyle : quint32
{
    HS_HORIZONTAL = 0,
    HS_VERTICAL = 1,
    HS_FDIAGONAL = 2,
    HS_BDIAGONAL = 3,
    HS_CROSS = 4,
    HS_DIAGCROSS = 5,
};

enum BackgroundMode : quint32
{
    TRANSPARENT = 1,
    OPAQUE = 2,
};

enum TextAlign : quint32
{
    TA_UPDATECP = 0x01,
    TA_RIGHT = 0x02,
    TA_CENTER = 0x06,
    TA_HORIZONTAL_MASK = 0x06,
    TA_BOTTOM = 0x08,
    TA_BASELINE = 0x18,
    TA_VERTICAL_MASK = 0x18,
};

enum TextOutOptions : quint32
{
    ETO_OPAQUE = 0x0002,
    ETO_CLIPPED = 0x0004,
    ETO_GLYPH_INDEX = 0x0010,
    ETO_NO_RECT = 0x0100,
    ETO_PDY = 0x2000,
};

enum GraphicsMode : quint32
{
    GM_COMPATIBLE = 1,
};

constexpr quint32 FW_NORMAL = 400;
constexpr quint32 FW_BOLD = 700;
constexpr quint8 DEFAULT_CHARSET = 1;

} // namespace zel::report::emf
