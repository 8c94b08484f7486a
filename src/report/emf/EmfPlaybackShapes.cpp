// Lines, curves, areas, paths and regions.

#include "report/emf/EmfFormat.h"
#include "report/emf/EmfPlayback.h"
#include "report/emf/EmfRecord.h"
#include "report/emf/EmfRegion.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <cmath>
#include <numbers>

namespace zel::report::emf {

namespace {

// Hatch lines are this many device units apart, as on the screens the images were made for.
constexpr double HatchStep = 8;

QPainterPath polylinePath(const std::vector<QPointF>& points, std::size_t from, std::size_t count,
                          bool closed)
{
    QPainterPath p;
    if (count == 0)
        return p;
    p.moveTo(points[from]);
    for (std::size_t i = 1; i < count; ++i)
        p.lineTo(points[from + i]);
    if (closed)
        p.closeSubpath();
    return p;
}

// Every figure of a path closed, as filling and the fill-and-stroke records treat them.
QPainterPath closedFigures(const QPainterPath& path)
{
    QPainterPath out;
    out.setFillRule(path.fillRule());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                out.closeSubpath();
            out.moveTo(e);
            break;
        case QPainterPath::LineToElement:
            out.lineTo(e);
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < path.elementCount()) {
                out.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
                i += 2;
            }
            break;
        default:
            break;
        }
    }
    out.closeSubpath();
    return out;
}

// Goes on with the figure path ends in along more, from more's start: a line to it unless the
// figure already ends there. (QPainterPath::connectPath would drop a figure's lone starting
// point and join the line to the figure before.)
void extendFigure(QPainterPath& path, const QPainterPath& more)
{
    if (more.elementCount() == 0)
        return;
    const QPointF start = more.elementAt(0);
    if (path.elementCount() == 0)
        path.moveTo(start);
    else if (path.currentPosition() != start)
        path.lineTo(start);
    for (int i = 1; i < more.elementCount(); ++i) {
        const QPainterPath::Element e = more.elementAt(i);
        if (e.type == QPainterPath::CurveToElement && i + 2 < more.elementCount()) {
            path.cubicTo(e, more.elementAt(i + 1), more.elementAt(i + 2));
            i += 2;
        } else if (e.type == QPainterPath::MoveToElement) {
            path.moveTo(e);
        } else {
            path.lineTo(e);
        }
    }
}

double degrees(double radians)
{
    return radians * 180 / std::numbers::pi;
}

// Smoothing for the time a pen thinner than a pixel draws, so that its share of a pixel
// falls where the line lies rather than on whole rows of pixels.
class SmoothThinPen
{
public:
    SmoothThinPen(QPainter& p, bool thin)
        : m_p(p), m_switched(thin && !p.testRenderHint(QPainter::Antialiasing))
    {
        if (m_switched)
            m_p.setRenderHint(QPainter::Antialiasing, true);
    }
    ~SmoothThinPen()
    {
        if (m_switched)
            m_p.setRenderHint(QPainter::Antialiasing, false);
    }
    SmoothThinPen(const SmoothThinPen&) = delete;
    SmoothThinPen& operator=(const SmoothThinPen&) = delete;

private:
    QPainter& m_p;
    bool m_switched;
};

} // namespace

bool EmfPlayback::withinReach(const QRectF& output)
{
    // Output coordinates beyond this are far off any page. Figures that reach so far are left
    // out: the painter would spend its time on them (a dashed line a million pages long) for
    // nothing.
    constexpr double MaxOutput = 1 << 24;
    return output.left() > -MaxOutput && output.top() > -MaxOutput && output.right() < MaxOutput &&
           output.bottom() < MaxOutput;
}

void EmfPlayback::figure(const QPainterPath& logical, bool fill, bool stroke)
{
    if (m_inPath)
        m_path.addPath(m_toDevice.map(logical));
    else if (drawing())
        paintDevice(m_toDevice.map(logical), fill, stroke);
}

void EmfPlayback::paintDevice(QPainterPath device, bool fill, bool stroke)
{
    if (!prepare() || !useRop2())
        return;
    if (!withinReach(m_deviceToOutput.mapRect(device.controlPointRect())))
        return;
    device.setFillRule(m_dc.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill)
        fillDevice(device, m_dc.brush);
    if (stroke)
        strokeDevice(device);
}

void EmfPlayback::continueFigure(const QPainterPath& logical)
{
    if (m_inPath) {
        extendFigure(m_path, m_toDevice.map(logical));
        return;
    }
    figure(logical, false, true);
}

