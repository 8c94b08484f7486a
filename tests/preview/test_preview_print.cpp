// Printing from the preview window, on the offscreen platform: the printer set-up kept for the
// next print, a live report run again for the printer, loaded files on their own paper, the
// progress window and its Cancel, the buttons after Load Report, and rules at small zooms.
// Printed output goes to PDF files (a QPrinter writing PDF, and the real CUPS queue ZELPDF
// when scripts/test has set it up), read back with poppler-utils.
#include "TempDir.h"
#include "common/DemoReport.h"
#include "report/TRpPageList.h"
#include "report/TRpPrinter.h"
#include "report/TRpReport.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/TRpPreview.h"
#include "report/preview/TRpStandardPreview.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>
#include <QtTest>
#include <cups/cups.h>
#include <pwd.h>
#include <unistd.h>

using namespace zel;
using namespace zel::report;

namespace {

// A report of the engine alone: a header with the page frame's top rule, a circle, a text of
// numbered lines that runs over several pages, and the page number in the footer.
struct NumberedReport
{
    explicit NumberedReport(int lines)
    {
        report.frame.drawTop = true;
        auto& header = report.addBand<TRpBand>(rbPageHeader);
        header.height = 250;
        header.frame.drawTop = true;
        auto& rule = header.add<TRpShape>();
        rule.kind = rpsHorLine;
        rule.top = 198;
        rule.height = 5;
        rule.width = 1802;
        rule.pen.width = 5;
        auto& circle = header.add<TRpShape>();
        circle.kind = rpsCircle;
        circle.left = 1400;
        circle.top = 20;
        circle.width = circle.height = 150;
        circle.pen.colour = QColor(0, 0, 200);
        circle.brush = Brush{QColor(0, 0, 200)};
        auto& detail = report.addBand<TRpBand>(rbDetail);
        detail.height = 60;
        auto& text = detail.add<TRpLabel>();
        text.width = 1500;
        text.height = 45;
        text.autoStretch = true;
        QStringList l;
        for (int i = 1; i <= lines; ++i)
            l << QStringLiteral("line %1").arg(i);
        text.caption = l.join(QLatin1Char('\r'));
        auto& footer = report.addBand<TRpBand>(rbPageFooter);
        footer.height = 100;
        auto& page = footer.add<TRpSysData>();
        page.prefix = QStringLiteral("Page ");
        page.width = 300;
        page.height = 50;
        page.autoSize = true;
    }
    TRpReport report;
};

QString tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Page sizes of a PDF file in points, as pdfinfo gives them (rotation applied).
QList<QSizeF> pageSizes(const QString& pdf)
{
    const QString info = run(tool("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                               QStringLiteral("-l"), QStringLiteral("999"), pdf});
    static const QRegularExpression size(
        QStringLiteral("Page +\\d+ size: +([\\d.]+) x ([\\d.]+) pts"));
    static const QRegularExpression rotation(QStringLiteral("Page +\\d+ rot: +(\\d+)"));
    QList<QSizeF> sizes;
    for (auto it = size.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    int page = 0;
    for (auto it = rotation.globalMatch(info); it.hasNext(); ++page)
        if (it.next().captured(1).toInt() % 180 == 90 && page < sizes.size())
            sizes[page].transpose();
    return sizes;
}

QString pageText(const QString& pdf, int page)
{
    return run(tool("pdftotext"),
               {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                QString::number(page), pdf, QStringLiteral("-")});
}

// A printed page as a person sees it: the box of everything drawn and the box of one colour,
// in millimetres.
struct Rendered
{
    QSizeF page;
    QRectF ink;
    QRectF colour;
};

Rendered render(const QString& pdf, QRgb colour)
{
    constexpr int dpi = 100;
    test::TempDir dir;
    const QString prefix = dir.file(QStringLiteral("page"));
    run(tool("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QStringLiteral("1"),
         QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-png"), pdf, prefix});
    QImage image;
    for (const QString& name : {QStringLiteral("page-1.png"), QStringLiteral("page-01.png"),
                                QStringLiteral("page-001.png")})
        if (image.load(dir.file(name)))
            break;
    Rendered r;
    if (image.isNull())
        return r;
    const double mm = 25.4 / dpi;
    r.page = QSizeF(image.width() * mm, image.height() * mm);
    QRect ink, coloured;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qGray(p) < 200)
                ink |= QRect(x, y, 1, 1);
            if (qAbs(qRed(p) - qRed(colour)) < 40 && qAbs(qGreen(p) - qGreen(colour)) < 40 &&
                qAbs(qBlue(p) - qBlue(colour)) < 40)
                coloured |= QRect(x, y, 1, 1);
        }
    r.ink = QRectF(ink.x() * mm, ink.y() * mm, ink.width() * mm, ink.height() * mm);
    r.colour =
        QRectF(coloured.x() * mm, coloured.y() * mm, coloured.width() * mm, coloured.height() * mm);
    return r;
}

double aspect(const QSizeF& s)
{
    return s.height() > 0 ? s.width() / s.height() : 0;
}

bool near(double a, double b, double share)
{
    return qAbs(a - b) <= qAbs(b) * share;
}

// The user presses Cancel in the progress window.
void pressCancel()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<TRpProgressForm*>(w); form && form->isVisible())
            form->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
}

// Where the PDF printer writes: the PDF folder of the job's owner, a file named after the job.
QDir printerOutput()
{
    const passwd* owner = getpwuid(getuid());
    return QDir(QFile::decodeName(owner ? owner->pw_dir : "") + QStringLiteral("/PDF"));
}

} // namespace

class PreviewPrintTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    QStringList messages;

