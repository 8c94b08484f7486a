#include "report/TRpPrinter.h"

#include "data/base/FileAccess.h"
#include "report/PainterCanvas.h"
#include "report/PrintJob.h"
#include "report/TRpError.h"
#include "report/emf/EmfPlayer.h"
#include "report/emf/EmfWriter.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace zel::report {

TRpPrinter::TRpPrinter(QObject* parent)
    : QObject(parent), m_destination(PageImages), m_dpi(emf::EmfWriter::Dpi),
      m_pages(std::make_unique<TRpPageList>())
{
}

TRpPrinter::TRpPrinter(const QString& pdfFile, double dpi, QObject* parent)
    : QObject(parent), m_destination(Printer), m_dpi(dpi), m_pages(std::make_unique<TRpPageList>()),
      m_pdfFile(pdfFile)
{
}

TRpPrinter::TRpPrinter(QPagedPaintDevice& device, QObject* parent)
    : QObject(parent), m_destination(Printer), m_dpi(device.logicalDpiX()),
      m_pages(std::make_unique<TRpPageList>()), m_device(&device)
{
}

TRpPrinter::TRpPrinter(QPagedPaintDevice& device, std::unique_ptr<PrintJob> job, QObject* parent)
    : TRpPrinter(device, parent)
{
    m_job = std::move(job);
}

TRpPrinter::~TRpPrinter()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_file.reset(); // a PDF not committed is dropped
}

void TRpPrinter::beginDocument(const QSizeF& paperNative, bool compressed)
{
    if (m_status != Ready)
        throw TRpError(QStringLiteral("Report printer not ready"));
    if (!(paperNative.width() >= 10 && paperNative.height() >= 10 &&
          paperNative.width() <= 100000 && paperNative.height() <= 100000))
        throw TRpError(QStringLiteral("A page of %1 × %2 mm cannot be printed")
                           .arg(paperNative.width() / 10)
                           .arg(paperNative.height() / 10));
    m_paper = paperNative;
    m_cancelled = false;
    m_pageCount = m_pageNumber = m_available = m_progress = 0;
    if (m_destination == PageImages) {
        m_pages = std::make_unique<TRpPageList>(compressed);
    } else {
        if (!m_pdfFile.isEmpty()) {
            m_file = std::make_unique<data::OutputFile>(m_pdfFile);
            try {
                m_file->open();
            } catch (const data::FileAccessError& e) {
                m_file.reset();
                throw TRpError(e.message());
            }
            m_pdf = std::make_unique<QPdfWriter>(&m_file->device());
            m_pdf->setCreator(QStringLiteral("ZEL"));
            m_pdf->setTitle(title);
            m_pdf->setResolution(qRound(m_dpi));
            m_pdf->setPageMargins(QMarginsF());
            m_device = m_pdf.get();
        }
        setUpDevicePage(paperNative);
        if (m_job) {
            // The printer has settled paper, margins and resolution; the job's file gets the
            // pages on that layout.
            m_pdf = std::make_unique<QPdfWriter>(&m_job->file());
            m_pdf->setCreator(QStringLiteral("ZEL"));
            m_pdf->setTitle(title);
            m_pdf->setResolution(qRound(m_dpi));
            m_pdf->setPageLayout(m_device->pageLayout());
            m_device = m_pdf.get();
        }
        m_painter = std::make_unique<QPainter>();
        m_pdfStarted = false;
    }
    m_status = Busy;
}

