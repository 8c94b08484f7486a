// Text: the three text records, the font a record's font becomes, and the 8-bit code pages.

#include "report/emf/EmfFormat.h"
#include "report/emf/EmfPlayback.h"
#include "report/emf/EmfRecord.h"
#include "report/emf/EmfSymbolFonts.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <cmath>
#include <iconv.h>
#include <numbers>

namespace zel::report::emf {

namespace {

constexpr int MaxFontPixels = 16384;
// An em of this many device pixels when the font asks for "the default size".
constexpr double DefaultEmPixels = 16;

// Windows code page 1252 where it differs from Latin-1 (0x80 to 0x9F); 0 where it has no
// character.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

const char* codePage(quint8 charSet)
{
    switch (charSet) {
    case 77:
        return "MACINTOSH";
    case 128:
        return "CP932";
    case 129:
        return "CP949";
    case 130:
        return "JOHAB";
    case 134:
        return "CP936";
    case 136:
        return "CP950";
    case 161:
        return "CP1253";
    case 162:
        return "CP1254";
    case 163:
        return "CP1258";
    case 177:
        return "CP1255";
    case 178:
        return "CP1256";
    case 186:
        return "CP1257";
    case 204:
        return "CP1251";
    case 222:
        return "CP874";
    case 238:
        return "CP1250";
    case 255:
        return "CP437";
    default:
        return nullptr; // ANSI, default, symbol and the rest: code page 1252
    }
}

bool doubleByte(quint8 charSet)
{
    return charSet == 128 || charSet == 129 || charSet == 130 || charSet == 134 || charSet == 136;
}

bool leadByte(quint8 charSet, uchar b)
{
    if (charSet == 128)
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    return b >= 0x81 && b <= 0xFE;
}

QString fromCodePage(const char* name, QByteArrayView bytes)
{
    iconv_t cd = iconv_open("UTF-16LE", name);
    if (cd == iconv_t(-1))
        return QString::fromLatin1(bytes);
    QByteArray in(bytes.data(), bytes.size());
    QByteArray out(bytes.size() * 4 + 4, '\0');
    char* inp = in.data();
    char* outp = out.data();
    size_t inLeft = size_t(in.size());
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1))
            break;
        if (outLeft < 2)
            break;
        // A byte the code page does not know: shown as a replacement, and decoding goes on.
        ++inp;
        --inLeft;
        *outp++ = char(0xFD);
        *outp++ = char(0xFF);
        outLeft -= 2;
    }
    iconv_close(cd);
    const qsizetype written = (outp - out.data()) / 2;
    QString s(written, Qt::Uninitialized);
    std::memcpy(s.data(), out.constData(), std::size_t(written) * 2);
    return s;
}