    // A preview over a finished live run of report; Print runs it again.
    struct Live
    {
        explicit Live(TRpReport& r, PreviewPrintTest& test) : report(r)
        {
            source = std::make_unique<ProducerSource>(producer, &report, [this](TRpPrinter& p) {
                ++runs;
                if (onRun)
                    onRun(p);
                report.run(p);
            });
            window = std::make_unique<TRpStandardPreview>(source.get());
            window->showMessage = [&test](const QString& text) { test.messages << text; };
            report.run(producer);
            source->finish();
            window->show();
            QCoreApplication::processEvents();
        }
        TRpReport& report;
        TRpPrinter producer;
        std::unique_ptr<ProducerSource> source;
        std::unique_ptr<TRpStandardPreview> window;
        int runs = 0;
        std::function<void(TRpPrinter&)> onRun;
    };

    void toPdf(TRpStandardPreview& window, const QString& path, int dpi = 600)
    {
        window.preparePrinter = [path, dpi](QPrinter& printer) {
            printer.setOutputFileName(path);
            printer.setResolution(dpi);
        };
    }

    bool havePoppler() const
    {
        return !tool("pdfinfo").isEmpty() && !tool("pdftotext").isEmpty() &&
               !tool("pdftoppm").isEmpty();
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        messages.clear();
    }
    void cleanup() { dir.reset(); }

    void buttonsAfterLoadReport_data()
    {
        QTest::addColumn<bool>("live");
        QTest::newRow("over a finished report run") << true;
        QTest::newRow("over a loaded file") << false;
    }
    void buttonsAfterLoadReport()
    {
        QFETCH(bool, live);
        const QString file = dir->file(QStringLiteral("three.frp"));
        makeDemoReport(file, 3, false);
        NumberedReport numbered(10);
        std::unique_ptr<Live> running;
        std::unique_ptr<PageListSource> pages;
        std::unique_ptr<TRpStandardPreview> own;
        TRpStandardPreview* window = nullptr;
        if (live) {
            running = std::make_unique<Live>(numbered.report, *this);
            window = running->window.get();
            QTRY_VERIFY(window->PrintSetup->isEnabled());
        } else {
            auto list = std::make_unique<TRpPageList>();
            list->load(file);
            pages = std::make_unique<PageListSource>(std::move(list));
            own = std::make_unique<TRpStandardPreview>(pages.get());
            window = own.get();
            window->show();
        }
        window->chooseOpenFile = [&](const QString&, const QString&) { return file; };
        window->LoadReportClick();
        // The pages-available notification of the load comes through the event loop; the
        // buttons must still be as Load Report left them once it has.
        QTest::qWait(50);
        QCoreApplication::processEvents();
        QCOMPARE(window->pagePositionText(), QStringLiteral("Page 1 of 3"));
        QVERIFY(window->Print->isEnabled());
        QVERIFY(!window->PrintSetup->isEnabled());
        QVERIFY(messages.isEmpty());
    }

