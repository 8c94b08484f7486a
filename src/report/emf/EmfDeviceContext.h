#pragma once

#include "report/emf/EmfObjects.h"

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace zel::report::emf {

// A clipping area in device units: everything, a rectangle, or any path. Rectangles stay
// rectangles as long as they are only intersected, which keeps the common case cheap.
class EmfClip
{
public:
    bool isEverything() const { return m_everything; }
    bool isRect() const { return !m_everything && m_isRect; }
    const QRectF& rect() const { return m_rect; }
    QPainterPath path() const;

    void reset() { *this = EmfClip(); }
    void intersect(const EmfClip& other);
    void intersectRect(const QRectF& rect);
    // Combines with area (device units) by a region mode (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF,
    // RGN_COPY).
    void combine(const QPainterPath& area, quint32 mode);
    void combineRect(const QRectF& rect, quint32 mode);
    void translate(const QPointF& by);

private:
    void setPath(const QPainterPath& p);

    bool m_everything = true;
    bool m_isRect = false;
    QRectF m_rect;
    QPainterPath m_path;
};

// A transform the device would accept: finite and invertible, and not so extreme that every
// figure collapses or explodes.
bool usableTransform(const QTransform& t);

// The reference device an image was made for: pixels per millimetre on each axis.
struct EmfDevice
{
    double pixelsPerMmX = 96 / 25.4;
    double pixelsPerMmY = 96 / 25.4;
};

// The state a page image draws with, saved and restored as a whole: the mapping from logical
// to device units, the selected objects, colours, modes, current position and clipping.
struct EmfDeviceContext
{
    // Mapping: logical -> (world transform) -> page -> (window and viewport) -> device.
    quint32 mapMode = 1; // MM_TEXT
    QPointF windowOrg;
    QSizeF windowExt{1, 1};
    QPointF viewportOrg;
    QSizeF viewportExt{1, 1};
    QTransform world;

    EmfPen pen;
    EmfBrush brush;
    EmfFont font;
    std::vector<QRgb> palette;

    QColor textColour{Qt::black};
    QColor backgroundColour{Qt::white};
    quint32 backgroundMode = 2; // OPAQUE
    quint32 textAlign = 0;
    quint32 polyFillMode = 1; // ALTERNATE
    quint32 rop2 = 13;        // R2_COPYPEN
    quint32 arcDirection = 1; // AD_COUNTERCLOCKWISE
    double miterLimit = 10;
    QPointF position; // logical units
    QPointF brushOrigin;

    EmfClip clip; // device units
    EmfClip meta; // the meta region, device units

    EmfDeviceContext();

    // Page space to device units under the current mapping mode. Extents are never 0: the
    // records that would set them so are ignored.
    QTransform pageToDevice() const;
    QTransform logicalToDevice() const { return world * pageToDevice(); }
    // The clip and the meta region together.
    EmfClip effectiveClip() const;

    // Changing the mapping mode gives the window and viewport the extents that mode implies.
    void setMapMode(quint32 mode, const EmfDevice& device);
};

} // namespace zel::report::emf
