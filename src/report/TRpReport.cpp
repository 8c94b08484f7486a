#include "report/TRpReport.h"

#include "data/engine/Dataset.h"
#include "report/LineBreaker.h"
#include "report/TRpPrinter.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace zel::report {

namespace {
// Thrown when the run is cancelled as a page starts: a long text of one row can fill many
// pages, and a cancel must not wait for all of them.
struct RunCancelled
{
};
} // namespace

TRpReport::TRpReport()
{
    font.family = QStringLiteral("Arial");
    font.pointSize = 10;
}

TRpReport::~TRpReport() = default;

TRpBand* TRpReport::findBand(TRpBandType type) const
{
    for (const auto& b : m_bands)
        if (b->type == type)
            return b.get();
    return nullptr;
}

TRpChildBand* TRpReport::childOf(const TRpBand& band) const
{
    for (const auto& b : m_bands)
        if (auto* child = dynamic_cast<TRpChildBand*>(b.get()); child && child->parent == &band)
            return child;
    return nullptr;
}

double TRpReport::printableWidth() const
{
    return value(PaperWidth) - value(LeftMargin) - value(RightMargin);
}

double TRpReport::columnWidth() const
{
    const int n = std::max(1, columns);
    return (printableWidth() - (n - 1) * value(ColumnSpace)) / n;
}

static double screenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

double TRpReport::toDisplay(double native, Qt::Orientation axis) const
{
    switch (units()) {
    case TRpUnits::MM:
        return native / 10;
    case TRpUnits::Inches:
        return native / 254;
    case TRpUnits::Pixels:
        return native / (254 / screenDpi()) * zoom / 100;
    case TRpUnits::Characters: {
        // One character cell of the report font on the screen, across or down.
        const QFontMetricsF m(QFont(font.family, qRound(font.pointSize)));
        const double pixels = axis == Qt::Horizontal ? m.averageCharWidth() : m.height();
        return native / (pixels * 254 / screenDpi());
    }
    case TRpUnits::Native:
        break;
    }
    return native;
}

double TRpReport::fromDisplay(double shown, Qt::Orientation axis) const
{
    const double one = toDisplay(1, axis);
    return one == 0 ? shown : shown / one;
}

QVariant TRpReport::functionValue(const QString& name) const
{
    const auto it = m_functions.find(name.toUpper());
    return it == m_functions.end() ? QVariant() : it->second;
}

void TRpReport::collectSubDetails()
{
    m_reportBefore.clear();
    m_reportAfter.clear();
    for (const auto& b : m_bands)
        if (auto* sub = dynamic_cast<TRpSubDetail*>(b.get())) {
            sub->printBeforeList.clear();
            sub->printAfterList.clear();
        }
    for (const auto& b : m_bands) {
        auto* sub = dynamic_cast<TRpSubDetail*>(b.get());
        if (!sub)
            continue;
        auto& before = sub->master ? sub->master->printBeforeList : m_reportBefore;
        auto& after = sub->master ? sub->master->printAfterList : m_reportAfter;
        (sub->printBefore ? before : after).push_back(sub);
    }
}

void TRpReport::run(TRpPrinter& printer)
{
    if (m_running)
        return;
    m_lastPage = false;
    m_skipNextForcedPage = false;
    m_running = true;
    struct Stop
    {
        TRpReport& r;
        ~Stop()
        {
            r.m_running = false;
            r.m_printer = nullptr;
        }
    } stop{*this};

    if (beforePrint && !beforePrint(*this))
        return;

    m_printer = &printer;
    printer.firstPage = printerSettings.firstPage;
    printer.lastPage = printerSettings.lastPage;
    printer.copies = printerSettings.copies;
    printer.orientation = printerSettings.orientation;
    printer.title = title;
    printer.beginDocument(QSizeF(value(PaperWidth), value(PaperLength)),
                          (options & CompressPages) != 0);
    try {
        m_currentY = -1;
        m_pageCount = 0;
        m_currentColumn = std::max(1, columns);
        m_detailNumber = 0;
        m_recordCount = 1;
        m_pageBandDepth = 0;

        m_pageFooterSize = 0;
        for (const auto& b : m_bands)
            if (b->type == rbPageFooter && b->enabled)
                for (const TRpBand* c = b.get(); c; c = childOf(*c))
                    m_pageFooterSize += c->height;

        m_functions[QStringLiteral("PAGENUMBER")] = 0;
        m_functions[QStringLiteral("COLUMNNUMBER")] = 1;
        m_functions[QStringLiteral("REPORTTITLE")] = title;
        collectSubDetails();

        iterate(m_dataset, nullptr);

        m_lastPage = true;
        if (!printer.cancelled())
            endPage();
    } catch (const RunCancelled&) {
        // The cancelled flag is set; the document is aborted below.
    } catch (...) {
        printer.abort();
        throw;
    }
    if (printer.cancelled())
        printer.abort();
    else
        printer.endDocument();
}

