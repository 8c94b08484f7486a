#pragma once

#include <QByteArrayView>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace zel::report::emf {

// The header record of a page image, read and checked. Rectangles are kept as the file has
// them (inclusive-inclusive edges); the methods below turn them into sizes.
struct EmfHeader
{
    // Edges as stored: left, top, right, bottom, all inclusive.
    struct Edges
    {
        qint32 left = 0;
        qint32 top = 0;
        qint32 right = -1;
        qint32 bottom = -1;
    };

    quint32 headerSize = 0; // size of the header record
    Edges bounds;           // device pixels
    Edges frame;            // hundredths of a millimetre
    quint32 version = 0;
    quint32 bytes = 0;   // size of the whole image
    quint32 records = 0; // number of records, header and end included
    quint16 handles = 0; // size of the object table, slot 0 included
    quint32 descriptionLength = 0;
    quint32 descriptionOffset = 0;
    QSize device;      // reference device in pixels
    QSize millimetres; // reference device in millimetres
    QSize micrometres; // the same more exactly; empty when the header has no such extension

    // Reads a header from the start of data, which may be just the first bytes of an image
    // (enough for the fixed fields). Throws EmfError when the bytes are not a metafile header.
    static EmfHeader parse(QByteArrayView data);

    // The picture frame in tenths of a millimetre: the physical size of the page.
    QSizeF frameTenthsMm() const;
    // The picture frame in the image's own coordinates (the reference device's pixels): the
    // part of the drawing that fills the target when the image is played.
    QRectF frameInDevicePixels() const;
};

} // namespace zel::report::emf
