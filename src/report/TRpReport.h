#pragma once

#include "report/PageBreaking.h"
#include "report/TRpBand.h"
#include "report/TextMeasure.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QVariant>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace zel::data {
class Dataset;
}

namespace zel::report {

class TRpPrinter;

enum class TRpUnits
{
    MM,
    Inches,
    Pixels,
    Characters,
    Native
};

enum TRpPageValue
{
    BottomMargin = 0,
    PaperLength = 1,
    TopMargin = 2,
    PaperWidth = 3,
    LeftMargin = 4,
    RightMargin = 5,
    ColumnSpace = 6
};

enum TRpReportOption
{
    FirstPageHeader = 0x1,
    LastPageFooter = 0x2,
    CompressPages = 0x4
};

// What the printer set-up chose, kept for the next print.
struct TRpPrinterSettings
{
    int copies = 1;
    bool duplex = false;
    int firstPage = 0; // 0 and 0: every page
    int lastPage = 0;
    int outputBin = 0;
    // Printers come and go, so they are kept by name rather than by their place in a list;
    // empty: the system's default printer.
    QString printerName;
    // The printer page's orientation; none: as the report's pages lie. Pages printed on
    // paper turned the other way are scaled down to fit, never stretched.
    std::optional<QPageLayout::Orientation> orientation;

    bool operator==(const TRpPrinterSettings&) const = default;
};

// A report definition: page set-up, bands with their printables, a master dataset, and the
// layout run that turns them into pages on a TRpPrinter.
//
//     TRpReport report;
//     report.setDataset(materials);
//     auto& detail = report.addBand<TRpBand>(rbDetail);
//     detail.height = 100;
//     auto& name = detail.add<TRpDBText>();
//     ...
//     TRpPrinter pages;              // page images
//     report.run(pages);             // pages.pageList() holds them
//
// The report owns its bands; the band list keeps the stored order, which decides which band
// of a type is used and in which order sub-details of one master print.
class TRpReport
{
public:
    TRpReport();
    ~TRpReport();
    TRpReport(const TRpReport&) = delete;
    TRpReport& operator=(const TRpReport&) = delete;

    template <class B, class... Args> B& addBand(Args&&... args)
    {
        auto band = std::make_unique<B>(std::forward<Args>(args)...);
        B& ref = *band;
        if (band->width == 0)
            band->width = printableWidth();
        m_bands.push_back(std::move(band));
        return ref;
    }
    const std::vector<std::unique_ptr<TRpBand>>& bands() const { return m_bands; }
    // The first band of that type, none when there is none.
    TRpBand* findBand(TRpBandType type) const;
    // The child band that names band as its parent.
    TRpChildBand* childOf(const TRpBand& band) const;

    // Page set-up, native units, in the order of TRpPageValue.
    std::array<double, 7> pageSetup{100, 2970, 200, 2100, 200, 100, 0};
    int columns = 1;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize::PageSizeId paperSize = QPageSize::A4;
    int options = FirstPageHeader | LastPageFooter;
    bool printIfEmpty = false;
    TRpFrame frame;
    TextFont font;
    TRpPrinterSettings printerSettings;
    QString title;
    bool showProgress = true;
    // Returning false stops the run before any page.
    std::function<bool(TRpReport&)> beforePrint;

    void setDataset(data::Dataset* dataset) { m_dataset = dataset; }
    data::Dataset* dataset() const { return m_dataset; }

    double value(TRpPageValue v) const { return pageSetup[std::size_t(v)]; }
    double printableWidth() const;
    double columnWidth() const;

    // Display units for designer values; a run works in native units and switches back.
    TRpUnits units() const { return m_running ? TRpUnits::Native : m_units; }
    void setUnits(TRpUnits units) { m_units = units; }
    double toDisplay(double native, Qt::Orientation axis = Qt::Horizontal) const;
    double fromDisplay(double shown, Qt::Orientation axis = Qt::Horizontal) const;
    double zoom = 100; // percent, for Pixels

    // Lays the report out onto printer, which must be ready. Returns at once when a run is in
    // progress. Errors of the printer or the handlers end the run and the document.
    void run(TRpPrinter& printer);

    // Run state, readable by handlers and by tests.
    bool running() const { return m_running; }
    int pageCount() const { return m_pageCount; }
    int currentColumn() const { return m_currentColumn; }
    double currentX() const { return m_currentX; }
    double currentY() const { return m_currentY; }
    double pageFooterSize() const { return m_pageFooterSize; }
    bool lastPage() const { return m_lastPage; }
    bool available() const { return !m_running; }
    int detailNumber() const { return m_detailNumber; }
    int recordCount() const { return m_recordCount; }
    QVariant functionValue(const QString& name) const;

private:
    void collectSubDetails();
    void iterate(data::Dataset* dataset, TRpSubDetail* sub);
    void printBand(TRpBand& band, bool asFooter = false);
    double neededHeight(const TRpBand& band) const;
    void newPage();
    void startPage();
    void endPage();
    bool pageStarted() const { return m_currentY >= 0; }
    PageSpace pageSpace() const;
    // Prints what fits of p; true when it is finished.
    bool printPrintable(TRpBand& band, TRpPrintable& p, bool footer);
    void prepareText(TRpPrintable& p, const TRpBand& band);
    void drawFrame(const QRectF& rectNative, const TRpFrame& frame);
    void drawShape(const TRpShape& shape, const QRect& rect);

    std::vector<std::unique_ptr<TRpBand>> m_bands;
    QPointer<data::Dataset> m_dataset;
    TRpUnits m_units = TRpUnits::MM;

    TRpPrinter* m_printer = nullptr;
    bool m_running = false;
    double m_currentX = 0, m_currentY = -1;
    int m_pageCount = 0;
    int m_currentColumn = 1;
    double m_columnTop = 0;
    double m_pageFooterSize = 0;
    bool m_lastPage = false;
    bool m_skipNextForcedPage = false;
    int m_detailNumber = 0;
    int m_recordCount = 1;
    int m_pageBandDepth = 0; // inside a page header or footer, which never break pages
    std::map<QString, QVariant> m_functions;
    // Every length of text comes from here, whatever the device: one layout for all of them.
    TextMeasure m_measure;
    std::vector<TRpSubDetail*> m_reportBefore, m_reportAfter;
};

} // namespace zel::report