void EmfPlayback::lineTo(const QPointF& to)
{
    const QPointF from = m_dc.position;
    m_dc.position = to;
    if (m_inPath) {
        const QPointF start = m_toDevice.map(from);
        if (m_path.elementCount() == 0 || m_path.currentPosition() != start)
            m_path.moveTo(start);
        m_path.lineTo(m_toDevice.map(to));
        return;
    }
    if (!prepare() || !useRop2())
        return;
    const QLineF line(m_toDevice.map(from), m_toDevice.map(to));
    if (!withinReach(m_deviceToOutput.mapRect(QRectF(line.p1(), line.p2()).normalized())))
        return;
    const QPen pen = devicePen();
    if (pen.style() == Qt::NoPen)
        return;
    const SmoothThinPen smooth(*m_painter, m_thinPen);
    m_painter->setPen(pen);
    m_painter->drawLine(line);
}

void EmfPlayback::polyRecord(const EmfRecord& r, bool sixteen)
{
    const quint32 count = r.u32(24);
    const std::vector<QPointF> pts = r.points(28, count, sixteen);
    const quint32 type = r.type();
    const bool bezier = type == EMR_POLYBEZIER || type == EMR_POLYBEZIER16 ||
                        type == EMR_POLYBEZIERTO || type == EMR_POLYBEZIERTO16;
    const bool to = type == EMR_POLYBEZIERTO || type == EMR_POLYBEZIERTO16 ||
                    type == EMR_POLYLINETO || type == EMR_POLYLINETO16;
    if (pts.empty())
        return;

    QPainterPath p;
    std::size_t i = 0;
    if (to) {
        p.moveTo(m_dc.position);
    } else {
        p.moveTo(pts[0]);
        i = 1;
    }
    if (bezier) {
        for (; i + 2 < pts.size(); i += 3)
            p.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
    } else {
        for (; i < pts.size(); ++i)
            p.lineTo(pts[i]);
    }
    if (to) {
        m_dc.position = p.currentPosition();
        continueFigure(p);
        return;
    }
    const bool polygon = type == EMR_POLYGON || type == EMR_POLYGON16;
    if (polygon)
        p.closeSubpath();
    figure(p, polygon, true);
}

void EmfPlayback::polyPolyRecord(const EmfRecord& r, bool sixteen)
{
    const quint32 figures = r.u32(24);
    const quint32 total = r.u32(28);
    r.requireArray(32, figures, 4, "figure counts");
    const quint64 pointsAt = 32 + quint64(figures) * 4;
    const std::vector<QPointF> pts = r.points(pointsAt, total, sixteen);
    const bool polygon = r.type() == EMR_POLYPOLYGON || r.type() == EMR_POLYPOLYGON16;
    QPainterPath p;
    quint64 at = 0;
    for (quint32 f = 0; f < figures; ++f) {
        const quint32 n = r.u32(32 + 4 * quint64(f));
        if (n > total - at)
            r.fail(QStringLiteral("the figures' point counts add up to more than its %1 points")
                       .arg(total));
        p.addPath(polylinePath(pts, std::size_t(at), n, polygon));
        at += n;
    }
    figure(p, polygon, true);
}

void EmfPlayback::polyDrawRecord(const EmfRecord& r, bool sixteen)
{
    const quint32 count = r.u32(24);
    const std::vector<QPointF> pts = r.points(28, count, sixteen);
    const quint64 typesAt = 28 + quint64(count) * (sixteen ? 4 : 8);
    const QByteArrayView types = r.bytes(typesAt, count, "point types");
    QPainterPath p;
    p.moveTo(m_dc.position);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const quint8 t = quint8(types[qsizetype(i)]);
        switch (t & ~PT_CLOSEFIGURE) {
        case PT_MOVETO:
            p.moveTo(pts[i]);
            break;
        case PT_LINETO:
            p.lineTo(pts[i]);
            break;
        case PT_BEZIERTO:
            if (i + 2 < pts.size()) {
                p.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
                i += 2;
            }
            break;
        default:
            break;
        }
        if (t & PT_CLOSEFIGURE)
            p.closeSubpath();
    }
    m_dc.position = p.currentPosition();
    continueFigure(p);
}

