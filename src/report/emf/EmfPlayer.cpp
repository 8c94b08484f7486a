#include "report/emf/EmfPlayer.h"

#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfHeader.h"
#include "report/emf/EmfImage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <cmath>
#include <variant>
#include <vector>

namespace zel::report::emf {

namespace {

// Anything further out than this is far off any page; drawing it would only make the painter
// work through huge paths, so such shapes are left out.
constexpr double MaxCoordinate = 1 << 24;
constexpr qint64 MaxFontPixels = 16384;
constexpr int MaxPenWidth = 30000; // QPen refuses wider ones
constexpr std::size_t MaxSavedStates = 1024;

struct LogFont
{
    qint32 height = 0;
    quint32 weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

using Object = std::variant<std::monostate, QPen, QBrush, LogFont>;

struct DcState
{
    QPen pen{QBrush(Qt::black), 0};
    QBrush brush{Qt::white};
    LogFont font;
    QColor textColour{Qt::black};
    QColor backgroundColour{Qt::white};
    quint32 backgroundMode = OPAQUE;
    quint32 textAlign = 0;
    QPointF position;
};

// COLORREF: 0x00bbggrr.
QColor colourFrom(quint32 ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

bool reasonable(double v)
{
    return v > -MaxCoordinate && v < MaxCoordinate;
}

bool reasonable(const QRectF& r)
{
    return reasonable(r.left()) && reasonable(r.top()) && reasonable(r.right()) &&
           reasonable(r.bottom());
}

// One record, with reads that cannot leave it.
class Record
{
public:
    Record(QByteArrayView image, qsizetype offset)
        : m_data(image.data() + offset), m_offset(offset),
          m_type(qFromLittleEndian<quint32>(m_data)), m_size(qFromLittleEndian<quint32>(m_data + 4))
    {
    }

    quint32 type() const { return m_type; }
    quint32 size() const { return m_size; }

    void require(quint32 minimum) const
    {
        if (m_size < minimum)
            throw EmfError(
                QStringLiteral("record of type %1 at offset %2 is %3 bytes, shorter than %4")
                    .arg(m_type)
                    .arg(m_offset)
                    .arg(m_size)
                    .arg(minimum));
    }
    // Whether count items of itemSize bytes fit from offset on.
    void requireArray(quint64 offset, quint64 count, quint64 itemSize, const char* what) const
    {
        if (count == 0)
            return; // an empty array may point anywhere
        if (offset > m_size || count > (m_size - offset) / itemSize)
            throw EmfError(QStringLiteral("%1 of the record of type %2 at offset %3 runs past "
                                          "the end of the record")
                               .arg(QLatin1String(what))
                               .arg(m_type)
                               .arg(m_offset));
    }

    quint32 u32(quint32 at) const
    {
        require(at + 4);
        return qFromLittleEndian<quint32>(m_data + at);
    }
    qint32 i32(quint32 at) const { return qint32(u32(at)); }
    quint8 u8(quint32 at) const
    {
        require(at + 1);
        return quint8(m_data[at]);
    }
    quint16 u16(quint32 at) const
    {
        require(at + 2);
        return qFromLittleEndian<quint16>(m_data + at);
    }
    QPointF point(quint32 at) const { return QPointF(i32(at), i32(at + 4)); }
    // A box as rectangle and ellipse records store it: the figure spans from the first corner
    // up to the second.
    QRectF box(quint32 at) const
    {
        const double l = i32(at), t = i32(at + 4), r = i32(at + 8), b = i32(at + 12);
        return QRectF(QPointF(l, t), QPointF(r, b)).normalized();
    }
    QString utf16(quint32 at, quint32 count) const
    {
        requireArray(at, count, 2, "text");
        QString s(qsizetype(count), Qt::Uninitialized);
        for (quint32 i = 0; i < count; ++i)
            s[i] = QChar(qFromLittleEndian<quint16>(m_data + at + 2 * i));
        return s;
    }
    QString faceName(quint32 at, quint32 maxChars) const
    {
        QString s = utf16(at, maxChars);
        const qsizetype end = s.indexOf(QChar(0));
        if (end >= 0)
            s.truncate(end);
        return s;
    }

private:
    const char* m_data;
    qsizetype m_offset;
    quint32 m_type;
    quint32 m_size;
};

class Playback
{
public:
    // painter may be null: then records are only read and checked.
    Playback(const EmfHeader& header, QPainter* painter)
        : m_objects(header.handles), m_painter(painter), m_page(header.frameInDevicePixels())
    {
    }

    void run(QByteArrayView image)
    {
        qsizetype offset = 0;
        while (offset < image.size()) {
            const Record r(image, offset);
            if (r.type() == EMR_EOF)
                break;
            step(r);
            offset += r.size();
        }
    }

private:
    void step(const Record& r)
    {
        switch (r.type()) {
        case EMR_SETBKMODE:
            m_dc.backgroundMode = r.u32(8);
            break;
        case EMR_SETTEXTALIGN:
            m_dc.textAlign = r.u32(8);
            break;
        case EMR_SETTEXTCOLOR:
            m_dc.textColour = colourFrom(r.u32(8));
            break;
        case EMR_SETBKCOLOR:
            m_dc.backgroundColour = colourFrom(r.u32(8));
            break;
        case EMR_MOVETOEX:
            m_dc.position = r.point(8);
            break;
        case EMR_LINETO:
            lineTo(r.point(8));
            break;
        case EMR_SAVEDC:
            if (m_saved.size() < MaxSavedStates)
                m_saved.push_back(m_dc);
            break;
        case EMR_RESTOREDC:
            restoreDc(r.i32(8));
            break;
        case EMR_CREATEPEN:
            r.require(28);
            create(slot(r.u32(8)), [&] { return penFrom(r.u32(12), r.i32(16), r.u32(24)); });
            break;
        case EMR_EXTCREATEPEN:
            createExtPen(r);
            break;
        case EMR_CREATEBRUSHINDIRECT:
            r.require(24);
            create(slot(r.u32(8)), [&] { return brushFrom(r.u32(12), r.u32(16), r.u32(20)); });
            break;
        case EMR_EXTCREATEFONTINDIRECTW:
            createFont(r);
            break;
        case EMR_SELECTOBJECT:
            select(r.u32(8));
            break;
        case EMR_DELETEOBJECT:
            if (!(r.u32(8) & STOCK_OBJECT))
                m_objects[slot(r.u32(8))] = std::monostate();
            break;
        case EMR_RECTANGLE:
            shape(r.box(8), false);
            break;
        case EMR_ELLIPSE:
            shape(r.box(8), true);
            break;
        case EMR_EXTTEXTOUTW:
            text(r);
            break;
        default:
            break; // not drawn
        }
    }

    std::size_t slot(quint32 index) const
    {
        if (index == 0 || index >= m_objects.size())
            throw EmfError(QStringLiteral("object index %1 lies outside the object table of %2")
                               .arg(index)
                               .arg(m_objects.size()));
        return index;
    }

    // Objects are only made when drawing; checking needs no more than their records' sizes.
    template <typename Make> void create(std::size_t index, Make make)
    {
        if (m_painter)
            m_objects[index] = make();
    }

    static QPen penFrom(quint32 style, qint32 width, quint32 colour)
    {
        const quint32 s = style & PS_STYLE_MASK;
        if (s == PS_NULL)
            return QPen(Qt::NoPen);
        QPen pen(colourFrom(colour));
        pen.setWidthF(qBound(0, width, MaxPenWidth));
        switch (s) {
        case PS_DASH:
            pen.setStyle(Qt::DashLine);
            break;
        case PS_DOT:
            pen.setStyle(Qt::DotLine);
            break;
        case PS_DASHDOT:
            pen.setStyle(Qt::DashDotLine);
            break;
        case PS_DASHDOTDOT:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        default:
            break;
        }
        return pen;
    }

    static QBrush brushFrom(quint32 style, quint32 colour, quint32 hatch)
    {
        if (style == BS_NULL)
            return QBrush(Qt::NoBrush);
        if (style != BS_HATCHED)
            return QBrush(colourFrom(colour));
        static constexpr Qt::BrushStyle patterns[] = {Qt::HorPattern,   Qt::VerPattern,
                                                      Qt::FDiagPattern, Qt::BDiagPattern,
                                                      Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(colourFrom(colour), hatch < 6 ? patterns[hatch] : Qt::SolidPattern);
    }

    void createExtPen(const Record& r)
    {
        r.require(52);
        const quint32 entries = r.u32(48);
        r.requireArray(52, entries, 4, "pen style entries");
        create(slot(r.u32(8)), [&] {
            return r.u32(36) == BS_NULL ? QPen(Qt::NoPen)
                                        : penFrom(r.u32(28), r.i32(32), r.u32(40));
        });
    }

    void createFont(const Record& r)
    {
        r.require(12 + LOGFONT_SIZE);
        create(slot(r.u32(8)), [&] {
            LogFont f;
            f.height = r.i32(12);
            f.weight = r.u32(28);
            f.italic = r.u8(32) != 0;
            f.underline = r.u8(33) != 0;
            f.strikeOut = r.u8(34) != 0;
            f.face = r.faceName(40, 32);
            return Object(std::move(f));
        });
    }

    void select(quint32 index)
    {
        if (index & STOCK_OBJECT) {
            selectStock(index & ~STOCK_OBJECT);
            return;
        }
        const Object& o = m_objects[slot(index)];
        if (const auto* pen = std::get_if<QPen>(&o))
            m_dc.pen = *pen;
        else if (const auto* brush = std::get_if<QBrush>(&o))
            m_dc.brush = *brush;
        else if (const auto* font = std::get_if<LogFont>(&o))
            m_dc.font = *font;
    }

    void selectStock(quint32 stock)
    {
        switch (stock) {
        case WHITE_BRUSH:
            m_dc.brush = QBrush(Qt::white);
            break;
        case LTGRAY_BRUSH:
            m_dc.brush = QBrush(QColor(192, 192, 192));
            break;
        case GRAY_BRUSH:
            m_dc.brush = QBrush(QColor(128, 128, 128));
            break;
        case DKGRAY_BRUSH:
            m_dc.brush = QBrush(QColor(64, 64, 64));
            break;
        case BLACK_BRUSH:
            m_dc.brush = QBrush(Qt::black);
            break;
        case NULL_BRUSH:
            m_dc.brush = QBrush(Qt::NoBrush);
            break;
        case WHITE_PEN:
            m_dc.pen = QPen(QBrush(Qt::white), 0);
            break;
        case BLACK_PEN:
            m_dc.pen = QPen(QBrush(Qt::black), 0);
            break;
        case NULL_PEN:
            m_dc.pen = QPen(Qt::NoPen);
            break;
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
        case ANSI_VAR_FONT:
        case SYSTEM_FONT:
        case DEVICE_DEFAULT_FONT:
        case SYSTEM_FIXED_FONT:
        case DEFAULT_GUI_FONT:
            m_dc.font = LogFont();
            break;
        default:
            break; // palettes and the like: nothing to draw with
        }
    }

    void restoreDc(qint32 which)
    {
        // Negative: relative to the latest saved state; positive: counted from the first.
        const qint64 depth = qint64(m_saved.size());
        const qint64 keep = which < 0 ? depth + which : qint64(which) - 1;
        if (keep < 0 || keep >= depth)
            return;
        m_dc = m_saved[std::size_t(keep)];
        m_saved.resize(std::size_t(keep));
    }

    void lineTo(const QPointF& to)
    {
        const QPointF from = m_dc.position;
        m_dc.position = to;
        if (!m_painter || !reasonable(QRectF(from, to)))
            return;
        m_painter->setPen(m_dc.pen);
        m_painter->drawLine(from, to);
    }

    void shape(const QRectF& box, bool ellipse)
    {
        if (!m_painter || !reasonable(box))
            return;
        QPainterPath path;
        if (ellipse)
            path.addEllipse(box);
        else
            path.addRect(box);
        const Qt::BrushStyle style = m_dc.brush.style();
        const bool hatched = style >= Qt::HorPattern && style <= Qt::DiagCrossPattern;
        if (hatched)
            hatch(path, m_dc.brush);
        m_painter->setPen(m_dc.pen);
        m_painter->setBrush(hatched ? QBrush(Qt::NoBrush) : m_dc.brush);
        m_painter->drawPath(path);
    }

    // Hatch lines 8 image pixels apart and 1 wide, as the page looks on the screen it was
    // made for. The painter's own patterns are in device pixels and would turn into a grey
    // tint on a printer or in a PDF file.
    void hatch(const QPainterPath& path, const QBrush& brush)
    {
        constexpr double Step = 8;
        const Qt::BrushStyle style = brush.style();
        // Only the part on the page: a huge shape must not cost a huge number of lines.
        const QRectF r = path.boundingRect() & m_page.adjusted(-Step, -Step, Step, Step);
        if (r.isEmpty())
            return;
        QPainter& p = *m_painter;
        p.save();
        p.setClipPath(path, Qt::IntersectClip);
        p.setPen(QPen(brush.color(), 1));
        if (style == Qt::HorPattern || style == Qt::CrossPattern)
            for (double y = std::floor(r.top() / Step) * Step + 0.5; y < r.bottom(); y += Step)
                p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        if (style == Qt::VerPattern || style == Qt::CrossPattern)
            for (double x = std::floor(r.left() / Step) * Step + 0.5; x < r.right(); x += Step)
                p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        // Diagonals: x - y constant for one direction, x + y for the other.
        const double span = r.width() + r.height();
        if (style == Qt::FDiagPattern || style == Qt::DiagCrossPattern)
            for (double c = std::floor((r.left() - r.bottom()) / Step) * Step;
                 c < r.right() - r.top(); c += Step)
                p.drawLine(QPointF(c + r.top(), r.top()),
                           QPointF(c + r.top() + span, r.top() + span));
        if (style == Qt::BDiagPattern || style == Qt::DiagCrossPattern)
            for (double c = std::floor((r.left() + r.top()) / Step) * Step;
                 c < r.right() + r.bottom(); c += Step)
                p.drawLine(QPointF(c - r.top(), r.top()),
                           QPointF(c - r.top() - span, r.top() + span));
        p.restore();
    }

    QFont qfont(const LogFont& f) const
    {
        QFont font(f.face.isEmpty() ? QStringLiteral("Arial") : f.face);
        // A negative height is the em size, a positive one the whole cell; 0 asks for the
        // default size.
        const qint64 h = f.height == 0 ? 16 : qAbs(qint64(f.height));
        font.setPixelSize(int(qBound<qint64>(1, h, MaxFontPixels)));
        if (f.height > 0) {
            const qreal cell = QFontMetricsF(font).height();
            if (cell > 0)
                font.setPixelSize(int(qBound<qint64>(1, qRound64(h * h / cell), MaxFontPixels)));
        }
        font.setWeight(QFont::Weight(f.weight == 0 ? FW_NORMAL : qBound(1u, f.weight, 1000u)));
        font.setItalic(f.italic);
        font.setUnderline(f.underline);
        font.setStrikeOut(f.strikeOut);
        return font;
    }

    void text(const Record& r)
    {
        r.require(EXTTEXTOUT_FIXED_SIZE - 20); // the rectangle is optional
        const QPointF reference = r.point(36);
        const quint32 chars = r.u32(44);
        const quint32 offString = r.u32(48);
        const quint32 options = r.u32(52);
        const bool hasRect = !(options & ETO_NO_RECT);
        const QRectF rect = hasRect ? r.box(56) : QRectF();
        const quint32 offDx = r.u32(hasRect ? 72 : 56);
        r.requireArray(offString, chars, 2, "text");
        const bool perPair = options & ETO_PDY;
        const quint64 dxCount = offDx == 0 ? 0 : quint64(chars) * (perPair ? 2 : 1);
        r.requireArray(offDx, dxCount, 4, "character spacing");
        if (!m_painter || (options & ETO_GLYPH_INDEX))
            return; // glyph numbers belong to a font we do not have
        std::vector<qint32> dx(dxCount);
        for (quint32 i = 0; i < dxCount; ++i)
            dx[i] = r.i32(offDx + 4 * i);
        drawText(reference, r.utf16(offString, chars), dx, perPair, options, rect);
    }

    // Text drawn through a transform that stretches one axis far more than the other, or to a
    // size beyond any page, makes the painter's glyph rasteriser fail and crash; such text
    // could not be read anyway. Images scaled to a target of another shape get here.
    bool drawableText(const QFont& font) const
    {
        const QTransform t = m_painter->combinedTransform();
        const double sx = std::hypot(t.m11(), t.m12());
        const double sy = std::hypot(t.m21(), t.m22());
        if (!(sx > 0 && sy > 0) || sx / sy > 16 || sy / sx > 16)
            return false;
        return font.pixelSize() * qMax(sx, sy) < 32768;
    }

    void drawText(QPointF reference, const QString& s, const std::vector<qint32>& dx, bool perPair,
                  quint32 options, const QRectF& rect)
    {
        if (m_dc.textAlign & TA_UPDATECP)
            reference = m_dc.position;
        const int step = perPair ? 2 : 1;
        qreal width = 0;
        for (std::size_t i = 0; i < dx.size(); i += step)
            width += dx[i];
        if (!reasonable(QRectF(reference, QSizeF(width, 0))) ||
            (!rect.isNull() && !reasonable(rect)))
            return;
        const QFont font = qfont(m_dc.font);
        if (!drawableText(font))
            return;
        const QFontMetricsF metrics(font);
        if (dx.empty())
            width = metrics.horizontalAdvance(s);

        qreal x = reference.x();
        switch (m_dc.textAlign & TA_HORIZONTAL_MASK) {
        case TA_RIGHT:
            x -= width;
            break;
        case TA_CENTER:
            x -= width / 2;
            break;
        default:
            break;
        }
        qreal baseline = reference.y() + metrics.ascent();
        switch (m_dc.textAlign & TA_VERTICAL_MASK) {
        case TA_BASELINE:
            baseline = reference.y();
            break;
        case TA_BOTTOM:
            baseline = reference.y() - metrics.descent();
            break;
        default:
            break;
        }
        if (m_dc.textAlign & TA_UPDATECP) {
            if ((m_dc.textAlign & TA_HORIZONTAL_MASK) == TA_RIGHT)
                m_dc.position.setX(x);
            else if ((m_dc.textAlign & TA_HORIZONTAL_MASK) != TA_CENTER)
                m_dc.position.setX(x + width);
        }

        QPainter& p = *m_painter;
        p.save();
        if ((options & ETO_CLIPPED) && !rect.isNull())
            p.setClipRect(rect, Qt::IntersectClip);
        if ((options & ETO_OPAQUE) && !rect.isNull())
            p.fillRect(rect, m_dc.backgroundColour);
        else if (m_dc.backgroundMode == OPAQUE)
            p.fillRect(QRectF(x, baseline - metrics.ascent(), width, metrics.height()),
                       m_dc.backgroundColour);
        p.setFont(font);
        p.setPen(m_dc.textColour);
        if (dx.empty()) {
            p.drawText(QPointF(x, baseline), s);
        } else {
            // The spacing puts every word where the image's maker measured it, which keeps
            // columns and aligned text in place on devices that measure otherwise. Within a
            // word the device's own spacing reads better than advances rounded to whole
            // pixels of a screen. With ETO_PDY every character also has a vertical offset;
            // horizontal spacing is what keeps the text in place, so only that is used.
            qsizetype i = 0;
            while (i < s.size()) {
                if (s[i] == QLatin1Char(' ')) {
                    x += dx[std::size_t(i * step)];
                    ++i;
                    continue;
                }
                const qsizetype start = i;
                const qreal wordX = x;
                while (i < s.size() && s[i] != QLatin1Char(' ')) {
                    x += dx[std::size_t(i * step)];
                    ++i;
                }
                // Negative advances can send a word anywhere.
                if (reasonable(wordX))
                    p.drawText(QPointF(wordX, baseline), s.mid(start, i - start));
            }
        }
        p.restore();
    }

    std::vector<Object> m_objects;
    std::vector<DcState> m_saved;
    DcState m_dc;
    QPainter* m_painter;
    QRectF m_page; // the picture frame, in image coordinates
};

} // namespace

void EmfPlayer::check(QByteArrayView image, const EmfHeader& header)
{
    Playback(header, nullptr).run(image);
}

void EmfPlayer::play(const EmfImage& image, QPainter& painter, const QRectF& target)
{
    const EmfHeader& header = image.header();
    const QRectF source = header.frameInDevicePixels();
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / source.width(), target.height() / source.height());
    painter.translate(-source.topLeft());
    Playback(header, &painter).run(QByteArrayView(image.bytes()));
    painter.restore();
}

} // namespace zel::report::emf
