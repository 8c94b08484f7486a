#include "report/preview/PreviewSource.h"

#include "report/TRpError.h"
#include "report/TRpPageList.h"
#include "report/TRpPrinter.h"
#include "report/emf/EmfHeader.h"

namespace zel::report {

namespace {

void printStored(TRpPageList& pages, const TRpPrinterSettings& settings, TRpPrinter& printer)
{
    printer.firstPage = settings.firstPage;
    printer.lastPage = settings.lastPage;
    printer.copies = settings.copies;
    printer.orientation = settings.orientation;
    printer.printStoredPages(pages);
}

QPageLayout::Orientation orientationOf(TRpPageList& pages)
{
    if (const auto paper = pages.loadedPaper())
        return paper->orientation;
    if (pages.pageCount() >= 1) {
        const QSizeF size = pages.pageRecord(1).image.frameTenthsMm();
        if (size.width() > size.height())
            return QPageLayout::Landscape;
    }
    return QPageLayout::Portrait;
}

} // namespace

PageListSource::PageListSource(std::unique_ptr<TRpPageList> list, QObject* parent)
    : PreviewSource(parent), m_list(list ? std::move(list) : std::make_unique<TRpPageList>())
{
}

PageListSource::~PageListSource() = default;

int PageListSource::pageCount() const
{
    return m_list->pageCount();
}

std::optional<emf::EmfImage> PageListSource::pageImage(int n)
{
    if (n < 1 || n > m_list->pageCount())
        return std::nullopt;
    return m_list->page(n);
}

void PageListSource::save(const QString& path)
{
    m_list->save(path);
}

void PageListSource::load(const QString& path)
{
    m_list->load(path);
    // Settings chosen for other pages do not fit these: a new file prints whole, as it lies.
    m_settings = {};
    Q_EMIT pagesAvailable(m_list->pageCount());
}

QPageLayout::Orientation PageListSource::pageOrientation()
{
    return orientationOf(*m_list);
}

void PageListSource::print(TRpPrinter& printer)
{
    printStored(*m_list, m_settings, printer);
}

ProducerSource::ProducerSource(TRpPrinter& producer, TRpReport* report, RunAgain runAgain,
                               QObject* parent)
    : PreviewSource(parent), m_producer(producer), m_report(report), m_runAgain(std::move(runAgain))
{
    connect(&producer, &TRpPrinter::pagesAvailable, this, &PreviewSource::pagesAvailable);
    connect(&producer, &TRpPrinter::progressChanged, this, &PreviewSource::progress);
}

ProducerSource::~ProducerSource() = default;

int ProducerSource::pageCount() const
{
    return m_done ? m_done->pageCount() : m_producer.availablePages();
}

std::optional<emf::EmfImage> ProducerSource::pageImage(int n)
{
    if (m_done)
        return m_done->pageImage(n);
    if (n < 1 || n > m_producer.availablePages())
        return std::nullopt;
    return m_producer.pageList().page(n);
}

void ProducerSource::save(const QString& path)
{
    if (m_done)
        m_done->save(path);
}

void ProducerSource::load(const QString& path)
{
    auto loaded = std::make_unique<PageListSource>();
    loaded->load(path); // throws before anything changes
    m_producer.cancel();
    m_done = std::move(loaded);
    Q_EMIT pagesAvailable(m_done->pageCount());
}

void ProducerSource::cancel()
{
    if (!m_done)
        m_producer.cancel();
}

TRpPrinterSettings& ProducerSource::printerSettings()
{
    if (isLoaded())
        return m_done->printerSettings();
    return m_report ? m_report->printerSettings : m_settings;
}

QPageLayout::Orientation ProducerSource::pageOrientation()
{
    if (isLoaded())
        return m_done->pageOrientation();
    if (m_report)
        return m_report->orientation;
    return m_done ? m_done->pageOrientation() : QPageLayout::Portrait;
}

void ProducerSource::print(TRpPrinter& printer)
{
    if (!m_done)
        throw TRpError(QStringLiteral("The report is still being produced"));
    if (isLoaded())
        m_done->print(printer);
    else if (m_runAgain)
        m_runAgain(printer); // the report brings its own printer settings
    else
        printStored(m_done->pages(), m_settings, printer);
}

void ProducerSource::finish()
{
    if (!m_done)
        m_done = std::make_unique<PageListSource>(m_producer.takePageList());
    Q_EMIT pagesAvailable(m_done->pageCount());
}

} // namespace zel::report