void EmfPlayback::boxRecord(const EmfRecord& r)
{
    QRectF box = r.box(8);
    const QSizeF corner = r.type() == EMR_ROUNDRECT ? r.sizeAt(24) : QSizeF();
    // An inside-frame pen keeps the whole outline inside the box.
    if (m_dc.pen.dashStyle() == PS_INSIDEFRAME && !m_dc.pen.isCosmetic()) {
        const double half = std::min({m_dc.pen.width / 2, box.width() / 2, box.height() / 2});
        box.adjust(half, half, -half, -half);
    }
    // The common case, a rectangle that stays one on the device, goes the quick way.
    if (r.type() == EMR_RECTANGLE && !m_inPath && m_toDevice.type() <= QTransform::TxScale &&
        m_dc.brush.kind == EmfBrush::Kind::Solid && m_dc.pen.isNull() && m_dc.rop2 == R2_COPYPEN) {
        if (!prepare())
            return;
        usePlainPainting();
        const QRectF device = m_toDevice.mapRect(box);
        if (withinReach(m_deviceToOutput.mapRect(device)))
            m_painter->fillRect(device, m_dc.brush.colour);
        return;
    }
    QPainterPath p;
    switch (r.type()) {
    case EMR_ELLIPSE:
        p.addEllipse(box);
        break;
    case EMR_ROUNDRECT:
        p.addRoundedRect(box, std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
        break;
    default:
        p.addRect(box);
        break;
    }
    figure(p, true, true);
}

QPainterPath EmfPlayback::arcPath(const QRectF& box, const QPointF& start, const QPointF& end,
                                  int kind) const
{
    // Angles of the radial points on the ellipse's own circle, counter-clockwise in degrees.
    const QPointF c = box.center();
    const double rx = std::max(box.width() / 2, 1e-9), ry = std::max(box.height() / 2, 1e-9);
    const double a0 = degrees(std::atan2(-(start.y() - c.y()) / ry, (start.x() - c.x()) / rx));
    const double a1 = degrees(std::atan2(-(end.y() - c.y()) / ry, (end.x() - c.x()) / rx));
    double sweep = std::fmod(a1 - a0 + 720, 360);
    if (m_dc.arcDirection == AD_CLOCKWISE)
        sweep = sweep == 0 ? -360 : sweep - 360;
    else if (sweep == 0)
        sweep = 360;
    QPainterPath p;
    if (kind == EMR_PIE) {
        p.moveTo(c);
        p.arcTo(box, a0, sweep);
        p.closeSubpath();
    } else {
        p.arcMoveTo(box, a0);
        p.arcTo(box, a0, sweep);
        if (kind == EMR_CHORD)
            p.closeSubpath();
    }
    return p;
}

void EmfPlayback::arcRecord(const EmfRecord& r)
{
    const QRectF box = r.box(8);
    const QPointF start = r.point(24);
    const QPointF end = r.point(32);
    QPainterPath p = arcPath(box, start, end, int(r.type()));
    if (r.type() == EMR_ARCTO) {
        QPainterPath joined;
        joined.moveTo(m_dc.position);
        extendFigure(joined, p);
        m_dc.position = joined.currentPosition();
        continueFigure(joined);
        return;
    }
    const bool closed = r.type() == EMR_CHORD || r.type() == EMR_PIE;
    figure(p, closed, true);
}

void EmfPlayback::angleArc(const EmfRecord& r)
{
    r.require(28);
    const QPointF c = r.point(8);
    const double radius = r.u32(16);
    const double start = r.f32(20);
    const double sweep = r.f32(24);
    if (!std::isfinite(start) || !std::isfinite(sweep) || radius > 1e9)
        return;
    const QRectF box(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    QPainterPath p;
    p.moveTo(m_dc.position);
    p.arcTo(box, std::fmod(start, 360), std::clamp(sweep, -3600.0, 3600.0));
    m_dc.position = p.currentPosition();
    continueFigure(p);
}

void EmfPlayback::setPixel(const EmfRecord& r)
{
    const QPointF at = m_toDevice.map(r.point(8));
    const QColor colour = r.colour(16);
    if (!prepare())
        return;
    usePlainPainting();
    const QRectF pixel(std::floor(at.x()), std::floor(at.y()), 1, 1);
    if (withinReach(m_deviceToOutput.mapRect(pixel)))
        m_painter->fillRect(pixel, colour);
}

void EmfPlayback::beginPath()
{
    m_inPath = true;
    m_pathDone = false;
    m_path = QPainterPath();
}

void EmfPlayback::endPath()
{
    if (!m_inPath)
        return;
    m_inPath = false;
    m_pathDone = true;
}

void EmfPlayback::closeFigure()
{
    if (m_inPath && m_path.elementCount() > 0)
        m_path.closeSubpath();
}

void EmfPlayback::paintPath(bool fill, bool stroke)
{
    if (!m_pathDone)
        return;
    QPainterPath path = fill ? closedFigures(m_path) : m_path;
    m_path = QPainterPath();
    m_pathDone = false;
    paintDevice(std::move(path), fill, stroke);
}

void EmfPlayback::flattenPath()
{
    if (!m_pathDone)
        return;
    QPainterPath flat;
    for (const QPolygonF& polygon : m_path.toSubpathPolygons()) {
        flat.moveTo(polygon.value(0));
        for (qsizetype i = 1; i < polygon.size(); ++i)
            flat.lineTo(polygon[i]);
    }
    m_path = flat;
}

void EmfPlayback::widenPath()
{
    if (!m_pathDone)
        return;
    const QPen pen = drawing() ? devicePen() : QPen();
    QPainterPathStroker stroker;
    stroker.setWidth(std::max(pen.widthF(), 1.0));
    stroker.setCapStyle(pen.capStyle());
    stroker.setJoinStyle(pen.joinStyle());
    stroker.setMiterLimit(pen.miterLimit());
    m_path = stroker.createStroke(m_path);
}

void EmfPlayback::fillDevice(const QPainterPath& device, const EmfBrush& brush)
{
    switch (brush.kind) {
    case EmfBrush::Kind::Null:
        return;
    case EmfBrush::Kind::Solid:
        m_painter->fillPath(device, brush.colour);
        return;
    case EmfBrush::Kind::Hatched:
        if (m_dc.backgroundMode == OPAQUE)
            m_painter->fillPath(device, m_dc.backgroundColour);
        hatch(device, brush);
        return;
    case EmfBrush::Kind::Pattern:
        m_painter->fillPath(device, patternBrush(brush));
        return;
    }
}

QBrush EmfPlayback::patternBrush(const EmfBrush& brush) const
{
    QImage pattern = brush.pattern;
    if (brush.monochrome && pattern.format() == QImage::Format_Mono)
        pattern.setColorTable({m_dc.textColour.rgb(), m_dc.backgroundColour.rgb()});
    QBrush b(pattern);
    // The pattern repeats from the device's origin, moved by the brush origin.
    b.setTransform(QTransform::fromTranslate(m_dc.brushOrigin.x(), m_dc.brushOrigin.y()));
    return b;
}

void EmfPlayback::strokeDevice(const QPainterPath& device)
{
    const QPen pen = devicePen();
    if (pen.style() == Qt::NoPen)
        return;
    const SmoothThinPen smooth(*m_painter, m_thinPen);
    m_painter->strokePath(device, pen);
}

// Hatch lines HatchStep device units apart and one unit wide, as the page looks on the screen
// it was made for. The painter's own patterns are in output pixels and would turn into a grey
// tint on a printer or in a PDF file.
void EmfPlayback::hatch(const QPainterPath& path, const EmfBrush& brush)
{
    // Only the part on the page: a huge shape must not cost a huge number of lines.
    const QRectF r =
        path.boundingRect() & m_frame.adjusted(-HatchStep, -HatchStep, HatchStep, HatchStep);
    if (r.isEmpty())
        return;
    QPainter& p = *m_painter;
    p.save();
    p.setClipPath(path, Qt::IntersectClip);
    const double width = outputScale() >= 1 ? 1 : 0;
    p.setPen(QPen(brush.colour, width));
    const quint32 style = brush.hatch;
    constexpr double S = HatchStep;
    if (style == HS_HORIZONTAL || style == HS_CROSS)
        for (double y = std::floor(r.top() / S) * S + 0.5; y < r.bottom(); y += S)
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    if (style == HS_VERTICAL || style == HS_CROSS)
        for (double x = std::floor(r.left() / S) * S + 0.5; x < r.right(); x += S)
            p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    // Diagonals: x - y constant for one direction, x + y for the other.
    const double span = r.width() + r.height();
    if (style == HS_FDIAGONAL || style == HS_DIAGCROSS)
        for (double c = std::floor((r.left() - r.bottom()) / S) * S; c < r.right() - r.top();
             c += S)
            p.drawLine(QPointF(c + r.top(), r.top()), QPointF(c + r.top() + span, r.top() + span));
    if (style == HS_BDIAGONAL || style == HS_DIAGCROSS)
        for (double c = std::floor((r.left() + r.top()) / S) * S; c < r.right() + r.bottom();
             c += S)
            p.drawLine(QPointF(c - r.top(), r.top()), QPointF(c - r.top() - span, r.top() + span));
    p.restore();
}

QPen EmfPlayback::devicePen()
{
    if (!m_penDirty)
        return m_qpen;
    m_penDirty = false;
    const EmfPen& pen = m_dc.pen;
    if (pen.isNull()) {
        m_qpen = QPen(Qt::NoPen);
        return m_qpen;
    }
    const double so = outputScale();
    // Device units a logical unit along the x axis: how the device widens a pen.
    const double scale = std::hypot(m_toDevice.m11(), m_toDevice.m12());
    // A pen is as wide as a pixel of the device the picture was made for at least, as it was
    // drawn there, and at least a pixel of the output. Only a picture drawn smaller than it
    // was made makes a pen thinner than an output pixel: it then draws a share of a pixel,
    // smoothed, and the picture keeps the weight of its lines instead of turning each one
    // into a row of full pixels. The device's own one-pixel pens stay one output pixel.
    double width = 0; // device units; 0 for a line one output pixel wide
    if (!pen.isCosmetic())
        width = std::max(pen.width * scale, std::min(1.0, 1 / so));
    if (!std::isfinite(width))
        width = 0;
    width = std::min(width, 1e6);
    m_thinPen = width > 0 && width * so < 1;

    QPen q(pen.pattern.isNull() ? QBrush(pen.colour) : QBrush(pen.pattern), width);
    if (pen.isCosmetic() || width == 0) {
        q.setCapStyle(Qt::FlatCap);
        q.setJoinStyle(Qt::MiterJoin);
    } else {
        const quint32 cap = pen.style & PS_ENDCAP_MASK;
        q.setCapStyle(cap == PS_ENDCAP_SQUARE ? Qt::SquareCap
                      : cap == PS_ENDCAP_FLAT ? Qt::FlatCap
                                              : Qt::RoundCap);
        const quint32 join = pen.style & PS_JOIN_MASK;
        q.setJoinStyle(join == PS_JOIN_BEVEL   ? Qt::BevelJoin
                       : join == PS_JOIN_MITER ? Qt::MiterJoin
                                               : Qt::RoundJoin);
        q.setMiterLimit(m_dc.miterLimit / 2);
    }

    // Dash lengths in device units: a thin pen's in pixels, a wide pen's in its widths, a
    // user style's in logical units for a wide pen and pixels for a thin one.
    const double deviceWidth = pen.width * scale;
    const bool wide = !pen.isCosmetic() && !(pen.simple && deviceWidth <= 1);
    std::vector<double> dashes;
    switch (pen.dashStyle()) {
    case PS_DASH:
        dashes = wide ? std::vector<double>{3, 1} : std::vector<double>{18, 6};
        break;
    case PS_DOT:
        dashes = wide ? std::vector<double>{1, 1} : std::vector<double>{3, 3};
        break;
    case PS_DASHDOT:
        dashes = wide ? std::vector<double>{3, 1, 1, 1} : std::vector<double>{9, 6, 3, 6};
        break;
    case PS_DASHDOTDOT:
        dashes =
            wide ? std::vector<double>{3, 1, 1, 1, 1, 1} : std::vector<double>{9, 3, 3, 3, 3, 3};
        break;
    case PS_ALTERNATE:
        dashes = {1, 1};
        break;
    case PS_USERSTYLE:
        for (const double d : pen.dashes)
            dashes.push_back(pen.isCosmetic() ? d : d * scale);
        break;
    default:
        break;
    }
    if (wide && pen.dashStyle() != PS_USERSTYLE && pen.dashStyle() != PS_ALTERNATE)
        for (double& d : dashes)
            d *= deviceWidth;
    if (!dashes.empty()) {
        if (dashes.size() % 2 != 0)
            dashes.insert(dashes.end(), dashes.begin(), dashes.end());
        // The painter measures dashes in pen widths, or in output pixels for its one-pixel
        // pens.
        QList<qreal> pattern;
        for (const double d : dashes)
            pattern.append(std::clamp(width > 0 ? d / width : d * so, 0.01, 1e4));
        q.setDashPattern(pattern);
    }
    m_qpen = q;
    return m_qpen;
}

void EmfPlayback::gradientFill(const EmfRecord& r)
{
    const quint32 vertices = r.u32(24);
    const quint32 shapes = r.u32(28);
    const quint32 mode = r.u32(32);
    r.requireArray(36, vertices, 16, "gradient vertices");
    const quint64 shapesAt = 36 + quint64(vertices) * 16;
    const quint64 shapeSize = mode == GRADIENT_FILL_TRIANGLE ? 12 : 8;
    r.requireArray(shapesAt, shapes, shapeSize, "gradient shapes");
    const auto vertex = [&](quint32 i) {
        if (i >= vertices)
            r.fail(QStringLiteral("a gradient names vertex %1 of %2").arg(i).arg(vertices));
        return 36 + quint64(i) * 16;
    };
    const auto colour = [&](quint64 at) {
        return QColor(r.u16(at + 8) >> 8, r.u16(at + 10) >> 8, r.u16(at + 12) >> 8);
    };
    std::vector<std::pair<QPainterPath, QBrush>> fills;
    for (quint32 s = 0; s < shapes; ++s) {
        const quint64 at = shapesAt + s * shapeSize;
        if (mode == GRADIENT_FILL_TRIANGLE) {
            const quint64 a = vertex(r.u32(at)), b = vertex(r.u32(at + 4)),
                          c = vertex(r.u32(at + 8));
            QPainterPath p;
            p.moveTo(r.point(a));
            p.lineTo(r.point(b));
            p.lineTo(r.point(c));
            p.closeSubpath();
            // The corners' average: close to what a smooth blend shows on a small triangle.
            const QColor ca = colour(a), cb = colour(b), cc = colour(c);
            fills.emplace_back(p, QColor((ca.red() + cb.red() + cc.red()) / 3,
                                         (ca.green() + cb.green() + cc.green()) / 3,
                                         (ca.blue() + cb.blue() + cc.blue()) / 3));
        } else {
            const quint64 a = vertex(r.u32(at)), b = vertex(r.u32(at + 4));
            const QPointF pa = r.point(a), pb = r.point(b);
            QPainterPath p;
            p.addRect(QRectF(pa, pb).normalized());
            const bool across = mode == GRADIENT_FILL_RECT_H;
            QLinearGradient g(pa, across ? QPointF(pb.x(), pa.y()) : QPointF(pa.x(), pb.y()));
            g.setColorAt(0, colour(a));
            g.setColorAt(1, colour(b));
            fills.emplace_back(p, QBrush(g));
        }
    }
    if (!prepare())
        return;
    usePlainPainting();
    for (auto& [path, brush] : fills) {
        const QPainterPath device = m_toDevice.map(path);
        if (!withinReach(m_deviceToOutput.mapRect(device.controlPointRect())))
            continue;
        if (brush.gradient()) {
            // The gradient runs between the vertices, which are in logical units.
            brush.setTransform(m_toDevice);
        }
        m_painter->fillPath(device, brush);
    }
}

void EmfPlayback::regionRecord(const EmfRecord& r)
{
    const quint32 size = r.u32(24);
    const quint32 type = r.type();
    const quint64 at = type == EMR_FILLRGN ? 32 : type == EMR_FRAMERGN ? 40 : 28;
    const EmfRegion region = EmfRegion::read(r, at, size);
    const EmfBrush brush =
        type == EMR_FILLRGN || type == EMR_FRAMERGN ? brushAt(r.u32(28)) : m_dc.brush;
    const QSizeF stroke = type == EMR_FRAMERGN ? r.sizeAt(32) : QSizeF();
    if (!prepare() || region.isEmpty())
        return;
    const QPainterPath device = m_toDevice.map(region.path());
    if (!withinReach(m_deviceToOutput.mapRect(device.controlPointRect())))
        return;
    switch (type) {
    case EMR_INVERTRGN:
        if (m_rasterOps) {
            m_painter->save();
            m_painter->setCompositionMode(QPainter::RasterOp_NotDestination);
            m_painter->fillPath(device, Qt::black);
            m_painter->restore();
        }
        break;
    case EMR_FRAMERGN: {
        // A band along the region's edge, inside the region.
        QPainterPathStroker stroker;
        stroker.setWidth(2 * std::max(1.0, std::abs(stroke.width() * m_toDevice.m11())));
        if (useRop2())
            fillDevice(stroker.createStroke(device).intersected(device), brush);
        break;
    }
    default:
        if (useRop2())
            fillDevice(device, brush);
        break;
    }
}

} // namespace zel::report::emf
