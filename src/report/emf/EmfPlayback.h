#pragma once

#include "report/emf/EmfDeviceContext.h"
#include "report/emf/EmfHeader.h"
#include "report/emf/EmfObjects.h"

#include <QByteArrayView>
#include <QPainterPath>
#include <QPen>
#include <optional>
#include <vector>

class QPainter;

namespace zel::report::emf {

class EmfRecord;

// Plays the records of one page image onto a painter, or, without a painter, only reads them
// the way playing would, so that a record that does not hold together is found before anything
// is drawn.
//
// Figures are built in logical units, mapped to the reference device's units and drawn there:
// the painter's transform is the one from device units to the target for everything but text
// and bitmaps, which set their own for the time they draw. Pens are widened in device units,
// as the device would, so a wide pen under an anisotropic mapping stays as wide in every
// direction.
//
// The work is spread over four files: EmfPlayback.cpp (the records' dispatch, the device
// context, objects and clipping), EmfPlaybackShapes.cpp (lines, curves, areas, paths,
// regions), EmfPlaybackText.cpp and EmfPlaybackBitmaps.cpp.
class EmfPlayback
{
public:
    // painter may be null: then records are only read and checked. target is where the
    // picture frame goes, in the painter's coordinates.
    EmfPlayback(const EmfHeader& header, QPainter* painter, const QRectF& target);

    // Plays image, which EmfImage has already found to consist of whole records.
    void run(QByteArrayView image);

private:
    // --- EmfPlayback.cpp ---
    void step(const EmfRecord& r);
    bool drawing() const { return m_painter != nullptr; }

    void saveDc();
    void restoreDc(qint32 which);
    void setExtent(QSizeF& extent, const EmfRecord& r);
    void scaleExtent(QSizeF& extent, const EmfRecord& r);
    void modifyWorldTransform(const EmfRecord& r);
    void transformChanged();
    QTransform toDevice() const { return m_toDevice; }

    std::size_t slot(quint32 index) const;
    void store(const EmfRecord& r, EmfObject object);
    void selectObject(quint32 index);
    void deleteObject(quint32 index);
    // The brush a region record names, by index or as a stock object.
    EmfBrush brushAt(quint32 index) const;

    void clipChanged();
    void intersectClipRect(const QRectF& logical);
    void excludeClipRect(const QRectF& logical);
    void extSelectClipRgn(const EmfRecord& r);
    void selectClipPath(quint32 mode);

    // Before painting: the painter gets the current clip and the device transform. False when
    // nothing can be drawn (no painter, or the clip is empty).
    bool prepare();
    void applyClip();
    // Output pixels per device unit, along the axes.
    double outputScale() const;
    // The raster operation of ROP2 as a composition mode; false when nothing is to be drawn.
    bool useRop2();
    // Plain painting, for the records the raster operation does not apply to.
    void usePlainPainting();

    // --- EmfPlaybackShapes.cpp ---
    void polyRecord(const EmfRecord& r, bool sixteen);
    void polyPolyRecord(const EmfRecord& r, bool sixteen);
    void polyDrawRecord(const EmfRecord& r, bool sixteen);
    void boxRecord(const EmfRecord& r);
    void arcRecord(const EmfRecord& r);
    void angleArc(const EmfRecord& r);
    void lineTo(const QPointF& to);
    void setPixel(const EmfRecord& r);
    void gradientFill(const EmfRecord& r);
    void regionRecord(const EmfRecord& r);

    // Whether a rectangle in output coordinates is near enough to any page to be drawn.
    static bool withinReach(const QRectF& output);
    // A figure in logical units: added to the path in progress, or drawn (filled when fill,
    // outlined when stroke).
    void figure(const QPainterPath& logical, bool fill, bool stroke);
    // Draws a figure in device units with the current fill mode, pen and brush.
    void paintDevice(QPainterPath device, bool fill, bool stroke);
    // A figure that goes on from the current position ("to" records): lines and curves from
    // the current position; afterwards the current position is its end.
    void continueFigure(const QPainterPath& logical);
    void beginPath();
    void endPath();
    void closeFigure();
    void paintPath(bool fill, bool stroke);
    void flattenPath();
    void widenPath();

    void fillDevice(const QPainterPath& device, const EmfBrush& brush);
    void strokeDevice(const QPainterPath& device);
    void hatch(const QPainterPath& device, const EmfBrush& brush);
    QPen devicePen();
    QBrush patternBrush(const EmfBrush& brush) const;
    QPainterPath arcPath(const QRectF& box, const QPointF& start, const QPointF& end,
                         int kind) const;

    // --- EmfPlaybackText.cpp ---
    void extTextOut(const EmfRecord& r, bool wide);
    void smallTextOut(const EmfRecord& r);
    void polyTextOut(const EmfRecord& r, bool wide);
    void textOut(QPointF reference, const QString& text, std::vector<qint32> dx, quint32 options,
                 const std::optional<QRectF>& rect, bool advanced);

    // --- EmfPlaybackBitmaps.cpp ---
    void bitBlt(const EmfRecord& r);
    void stretchDibits(const EmfRecord& r);
    void setDibitsToDevice(const EmfRecord& r);
    // The picture of a record's bitmap, whose header and bits the four fields from at on
    // describe and whose colour usage is at usageAt; null when it is not to be drawn.
    QImage bitmapAt(const EmfRecord& r, quint64 at, quint64 usageAt, bool keepAlpha);
    // Draws the bitmap of a DIB record, which both kinds keep from 48 on, from its source
    // rectangle (at 32) onto dest.
    void drawDib(const EmfRecord& r, const QRectF& dest, quint32 rop);
    void drawBitmap(const QRectF& dest, const QImage& image, QRectF source, quint32 rop,
                    double opacity = 1);
    void patternBlt(const QRectF& dest, quint32 rop);

    const EmfHeader& m_header;
    EmfDevice m_device;
    QPainter* m_painter;
    QRectF m_target;
    QRectF m_frame;               // the picture frame, device units
    QTransform m_callerTransform; // the painter's transform when playing began
    std::optional<QPainterPath> m_callerClip;
    QTransform m_deviceToOutput;
    bool m_rasterOps = false;
    bool m_blendModes = false;

    std::vector<EmfObject> m_objects;
    std::vector<EmfDeviceContext> m_saved;
    EmfDeviceContext m_dc;
    QTransform m_toDevice; // logical to device units, kept with the device context

    bool m_inPath = false;
    QPainterPath m_path; // device units
    bool m_pathDone = false;

    bool m_clipDirty = true;
    bool m_clipEmpty = false;
    bool m_penDirty = true;
    QPen m_qpen;
    bool m_thinPen = false; // the pen is thinner than a pixel of the output
};

} // namespace zel::report::emf