void TRpPrinter::setUpDevicePage(const QSizeF& paperNative)
{
    // The device gets the paper by its name where it has one (a printer picks its tray by
    // it), upright, and turned as the pages lie unless an orientation was asked for.
    const QSizeF mm = paperNative / 10.0;
    const QPageSize size(QSizeF(qMin(mm.width(), mm.height()), qMax(mm.width(), mm.height())),
                         QPageSize::Millimeter);
    const QPageLayout::Orientation lies =
        mm.width() > mm.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    m_device->setPageSize(size);
    m_device->setPageOrientation(orientation.value_or(lies));

    const QPageLayout layout = m_device->pageLayout();
    const QMarginsF waste = layout.margins(QPageLayout::Millimeter);
    const QSizeF full = layout.fullRectPoints().size() * 254.0 / 72.0; // native
    m_fit = QTransform();
    // Paper the other way round than the pages: the page is scaled down evenly and centred
    // on the sheet. Otherwise it keeps its size, and the margins are what the report's
    // positions move by (the painter's origin is the corner of the printable area).
    const bool turned =
        (full.width() > full.height()) != (paperNative.width() > paperNative.height()) &&
        qAbs(full.width() - full.height()) > 1;
    if (turned) {
        const double scale =
            qMin(full.width() / paperNative.width(), full.height() / paperNative.height());
        const double f = m_dpi / 254.0;
        m_fit.translate((-waste.left() * 10 + (full.width() - paperNative.width() * scale) / 2) * f,
                        (-waste.top() * 10 + (full.height() - paperNative.height() * scale) / 2) *
                            f);
        m_fit.scale(scale, scale);
        m_wasteLeft = m_wasteTop = 0;
    } else {
        m_wasteLeft = waste.left() * 10;
        m_wasteTop = waste.top() * 10;
    }
}

bool TRpPrinter::inRange(int page) const
{
    return (firstPage <= 0 || page >= firstPage) && (lastPage <= 0 || page <= lastPage);
}

void TRpPrinter::closePage()
{
    if (!m_pageOpen)
        return;
    m_pageOpen = false;
    if (m_destination == PageImages)
        m_pages->addPage(m_image->finish());
    m_image.reset();
    m_pageCanvas = nullptr;
    ++m_available;
    notifyPages();
}

void TRpPrinter::notifyPages()
{
    const int count = m_available;
    QMetaObject::invokeMethod(
        this, [this, count] { Q_EMIT pagesAvailable(count); }, Qt::QueuedConnection);
}

void TRpPrinter::setProgress(int percent)
{
    if (percent == m_progress)
        return;
    m_progress = percent;
    QMetaObject::invokeMethod(
        this, [this, percent] { Q_EMIT progressChanged(percent); }, Qt::QueuedConnection);
}

void TRpPrinter::newPage()
{
    if (m_status != Busy)
        throw TRpError(QStringLiteral("Illegal call to NewPage"));
    closePage();
    ++m_pageCount;
    ++m_pageNumber;
    // In steps of 5 %, the steps the progress window shows.
    if (expectedPages > 0)
        setProgress(qMax(m_progress, qMin(95, (m_pageNumber - 1) * 20 / expectedPages * 5)));
    const QSize pixels(sizeX(m_paper.width()), sizeY(m_paper.height()));
    m_printerPage = m_destination == Printer && inRange(m_pageNumber);
    if (m_printerPage) {
        startPrinterPage();
        // One canvas for the whole document keeps what it has measured.
        if (!m_painterCanvas)
            m_painterCanvas = std::make_unique<PainterCanvas>(*m_painter, m_dpi);
        m_pageCanvas = m_painterCanvas.get();
    } else {
        // Pages outside the printed range are still laid out, so page numbers and breaks
        // come out as in the whole report; they are drawn where nobody sees them.
        const QSize imagePixels = m_destination == PageImages
                                      ? pixels
                                      : QSize(qRound(m_paper.width() * emf::EmfWriter::Dpi / 254),
                                              qRound(m_paper.height() * emf::EmfWriter::Dpi / 254));
        m_image = std::make_unique<emf::EmfWriter>(imagePixels);
    }
    m_pageOpen = true;
}

Canvas& TRpPrinter::canvas()
{
    if (!m_pageOpen)
        throw TRpError(QStringLiteral("Illegal call to NewPage"));
    if (m_pageCanvas)
        return *m_pageCanvas;
    return *m_image;
}

void TRpPrinter::endDocument()
{
    if (m_status != Busy)
        throw TRpError(QStringLiteral("Report printer not ready"));
    finishDocument(true);
}

void TRpPrinter::abort()
{
    if (m_status == Busy)
        finishDocument(false);
}

