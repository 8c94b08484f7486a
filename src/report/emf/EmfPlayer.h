#pragma once

#include <QByteArrayView>
#include <QRectF>

class QPainter;

namespace zel::report::emf {

class EmfImage;
struct EmfHeader;

// Draws page images onto any painter: screen, image, printer or PDF file.
//
// Pages from any producer of the format play as they were printed: mapping modes and world
// transforms, saved and restored states, pens, brushes (solid, hatched, pattern) and fonts,
// text in both forms with alignment, spacing, clipping and background, lines, curves and
// areas in 16- and 32-bit forms, paths, clipping by rectangles, regions and paths, bitmaps
// with the raster operations pages use, gradients. Records it does not know, comments among
// them, are skipped.
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