    void printerSetupIsPresetAndKept()
    {
        NumberedReport numbered(150);
        Live live(numbered.report, *this);
        const int pages = live.source->pageCount();
        QVERIFY(pages >= 3);
        int asked = 0;
        QStringList wrong;
        const auto expect = [&wrong](bool ok, const char* what) {
            if (!ok)
                wrong << QString::fromLatin1(what);
        };
        live.window->execPrintDialog = [&](QPrintDialog& dialog) -> bool {
            ++asked;
            QPrinter& printer = *dialog.printer();
            if (asked == 1) {
                // Preset from the report: its orientation, one copy, pages 1 to the count.
                expect(dialog.minPage() == 1 && dialog.maxPage() == pages, "page limits");
                expect(printer.fromPage() == 1 && printer.toPage() == pages, "page range");
                expect(printer.printRange() == QPrinter::AllPages, "all pages");
                expect(printer.pageLayout().orientation() == QPageLayout::Portrait, "portrait");
                expect(printer.copyCount() == 1, "one copy");
                expect(dialog.testOption(QAbstractPrintDialog::PrintPageRange), "range entry");
                expect(!dialog.testOption(QAbstractPrintDialog::PrintSelection), "no selection");
                expect(!dialog.testOption(QAbstractPrintDialog::PrintToFile), "no file");
                // The user's choice.
                printer.setCopyCount(3);
                printer.setPageOrientation(QPageLayout::Landscape);
                printer.setPrintRange(QPrinter::PageRange);
                printer.setFromTo(2, 3);
                return true;
            }
            // Opened again: what was chosen is what it shows.
            expect(printer.copyCount() == 3, "kept copies");
            expect(printer.pageLayout().orientation() == QPageLayout::Landscape, "kept landscape");
            expect(printer.printRange() == QPrinter::PageRange && printer.fromPage() == 2 &&
                       printer.toPage() == 3,
                   "kept range");
            printer.setCopyCount(7);
            return false; // Cancel changes nothing
        };
        live.window->PrintSetup->trigger();
        const TRpPrinterSettings& kept = numbered.report.printerSettings;
        QCOMPARE(kept.copies, 3);
        QCOMPARE(kept.firstPage, 2);
        QCOMPARE(kept.lastPage, 3);
        QVERIFY(kept.orientation == QPageLayout::Landscape);
        live.window->PrintSetup->trigger();
        QCOMPARE(asked, 2);
        QCOMPARE(kept.copies, 3);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral(", "))));
    }

    // Print runs the report again straight to the printer, at the printer's resolution, with
    // what the printer set-up chose: pages 2 to 3, landscape paper.
    void printRunsTheReportAgainWithTheKeptSettings()
    {
        if (!havePoppler())
            QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm) are not installed");
        NumberedReport numbered(150);
        Live live(numbered.report, *this);
        QVERIFY(live.source->pageCount() >= 3);
        numbered.report.printerSettings.firstPage = 2;
        numbered.report.printerSettings.lastPage = 3;
        numbered.report.printerSettings.orientation = QPageLayout::Landscape;
        const QString pdf = dir->file(QStringLiteral("printed.pdf"));
        toPdf(*live.window, pdf);
        bool progressShown = false;
        double dpi = 0;
        QList<int> progress;
        live.onRun = [&](TRpPrinter& printer) {
            dpi = printer.dpiX();
            connect(&printer, &TRpPrinter::progressChanged, &printer,
                    [&progress](int percent) { progress << percent; });
            for (QWidget* w : QApplication::topLevelWidgets())
                progressShown =
                    progressShown || (qobject_cast<TRpProgressForm*>(w) && w->isVisible());
        };
        live.window->Print->trigger();
        QVERIFY(messages.isEmpty());
        QCOMPARE(live.runs, 1);
        QCOMPARE(dpi, 600.0);
        QVERIFY(progressShown);
        QVERIFY(!live.window->printing());
        // Page by page, in the 5 % steps the progress window shows, up to 100 %. (The window
        // lets events through as it shows a step, so a listener after it may see the steps
        // in another order.)
        std::sort(progress.begin(), progress.end());
        QVERIFY2(progress.size() >= 3, qPrintable(QString::number(progress.size())));
        QCOMPARE(progress.last(), 100);
        for (qsizetype i = 0; i < progress.size(); ++i) {
            QCOMPARE(progress[i] % 5, 0);
            QVERIFY(i == 0 || progress[i] > progress[i - 1]);
        }

        const QList<QSizeF> sizes = pageSizes(pdf);
        QCOMPARE(sizes.size(), 2);
        QVERIFY(sizes[0].width() > sizes[0].height()); // landscape paper
        QVERIFY(pageText(pdf, 1).contains(QStringLiteral("Page 2")));
        QVERIFY(pageText(pdf, 2).contains(QStringLiteral("Page 3")));
        // An upright page on paper turned sideways is scaled down, not stretched: the circle
        // stays round.
        const Rendered r = render(pdf, qRgb(0, 0, 200));
        QVERIFY(!r.colour.isEmpty());
        QVERIFY2(
            near(aspect(r.colour.size()), 1, 0.05),
            qPrintable(
                QStringLiteral("circle %1 x %2 mm").arg(r.colour.width()).arg(r.colour.height())));
    }

    void cancelInTheProgressWindowStopsThePrint()
    {
        NumberedReport numbered(400);
        Live live(numbered.report, *this);
        const int pages = live.source->pageCount();
        QVERIFY(pages >= 6);
        const QString pdf = dir->file(QStringLiteral("cancelled.pdf"));
        toPdf(*live.window, pdf, 150);
        int made = 0;
        live.onRun = [&](TRpPrinter& printer) {
            connect(&printer, &TRpPrinter::pagesAvailable, &printer, [&made](int count) {
                made = qMax(made, count);
                if (count == 2)
                    pressCancel();
            });
        };
        live.window->Print->trigger();
        QCOMPARE(live.runs, 1);
        QVERIFY(made >= 2);
        QVERIFY2(made < pages, qPrintable(QStringLiteral("%1 of %2 pages").arg(made).arg(pages)));
        QVERIFY(!live.window->printing());
        QVERIFY(messages.isEmpty());

        // The window stays usable, and the next print is whole.
        live.onRun = nullptr;
        const QString again = dir->file(QStringLiteral("again.pdf"));
        toPdf(*live.window, again, 150);
        live.window->Print->trigger();
        QCOMPARE(live.runs, 2);
        if (havePoppler())
            QCOMPARE(pageSizes(again).size(), pages);
    }

    // A long report printed to the real queue, pages 1 to 2 chosen. Cancel while later pages
    // are still laid out: nothing reaches the queue and the printer writes nothing. Cancel
    // once the finished job is being handed over: the queue withdraws it.
    void cancelReachesThePrintQueue_data()
    {
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("while the pages are made") << false;
        QTest::newRow("while the job is handed over") << true;
    }
    void cancelReachesThePrintQueue()
    {
        QFETCH(bool, handedOver);
        if (!QPrinterInfo::availablePrinterNames().contains(QStringLiteral("ZELPDF")))
            QSKIP("no CUPS queue ZELPDF (scripts/test sets one up)");
        NumberedReport numbered(400);
        Live live(numbered.report, *this);
        numbered.report.printerSettings.firstPage = 1;
        numbered.report.printerSettings.lastPage = 2;
        const QString title =
            QStringLiteral("zelcancel") + QUuid::createUuid().toString(QUuid::Id128);
        live.window->preparePrinter = [&](QPrinter& printer) {
            printer.setPrinterName(QStringLiteral("ZELPDF"));
            printer.setDocName(title);
        };
        // The queue's jobs of this title, done or not, by number and state; whatever happens,
        // none goes on printing and no file of them stays.
        const auto known = [&title] {
            QList<std::pair<int, int>> found;
            cups_job_t* jobs = nullptr;
            const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "ZELPDF", 0, CUPS_WHICHJOBS_ALL);
            for (int i = 0; i < n; ++i)
                if (QString::fromUtf8(jobs[i].title) == title)
                    found.append({jobs[i].id, jobs[i].state});
            cupsFreeJobs(n, jobs);
            return found;
        };
        const auto leaveNothing = qScopeGuard([&] {
            for (const auto& [job, state] : known())
                cupsCancelJob2(CUPS_HTTP_DEFAULT, "ZELPDF", job, 0);
            for (const QString& file : printerOutput().entryList({title + u'*'}, QDir::Files))
                QFile::remove(printerOutput().filePath(file));
        });
        QList<int> handed;
        live.onRun = [&](TRpPrinter& printer) {
            connect(&printer, &TRpPrinter::jobHandedOver, &printer, [&](int job) {
                handed << job;
                if (handedOver)
                    pressCancel();
            });
            connect(&printer, &TRpPrinter::pagesAvailable, &printer, [&](int count) {
                if (count == 3 && !handedOver) // pages 1 and 2 made, page 3 under way
                    pressCancel();
            });
        };
        live.window->Print->trigger();
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'|')));
        QCOMPARE(handed.size(), handedOver ? 1 : 0);
        using Jobs = QList<std::pair<int, int>>;
        QCOMPARE(known(), handedOver ? Jobs({{handed.value(0), IPP_JSTATE_CANCELED}}) : Jobs());
        QTest::qWait(3000); // nor does the printer write anything, given time
        QCOMPARE(printerOutput().entryList({title + u'*'}, QDir::Files), QStringList());
    }

    // A saved report file made for landscape paper prints and exports on landscape paper, its
    // pages neither stretched nor cut: the demonstration page's 120 x 80 px ellipse (31.75 x
    // 21.17 mm) keeps its shape and size, and its frame (257 x 170 mm) is whole.
    void loadedLandscapeFilePrintsAndExportsOnItsPaper_data()
    {
        QTest::addColumn<bool>("print");
        QTest::newRow("printed") << true;
        QTest::newRow("exported") << false;
    }
    void loadedLandscapeFilePrintsAndExportsOnItsPaper()
    {
        if (!havePoppler())
            QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm) are not installed");
        QFETCH(bool, print);
        const QString file = dir->file(QStringLiteral("landscape.frp"));
        makeDemoReport(file, 2, false, QPageLayout::Landscape);
        auto list = std::make_unique<TRpPageList>();
        list->load(file);
        PageListSource source(std::move(list));
        TRpStandardPreview window(&source);
        window.showMessage = [this](const QString& text) { messages << text; };
        window.show();
        const QString pdf = dir->file(QStringLiteral("out.pdf"));
        if (print) {
            toPdf(window, pdf, 300);
            window.Print->trigger();
        } else {
            window.chooseSaveFile = [&](const QString&, const QString&, const QString&) {
                return pdf;
            };
            window.ExportPdf->trigger();
        }
        QVERIFY(messages.isEmpty());
        const QList<QSizeF> sizes = pageSizes(pdf);
        QCOMPARE(sizes.size(), 2);
        QVERIFY(near(sizes[0].width(), 842, 0.01) && near(sizes[0].height(), 595, 0.01));
        checkLandscapeDemoPage(render(pdf, qRgb(250, 200, 60)));
    }

    // The same through the real print queue: what CUPS makes of it is an A4 sheet with the
    // landscape page on it, turned or not, never squashed.
    void loadedLandscapeFileThroughTheCupsQueue()
    {
        const QString queue = QStringLiteral("ZELPDF");
        if (!QPrinterInfo::availablePrinterNames().contains(queue))
            QSKIP("no CUPS queue ZELPDF (scripts/test sets one up)");
        if (!havePoppler())
            QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm) are not installed");
        const QString file = dir->file(QStringLiteral("landscape.frp"));
        makeDemoReport(file, 1, false, QPageLayout::Landscape);
        auto list = std::make_unique<TRpPageList>();
        list->load(file);
        PageListSource source(std::move(list));
        TRpStandardPreview window(&source);
        window.showMessage = [this](const QString& text) { messages << text; };
        const QString job =
            QStringLiteral("zelland") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        window.preparePrinter = [&](QPrinter& printer) {
            printer.setPrinterName(queue);
            printer.setDocName(job);
        };
        window.Print->trigger();
        QVERIFY(messages.isEmpty());

        // The PDF printer writes into the PDF folder of the job's owner, named after the job,
        // and the file appears before it is complete.
        const QDir out = printerOutput();
        QString found;
        QList<QSizeF> sizes;
        QElapsedTimer waited;
        waited.start();
        while (sizes.isEmpty() && waited.elapsed() < 90000) {
            const QStringList files = out.entryList({job + QStringLiteral("*.pdf")}, QDir::Files);
            if (!files.isEmpty()) {
                found = out.filePath(files.front());
                sizes = pageSizes(found);
            }
            if (sizes.isEmpty())
                QThread::msleep(200);
        }
        if (found.isEmpty())
            QSKIP("the print queue wrote no PDF");
        QCOMPARE(sizes.size(), 1);
        const QSizeF sheet(qMin(sizes[0].width(), sizes[0].height()),
                           qMax(sizes[0].width(), sizes[0].height()));
        QVERIFY2(near(sheet.width(), 595, 0.01) && near(sheet.height(), 842, 0.01),
                 qPrintable(QStringLiteral("%1 x %2 pt").arg(sheet.width()).arg(sheet.height())));
        checkLandscapeDemoPage(render(found, qRgb(250, 200, 60)));
        QFile::remove(found);
    }

    // Thin rules of a page (the page frame's and the header band's top edges, the header's
    // rule) stay visible however small the zoom: at least one dark screen pixel where each is.
    void rulesStayVisibleAtEveryZoom_data()
    {
        QTest::addColumn<int>("zoom");
        for (const int zoom : {100, 75, 50, 40, 33, 25, 20, 10, 5})
            QTest::addRow("%d%%", zoom) << zoom;
    }
    void rulesStayVisibleAtEveryZoom()
    {
        QFETCH(int, zoom);
        NumberedReport numbered(20);
        numbered.report.findBand(rbPageHeader)
            ->printables.erase(numbered.report.findBand(rbPageHeader)->printables.begin() +
                               1); // no circle
        Live live(numbered.report, *this);
        TRpPreview* view = live.window->view();
        view->setZoom(zoom);
        QCoreApplication::processEvents();
        const QImage image = view->imageControl()->grab().toImage();
        // Native positions of the rules: the top margin (page frame and header frame) and the
        // middle of the header's rule; the footer's frame edges are none here.
        const double scale = 96.0 / 254 * zoom / 100;
        const int x = image.width() / 2;
        for (const double native : {200.0, 200.0 + 198 + 2.5}) {
            const int y = 1 + int(native * scale);
            bool dark = false;
            for (int dy = -2; dy <= 2 && !dark; ++dy)
                if (y + dy >= 0 && y + dy < image.height())
                    dark = qGray(image.pixel(x, y + dy)) < 160;
            QVERIFY2(dark,
                     qPrintable(QStringLiteral("no rule near row %1 at %2%").arg(y).arg(zoom)));
        }
    }

