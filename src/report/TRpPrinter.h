#pragma once

#include "report/Canvas.h"
#include "report/TRpPageList.h"

#include <QObject>
#include <QPageLayout>
#include <QSizeF>
#include <QTransform>
#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;

namespace zel::data {
class OutputFile;
}

namespace zel::report {

namespace emf {
class EmfWriter;
}
class PrintJob;

// Turns the pages a report lays out into page images in a page store, or into a PDF file
// (the printer destination). Lengths come in as native units (tenths of a millimetre) and go
// out as device pixels.
//
// Notifications are queued, so a window that listens sees them between rows, in order.
class TRpPrinter : public QObject
{
    Q_OBJECT
public:
    enum Destination
    {
        PageImages = 0,
        Printer = 1
    };
    enum Status
    {
        Ready = 0,
        Busy = 1,
        Finished = 2
    };

    // Page images into a new page store.
    explicit TRpPrinter(QObject* parent = nullptr);
    // The printer destination writing a PDF file at dpi; the file appears only once the
    // document ends well.
    TRpPrinter(const QString& pdfFile, double dpi, QObject* parent = nullptr);
    // The printer destination on a device the caller owns and has set up (a QPrinter): its
    // resolution, and its margins as the unprintable waste. The document sets the device's
    // paper size and orientation.
    explicit TRpPrinter(QPagedPaintDevice& device, QObject* parent = nullptr);
    // The printer destination for a print job: device (a QPrinter) settles the paper, the
    // margins and the resolution as above, and the pages go to the job, which reaches the
    // printer once the document ends well. Cancel before then leaves nothing in the queue;
    // cancel while the job is handed over withdraws it.
    TRpPrinter(QPagedPaintDevice& device, std::unique_ptr<PrintJob> job, QObject* parent = nullptr);
    ~TRpPrinter() override;

    Destination destination() const { return m_destination; }
    Status status() const { return m_status; }

    // Starts a document on paper of this size (native, as it lies, orientation applied). A
    // printer gets the paper size that fits and the orientation the pages lie in (or the one
    // asked for); pages then keep their physical size, or are scaled down to fit paper turned
    // the other way, never stretched.
    // Throws TRpError "Report printer not ready" unless the producer is ready.
    void beginDocument(const QSizeF& paperNative, bool compressed = false);
    // Throws TRpError "Illegal call to NewPage" outside a begun document.
    void newPage();
    void endDocument();
    // Ends a cancelled document: page images keep what was made, a PDF is not written.
    void abort();
    // Prints stored pages firstPage to lastPage (all when both are 0) on the printer
    // destination, on the paper of the first of them, each at its physical size where the
    // paper fits it (the unprintable margins stay blank) and scaled down evenly where it does
    // not. Cancel aborts the job.
    void printStoredPages(TRpPageList& pages);

    // Asks the run to stop at the next row.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

    Canvas& canvas();
    double dpiX() const { return m_dpi; }
    double dpiY() const { return m_dpi; }
    int x(double native) const { return qRound((native - m_wasteLeft) * m_dpi / 254.0); }
    int y(double native) const { return qRound((native - m_wasteTop) * m_dpi / 254.0); }
    int sizeX(double native) const { return qRound(native * m_dpi / 254.0); }
    int sizeY(double native) const { return qRound(native * m_dpi / 254.0); }

    int firstPage = 0; // 0 and 0: every page
    int lastPage = 0;
    int copies = 1;
    std::optional<QPageLayout::Orientation> orientation; // none: as the pages lie
    QString title;
    // The number of pages the run is expected to make (known when a previewed report is
    // printed): progress then also moves page by page, not only row by row.
    int expectedPages = 0;
    // Withdraws a print job that is cancelled (QPrinter::abort for a printer); the device
    // itself has no such call.
    std::function<void()> abortJob;

    int pageCount() const { return m_pageCount; }
    int pageNumber() const { return m_pageNumber; }
    int availablePages() const { return m_available; }
    int progress() const { return m_progress; }
    void setProgress(int percent);
    bool inRange(int page) const;

    TRpPageList& pageList() { return *m_pages; }
    std::unique_ptr<TRpPageList> takePageList();

Q_SIGNALS:
    void progressChanged(int percent);
    void pagesAvailable(int count);
    // The spooler has made the print job of that number; the file is being handed over.
    void jobHandedOver(int job);

private:
    void closePage();
    void setUpDevicePage(const QSizeF& paperNative);
    void startPrinterPage();
    void endPrinterDocument(bool keep);
    // Ends the document, complete or cancelled; on a printer or in a PDF only a complete one
    // makes its pages available.
    void finishDocument(bool complete);
    void notifyPages();

    Destination m_destination;
    Status m_status = Ready;
    double m_dpi;
    double m_wasteLeft = 0, m_wasteTop = 0;
    // Painter coordinates of the report's page where paper turned the other way holds it
    // scaled down; identity when the page prints at its own size.
    QTransform m_fit;
    QSizeF m_paper;
    bool m_cancelled = false;
    int m_pageCount = 0, m_pageNumber = 0, m_available = 0, m_progress = 0;

    std::unique_ptr<TRpPageList> m_pages;
    std::unique_ptr<emf::EmfWriter> m_image; // page images, and throwaway printer pages
    bool m_pageOpen = false;

    QString m_pdfFile;
    std::unique_ptr<data::OutputFile> m_file;
    std::unique_ptr<QPdfWriter> m_pdf;
    std::unique_ptr<PrintJob> m_job;
    QPagedPaintDevice* m_device = nullptr;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<Canvas> m_painterCanvas;
    Canvas* m_pageCanvas = nullptr; // the painter canvas while a printed page is open
    bool m_pdfStarted = false;
    bool m_printerPage = false;
};

} // namespace zel::report
