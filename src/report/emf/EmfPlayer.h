#pragma once

#include <QByteArrayView>
#include <QRectF>

class QPainter;

namespace zel::report::emf {

class EmfImage;
struct EmfHeader;

// Draws page images onto any painter: screen, image, printer or PDF file.
//
// Drawn: pens, brushes and fonts (created, selected, deleted, stock objects too), text
// (EMR_EXTTEXTOUTW with alignment, clipping and opaque background, character spacing honoured),
// rectangles, ellipses, lines, text and background colours and modes, saved and restored
// states. Every other record is skipped. Coordinates are taken as pixels of the image's
// reference device; mapping modes and world transforms are not applied, which matches the
// images the report writes.
class EmfPlayer
{
public:
    // Draws image so that its picture frame fills target (in the painter's coordinates). The
    // painter's state is the same afterwards; nothing is drawn outside target.
    static void play(const EmfImage& image, QPainter& painter, const QRectF& target);

    // Reads every record of a whole image as play() would, without drawing, and throws
    // EmfError at the first one that does not hold together. The records have already been
    // found to tile the image (EmfImage checks that first).
    static void check(QByteArrayView image, const EmfHeader& header);
};

} // namespace zel::report::emf