// 8-bit text in the font's code page. groups gets the number of bytes of each character, so
// that spacing given per byte can be given per character.
QString decodeNarrow(QByteArrayView bytes, const EmfFont& font, std::vector<int>& groups)
{
    const quint8 charSet = font.charSet;
    groups.clear();
    if (doubleByte(charSet)) {
        QString s;
        for (qsizetype i = 0; i < bytes.size();) {
            const int n = leadByte(charSet, uchar(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
            const QString c = fromCodePage(codePage(charSet), bytes.sliced(i, n));
            s += c.isEmpty() ? QString(QChar(0xFFFD)) : c.left(1);
            groups.push_back(n);
            i += n;
        }
        return s;
    }
    groups.assign(std::size_t(bytes.size()), 1);
    // A symbol font's codes are its own, whatever a code page would make of them.
    if (charSet == SYMBOL_CHARSET || symbolFont(font.face, charSet) != SymbolFont::None)
        return QString::fromLatin1(bytes);
    if (const char* name = codePage(charSet)) {
        QString s = fromCodePage(name, bytes);
        if (s.size() == bytes.size())
            return s;
    }
    QString s(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        const char16_t c =
            b >= 0x80 && b < 0xA0 && Cp1252High[b - 0x80] ? Cp1252High[b - 0x80] : char16_t(b);
        s[i] = QChar(c);
    }
    return s;
}

// 8-bit text: glyph numbers, one a byte, or characters in the font's code page.
QString narrowText(QByteArrayView bytes, const EmfFont& font, quint32 options,
                   std::vector<int>& groups)
{
    if (!(options & ETO_GLYPH_INDEX))
        return decodeNarrow(bytes, font, groups);
    groups.assign(std::size_t(bytes.size()), 1);
    return QString::fromLatin1(bytes.data(), bytes.size());
}

// A font resolved for drawing, at a size in whole pixels.
struct ResolvedFont
{
    QFont font;
    double ascent = 0;
    double descent = 0;
    double averageWidth = 0;
};

QFont baseFont(const EmfFont& f)
{
    QFont font(f.face.isEmpty() ? QStringLiteral("Arial") : f.face);
    if (symbolFont(f.face, f.charSet) != SymbolFont::None)
        font.setFamilies(symbolFamilies());
    font.setWeight(QFont::Weight(f.weight <= 0 ? int(FW_NORMAL) : std::clamp(f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

// Em size per cell height of a face: a positive font height asks for the cell.
double emPerCell(const EmfFont& f)
{
    static thread_local std::vector<std::pair<EmfFont, double>> cache;
    EmfFont key = f;
    key.height = key.width = key.escapement = 0;
    for (const auto& [k, v] : cache)
        if (k == key)
            return v;
    QFont font = baseFont(f);
    font.setPixelSize(256);
    const QFontMetricsF m(font);
    const double cell = m.ascent() + m.descent();
    const double ratio = cell > 0 ? 256 / cell : 1;
    if (cache.size() > 64)
        cache.clear();
    cache.emplace_back(key, ratio);
    return ratio;
}

const ResolvedFont& resolve(const EmfFont& f, int pixels)
{
    static thread_local std::vector<std::tuple<EmfFont, int, ResolvedFont>> cache;
    EmfFont key = f;
    key.height = key.escapement = 0;
    for (const auto& [k, n, r] : cache)
        if (n == pixels && k == key)
            return r;
    ResolvedFont r;
    r.font = baseFont(f);
    r.font.setPixelSize(pixels);
    const QFontMetricsF m(r.font);
    r.ascent = m.ascent();
    r.descent = m.descent();
    // The average the way the format's producers measure it: lower-case letters and the
    // space weighted by how often they occur in text. Faces state their own average in ways
    // that differ between metric-compatible faces.
    static constexpr int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                        56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    double sum = 0;
    for (int i = 0; i < 27; ++i)
        sum += weights[i] * m.horizontalAdvance(i < 26 ? QChar(u'a' + i) : QChar(u' '));
    r.averageWidth = sum / 1000;
    if (cache.size() > 32)
        cache.erase(cache.begin());
    cache.emplace_back(key, pixels, r);
    return std::get<2>(cache.back());
}

} // namespace

void EmfPlayback::extTextOut(const EmfRecord& r, bool wide)
{
    r.require(EXTTEXTOUT_FIXED_SIZE - 20); // the rectangle is optional
    const bool advanced = r.u32(24) == GM_ADVANCED;
    const QPointF reference = r.point(36);
    const quint32 chars = r.u32(44);
    const quint32 offString = r.u32(48);
    const quint32 options = r.u32(52);
    const bool hasRect = !(options & ETO_NO_RECT);
    const std::optional<QRectF> rect =
        hasRect ? std::optional<QRectF>(r.box(56)) : std::optional<QRectF>();
    const quint32 offDx = r.u32(hasRect ? 72 : 56);
    const bool perPair = options & ETO_PDY;
    const quint64 dxCount = offDx == 0 ? 0 : quint64(chars) * (perPair ? 2 : 1);
    QString text;
    std::vector<int> groups;
    if (wide)
        text = r.utf16(offString, chars);
    else
        text = narrowText(r.bytes(offString, chars, "text"), m_dc.font, options, groups);
    r.requireArray(offDx, dxCount, 4, "character spacing");
    if (!drawing())
        return;

    // One advance a character: pairs give x and y, of which x keeps the text in place; 8-bit
    // text gives one a byte, added up over the bytes of a character.
    std::vector<qint32> dx;
    if (dxCount > 0 && !text.isEmpty()) {
        const int step = perPair ? 2 : 1;
        std::vector<qint32> perUnit(chars);
        for (quint32 i = 0; i < chars; ++i)
            perUnit[i] = r.i32(offDx + quint64(4) * i * step);
        if (wide || groups.empty()) {
            dx = std::move(perUnit);
        } else {
            std::size_t at = 0;
            for (const int n : groups) {
                qint64 sum = 0;
                for (int k = 0; k < n && at < perUnit.size(); ++k)
                    sum += perUnit[at++];
                dx.push_back(qint32(std::clamp<qint64>(sum, INT32_MIN, INT32_MAX)));
            }
        }
        dx.resize(std::size_t(text.size()), 0);
    }
    textOut(reference, text, std::move(dx), options, rect, advanced);
}

void EmfPlayback::polyTextOut(const EmfRecord& r, bool wide)
{
    const bool advanced = r.u32(24) == GM_ADVANCED;
    const quint32 strings = r.u32(36);
    r.requireArray(40, strings, 40, "text items");
    for (quint32 i = 0; i < strings; ++i) {
        const quint64 at = 40 + quint64(i) * 40;
        const QPointF reference = r.point(at);
        const quint32 chars = r.u32(at + 8);
        const quint32 offString = r.u32(at + 12);
        const quint32 options = r.u32(at + 16);
        const QRectF rect = r.box(at + 20);
        const quint32 offDx = r.u32(at + 36);
        r.requireArray(offDx, offDx == 0 ? 0 : chars, 4, "character spacing");
        std::vector<int> groups;
        const QString text =
            wide ? r.utf16(offString, chars)
                 : narrowText(r.bytes(offString, chars, "text"), m_dc.font, options, groups);
        if (!drawing())
            continue;
        std::vector<qint32> dx;
        if (offDx != 0 && (wide || text.size() == qsizetype(chars)))
            for (quint32 k = 0; k < chars; ++k)
                dx.push_back(r.i32(offDx + 4 * quint64(k)));
        textOut(reference, text, dx, options & ~quint32(ETO_PDY),
                options & ETO_NO_RECT ? std::nullopt : std::optional<QRectF>(rect), advanced);
    }
}

void EmfPlayback::smallTextOut(const EmfRecord& r)
{
    r.require(36);
    const QPointF reference = r.point(8);
    const quint32 chars = r.u32(16);
    const quint32 options = r.u32(20);
    const bool advanced = r.u32(24) == GM_ADVANCED;
    const bool hasRect = !(options & ETO_NO_RECT);
    const std::optional<QRectF> rect =
        hasRect ? std::optional<QRectF>(r.box(36)) : std::optional<QRectF>();
    const quint64 at = hasRect ? 52 : 36;
    std::vector<int> groups;
    const QString text = options & ETO_SMALL_CHARS
                             ? narrowText(r.bytes(at, chars, "text"), m_dc.font, options, groups)
                             : r.utf16(at, chars);
    if (drawing())
        textOut(reference, text, {}, options & ~quint32(ETO_PDY), rect, advanced);
}

void EmfPlayback::textOut(QPointF reference, const QString& givenText, std::vector<qint32> dx,
                          quint32 options, const std::optional<QRectF>& rect, bool advanced)
{
    // Glyph numbers of the font's own glyphs, drawn as they are, or characters.
    const bool glyphNumbers = options & ETO_GLYPH_INDEX;
    QString text = givenText;
    if (const SymbolFont symbols = symbolFont(m_dc.font.face, m_dc.font.charSet);
        symbols != SymbolFont::None && !glyphNumbers) {
        // A character beyond the 16 bits of one code takes two, the second without an
        // advance of its own.
        QString shown;
        std::vector<qint32> spacing;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char32_t c = symbolCharacter(symbols, text[i].unicode());
            if (c == text[i].unicode())
                shown += text[i];
            else
                shown += QString::fromUcs4(&c, 1);
            if (!dx.empty()) {
                spacing.push_back(dx[std::size_t(i)]);
                if (c > 0xFFFF)
                    spacing.push_back(0);
            }
        }
        text = shown;
        dx = std::move(spacing);
    }
    const bool updateCp = m_dc.textAlign & TA_UPDATECP;
    if (updateCp)
        reference = m_dc.position;

    // The text's own frame: x along the baseline, y downwards across it, both in logical
    // units, so the spacing array and the font's height apply there as they are. Text stays
    // upright however the mapping turns its axes, unless the record draws in the advanced
    // mode, which turns it with the world transform.
    const QTransform& t = m_toDevice;
    const double sx = std::hypot(t.m11(), t.m12());
    const double sy = std::hypot(t.m21(), t.m22());
    if (!(sx > 1e-9 && sy > 1e-9 && std::isfinite(sx) && std::isfinite(sy)))
        return;
    //
    // The escapement turns the baseline counter-clockwise in logical units, so a mapping that
    // turns the y axis upwards turns it the other way on the device.
    const double e = m_dc.font.escapement / 10.0 * std::numbers::pi / 180;
    QPointF direction(std::cos(e), -std::sin(e));
    if (!advanced && t.m11() < 0)
        direction.rx() = -direction.x(); // text is never mirrored outside the advanced mode
    QPointF d = advanced ? QPointF(direction.x() * t.m11() + direction.y() * t.m21(),
                                   direction.x() * t.m12() + direction.y() * t.m22())
                         : QPointF(direction.x(), t.m22() < 0 ? -direction.y() : direction.y());
    const double length = std::hypot(d.x(), d.y());
    if (!(length > 0))
        return;
    d /= length;
    const QPointF origin = t.map(reference);
    const QTransform frame(sx * d.x(), sx * d.y(), -sy * d.y(), sy * d.x(), origin.x(), origin.y());

    // The font at a whole number of output pixels, and its pixels in the text's frame.
    const double so = outputScale();
    const EmfFont& f = m_dc.font;
    const double em = f.height == 0  ? DefaultEmPixels / sy
                      : f.height < 0 ? -double(f.height)
                                     : f.height * emPerCell(f);
    const int pixels = int(std::clamp(std::round(em * sy * so), 1.0, double(MaxFontPixels)));
    const double k = em / pixels;
    const ResolvedFont& font = resolve(f, pixels);
    double stretch = 1;
    if (f.width > 0 && font.averageWidth > 0)
        stretch = std::clamp(f.width / k / font.averageWidth, 0.05, 20.0);
    const double ascent = font.ascent * k;
    const double descent = font.descent * k;

    // Glyph numbers go through the glyphs of the font that stands in for the page's face.
    QList<quint32> glyphIds;
    QList<QPointF> glyphAdvances;
    QRawFont raw;
    if (glyphNumbers && !text.isEmpty()) {
        raw = QRawFont::fromFont(font.font);
        for (const QChar c : std::as_const(text))
            glyphIds.append(c.unicode());
        glyphAdvances = raw.advancesForGlyphIndexes(glyphIds);
    }
    double width = 0;
    if (!dx.empty()) {
        for (const qint32 advance : dx)
            width += advance;
    } else if (glyphNumbers) {
        for (const QPointF& advance : std::as_const(glyphAdvances))
            width += advance.x() * k * stretch;
    } else if (!text.isEmpty()) {
        width = QFontMetricsF(font.font).horizontalAdvance(text) * k * stretch;
    }
    double x = 0;
    switch (m_dc.textAlign & TA_HORIZONTAL_MASK) {
    case TA_RIGHT:
        x = -width;
        break;
    case TA_CENTER:
        x = -width / 2;
        break;
    default:
        break;
    }
    double baseline = ascent;
    switch (m_dc.textAlign & TA_VERTICAL_MASK) {
    case TA_BASELINE:
        baseline = 0;
        break;
    case TA_BOTTOM:
        baseline = -descent;
        break;
    default:
        break;
    }
    if (updateCp) {
        if ((m_dc.textAlign & TA_HORIZONTAL_MASK) == TA_RIGHT)
            m_dc.position.rx() -= width;
        else if ((m_dc.textAlign & TA_HORIZONTAL_MASK) != TA_CENTER)
            m_dc.position.rx() += width;
    }

    if (!prepare())
        return;
    const QRectF box(x, baseline - ascent, width, ascent + descent);
    const QTransform toOutput = frame * m_deviceToOutput;
    const QRectF reach = toOutput.mapRect(box);
    if (!(reach.left() > -(1 << 24) && reach.right() < (1 << 24) && reach.top() > -(1 << 24) &&
          reach.bottom() < (1 << 24)))
        return;
    if (rect && !(t.mapRect(*rect).width() < (1 << 26) && t.mapRect(*rect).height() < (1 << 26)))
        return;
    // Glyphs drawn through a transform that stretches one axis far more than the other, or
    // to a size beyond any page, make the painter's glyph rasteriser fail; such text could
    // not be read anyway.
    const QTransform glyphs = QTransform::fromScale(k * stretch, k) * toOutput;
    const double gx = std::hypot(glyphs.m11(), glyphs.m12());
    const double gy = std::hypot(glyphs.m21(), glyphs.m22());
    const bool drawable =
        gx > 0 && gy > 0 && gx / gy <= 16 && gy / gx <= 16 && pixels * std::max(gx, gy) < 32768;

    QPainter& p = *m_painter;
    usePlainPainting();
    p.save();
    if (rect) {
        QPainterPath area;
        area.addRect(*rect);
        const QPainterPath device = t.map(area);
        if (options & ETO_OPAQUE)
            p.fillPath(device, m_dc.backgroundColour);
        if (options & ETO_CLIPPED)
            p.setClipPath(device, Qt::IntersectClip);
    }
    if (m_dc.backgroundMode == OPAQUE && !(options & ETO_OPAQUE) && !text.isEmpty()) {
        p.setTransform(toOutput);
        p.fillRect(box, m_dc.backgroundColour);
    }
    if (drawable && !text.isEmpty()) {
        p.setFont(font.font);
        p.setPen(m_dc.textColour);
        const QFontMetricsF metrics(font.font);
        const auto run = [&](double at, const QString& part, double room) {
            // A face wider than the image's own (another font stood in for it) would make a
            // word run into the next; it is narrowed to the room its maker measured.
            double squeeze = 1;
            if (room > 0) {
                const double natural = metrics.horizontalAdvance(part) * k * stretch;
                if (natural > room * 1.05)
                    squeeze = room / natural;
            }
            p.setTransform(QTransform::fromScale(stretch * squeeze, 1) *
                           QTransform::fromTranslate(at / k, baseline / k) *
                           QTransform::fromScale(k, k) * toOutput);
            p.drawText(QPointF(0, 0), part);
        };
        if (glyphNumbers) {
            // Each glyph where the page's spacing puts it, or at the font's own advances.
            QList<QPointF> positions;
            double at = 0;
            for (qsizetype i = 0; i < glyphIds.size(); ++i) {
                positions.append(QPointF(at, 0));
                at += dx.empty() ? glyphAdvances.value(i).x() : dx[std::size_t(i)] / k / stretch;
            }
            QGlyphRun glyphRun;
            glyphRun.setRawFont(raw);
            glyphRun.setGlyphIndexes(glyphIds);
            glyphRun.setPositions(positions);
            p.setTransform(QTransform::fromScale(stretch, 1) *
                           QTransform::fromTranslate(x / k, baseline / k) *
                           QTransform::fromScale(k, k) * toOutput);
            p.drawGlyphRun(QPointF(0, 0), glyphRun);
        } else if (dx.empty()) {
            run(x, text, 0);
        } else {
            // The spacing puts every word where the image's maker measured it, which keeps
            // columns and aligned text in place on devices that measure otherwise. Within a
            // word the device's own spacing reads better than advances rounded to whole
            // pixels of a screen.
            qsizetype i = 0;
            while (i < text.size()) {
                if (text[i] == QLatin1Char(' ')) {
                    x += dx[std::size_t(i)];
                    ++i;
                    continue;
                }
                const qsizetype start = i;
                const double wordX = x;
                while (i < text.size() && text[i] != QLatin1Char(' ')) {
                    x += dx[std::size_t(i)];
                    ++i;
                }
                // Negative advances can send a word anywhere.
                if (std::abs(wordX) < (1 << 26))
                    run(wordX, text.mid(start, i - start), x - wordX);
            }
        }
    }
    p.restore();
}

} // namespace zel::report::emf
