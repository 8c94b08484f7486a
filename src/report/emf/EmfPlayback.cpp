#include "report/emf/EmfPlayback.h"

#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfRecord.h"
#include "report/emf/EmfRegion.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>

namespace zel::report::emf {

namespace {

// Saved states beyond this are not kept: no page needs them, and a damaged image must not
// make the player keep a copy of its state for every record.
constexpr std::size_t MaxSavedStates = 1024;

bool finite(const QTransform& t)
{
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
           std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

EmfDevice deviceOf(const EmfHeader& h)
{
    EmfDevice d;
    if (h.device.width() > 0 && h.device.height() > 0 && h.millimetres.width() > 0 &&
        h.millimetres.height() > 0) {
        const double x = double(h.device.width()) / h.millimetres.width();
        const double y = double(h.device.height()) / h.millimetres.height();
        // Pixels of any real device are near enough square and between 1 and 10000 a
        // millimetre; figures that say otherwise are not to be trusted.
        if (x / y > 0.5 && x / y < 2 && x > 0.5 && x < 10000) {
            d.pixelsPerMmX = x;
            d.pixelsPerMmY = y;
        }
    }
    return d;
}

} // namespace

EmfPlayback::EmfPlayback(const EmfHeader& header, QPainter* painter, const QRectF& target)
    : m_header(header), m_device(deviceOf(header)), m_painter(painter), m_target(target),
      m_frame(header.frameInDevicePixels()), m_objects(header.handles)
{
    m_toDevice = m_dc.logicalToDevice();
    if (!m_painter)
        return;
    m_callerTransform = m_painter->worldTransform();
    if (m_painter->hasClipping())
        m_callerClip = m_painter->clipPath();
    m_deviceToOutput = QTransform::fromTranslate(-m_frame.left(), -m_frame.top()) *
                       QTransform::fromScale(target.width() / m_frame.width(),
                                             target.height() / m_frame.height()) *
                       QTransform::fromTranslate(target.left(), target.top()) * m_callerTransform;
    const QPaintEngine* engine = m_painter->paintEngine();
    m_rasterOps = engine && engine->hasFeature(QPaintEngine::RasterOpModes);
    m_blendModes = engine && engine->hasFeature(QPaintEngine::BlendModes);
}

void EmfPlayback::run(QByteArrayView image)
{
    // The painter is handed back as it came, whatever the records did to it.
    struct Restore
    {
        QPainter* p;
        ~Restore()
        {
            if (p)
                p->restore();
        }
    } restore{m_painter};
    if (m_painter) {
        m_painter->save();
        m_painter->setTransform(m_deviceToOutput);
    }

    qsizetype offset = 0;
    while (offset < image.size()) {
        const EmfRecord r(image, offset);
        if (r.type() == EMR_EOF)
            break;
        step(r);
        offset += r.size();
    }
}

void EmfPlayback::step(const EmfRecord& r)
{
    switch (r.type()) {
    // Mapping.
    case EMR_SETMAPMODE:
        m_dc.setMapMode(r.u32(8), m_device);
        transformChanged();
        break;
    case EMR_SETWINDOWEXTEX:
        setExtent(m_dc.windowExt, r);
        break;
    case EMR_SETVIEWPORTEXTEX:
        setExtent(m_dc.viewportExt, r);
        break;
    case EMR_SCALEWINDOWEXTEX:
        scaleExtent(m_dc.windowExt, r);
        break;
    case EMR_SCALEVIEWPORTEXTEX:
        scaleExtent(m_dc.viewportExt, r);
        break;
    case EMR_SETWINDOWORGEX:
        m_dc.windowOrg = r.point(8);
        transformChanged();
        break;
    case EMR_SETVIEWPORTORGEX:
        m_dc.viewportOrg = r.point(8);
        transformChanged();
        break;
    case EMR_SETWORLDTRANSFORM:
        if (const QTransform t = r.xform(8); usableTransform(t)) {
            m_dc.world = t;
            transformChanged();
        }
        break;
    case EMR_MODIFYWORLDTRANSFORM:
        modifyWorldTransform(r);
        break;

    // The rest of the device context.
    case EMR_SAVEDC:
        saveDc();
        break;
    case EMR_RESTOREDC:
        restoreDc(r.i32(8));
        break;
    case EMR_SETBKMODE:
        m_dc.backgroundMode = r.u32(8);
        break;
    case EMR_SETPOLYFILLMODE:
        m_dc.polyFillMode = r.u32(8);
        break;
    case EMR_SETROP2:
        m_dc.rop2 = r.u32(8);
        break;
    case EMR_SETTEXTALIGN:
        m_dc.textAlign = r.u32(8);
        break;
    case EMR_SETTEXTCOLOR:
        m_dc.textColour = r.colour(8);
        break;
    case EMR_SETBKCOLOR:
        m_dc.backgroundColour = r.colour(8);
        break;
    case EMR_SETARCDIRECTION:
        m_dc.arcDirection = r.u32(8);
        break;
    case EMR_SETMITERLIMIT: {
        // Written as a whole number by most, as a float by some.
        const quint32 raw = r.u32(8);
        const double limit = raw < 0x10000 ? double(raw) : double(r.f32(8));
        if (limit >= 1 && limit <= 1000) {
            m_dc.miterLimit = limit;
            m_penDirty = true;
        }
        break;
    }
    case EMR_SETBRUSHORGEX:
        m_dc.brushOrigin = r.point(8);
        break;
    case EMR_MOVETOEX:
        m_dc.position = r.point(8);
        if (m_inPath)
            m_path.moveTo(m_toDevice.map(m_dc.position));
        break;

    // Objects.
    case EMR_CREATEPEN:
        store(r, penFromCreatePen(r));
        break;
    case EMR_EXTCREATEPEN:
        store(r, penFromExtCreatePen(r, m_dc.palette, drawing()));
        break;
    case EMR_CREATEBRUSHINDIRECT:
        store(r, brushFromCreateBrush(r));
        break;
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT:
        store(r, brushFromPattern(r, m_dc.palette, drawing()));
        break;
    case EMR_EXTCREATEFONTINDIRECTW:
        store(r, fontFromCreateFont(r));
        break;
    case EMR_CREATEPALETTE:
        store(r, paletteFromCreatePalette(r));
        break;
    case EMR_SELECTOBJECT:
        selectObject(r.u32(8));
        break;
    case EMR_DELETEOBJECT:
        deleteObject(r.u32(8));
        break;
    case EMR_SELECTPALETTE: {
        const quint32 index = r.u32(8);
        if (index & STOCK_OBJECT)
            m_dc.palette = defaultPalette();
        else if (const auto* p = std::get_if<EmfPalette>(&m_objects[slot(index)]))
            m_dc.palette = p->entries;
        break;
    }
    case EMR_SETPALETTEENTRIES: {
        const quint32 index = r.u32(8);
        const quint32 start = r.u32(12);
        const quint32 count = r.u32(16);
        r.requireArray(20, count, 4, "palette entries");
        if (index & STOCK_OBJECT)
            break;
        if (auto* p = std::get_if<EmfPalette>(&m_objects[slot(index)])) {
            for (quint32 i = 0; i < count && quint64(start) + i < p->entries.size(); ++i)
                p->entries[start + i] = qRgb(r.u8(20 + 4 * i), r.u8(21 + 4 * i), r.u8(22 + 4 * i));
        }
        break;
    }
    case EMR_RESIZEPALETTE: {
        const quint32 index = r.u32(8);
        const quint32 count = r.u32(12);
        if (index & STOCK_OBJECT)
            break;
        if (auto* p = std::get_if<EmfPalette>(&m_objects[slot(index)]))
            p->entries.resize(std::min<quint32>(count, 1024), qRgb(0, 0, 0));
        break;
    }

    // Clipping.
    case EMR_INTERSECTCLIPRECT:
        intersectClipRect(r.box(8));
        break;
    case EMR_EXCLUDECLIPRECT:
        excludeClipRect(r.box(8));
        break;
    case EMR_EXTSELECTCLIPRGN:
        extSelectClipRgn(r);
        break;
    case EMR_SELECTCLIPPATH:
        selectClipPath(r.u32(8));
        break;
    case EMR_OFFSETCLIPRGN: {
        const QPointF by = r.point(8);
        const QTransform& t = m_toDevice;
        m_dc.clip.translate(
            QPointF(by.x() * t.m11() + by.y() * t.m21(), by.x() * t.m12() + by.y() * t.m22()));
        clipChanged();
        break;
    }
    case EMR_SETMETARGN:
        m_dc.meta.intersect(m_dc.clip);
        m_dc.clip.reset();
        clipChanged();
        break;

    // Lines, curves and areas.
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
        polyRecord(r, false);
        break;
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
        polyRecord(r, true);
        break;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
        polyPolyRecord(r, false);
        break;
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16:
        polyPolyRecord(r, true);
        break;
    case EMR_POLYDRAW:
        polyDrawRecord(r, false);
        break;
    case EMR_POLYDRAW16:
        polyDrawRecord(r, true);
        break;
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT:
        boxRecord(r);
        break;
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE:
        arcRecord(r);
        break;
    case EMR_ANGLEARC:
        angleArc(r);
        break;
    case EMR_LINETO:
        lineTo(r.point(8));
        break;
    case EMR_SETPIXELV:
        setPixel(r);
        break;
    case EMR_GRADIENTFILL:
        gradientFill(r);
        break;
    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN:
        regionRecord(r);
        break;

    // Paths.
    case EMR_BEGINPATH:
        beginPath();
        break;
    case EMR_ENDPATH:
        endPath();
        break;
    case EMR_CLOSEFIGURE:
        closeFigure();
        break;
    case EMR_FILLPATH:
        paintPath(true, false);
        break;
    case EMR_STROKEPATH:
        paintPath(false, true);
        break;
    case EMR_STROKEANDFILLPATH:
        paintPath(true, true);
        break;
    case EMR_FLATTENPATH:
        flattenPath();
        break;
    case EMR_WIDENPATH:
        widenPath();
        break;
    case EMR_ABORTPATH:
        m_inPath = false;
        m_pathDone = false;
        m_path = QPainterPath();
        break;

    // Text.
    case EMR_EXTTEXTOUTW:
        extTextOut(r, true);
        break;
    case EMR_EXTTEXTOUTA:
        extTextOut(r, false);
        break;
    case EMR_POLYTEXTOUTW:
        polyTextOut(r, true);
        break;
    case EMR_POLYTEXTOUTA:
        polyTextOut(r, false);
        break;
    case EMR_SMALLTEXTOUT:
        smallTextOut(r);
        break;

    // Bitmaps.
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_MASKBLT:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT:
        bitBlt(r);
        break;
    case EMR_STRETCHDIBITS:
        stretchDibits(r);
        break;
    case EMR_SETDIBITSTODEVICE:
        setDibitsToDevice(r);
        break;

    default:
        // Comments (and the drawing records some of them carry), colour management, escapes,
        // and records no page needs: skipped.
        break;
    }
}

void EmfPlayback::saveDc()
{
    if (m_saved.size() < MaxSavedStates)
        m_saved.push_back(m_dc);
}

void EmfPlayback::restoreDc(qint32 which)
{
    // Negative: relative to the latest saved state; positive: counted from the first.
    const qint64 depth = qint64(m_saved.size());
    const qint64 keep = which < 0 ? depth + which : qint64(which) - 1;
    if (keep < 0 || keep >= depth)
        return;
    m_dc = std::move(m_saved[std::size_t(keep)]);
    m_saved.resize(std::size_t(keep));
    transformChanged();
    clipChanged();
}

void EmfPlayback::setExtent(QSizeF& extent, const EmfRecord& r)
{
    const QSizeF e = r.sizeAt(8);
    // Only the two free modes take extents, and an extent of 0 would map everything to
    // nothing; the device refuses both.
    if ((m_dc.mapMode != MM_ISOTROPIC && m_dc.mapMode != MM_ANISOTROPIC) || e.width() == 0 ||
        e.height() == 0)
        return;
    extent = e;
    transformChanged();
}

void EmfPlayback::scaleExtent(QSizeF& extent, const EmfRecord& r)
{
    r.require(24);
    const double xNum = r.i32(8), xDenom = r.i32(12), yNum = r.i32(16), yDenom = r.i32(20);
    if ((m_dc.mapMode != MM_ISOTROPIC && m_dc.mapMode != MM_ANISOTROPIC) || xNum == 0 ||
        xDenom == 0 || yNum == 0 || yDenom == 0)
        return;
    const QSizeF e(extent.width() * xNum / xDenom, extent.height() * yNum / yDenom);
    if (e.width() == 0 || e.height() == 0)
        return;
    extent = e;
    transformChanged();
}

void EmfPlayback::modifyWorldTransform(const EmfRecord& r)
{
    const QTransform x = r.xform(8);
    QTransform t;
    switch (r.u32(32)) {
    case MWT_IDENTITY:
        break;
    case MWT_LEFTMULTIPLY:
        t = x * m_dc.world;
        break;
    case MWT_RIGHTMULTIPLY:
        t = m_dc.world * x;
        break;
    case MWT_SET:
        t = x;
        break;
    default:
        return;
    }
    if (!usableTransform(t))
        return;
    m_dc.world = t;
    transformChanged();
}

void EmfPlayback::transformChanged()
{
    m_toDevice = m_dc.logicalToDevice();
    if (!finite(m_toDevice))
        m_toDevice = QTransform();
    m_penDirty = true;
}

std::size_t EmfPlayback::slot(quint32 index) const
{
    if (index == 0 || index >= m_objects.size())
        throw EmfError(QStringLiteral("object index %1 lies outside the object table of %2")
                           .arg(index)
                           .arg(m_objects.size()));
    return index;
}

void EmfPlayback::store(const EmfRecord& r, EmfObject object)
{
    const std::size_t index = slot(r.u32(8));
    if (drawing())
        m_objects[index] = std::move(object);
}

void EmfPlayback::selectObject(quint32 index)
{
    const EmfObject stock = index & STOCK_OBJECT ? stockObject(index & ~STOCK_OBJECT) : EmfObject();
    const EmfObject& o = index & STOCK_OBJECT ? stock : m_objects[slot(index)];
    if (const auto* pen = std::get_if<EmfPen>(&o)) {
        m_dc.pen = *pen;
        m_penDirty = true;
    } else if (const auto* brush = std::get_if<EmfBrush>(&o)) {
        m_dc.brush = *brush;
    } else if (const auto* font = std::get_if<EmfFont>(&o)) {
        m_dc.font = *font;
    }
}

void EmfPlayback::deleteObject(quint32 index)
{
    if (index & STOCK_OBJECT)
        return; // stock objects are never deleted
    m_objects[slot(index)] = std::monostate();
}

EmfBrush EmfPlayback::brushAt(quint32 index) const
{
    if (index & STOCK_OBJECT) {
        const EmfObject o = stockObject(index & ~STOCK_OBJECT);
        if (const auto* b = std::get_if<EmfBrush>(&o))
            return *b;
    } else if (const auto* b = std::get_if<EmfBrush>(&m_objects[slot(index)])) {
        return *b;
    }
    EmfBrush none;
    none.kind = EmfBrush::Kind::Null;
    return none;
}

void EmfPlayback::clipChanged()
{
    m_clipDirty = true;
}

void EmfPlayback::intersectClipRect(const QRectF& logical)
{
    if (m_toDevice.type() <= QTransform::TxScale) {
        m_dc.clip.intersectRect(m_toDevice.mapRect(logical));
    } else {
        QPainterPath p;
        p.addRect(logical);
        EmfClip c;
        c.combine(m_toDevice.map(p), RGN_COPY);
        m_dc.clip.intersect(c);
    }
    clipChanged();
}

void EmfPlayback::excludeClipRect(const QRectF& logical)
{
    QPainterPath p;
    p.addRect(logical);
    m_dc.clip.combine(m_toDevice.map(p), RGN_DIFF);
    clipChanged();
}

void EmfPlayback::extSelectClipRgn(const EmfRecord& r)
{
    const quint32 size = r.u32(8);
    const quint32 mode = r.u32(12);
    if (size == 0) {
        // No region: only "copy" means anything, and it takes the clip away.
        if (mode == RGN_COPY) {
            m_dc.clip.reset();
            clipChanged();
        }
        return;
    }
    const EmfRegion region = EmfRegion::read(r, 16, size);
    if (region.isRect())
        m_dc.clip.combineRect(region.rects.front(), mode);
    else
        m_dc.clip.combine(region.path(), mode);
    clipChanged();
}

void EmfPlayback::selectClipPath(quint32 mode)
{
    if (!m_pathDone)
        return;
    m_dc.clip.combine(m_path, mode);
    m_path = QPainterPath();
    m_pathDone = false;
    clipChanged();
}

void EmfPlayback::applyClip()
{
    QPainter& p = *m_painter;
    p.setTransform(m_callerTransform);
    p.setClipRect(m_target, Qt::ReplaceClip);
    if (m_callerClip)
        p.setClipPath(*m_callerClip, Qt::IntersectClip);
    p.setTransform(m_deviceToOutput);
    m_clipEmpty = false;
    const EmfClip clip = m_dc.effectiveClip();
    if (clip.isRect()) {
        if (clip.rect().isEmpty())
            m_clipEmpty = true;
        else
            p.setClipRect(clip.rect(), Qt::IntersectClip);
    } else if (!clip.isEverything()) {
        const QPainterPath path = clip.path();
        if (path.isEmpty())
            m_clipEmpty = true;
        else
            p.setClipPath(path, Qt::IntersectClip);
    }
    m_clipDirty = false;
}

bool EmfPlayback::prepare()
{
    if (!m_painter)
        return false;
    if (m_clipDirty)
        applyClip();
    return !m_clipEmpty;
}

double EmfPlayback::outputScale() const
{
    return std::sqrt(std::abs(m_deviceToOutput.determinant()));
}

void EmfPlayback::usePlainPainting()
{
    if (m_painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

bool EmfPlayback::useRop2()
{
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (m_dc.rop2) {
    case R2_NOP:
        return false;
    case R2_XORPEN:
        if (m_rasterOps)
            mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case R2_NOTXORPEN:
        if (m_rasterOps)
            mode = QPainter::RasterOp_NotSourceXorDestination;
        break;
    case R2_NOT:
        if (m_rasterOps)
            mode = QPainter::RasterOp_NotDestination;
        break;
    case R2_MASKPEN:
        if (m_rasterOps)
            mode = QPainter::RasterOp_SourceAndDestination;
        else if (m_blendModes)
            mode = QPainter::CompositionMode_Multiply;
        break;
    case R2_MERGEPEN:
        if (m_rasterOps)
            mode = QPainter::RasterOp_SourceOrDestination;
        else if (m_blendModes)
            mode = QPainter::CompositionMode_Lighten;
        break;
    case R2_NOTCOPYPEN:
        if (m_rasterOps)
            mode = QPainter::RasterOp_NotSource;
        break;
    default:
        break;
    }
    if (m_painter->compositionMode() != mode)
        m_painter->setCompositionMode(mode);
    return true;
}

} // namespace zel::report::emf
