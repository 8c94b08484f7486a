#pragma once

#include "report/TRpReport.h"

#include <QString>
#include <memory>

class QPrintDialog;
class QPrinter;

namespace zel::report {

class PrintJob;

// Between the printer settings a report keeps and the system's printers.
class PrinterChoice
{
public:
    // The printer to print on: the one named when it is installed, else the system's default,
    // else the first one installed; empty when there is no printer at all.
    static QString installed(const QString& wanted);

    // Presets the printer set-up dialog from the settings, for pageCount pages (0 while they
    // are still being produced): printer, orientation (the pages' own unless the settings
    // chose one), copies, and a page range from 1 to the page count or the one kept.
    static void preset(QPrintDialog& dialog, const TRpPrinterSettings& settings,
                       QPageLayout::Orientation pagesLie, int pageCount);
    // What a confirmed dialog's printer says: copies, printer, orientation, both sides or one,
    // and the range (all pages: 0 and 0).
    static void store(const QPrinter& printer, TRpPrinterSettings& settings);
    // A print job for printer's queue, with its title, copies and sides.
    static std::unique_ptr<PrintJob> job(const QPrinter& printer);
};

} // namespace zel::report
