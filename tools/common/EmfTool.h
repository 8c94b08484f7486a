#pragma once

#include "report/emf/EmfImage.h"

#include <QImage>
#include <QSize>
#include <QStringList>

class QTextStream;

namespace zel::report {

// `zeltool emf ...`: looks at single page images (enhanced metafiles), ours or anyone's. args
// are the words after "emf":
//
//   render IN.emf OUT.png [--dpi N | --width PX]
//                          the page as a picture; OUT.pdf gives a PDF page of the image's size
//   info IN.emf            the header and how many records of each type the image holds
//
// Results go to standard output (StandardOutput: the caller finishes it and so learns
// whether they arrived), errors to standard error. Returns 0 on success, 1 when the
// work failed (an image that cannot be read, a picture too large) and 2 on wrong usage. An
// output file is written under a temporary name and renamed when complete.
int runEmfTool(const QStringList& args);
int runEmfTool(const QStringList& args, QTextStream& out, QTextStream& err);

// The size in pixels of the image's picture frame at dpi dots per inch, at least 1 x 1.
QSize emfPixelSize(const emf::EmfImage& image, double dpi);

// The image drawn on white at the given size, anti-aliased, as a person would look at it.
// Needs a QGuiApplication.
QImage renderEmf(const emf::EmfImage& image, const QSize& size);

} // namespace zel::report
