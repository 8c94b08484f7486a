#include "report/emf/EmfHeader.h"

#include "report/emf/EmfError.h"
#include "report/emf/EmfFormat.h"

#include <QtEndian>

namespace zel::report::emf {

namespace {

quint32 u32At(QByteArrayView data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.data() + offset);
}

qint32 i32At(QByteArrayView data, qsizetype offset)
{
    return qFromLittleEndian<qint32>(data.data() + offset);
}

EmfHeader::Edges edgesAt(QByteArrayView data, qsizetype offset)
{
    return {i32At(data, offset), i32At(data, offset + 4), i32At(data, offset + 8),
            i32At(data, offset + 12)};
}

QSize sizeAt(QByteArrayView data, qsizetype offset)
{
    return {i32At(data, offset), i32At(data, offset + 4)};
}

// Inclusive edges give one more unit than their difference.
double extent(qint32 low, qint32 high)
{
    return static_cast<double>(static_cast<qint64>(high) - low + 1);
}

} // namespace

EmfHeader EmfHeader::parse(QByteArrayView data)
{
    if (data.size() < HEADER_BASE_SIZE)
        throw EmfError(QStringLiteral("page image is %1 bytes long, shorter than its header")
                           .arg(data.size()));
    if (u32At(data, 0) != EMR_HEADER || u32At(data, 40) != ENHMETA_SIGNATURE)
        throw EmfError(QStringLiteral("page image does not start with a metafile header"));

    EmfHeader h;
    h.headerSize = u32At(data, 4);
    h.bounds = edgesAt(data, 8);
    h.frame = edgesAt(data, 24);
    h.version = u32At(data, 44);
    h.bytes = u32At(data, 48);
    h.records = u32At(data, 52);
    h.handles = qFromLittleEndian<quint16>(data.data() + 56);
    h.descriptionLength = u32At(data, 60);
    h.descriptionOffset = u32At(data, 64);
    h.device = sizeAt(data, 72);
    h.millimetres = sizeAt(data, 80);

    if (h.headerSize < HEADER_BASE_SIZE || h.headerSize % 4 != 0 || h.headerSize > h.bytes)
        throw EmfError(QStringLiteral("page image header has an impossible size of %1 bytes")
                           .arg(h.headerSize));
    if (h.handles == 0)
        throw EmfError(QStringLiteral("page image header has no object table"));
    if (h.descriptionLength != 0) {
        const quint64 end = quint64(h.descriptionOffset) + quint64(h.descriptionLength) * 2;
        if (h.descriptionOffset < HEADER_BASE_SIZE || end > h.headerSize)
            throw EmfError(QStringLiteral("page image description lies outside the header record"));
    }
    // The extension is there only when the header is long enough and no description or pixel
    // format starts where it would be.
    const quint32 firstExtra = h.descriptionLength != 0 ? h.descriptionOffset : h.headerSize;
    if (h.headerSize >= HEADER_FULL_SIZE && firstExtra >= HEADER_FULL_SIZE &&
        data.size() >= HEADER_FULL_SIZE) {
        const QSize um = sizeAt(data, 100);
        if (um.width() > 0 && um.height() > 0)
            h.micrometres = um;
    }
    return h;
}

QSizeF EmfHeader::frameTenthsMm() const
{
    const double w = extent(frame.left, frame.right);
    const double h = extent(frame.top, frame.bottom);
    if (w <= 0 || h <= 0)
        return {};
    return {w / 10.0, h / 10.0};
}

QRectF EmfHeader::frameInDevicePixels() const
{
    const double w = extent(frame.left, frame.right);
    const double h = extent(frame.top, frame.bottom);
    if (w > 0 && h > 0) {
        // Pixels per hundredth of a millimetre, from the most exact measure the header has;
        // without any, the image was made at 96 pixels per inch like ours.
        double fx = 96.0 / 2540.0;
        double fy = 96.0 / 2540.0;
        if (device.width() > 0 && device.height() > 0) {
            double dx = 0, dy = 0;
            if (!micrometres.isEmpty()) {
                dx = device.width() * 10.0 / micrometres.width();
                dy = device.height() * 10.0 / micrometres.height();
            } else if (millimetres.width() > 0 && millimetres.height() > 0) {
                dx = device.width() / (millimetres.width() * 100.0);
                dy = device.height() / (millimetres.height() * 100.0);
            }
            // Pixels of any real device are near enough square; figures that say otherwise
            // are not to be trusted.
            if (dx > 0 && dy > 0 && dx / dy > 0.5 && dx / dy < 2) {
                fx = dx;
                fy = dy;
            }
        }
        return {frame.left * fx, frame.top * fy, w * fx, h * fy};
    }
    const double bw = extent(bounds.left, bounds.right);
    const double bh = extent(bounds.top, bounds.bottom);
    if (bw > 0 && bh > 0)
        return {double(bounds.left), double(bounds.top), bw, bh};
    return {};
}

} // namespace zel::report::emf
