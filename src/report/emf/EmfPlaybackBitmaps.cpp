// Bitmaps: the bit-block records, device-independent bitmaps stretched or set on the device,
// and the raster operations pages use with them.

#include "report/emf/EmfBitmap.h"
#include "report/emf/EmfFormat.h"
#include "report/emf/EmfPlayback.h"
#include "report/emf/EmfRecord.h"

#include <QPainter>
#include <cmath>

namespace zel::report::emf {

namespace {

constexpr quint8 AC_SRC_ALPHA = 0x01;

bool usesSource(quint32 rop)
{
    // Bits 16 to 23 are the operation's truth table, indexed by pattern * 4 + source * 2 +
    // destination; it uses the source when the entries for source 1 differ from those for 0.
    const quint32 index = (rop >> 16) & 0xFF;
    return ((index >> 2) & 0x33) != (index & 0x33);
}

// A copy of image in which pixels of one colour let the destination show.
QImage withTransparent(const QImage& image, QRgb colour)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == (colour & 0x00FFFFFF))
                line[x] = 0;
    }
    return out;
}

} // namespace

void EmfPlayback::bitBlt(const EmfRecord& r)
{
    const quint32 type = r.type();
    r.require(type == EMR_BITBLT ? 100 : 108);
    const QRectF dest(r.point(24), r.sizeAt(32));
    const quint32 rop = r.u32(40);
    const QPointF srcAt = r.point(44);
    const QTransform srcXform = r.xform(52);
    const QColor background = r.colour(76);
    const QSizeF srcSize = type == EMR_BITBLT ? dest.size() : r.sizeAt(100);
    Q_UNUSED(background);

    if (r.u32(88) == 0) {
        // No source: the operation works with the brush (or with nothing) on the destination.
        if (drawing())
            patternBlt(dest, rop);
        return;
    }
    const bool alpha = type == EMR_ALPHABLEND && ((rop >> 24) & AC_SRC_ALPHA);
    QImage image = bitmapAt(r, 84, 80, alpha);
    if (image.isNull())
        return;
    // The source rectangle is in the source's own logical units; its transform is nearly
    // always the identity, but a scaling one says how many source pixels a unit is.
    QRectF source(srcAt, srcSize);
    if (usableTransform(srcXform))
        source = srcXform.mapRect(source);
    switch (type) {
    case EMR_ALPHABLEND: {
        if (alpha)
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const double opacity = ((rop >> 16) & 0xFF) / 255.0;
        drawBitmap(dest, image, source, SRCCOPY, opacity);
        break;
    }
    case EMR_TRANSPARENTBLT:
        // The "raster operation" holds the colour that stays transparent.
        drawBitmap(dest, withTransparent(image, r.colour(40).rgb()), source, SRCCOPY);
        break;
    case EMR_MASKBLT:
        drawBitmap(dest, image, source, SRCCOPY);
        break;
    default:
        drawBitmap(dest, image, source, rop);
        break;
    }
}

void EmfPlayback::stretchDibits(const EmfRecord& r)
{
    r.require(80);
    const QRectF dest(r.point(24), r.sizeAt(72));
    const quint32 rop = r.u32(68);
    if (r.u32(52) == 0) { // no bitmap: as a bit-block record without one
        if (drawing())
            patternBlt(dest, rop);
        return;
    }
    drawDib(r, dest, rop);
}

void EmfPlayback::setDibitsToDevice(const EmfRecord& r)
{
    r.require(76);
    if (r.u32(52) != 0)
        drawDib(r, QRectF(r.point(24), r.sizeAt(40)), SRCCOPY);
}

QImage EmfPlayback::bitmapAt(const EmfRecord& r, quint64 at, quint64 usageAt, bool keepAlpha)
{
    const EmfBitmap bitmap(r, r.u32(at), r.u32(at + 4), r.u32(at + 8), r.u32(at + 12),
                           r.u32(usageAt));
    if (!drawing() || !bitmap.drawable())
        return {};
    return bitmap.decode(m_dc.palette, keepAlpha);
}

void EmfPlayback::drawDib(const EmfRecord& r, const QRectF& dest, quint32 rop)
{
    const QImage image = bitmapAt(r, 48, 64, false);
    if (image.isNull())
        return;
    // The source's y counts from the picture's bottom row.
    const QPointF srcAt = r.point(32);
    const QSizeF srcSize = r.sizeAt(40);
    const QRectF source(srcAt.x(), image.height() - srcAt.y() - srcSize.height(), srcSize.width(),
                        srcSize.height());
    drawBitmap(dest, image, source, rop);
}

