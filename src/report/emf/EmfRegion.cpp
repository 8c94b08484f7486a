#include "report/emf/EmfRegion.h"

#include "report/emf/EmfRecord.h"

namespace zel::report::emf {

namespace {

constexpr quint64 RegionHeaderSize = 32;

} // namespace

EmfRegion EmfRegion::read(const EmfRecord& record, quint64 at, quint64 size)
{
    record.requireArray(at, size, 1, "region");
    if (size < RegionHeaderSize)
        record.fail(
            QStringLiteral("the region data is %1 bytes, shorter than its header").arg(size));
    const quint64 headerSize = record.u32(at);
    const quint64 count = record.u32(at + 8);
    if (headerSize < RegionHeaderSize || headerSize > size || count > (size - headerSize) / 16)
        record.fail(QStringLiteral("the region's %1 rectangles do not fit its %2 bytes")
                        .arg(count)
                        .arg(size));
    EmfRegion region;
    region.rects.reserve(std::size_t(count));
    for (quint64 i = 0; i < count; ++i) {
        const quint64 r = at + headerSize + 16 * i;
        const QRectF rect(QPointF(record.i32(r), record.i32(r + 4)),
                          QPointF(record.i32(r + 8), record.i32(r + 12)));
        if (!rect.normalized().isEmpty())
            region.rects.push_back(rect.normalized());
    }
    return region;
}

QPainterPath EmfRegion::path() const
{
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    for (const QRectF& r : rects)
        p.addRect(r);
    return p;
}

} // namespace zel::report::emf
