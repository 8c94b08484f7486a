#include "report/preview/PreviewSource.h"

#include "report/TRpPageList.h"
#include "report/emf/EmfPlayer.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace zel::report {

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
    Q_EMIT pagesAvailable(m_list->pageCount());
}

bool PageListSource::printerSetup(QWidget* parent)
{
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, std::max(1, pageCount()));
    dialog.setFromTo(1, std::max(1, pageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_copies = printer.copyCount();
    if (printer.printRange() == QPrinter::PageRange) {
        m_first = printer.fromPage();
        m_last = printer.toPage();
    } else {
        m_first = m_last = 0;
    }
    return true;
}

bool PageListSource::print(QWidget* parent)
{
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, std::max(1, pageCount()));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (pageCount() == 0 || dialog.exec() != QDialog::Accepted)
        return false;
    const int first =
        printer.printRange() == QPrinter::PageRange ? printer.fromPage() : (m_first ? m_first : 1);
    const int last = printer.printRange() == QPrinter::PageRange ? printer.toPage()
                                                                 : (m_last ? m_last : pageCount());
    QPainter painter;
    bool started = false;
    for (int n = std::max(1, first); n <= std::min(last, pageCount()); ++n) {
        const std::optional<emf::EmfImage> image = m_list->page(n);
        if (!image)
            continue;
        if (!started) {
            if (!painter.begin(&printer))
                return false;
            started = true;
        } else {
            printer.newPage();
        }
        // Stored pages are stretched over the printable area, whatever the margins.
        emf::EmfPlayer::play(
            *image, painter,
            QRectF(QPointF(0, 0),
                   printer.pageLayout().paintRectPixels(printer.resolution()).size()));
    }
    if (started)
        painter.end();
    return started;
}

} // namespace zel::report

#include "report/TRpPrinter.h"

namespace zel::report {

ProducerSource::ProducerSource(TRpPrinter& producer, QObject* parent)
    : PreviewSource(parent), m_producer(producer)
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

bool ProducerSource::print(QWidget* parent)
{
    return m_done && m_done->print(parent);
}

bool ProducerSource::printerSetup(QWidget* parent)
{
    return m_done && m_done->printerSetup(parent);
}

void ProducerSource::cancel()
{
    if (!m_done)
        m_producer.cancel();
}

void ProducerSource::finish()
{
    if (!m_done)
        m_done = std::make_unique<PageListSource>(m_producer.takePageList());
    Q_EMIT pagesAvailable(m_done->pageCount());
}

} // namespace zel::report