void EmfPlayback::drawBitmap(const QRectF& dest, const QImage& givenImage, QRectF source,
                             quint32 rop, double opacity)
{
    if (dest.width() == 0 || dest.height() == 0 || source.width() == 0 || source.height() == 0 ||
        !prepare())
        return;
    // Only the part of the source inside the picture; the destination shrinks with it.
    QRectF src = source.normalized();
    const QRectF inside = src & QRectF(givenImage.rect());
    if (inside.isEmpty())
        return;
    QRectF dst = dest;
    if (inside != src) {
        const double fx = dest.width() / source.width(), fy = dest.height() / source.height();
        const QPointF origin = dest.topLeft() - QPointF(source.left() * fx, source.top() * fy);
        dst = QRectF(origin + QPointF(inside.left() * fx, inside.top() * fy),
                     QSizeF(inside.width() * fx, inside.height() * fy));
        src = inside;
    }

    QImage image = givenImage;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    const auto combine = [&](bool deviceCan, QPainter::CompositionMode combined, QRgb neutral) {
        if (deviceCan)
            mode = combined;
        else
            image = withTransparent(image, neutral);
    };
    switch (rop) {
    case SRCCOPY:
    case SRCERASE:
    case MERGECOPY:
        break;
    case NOTSRCCOPY:
        image = image.convertToFormat(QImage::Format_RGB32);
        image.invertPixels();
        break;
    // Masks: a picture is ANDed onto a white area, or a white-on-black mask ORed onto the
    // page. Multiplying and lightening do the same for black and white and come close for
    // colours; where the device cannot combine, the pixels that would change nothing (white
    // for AND, black for OR and XOR) are left out instead.
    case SRCAND:
        combine(m_blendModes, QPainter::CompositionMode_Multiply, qRgb(255, 255, 255));
        break;
    case SRCPAINT:
        combine(m_blendModes, QPainter::CompositionMode_Lighten, qRgb(0, 0, 0));
        break;
    case SRCINVERT:
        combine(m_rasterOps, QPainter::RasterOp_SourceXorDestination, qRgb(0, 0, 0));
        break;
    default:
        if (!usesSource(rop)) {
            patternBlt(dest, rop);
            return;
        }
        break;
    }

    // Maps the source rectangle onto the destination in logical units, then on to the device:
    // negative extents mirror the picture, a rotated world transform turns it.
    const QTransform place =
        QTransform(dst.width() / src.width(), 0, 0, dst.height() / src.height(),
                   dst.left() - src.left() * dst.width() / src.width(),
                   dst.top() - src.top() * dst.height() / src.height()) *
        m_toDevice * m_deviceToOutput;
    if (!withinReach(place.mapRect(src)))
        return;
    QPainter& p = *m_painter;
    p.save();
    p.setCompositionMode(mode);
    p.setOpacity(opacity);
    p.setTransform(place);
    p.drawImage(src, image, src);
    p.restore();
}

void EmfPlayback::patternBlt(const QRectF& dest, quint32 rop)
{
    if (!prepare())
        return;
    usePlainPainting();
    QPainterPath area;
    area.addRect(dest.normalized());
    const QPainterPath device = m_toDevice.map(area);
    if (!withinReach(m_deviceToOutput.mapRect(device.boundingRect())))
        return;
    QPainter& p = *m_painter;
    switch (rop) {
    case PATCOPY:
    case PATPAINT:
        fillDevice(device, m_dc.brush);
        break;
    case BLACKNESS:
        p.fillPath(device, Qt::black);
        break;
    case WHITENESS:
        p.fillPath(device, Qt::white);
        break;
    case DSTINVERT:
    case PATINVERT:
        if (m_rasterOps) {
            p.save();
            p.setCompositionMode(rop == DSTINVERT ? QPainter::RasterOp_NotDestination
                                                  : QPainter::RasterOp_SourceXorDestination);
            if (rop == DSTINVERT)
                p.fillPath(device, Qt::black);
            else
                fillDevice(device, m_dc.brush);
            p.restore();
        }
        break;
    default:
        break; // the destination stays as it is
    }
}

} // namespace zel::report::emf