void TRpReport::iterate(data::Dataset* dataset, TRpSubDetail* sub)
{
    const auto& before = sub ? sub->printBeforeList : m_reportBefore;
    const auto& after = sub ? sub->printAfterList : m_reportAfter;
    TRpBand* band = sub ? sub : findBand(rbDetail);
    TRpBand* footer = sub ? sub->footerBand : findBand(rbSummary);

    // A report without a dataset prints its bands once, as if over one row.
    const bool rows = dataset && dataset->isOpen();
    if (rows)
        dataset->first();
    if (dataset && (!rows || dataset->eof())) {
        if (sub ? sub->printIfEmpty : printIfEmpty) {
            for (TRpSubDetail* s : before)
                iterate(s->dataset, s);
            for (TRpSubDetail* s : after)
                iterate(s->dataset, s);
        }
        return;
    }

    int detail = 0;
    int count = rows ? dataset->recordCount() : 1;
    if (count <= 0)
        count = 1;
    if (!sub) {
        m_detailNumber = 0;
        m_recordCount = count;
    }
    bool more = true;
    while (more) {
        QCoreApplication::processEvents();
        if (m_printer->cancelled())
            return;
        ++detail;
        if (!sub)
            m_detailNumber = detail;
        for (TRpSubDetail* s : before)
            iterate(s->dataset, s);
        if (band)
            printBand(*band);
        for (TRpSubDetail* s : after)
            iterate(s->dataset, s);
        if (rows) {
            dataset->next();
            more = !dataset->eof();
        } else {
            more = false;
        }
        if (!sub)
            m_printer->setProgress(detail * 100 / count);
    }
    if (footer)
        printBand(*footer);
}

double TRpReport::neededHeight(const TRpBand& band) const
{
    double h = band.height;
    if (const TRpChildBand* child = childOf(band))
        h += neededHeight(*child);
    return h;
}

PageSpace TRpReport::pageSpace() const
{
    return {value(PaperLength), value(TopMargin), value(BottomMargin), m_pageFooterSize};
}

void TRpReport::printBand(TRpBand& band, bool asFooter)
{
    asFooter = asFooter || band.type == rbPageFooter;
    bool print = band.enabled;
    if (print && band.beforePrint)
        band.beforePrint(band, print);
    if (print) {
        const bool forcible = band.type != rbTitle && band.type != rbPageHeader &&
                              band.type != rbPageFooter && band.type != rbOverlay && !asFooter;
        if (band.forceNewPage && forcible && pageStarted()) {
            if (m_skipNextForcedPage)
                m_skipNextForcedPage = false;
            else
                newPage();
        } else if (!pageStarted()) {
            newPage();
        } else if (!asFooter && pageSpace().bandMovesToNewPage(neededHeight(band), m_currentY)) {
            newPage();
        }

        if (band.height != 0) {
            const bool pageBand = asFooter || band.type == rbPageHeader;
            if (pageBand)
                ++m_pageBandDepth;
            Canvas& first = m_printer->canvas();
            first.fillRect(QRect(m_printer->x(m_currentX), m_printer->y(m_currentY),
                                 m_printer->sizeX(band.width), m_printer->sizeY(band.height)),
                           band.colour);
            band.extraHeight = 0;
            for (auto& p : band.printables)
                p->run = {};
            bool firstPass = true;
            for (;;) {
                bool allFinished = true;
                bool progress = false;
                for (auto& p : band.printables) {
                    if (!p->enabled || (!firstPass && p->run.finished))
                        continue;
                    const qsizetype before = p->run.nextLine;
                    const bool done = printPrintable(band, *p, asFooter);
                    progress = progress || done || p->run.nextLine > before;
                    allFinished = allFinished && done;
                }
                drawFrame(
                    QRectF(m_currentX, m_currentY, band.width, band.height + band.extraHeight),
                    band.frame);
                // A line taller than a whole empty page would never fit; page bands cannot
                // break the page they are part of.
                if (allFinished || m_pageBandDepth > 0 || (!firstPass && !progress))
                    break;
                newPage();
                band.extraHeight = 0;
                firstPass = false;
                m_printer->canvas().fillRect(
                    QRect(m_printer->x(m_currentX), m_printer->y(m_currentY),
                          m_printer->sizeX(band.width), m_printer->sizeY(band.height)),
                    band.colour);
            }
            m_currentY += band.height + band.extraHeight;
            band.extraHeight = 0;
            if (pageBand)
                --m_pageBandDepth;
        }
    }
    // A title fills the top of page 1 already, so the first forced page after it would be
    // an empty one.
    if (print && band.type == rbTitle)
        m_skipNextForcedPage = true;
    if (band.afterPrint)
        band.afterPrint(band, print);
    if (TRpChildBand* child = childOf(band))
        printBand(*child, asFooter);
}

