#include "report/emf/EmfWriter.h"

#include "report/TextMeasure.h"
#include "report/emf/EmfFormat.h"

#include <QFontMetricsF>
#include <QtEndian>
#include <cstring>
#include <stdexcept>

namespace zel::report::emf {

namespace {

// Hundredths of a millimetre per pixel at 96 per inch.
constexpr double HundredthsMmPerPixel = 2540.0 / EmfWriter::Dpi;

quint32 colourRef(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return quint32(rgb.red()) | quint32(rgb.green()) << 8 | quint32(rgb.blue()) << 16;
}

quint32 penStyle(Pen::Style style)
{
    switch (style) {
    case Pen::Style::Dash:
        return PS_DASH;
    case Pen::Style::Dot:
        return PS_DOT;
    case Pen::Style::DashDot:
        return PS_DASHDOT;
    case Pen::Style::DashDotDot:
        return PS_DASHDOTDOT;
    case Pen::Style::None:
        return PS_NULL;
    case Pen::Style::Solid:
        break;
    }
    return PS_SOLID;
}

quint32 hatchStyle(Brush::Style style)
{
    switch (style) {
    case Brush::Style::Horizontal:
        return HS_HORIZONTAL;
    case Brush::Style::Vertical:
        return HS_VERTICAL;
    case Brush::Style::FDiagonal:
        return HS_FDIAGONAL;
    case Brush::Style::BDiagonal:
        return HS_BDIAGONAL;
    case Brush::Style::Cross:
        return HS_CROSS;
    default:
        return HS_DIAGCROSS;
    }
}

} // namespace

EmfWriter::EmfWriter(const QSize& pagePixels) : m_pagePixels(pagePixels)
{
    if (pagePixels.width() <= 0 || pagePixels.height() <= 0)
        throw std::invalid_argument("a page image needs a width and a height");

    const qint32 frameW = qRound(pagePixels.width() * HundredthsMmPerPixel);
    const qint32 frameH = qRound(pagePixels.height() * HundredthsMmPerPixel);

    const qsizetype start = beginRecord(EMR_HEADER);
    // The bounds are the whole page rather than the inked part: a page image is a page, and
    // another reader should show it with its margins.
    appendI32(0);
    appendI32(0);
    appendI32(pagePixels.width() - 1);
    appendI32(pagePixels.height() - 1);
    appendI32(0);
    appendI32(0);
    appendI32(frameW - 1);
    appendI32(frameH - 1);
    appendU32(ENHMETA_SIGNATURE);
    appendU32(EMF_VERSION);
    appendU32(0); // bytes, records and handles are filled in by finish()
    appendU32(0);
    appendU32(0);
    appendU32(0); // no description
    appendU32(0);
    appendU32(0); // no palette
    appendI32(pagePixels.width());
    appendI32(pagePixels.height());
    appendI32(qRound(frameW / 100.0));
    appendI32(qRound(frameH / 100.0));
    appendU32(0); // no pixel format, no OpenGL
    appendU32(0);
    appendU32(0);
    appendI32(frameW * 10);
    appendI32(frameH * 10);
    endRecord(start);

    simpleRecord(EMR_SETBKMODE, TRANSPARENT);
    simpleRecord(EMR_SETTEXTALIGN, 0); // reference point at the top left of the text
}

qsizetype EmfWriter::beginRecord(quint32 type)
{
    checkOpen();
    const qsizetype start = m_data.size();
    appendU32(type);
    appendU32(0);
    return start;
}

void EmfWriter::endRecord(qsizetype start)
{
    while (m_data.size() % 4 != 0)
        m_data.append('\0');
    qToLittleEndian<quint32>(quint32(m_data.size() - start), m_data.data() + start + 4);
    ++m_records;
}

void EmfWriter::simpleRecord(quint32 type, quint32 value)
{
    const qsizetype start = beginRecord(type);
    appendU32(value);
    endRecord(start);
}

void EmfWriter::appendU32(quint32 v)
{
    char buf[4];
    qToLittleEndian(v, buf);
    m_data.append(buf, 4);
}

// Rectangle and ellipse records take the corners the figure spans between, so a QRect's
// width and height are added to its top left corner.
void EmfWriter::appendBox(const QRect& rect)
{
    appendI32(rect.x());
    appendI32(rect.y());
    appendI32(rect.x() + rect.width());
    appendI32(rect.y() + rect.height());
}

void EmfWriter::checkOpen() const
{
    if (m_finished)
        throw std::logic_error("the page image is already finished");
}

quint32 EmfWriter::newSlot()
{
    for (std::size_t i = 1; i < m_slotUsed.size(); ++i) {
        if (!m_slotUsed[i]) {
            m_slotUsed[i] = true;
            return quint32(i);
        }
    }
    m_slotUsed.push_back(true);
    return quint32(m_slotUsed.size() - 1);
}

// Selects object, one just created in its slot or a stock object, and deletes the one it
// replaces, so an image holds at most a few objects at a time whatever the number of pens and
// fonts on the page.
void EmfWriter::replaceSlot(quint32& current, quint32 object)
{
    simpleRecord(EMR_SELECTOBJECT, object);
    if (current != 0) {
        simpleRecord(EMR_DELETEOBJECT, current);
        m_slotUsed[current] = false;
    }
    current = object & STOCK_OBJECT ? 0 : object;
}

void EmfWriter::createObject(quint32 type, quint32& current, const std::function<void()>& contents)
{
    const quint32 slot = newSlot();
    const qsizetype start = beginRecord(type);
    appendU32(slot);
    contents();
    endRecord(start);
    replaceSlot(current, slot);
}

void EmfWriter::selectPen(const Pen& pen)
{
    if (m_pen == pen)
        return;
    m_pen = pen;
    if (pen.style == Pen::Style::None) {
        replaceSlot(m_penSlot, STOCK_OBJECT | NULL_PEN);
        return;
    }
    createObject(EMR_CREATEPEN, m_penSlot, [&] {
        appendU32(penStyle(pen.style));
        appendI32(qMax(0, pen.width));
        appendI32(0);
        appendU32(colourRef(pen.colour));
    });
}

void EmfWriter::selectBrush(const Brush& brush)
{
    if (m_brush == brush)
        return;
    m_brush = brush;
    if (brush.style == Brush::Style::Clear) {
        replaceSlot(m_brushSlot, STOCK_OBJECT | NULL_BRUSH);
        return;
    }
    createObject(EMR_CREATEBRUSHINDIRECT, m_brushSlot, [&] {
        const bool solid = brush.style == Brush::Style::Solid;
        appendU32(solid ? BS_SOLID : BS_HATCHED);
        appendU32(colourRef(brush.colour));
        appendU32(solid ? 0 : hatchStyle(brush.style));
    });
}

void EmfWriter::selectFont(const TextFont& font)
{
    const FontKey key{font.family, font.pixelSize(Dpi), font.bold,
                      font.italic, font.underline,      font.strikeOut};
    if (m_font == key)
        return;
    m_font = key;

    // Measured as the report engine measures, so the characters stand where the layout has
    // them.
    m_qfont = TextMeasure::referenceFont(font);

    createObject(EMR_EXTCREATEFONTINDIRECTW, m_fontSlot, [&] {
        // LogFont: a negative height asks for this em size rather than this cell height.
        appendI32(-key.pixelSize);
        appendI32(0); // width: the font's own
        appendI32(0); // escapement
        appendI32(0); // orientation
        appendU32(key.bold ? FW_BOLD : FW_NORMAL);
        const char flags[4] = {char(key.italic), char(key.underline), char(key.strikeOut),
                               char(DEFAULT_CHARSET)};
        m_data.append(flags, 4);
        appendU32(0); // precision, clipping, quality, pitch and family: the defaults
        char16_t face[32] = {};
        const QString name = key.family.left(31);
        for (qsizetype i = 0; i < name.size(); ++i)
            qToLittleEndian<quint16>(name[i].unicode(), &face[i]);
        m_data.append(reinterpret_cast<const char*>(face), sizeof face);
        // The rest of the extended form stays empty; other readers then take the plain font.
        m_data.append(LOGFONT_PANOSE_SIZE - LOGFONT_SIZE, '\0');
    });
}

void EmfWriter::setTextColour(const QColor& colour)
{
    if (m_textColour == colour)
        return;
    m_textColour = colour;
    simpleRecord(EMR_SETTEXTCOLOR, colourRef(colour));
}

void EmfWriter::drawText(const QPoint& topLeft, const QString& text, const TextFont& font,
                         const QRect& clip)
{
    checkOpen();
    if (text.isEmpty())
        return;
    selectFont(font);
    setTextColour(font.colour);

    // Advances rounded on the running total, so the line is as long as the font measures it.
    const QFontMetricsF metrics(m_qfont);
    std::vector<qint32> dx(std::size_t(text.size()), 0);
    qreal total = 0;
    qint32 placed = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        total += metrics.horizontalAdvance(text.mid(i, pair ? 2 : 1));
        dx[std::size_t(i)] = qRound(total) - placed;
        placed += dx[std::size_t(i)];
        if (pair)
            ++i; // the low half of the pair moves no further
    }

