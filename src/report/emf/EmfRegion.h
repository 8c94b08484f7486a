#pragma once

#include <QPainterPath>
#include <QRectF>
#include <vector>

namespace zel::report::emf {

class EmfRecord;

// A region as records carry it (RgnData): a header and a list of rectangles in device units,
// each rectangle up to but not including its right and bottom edges.
struct EmfRegion
{
    std::vector<QRectF> rects;

    // Reads size bytes of region data from at on in record; throws EmfError when the header or
    // the rectangle count do not fit.
    static EmfRegion read(const EmfRecord& record, quint64 at, quint64 size);

    bool isEmpty() const { return rects.empty(); }
    bool isRect() const { return rects.size() == 1; }
    QPainterPath path() const;
};

} // namespace zel::report::emf
