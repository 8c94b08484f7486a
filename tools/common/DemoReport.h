#pragma once

#include "report/emf/EmfImage.h"

#include <QPageLayout>
#include <QString>

namespace zel::report {

// Demonstration pages on A4, drawn through the canvas the report engine uses: a page header
// and footer, a frame, a table of materials with a grid, wrapped and clipped text, a stability
// row, and the shapes (rectangles with solid and hatched brushes, ellipses, dashed lines).
// They stand in for real report pages where the engine is not needed: in tests, benchmarks and
// `zeltool report demo`. The same arguments always give the same bytes. Needs a
// QGuiApplication, as text is measured.
emf::EmfImage makeDemoPage(int page, int pageCount,
                           QPageLayout::Orientation orientation = QPageLayout::Portrait);

// Writes a report file of pageCount demonstration pages. Throws ReportFileError.
void makeDemoReport(const QString& path, int pageCount, bool compressed,
                    QPageLayout::Orientation orientation = QPageLayout::Portrait);

} // namespace zel::report