    QRect inked(topLeft, QSize(placed, qCeil(metrics.height())));
    if (!clip.isNull())
        inked &= clip;

    const qsizetype start = beginRecord(EMR_EXTTEXTOUTW);
    if (inked.isEmpty()) {
        appendI32(0);
        appendI32(0);
        appendI32(-1);
        appendI32(-1);
    } else {
        appendI32(inked.left());
        appendI32(inked.top());
        appendI32(inked.right());
        appendI32(inked.bottom());
    }
    appendU32(GM_COMPATIBLE);
    const float scale = float(HundredthsMmPerPixel);
    quint32 scaleBits;
    std::memcpy(&scaleBits, &scale, 4);
    appendU32(scaleBits);
    appendU32(scaleBits);
    appendI32(topLeft.x());
    appendI32(topLeft.y());
    const quint32 chars = quint32(text.size());
    const quint32 stringBytes = (chars * 2 + 3) & ~3u;
    appendU32(chars);
    appendU32(EXTTEXTOUT_FIXED_SIZE);
    appendU32(clip.isNull() ? 0u : quint32(ETO_CLIPPED));
    if (clip.isNull())
        appendBox(QRect(0, 0, 0, 0));
    else
        appendBox(clip);
    appendU32(EXTTEXTOUT_FIXED_SIZE + stringBytes);
    for (const QChar c : text) {
        char buf[2];
        qToLittleEndian<quint16>(c.unicode(), buf);
        m_data.append(buf, 2);
    }
    while ((m_data.size() - start) % 4 != 0)
        m_data.append('\0');
    for (const qint32 d : dx)
        appendI32(d);
    endRecord(start);
}