void TRpPrinter::finishDocument(bool complete)
{
    if (m_destination == PageImages) {
        closePage();
        m_pages->finish();
    } else {
        endPrinterDocument(complete);
        if (complete) {
            m_available = m_pageCount;
            notifyPages();
        }
    }
    m_status = Finished;
}

void TRpPrinter::startPrinterPage()
{
    if (!m_pdfStarted) {
        if (!m_painter->begin(m_device))
            throw TRpError(m_pdfFile.isEmpty()
                               ? QStringLiteral("Cannot start the print job")
                               : QStringLiteral("Cannot start the PDF file %1").arg(m_pdfFile));
        m_pdfStarted = true;
    } else {
        m_device->newPage();
    }
    m_painter->setTransform(m_fit);
}

void TRpPrinter::endPrinterDocument(bool keep)
{
    m_pageOpen = false;
    m_image.reset();
    m_pageCanvas = nullptr;
    m_painterCanvas.reset();
    if (!keep && m_pdfStarted && abortJob)
        abortJob();
    if (m_painter && m_painter->isActive())
        m_painter->end();
    m_painter.reset();
    QPageLayout layout;
    if (m_pdf) {
        layout = m_pdf->pageLayout();
        m_device = nullptr;
        m_pdf.reset();
    }
    if (m_job) {
        // The job reaches the printer only now, whole; a cancelled one never does.
        const std::unique_ptr<PrintJob> job = std::move(m_job);
        if (keep && m_pdfStarted)
            job->submit(
                layout,
                [this](int id) {
                    QMetaObject::invokeMethod(
                        this, [this, id] { Q_EMIT jobHandedOver(id); }, Qt::QueuedConnection);
                },
                [this] {
                    QCoreApplication::processEvents();
                    return m_cancelled;
                });
        return;
    }
    if (!m_file)
        return;
    // A PDF without pages, or of a cancelled run, is not left behind half made.
    const std::unique_ptr<data::OutputFile> file = std::move(m_file);
    if (keep && m_pdfStarted) {
        try {
            file->commit();
        } catch (const data::FileAccessError& e) {
            throw TRpError(e.message());
        }
    }
}

void TRpPrinter::printStoredPages(TRpPageList& pages)
{
    if (m_destination != Printer)
        throw TRpError(QStringLiteral("Stored pages are printed on a printer only"));
    const int count = pages.pageCount();
    const int from = firstPage <= 0 ? 1 : firstPage;
    const int to = lastPage <= 0 ? count : qMin(lastPage, count);
    if (count == 0 || from > to)
        throw TRpError(QStringLiteral("There are no pages to print"));
    const QSizeF paper = pages.pageRecord(from).image.frameTenthsMm();
    beginDocument(paper);
    try {
        for (int n = from; n <= to; ++n) {
            QCoreApplication::processEvents();
            if (m_cancelled) {
                abort();
                return;
            }
            setProgress((n - from) * 100 / (to - from + 1));
            const std::optional<emf::EmfImage> image = pages.page(n);
            startPrinterPage();
            ++m_pageCount;
            ++m_pageNumber;
            if (!image)
                continue;
            // A page of another size than the first is fitted into the first one's area.
            const QSizeF own = image->header().frameTenthsMm();
            const double scale =
                own.width() > 0 && own.height() > 0
                    ? qMin(1.0, qMin(paper.width() / own.width(), paper.height() / own.height()))
                    : 1.0;
            const QSizeF placed = own * scale;
            const QRectF target(x((paper.width() - placed.width()) / 2),
                                y((paper.height() - placed.height()) / 2), sizeX(placed.width()),
                                sizeY(placed.height()));
            emf::EmfPlayer::play(*image, *m_painter, target);
        }
        setProgress(100);
    } catch (...) {
        abort();
        throw;
    }
    endPrinterDocument(true);
    m_status = Finished;
}

std::unique_ptr<TRpPageList> TRpPrinter::takePageList()
{
    auto list = std::move(m_pages);
    m_pages = std::make_unique<TRpPageList>();
    return list;
}

} // namespace zel::report