void TRpReport::newPage()
{
    const int n = std::max(1, columns);
    if (m_currentColumn >= n) {
        m_currentColumn = 1;
        m_currentX = value(LeftMargin);
        startPage();
    } else {
        ++m_currentColumn;
        m_currentX += columnWidth() + value(ColumnSpace);
        m_currentY = m_columnTop;
    }
    m_functions[QStringLiteral("COLUMNNUMBER")] = m_currentColumn;
    if (!(m_currentColumn == 1 && m_pageCount == 1))
        if (TRpBand* header = findBand(rbColumnHeader))
            printBand(*header);
}

void TRpReport::startPage()
{
    endPage();
    QCoreApplication::processEvents();
    if (m_printer->cancelled())
        throw RunCancelled{};
    ++m_pageCount;
    m_functions[QStringLiteral("PAGENUMBER")] = m_pageCount;
    m_printer->newPage();
    m_currentY = value(TopMargin);
    m_currentX = value(LeftMargin);
    if (m_pageCount > 1 || (options & FirstPageHeader))
        if (TRpBand* header = findBand(rbPageHeader))
            printBand(*header);
    m_columnTop = m_currentY;
    if (m_pageCount == 1)
        if (const TRpBand* titleBand = findBand(rbTitle))
            m_columnTop += titleBand->height;
}

void TRpReport::endPage()
{
    if (!pageStarted())
        return;
    m_currentY = pageSpace().footerTop();
    m_currentX = value(LeftMargin);
    if (!(m_lastPage && !(options & LastPageFooter)))
        if (TRpBand* footer = findBand(rbPageFooter))
            printBand(*footer, true);
    drawFrame(QRectF(value(LeftMargin), value(TopMargin),
                     value(PaperWidth) - value(RightMargin) - value(LeftMargin),
                     value(PaperLength) - value(BottomMargin) - value(TopMargin)),
              frame);
}

void TRpReport::prepareText(TRpPrintable& p, const TRpBand& band)
{
    QString text = p.text(*this);
    if (p.onPrint)
        p.onPrint(p, text);
    const TextFont& f = p.font ? *p.font : font;
    double width = p.width;
    double left = p.left;
    if (text.isEmpty()) {
        p.run.lines.clear();
    } else if (p.autoSize) {
        p.run.lines = LineBreaker::pieces(text);
        double widest = 0;
        for (const QString& line : std::as_const(p.run.lines))
            widest = std::max(widest, m_measure.width(f, line));
        width = widest;
        if (p.frame.drawLeft)
            width += p.frame.nativeWidth();
        if (p.frame.drawRight)
            width += p.frame.nativeWidth();
        if (p.alignment == taRightJustify)
            left = p.left + p.width - width;
        else if (p.alignment == taCenter)
            left = p.left + (p.width - width) / 2;
    } else {
        p.run.lines = LineBreaker::wrap(text, p.width,
                                        [&](const QString& s) { return m_measure.width(f, s); });
    }
    if (p.alignToBand) {
        if (p.alignment == taRightJustify)
            left = band.width - width;
        else if (p.alignment == taCenter)
            left = (band.width - width) / 2;
        else
            left = 0;
    }
    p.run.left = left;
    p.run.width = width;
    p.run.nextLine = 0;
    p.run.started = true;
}