void EmfWriter::fillRect(const QRect& rect, const QColor& colour)
{
    drawRectangle(rect, Pen{colour, 0, Pen::Style::None}, Brush{colour, Brush::Style::Solid});
}

void EmfWriter::drawLine(const QPoint& from, const QPoint& to, const Pen& pen)
{
    checkOpen();
    if (pen.style == Pen::Style::None)
        return;
    selectPen(pen);
    qsizetype start = beginRecord(EMR_MOVETOEX);
    appendI32(from.x());
    appendI32(from.y());
    endRecord(start);
    start = beginRecord(EMR_LINETO);
    appendI32(to.x());
    appendI32(to.y());
    endRecord(start);
}

void EmfWriter::drawRectangle(const QRect& rect, const Pen& pen, const Brush& brush)
{
    drawBox(EMR_RECTANGLE, rect, pen, brush);
}

void EmfWriter::drawEllipse(const QRect& rect, const Pen& pen, const Brush& brush)
{
    drawBox(EMR_ELLIPSE, rect, pen, brush);
}

void EmfWriter::drawBox(quint32 type, const QRect& rect, const Pen& pen, const Brush& brush)
{
    checkOpen();
    selectPen(pen);
    selectBrush(brush);
    const qsizetype start = beginRecord(type);
    appendBox(rect);
    endRecord(start);
}

EmfImage EmfWriter::finish()
{
    const qsizetype start = beginRecord(EMR_EOF);
    appendU32(0);  // no palette entries
    appendU32(16); // where they would start
    appendU32(EOF_RECORD_SIZE);
    endRecord(start);
    m_finished = true;

    char* header = m_data.data();
    qToLittleEndian<quint32>(quint32(m_data.size()), header + 48);
    qToLittleEndian<quint32>(m_records, header + 52);
    qToLittleEndian<quint16>(quint16(m_slotUsed.size()), header + 56);
    return EmfImage::fromBytes(m_data);
}

} // namespace zel::report::emf
