#include "report/preview/PrinterChoice.h"

#include "report/PrintJob.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace zel::report {

QString PrinterChoice::installed(const QString& wanted)
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (!wanted.isEmpty() && names.contains(wanted))
        return wanted;
    const QString standard = QPrinterInfo::defaultPrinterName();
    if (!standard.isEmpty() && names.contains(standard))
        return standard;
    return names.value(0);
}

void PrinterChoice::preset(QPrintDialog& dialog, const TRpPrinterSettings& settings,
                           QPageLayout::Orientation pagesLie, int pageCount)
{
    QPrinter& printer = *dialog.printer();
    const QString name = installed(settings.printerName);
    if (!name.isEmpty())
        printer.setPrinterName(name);
    printer.setPageOrientation(settings.orientation.value_or(pagesLie));
    printer.setCopyCount(qMax(1, settings.copies));
    printer.setDuplex(settings.duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    if (pageCount > 0)
        dialog.setMinMax(1, pageCount);
    else
        dialog.setMinMax(0, 9999);
    const bool ranged = settings.firstPage > 0 || settings.lastPage > 0;
    const int last = pageCount > 0 ? pageCount : 9999;
    if (ranged) {
        const int from = qBound(1, settings.firstPage > 0 ? settings.firstPage : 1, last);
        const int to = qBound(from, settings.lastPage > 0 ? settings.lastPage : last, last);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(from, to);
    } else {
        printer.setPrintRange(QPrinter::AllPages);
        printer.setFromTo(1, qMax(1, pageCount));
    }
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
}

void PrinterChoice::store(const QPrinter& printer, TRpPrinterSettings& settings)
{
    settings.copies = qMax(1, printer.copyCount());
    settings.printerName = printer.printerName();
    settings.orientation = printer.pageLayout().orientation();
    settings.duplex = printer.duplex() != QPrinter::DuplexNone;
    if (printer.printRange() == QPrinter::PageRange) {
        settings.firstPage = printer.fromPage();
        settings.lastPage = printer.toPage();
    } else {
        settings.firstPage = settings.lastPage = 0;
    }
}

std::unique_ptr<PrintJob> PrinterChoice::job(const QPrinter& printer)
{
    PrintJob::Settings job;
    job.printer = printer.printerName();
    job.title = printer.docName();
    job.copies = qMax(1, printer.copyCount());
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        job.sides = PrintJob::Sides::OneSided;
        break;
    case QPrinter::DuplexAuto:
        job.sides = PrintJob::Sides::AsThePagesLie;
        break;
    case QPrinter::DuplexLongSide:
        job.sides = PrintJob::Sides::LongEdge;
        break;
    case QPrinter::DuplexShortSide:
        job.sides = PrintJob::Sides::ShortEdge;
        break;
    }
    return std::make_unique<PrintJob>(job);
}

} // namespace zel::report
