#include "report/PdfExport.h"

#include "data/base/FileAccess.h"
#include "report/ReportFileError.h"
#include "report/emf/EmfHeader.h"
#include "report/emf/EmfPlayer.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace zel::report {

namespace {

QPageLayout layoutFor(const emf::EmfHeader& header)
{
    const QSizeF mm = header.frameTenthsMm() / 10.0;
    const QSizeF portrait(qMin(mm.width(), mm.height()), qMax(mm.width(), mm.height()));
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                       mm.width() > mm.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

} // namespace

void writePagesAsPdf(int count, const std::function<std::optional<emf::EmfImage>(int)>& page,
                     const QString& path, const QString& title, const QString& sourceName,
                     bool standardOutputAllowed)
{
    if (count < 1)
        throw ReportFileError(
            QStringLiteral("%1 has no pages; there is nothing to convert").arg(sourceName));
    data::OutputFile file(path, standardOutputAllowed);
    try {
        file.open();
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
    {
        QPdfWriter writer(&file.device());
        writer.setCreator(QStringLiteral("ZEL"));
        writer.setTitle(title);
        QPainter painter;
        for (int n = 1; n <= count; ++n) {
            const std::optional<emf::EmfImage> image = page(n);
            if (!image)
                continue;
            const QSizeF mm = image->header().frameTenthsMm() / 10.0;
            if (mm.width() < 1 || mm.height() < 1 || mm.width() > 10000 || mm.height() > 10000)
                throw ReportFileError(QStringLiteral("Page %1 of %2 claims a paper size of %3 x %4 "
                                                     "mm, which no PDF page can have")
                                          .arg(n)
                                          .arg(sourceName)
                                          .arg(mm.width(), 0, 'f', 1)
                                          .arg(mm.height(), 0, 'f', 1));
            const QPageLayout layout = layoutFor(image->header());
            writer.setPageLayout(layout);
            if (!painter.isActive()) {
                if (!painter.begin(&writer))
                    throw ReportFileError(QStringLiteral("Cannot start the PDF file %1").arg(path));
            } else {
                writer.newPage();
            }
            emf::EmfPlayer::play(*image, painter,
                                 QRectF(layout.fullRectPixels(writer.resolution())));
        }
        painter.end();
    }
    try {
        file.commit();
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
}

} // namespace zel::report