private:
    void checkLandscapeDemoPage(const Rendered& r)
    {
        QVERIFY(!r.ink.isEmpty());
        QVERIFY(!r.colour.isEmpty());
        const QSizeF ellipse(qMax(r.colour.width(), r.colour.height()),
                             qMin(r.colour.width(), r.colour.height()));
        const QSizeF frame(qMax(r.ink.width(), r.ink.height()),
                           qMin(r.ink.width(), r.ink.height()));
        const QString seen = QStringLiteral("ellipse %1 x %2 mm, frame %3 x %4 mm")
                                 .arg(ellipse.width())
                                 .arg(ellipse.height())
                                 .arg(frame.width())
                                 .arg(frame.height());
        QVERIFY2(near(ellipse.width(), 31.75, 0.05) && near(ellipse.height(), 21.17, 0.06),
                 qPrintable(seen));
        QVERIFY2(near(frame.width(), 257, 0.02) && near(frame.height(), 170, 0.02),
                 qPrintable(seen));
        // Long side of the ellipse along the long side of the frame: the page is turned as a
        // whole, if at all.
        QVERIFY2((r.colour.width() > r.colour.height()) == (r.ink.width() > r.ink.height()),
                 qPrintable(seen));
    }
};

QTEST_MAIN(PreviewPrintTest)
#include "test_preview_print.moc"