bool TRpReport::printPrintable(TRpBand& band, TRpPrintable& p, bool footer)
{
    Canvas& canvas = m_printer->canvas();
    if (!p.isText()) {
        double left = p.left;
        if (p.alignToBand)
            left = p.alignment == taRightJustify ? band.width - p.width
                   : p.alignment == taCenter     ? (band.width - p.width) / 2
                                                 : 0;
        const QRect rect(m_printer->x(m_currentX + left), m_printer->y(m_currentY + p.top),
                         m_printer->sizeX(p.width), m_printer->sizeY(p.height));
        drawShape(static_cast<const TRpShape&>(p), rect);
        drawFrame(QRectF(m_currentX + left, m_currentY + p.top, p.width, p.height), p.frame);
        p.run.finished = true;
        return true;
    }

    if (!p.run.started)
        prepareText(p, band);
    const TextFont& f = p.font ? *p.font : font;
    const TextBox box{m_currentY,    band.height, p.top, p.height, m_measure.lineHeight(f),
                      p.autoStretch, footer};
    const double x0 = m_currentX + p.run.left;
    const double y0 = m_currentY + p.top;
    double grown = 0; // below the printable's own rectangle, on this page
    const double footerTop = pageSpace().footerTop();

    auto rectNative = [&] { return QRectF(x0, y0, p.run.width, p.height + grown); };
    auto device = [&](const QRectF& r) {
        return QRect(m_printer->x(r.left()), m_printer->y(r.top()), m_printer->sizeX(r.width()),
                     m_printer->sizeY(r.height()));
    };
    if (!p.transparent)
        canvas.fillRect(device(rectNative()), p.backgroundColour);

    int k = 0;
    while (p.run.nextLine < p.run.lines.size()) {
        const LineFit fit = LineFit::next(box, k, grown, band.extraHeight, footerTop);
        if (fit.outcome == LineFit::Stops)
            break;
        if (fit.outcome == LineFit::Grows) {
            if (!p.transparent)
                canvas.fillRect(
                    device(QRectF(x0, y0 + p.height + grown, p.run.width, box.lineHeight)),
                    p.backgroundColour);
            grown += box.lineHeight;
            band.extraHeight = fit.bandExtra;
        }
        const QString& line = p.run.lines[p.run.nextLine];
        const double w = m_measure.width(f, line);
        double x = x0;
        if (p.alignment == taRightJustify)
            x = x0 + p.run.width - w;
        else if (p.alignment == taCenter)
            x = x0 + (p.run.width - w) / 2;
        canvas.drawText(QPoint(m_printer->x(x), m_printer->y(y0 + k * box.lineHeight)), line, f,
                        device(rectNative()));
        ++p.run.nextLine;
        ++k;
    }
    drawFrame(rectNative(), p.frame);
    p.run.finished = !p.autoStretch || p.run.nextLine >= p.run.lines.size();
    return p.run.finished;
}

void TRpReport::drawFrame(const QRectF& r, const TRpFrame& f)
{
    if (!f.any())
        return;
    Canvas& canvas = m_printer->canvas();
    const QRect d(m_printer->x(r.left()), m_printer->y(r.top()), m_printer->sizeX(r.width()),
                  m_printer->sizeY(r.height()));
    const int tx = std::max(1, m_printer->sizeX(f.nativeWidth()));
    const int ty = std::max(1, m_printer->sizeY(f.nativeWidth()));
    if (f.drawTop)
        canvas.drawBar(QRect(d.left(), d.top(), d.width(), ty), f.colour);
    if (f.drawBottom)
        canvas.drawBar(QRect(d.left(), d.top() + d.height() - ty, d.width(), ty), f.colour);
    if (f.drawLeft)
        canvas.drawBar(QRect(d.left(), d.top(), tx, d.height()), f.colour);
    if (f.drawRight)
        canvas.drawBar(QRect(d.left() + d.width() - tx, d.top(), tx, d.height()), f.colour);
}

void TRpReport::drawShape(const TRpShape& s, const QRect& r)
{
    Canvas& canvas = m_printer->canvas();
    const int midX = r.left() + r.width() / 2;
    const int midY = r.top() + r.height() / 2;
    const int right = r.left() + r.width();
    const int bottom = r.top() + r.height();
    switch (s.kind) {
    case rpsRectangle:
        canvas.drawRectangle(r, s.pen, s.brush);
        break;
    case rpsCircle:
        canvas.drawEllipse(r, s.pen, s.brush);
        break;
    case rpsVertLine:
        canvas.drawRule({midX, r.top()}, {midX, bottom}, s.pen);
        break;
    case rpsHorLine:
        canvas.drawRule({r.left(), midY}, {right, midY}, s.pen);
        break;
    case rpsTopAndBottom:
        canvas.drawRule(r.topLeft(), {right, r.top()}, s.pen);
        canvas.drawRule({r.left(), bottom}, {right, bottom}, s.pen);
        break;
    case rpsRightAndLeft:
        canvas.drawRule(r.topLeft(), {r.left(), bottom}, s.pen);
        canvas.drawRule({right, r.top()}, {right, bottom}, s.pen);
        break;
    }
}

} // namespace zel::report
