#include "Fixture.h"
#include "ReportTestData.h"
#include "common/ReportTool.h"
#include "data/engine/Dataset.h"
#include "report/TRpError.h"
#include "report/TRpPrinter.h"
#include "report/TRpReport.h"
#include "report/TextMeasure.h"
#include "report/emf/EmfWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <optional>

using namespace zel::report;
using zel::data::Dataset;

namespace {

using zel::test::textsOf;

QStringList stringsOf(const emf::EmfImage& image)
{
    QStringList s;
    for (const auto& t : textsOf(image))
        s << t.text;
    return s;
}

int pdfPages(const QString& path)
{
    const QByteArray pdf = zel::test::readFile(path);
    return int(
        QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

zel::data::DatabaseContent contentWith(const std::vector<std::pair<QString, QString>>& rows)
{
    zel::data::DatabaseContent c = zel::test::smallContent();
    c.materials.clear();
    int n = 0;
    for (const auto& [name, odour] : rows) {
        zel::data::MaterialRow m;
        m.name = name;
        m.cas = QStringLiteral("%1-00-0").arg(100 + n++);
        m.odour = odour;
        c.materials.push_back(m);
    }
    return c;
}

// A small database, a materials dataset over it, and a report with a header, a detail band
// printing the name, and a footer with the page number.
struct Fixture
{
    explicit Fixture(const zel::data::DatabaseContent& content)
        : db(content), materials(QStringLiteral("TableMaterial"))
    {
        materials.setDatabase(db.db.get());
        materials.setTableName(QStringLiteral("MATERIAL.DB"));
        materials.open();
        report.setDataset(&materials);

        header = &report.addBand<TRpBand>(rbPageHeader);
        header->height = 100;
        label(*header, QStringLiteral("HEADER"));

        detail = &report.addBand<TRpBand>(rbDetail);
        detail->height = 60;
        name = &detail->add<TRpDBText>();
        name->dataset = &materials;
        name->fieldName = QStringLiteral("name");
        name->width = 1000;
        name->height = 50;

        footer = &report.addBand<TRpBand>(rbPageFooter);
        footer->height = 100;
        auto& page = footer->add<TRpSysData>();
        page.kind = rpsPageNumber;
        page.prefix = QStringLiteral("Page ");
        page.width = 300;
        page.height = 50;
        page.top = 20;
        page.autoSize = true;
    }

    static TRpLabel& label(TRpBand& band, const QString& caption, double top = 0)
    {
        auto& l = band.add<TRpLabel>();
        l.caption = caption;
        l.top = top;
        l.width = 1000;
        l.height = 50;
        return l;
    }

    std::vector<QStringList> runToImages()
    {
        TRpPrinter printer;
        report.run(printer);
        std::vector<QStringList> pages;
        for (int n = 1; n <= printer.pageList().pageCount(); ++n)
            pages.push_back(stringsOf(*printer.pageList().page(n)));
        return pages;
    }

    zel::test::DatabaseFixture db;
    Dataset materials;
    TRpReport report;
    TRpBand* header = nullptr;
    TRpBand* detail = nullptr;
    TRpBand* footer = nullptr;
    TRpDBText* name = nullptr;
};

QString manyLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("line %1").arg(i);
    return lines.join(QLatin1Char('\r'));
}

} // namespace

TEST(ReportEngine, EmptyMasterGivesNoPageUnlessSubDetailsPrintIfEmpty)
{
    for (const bool printIfEmpty : {false, true}) {
        SCOPED_TRACE(printIfEmpty);
        Fixture f(contentWith({}));
        f.report.printIfEmpty = printIfEmpty;
        // The sub-detail iterates the small content's synonyms, which are never empty.
        Dataset synonyms;
        synonyms.setDatabase(f.db.db.get());
        synonyms.setTableName(QStringLiteral("SYNONYMS.DB"));
        synonyms.open();
        auto& sub = f.report.addBand<TRpSubDetail>();
        sub.dataset = &synonyms;
        sub.height = 60;
        Fixture::label(sub, QStringLiteral("SYNONYM"));

        TRpPrinter printer;
        f.report.run(printer);
        EXPECT_EQ(printer.status(), TRpPrinter::Finished);
        if (printIfEmpty) {
            ASSERT_GE(printer.pageList().pageCount(), 1);
            const QStringList texts = stringsOf(*printer.pageList().page(1));
            EXPECT_EQ(texts.count(QStringLiteral("SYNONYM")), synonyms.recordCount());
        } else {
            EXPECT_EQ(printer.pageList().pageCount(), 0);
            EXPECT_EQ(f.report.pageCount(), 0);
        }
    }
}

TEST(ReportEngine, ZeroHeightBandRunsHandlersAndPrintsItsChild)
{
    Fixture f(contentWith({{"A", ""}, {"B", ""}, {"C", ""}}));
    f.detail->height = 0;
    int before = 0, after = 0;
    f.detail->beforePrint = [&](TRpBand&, bool&) { ++before; };
    f.detail->afterPrint = [&](TRpBand&, bool printed) { after += printed ? 1 : 0; };
    auto& child = f.report.addBand<TRpChildBand>();
    child.parent = f.detail;
    child.height = 60;
    Fixture::label(child, QStringLiteral("CHILD"));

    const auto pages = f.runToImages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(before, 3);
    EXPECT_EQ(after, 3);
    EXPECT_EQ(pages[0].count(QStringLiteral("CHILD")), 3);
    EXPECT_FALSE(pages[0].contains(QStringLiteral("A"))) << "a band of height 0 prints nothing";
}

TEST(ReportEngine, ClearedPrintFlagSkipsTheBandButNotItsChild)
{
    Fixture f(contentWith({{"A", ""}, {"B", ""}}));
    f.detail->beforePrint = [](TRpBand&, bool& print) { print = false; };
    auto& child = f.report.addBand<TRpChildBand>();
    child.parent = f.detail;
    child.height = 60;
    Fixture::label(child, QStringLiteral("CHILD"));
    const auto pages = f.runToImages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].count(QStringLiteral("CHILD")), 2);
    EXPECT_FALSE(pages[0].contains(QStringLiteral("A")));
}

TEST(ReportEngine, ForceNewPageStartsEveryRowOnItsOwnPageWithoutAnEmptyFirstPage)
{
    Fixture f(contentWith({{"A", ""}, {"B", ""}, {"C", ""}}));
    f.detail->forceNewPage = true;
    const auto pages = f.runToImages();
    ASSERT_EQ(pages.size(), 3u);
    for (int n = 0; n < 3; ++n) {
        EXPECT_TRUE(pages[n].contains(QString(QChar(u'A' + n)))) << "page " << n + 1;
        EXPECT_TRUE(pages[n].contains(QStringLiteral("Page %1").arg(n + 1)));
    }
}

TEST(ReportEngine, StretchingTextContinuesOverPagesWithHeaderAndFooterOnEach)
{
    Fixture f(contentWith({{"A", ""}}));
    // The tables hold no text this long; a print handler supplies it as a memo would.
    auto& odour = f.detail->add<TRpLabel>();
    odour.onPrint = [](TRpPrintable&, QString& text) { text = manyLines(150); };
    odour.top = 60;
    odour.width = 1500;
    odour.height = 45;
    odour.autoStretch = true;
    f.detail->height = 110;
    auto& after = f.report.addBand<TRpChildBand>();
    after.parent = f.detail;
    after.height = 60;
    Fixture::label(after, QStringLiteral("AFTER"));

    const auto pages = f.runToImages();
    ASSERT_GE(pages.size(), 3u);
    QStringList printed;
    for (std::size_t n = 0; n < pages.size(); ++n) {
        SCOPED_TRACE(n + 1);
        EXPECT_EQ(pages[n].first(), QStringLiteral("HEADER"));
        EXPECT_EQ(pages[n].last(), QStringLiteral("Page %1").arg(n + 1));
        for (const QString& t : pages[n])
            if (t.startsWith(QLatin1String("line ")))
                printed << t;
    }
    EXPECT_EQ(printed.join(QLatin1Char('\r')), manyLines(150)) << "no line lost or repeated";
    EXPECT_TRUE(pages.back().contains(QStringLiteral("AFTER")));
}

TEST(ReportEngine, StretchedLinesStayAboveTheFooter)
{
    Fixture f(contentWith({{"A", ""}}));
    f.name->onPrint = [](TRpPrintable&, QString& text) { text = manyLines(80); };
    f.name->autoStretch = true;
    TRpPrinter printer;
    f.report.run(printer);
    ASSERT_GE(printer.pageList().pageCount(), 2);
    const int footerTop = printer.y(2970 - 100 - 100);
    TextMeasure measure;
    const int lineHeight = printer.sizeY(measure.lineHeight(f.report.font));
    for (int n = 1; n <= printer.pageList().pageCount(); ++n)
        for (const auto& t : textsOf(*printer.pageList().page(n)))
            if (t.text.startsWith(QLatin1String("line "))) {
                EXPECT_LE(t.at.y() + lineHeight, footerTop + 1) << t.text.toStdString();
            }
}

TEST(ReportEngine, FirstPageHeaderAndLastPageFooterOptions)
{
    struct Case
    {
        int options;
        bool headerOnFirst, footerOnLast;
    };
    for (const Case c :
         {Case{0, false, false}, Case{FirstPageHeader, true, false},
          Case{LastPageFooter, false, true}, Case{FirstPageHeader | LastPageFooter, true, true}}) {
        SCOPED_TRACE(c.options);
        Fixture f(contentWith({{"A", ""}, {"B", ""}, {"C", ""}}));
        f.detail->forceNewPage = true;
        f.report.options = c.options;
        const auto pages = f.runToImages();
        ASSERT_EQ(pages.size(), 3u);
        EXPECT_EQ(pages[0].contains(QStringLiteral("HEADER")), c.headerOnFirst);
        EXPECT_TRUE(pages[1].contains(QStringLiteral("HEADER")));
        EXPECT_TRUE(pages[2].contains(QStringLiteral("HEADER")));
        EXPECT_TRUE(pages[0].contains(QStringLiteral("Page 1")));
        EXPECT_TRUE(pages[1].contains(QStringLiteral("Page 2")));
        EXPECT_EQ(pages[2].contains(QStringLiteral("Page 3")), c.footerOnLast);
    }
}

TEST(ReportEngine, BandTallerThanThePagePrintsWhereItStands)
{
    Fixture f(contentWith({{"A", ""}}));
    auto& tall = f.report.addBand<TRpChildBand>();
    tall.parent = f.detail;
    tall.height = 3000;
    Fixture::label(tall, QStringLiteral("TALL"));
    TRpPrinter printer;
    f.report.run(printer);
    ASSERT_EQ(printer.pageList().pageCount(), 1);
    for (const auto& t : textsOf(*printer.pageList().page(1)))
        if (t.text == QLatin1String("TALL")) {
            EXPECT_EQ(t.at.y(), printer.y(200 + 100 + 60));
        }
}

TEST(ReportEngine, BandsThatDoNotFitMoveToTheNextPage)
{
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < 100; ++i)
        rows.push_back({QStringLiteral("M%1").arg(i, 3, 10, QLatin1Char('0')), QString()});
    Fixture f(contentWith(rows));
    TRpPrinter printer;
    f.report.run(printer);
    // 2970 - 200 top - 100 bottom - 100 header - 100 footer leaves 2470 for 60-high rows.
    const int perPage = 2470 / 60;
    ASSERT_EQ(printer.pageList().pageCount(), (100 + perPage - 1) / perPage);
    const auto first = textsOf(*printer.pageList().page(2));
    EXPECT_EQ(first[1].text, QStringLiteral("M%1").arg(perPage, 3, 10, QLatin1Char('0')));
    EXPECT_EQ(first[1].at.y(), printer.y(300));
}

// Line breaking, read back from the lines a stretching label draws.
TEST(ReportEngine, WordWrap)
{
    const TextFont font;
    const QFontMetricsF m(TextMeasure::referenceFont(font));
    auto nativeWidth = [&](const QString& s) { return (m.horizontalAdvance(s) + 0.5) * 254 / 96; };
    struct Case
    {
        const char* text;
        const char* fitsOn; // the printable is just wide enough for this
        QStringList lines;
    };
    const QString longWord = QStringLiteral("Pentadecanolideabcdefghijklmnop");
    const std::vector<Case> cases = {
        {"alpha beta gamma", "alpha beta ", {"alpha beta ", "gamma"}},
        {"well-known scent", "known ", {"well-", "known ", "scent"}},
        {"one\rtwo three", "one two three", {"one", "two three"}},
        {"one\ntwo", "onetwo", {"onetwo"}},
        {"one\r\rtwo", "one", {"one", "", "two"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Fixture f(contentWith({{"A", ""}}));
        f.detail->printables.clear();
        auto& l = Fixture::label(*f.detail, QString::fromLatin1(c.text));
        l.width = nativeWidth(QString::fromLatin1(c.fitsOn));
        l.autoStretch = true;
        const auto pages = f.runToImages();
        ASSERT_EQ(pages.size(), 1u);
        QStringList lines = pages[0].mid(1, pages[0].size() - 2);
        lines.removeAll(QString()); // empty lines draw nothing; count them by position below
        QStringList expected = c.lines;
        expected.removeAll(QString());
        EXPECT_EQ(lines, expected);
    }

    // A word wider than the printable: cut to what fits, the rest dropped.
    for (const QString& before : {QString(), QStringLiteral("a ")}) {
        SCOPED_TRACE(before.toStdString());
        Fixture f(contentWith({{"A", ""}}));
        f.detail->printables.clear();
        auto& l = Fixture::label(*f.detail, before + longWord);
        l.width = nativeWidth(QStringLiteral("Pentadeca"));
        l.autoStretch = true;
        const auto pages = f.runToImages();
        QStringList lines = pages[0].mid(1, pages[0].size() - 2);
        ASSERT_EQ(lines.size(), before.isEmpty() ? 1 : 2);
        if (!before.isEmpty()) {
            EXPECT_EQ(lines.takeFirst(), before);
        }
        const QString cut = lines.first();
        EXPECT_TRUE(longWord.startsWith(cut));
        EXPECT_GE(cut.size(), 8);
        EXPECT_LT(cut.size(), longWord.size());
        const double limit = l.width * 96 / 254;
        EXPECT_LE(m.horizontalAdvance(cut), limit);
        EXPECT_GE(m.horizontalAdvance(longWord.left(cut.size() + 1)), limit - 1);
    }
}

TEST(ReportEngine, TextThatDoesNotStretchDropsWhatDoesNotFit)
{
    Fixture f(contentWith({{"A", "first line\r\nsecond line"}}));
    f.name->fieldName = QStringLiteral("odour");
    const auto pages = f.runToImages();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("first line")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("second line")));
}

TEST(ReportEngine, AutoSizeKeepsTheRightEdgeOrCentre)
{
    for (const TRpAlignment a : {taLeftJustify, taRightJustify, taCenter}) {
        SCOPED_TRACE(int(a));
        Fixture f(contentWith({{"A", ""}}));
        f.detail->printables.clear();
        auto& l = Fixture::label(*f.detail, QStringLiteral("Sized"));
        l.left = 500;
        l.width = 600;
        l.autoSize = true;
        l.alignment = a;
        TRpPrinter printer;
        f.report.run(printer);
        const auto texts = textsOf(*printer.pageList().page(1));
        TextMeasure measure;
        const double w = printer.sizeX(measure.width(f.report.font, QStringLiteral("Sized")));
        const double left = printer.x(200 + 500);
        const double expected = a == taLeftJustify    ? left
                                : a == taRightJustify ? left + printer.sizeX(600) - w
                                                      : left + (printer.sizeX(600) - w) / 2;
        EXPECT_NEAR(texts[1].at.x(), expected, 1.5);
    }
}

TEST(ReportEngine, SubDetailsPrintPerMasterRowInStoredOrder)
{
    Fixture f(contentWith({{"A", ""}, {"B", ""}}));
    auto& second = f.report.addBand<TRpSubDetail>();
    auto& first = f.report.addBand<TRpSubDetail>();
    auto& beforeIt = f.report.addBand<TRpSubDetail>();
    second.height = first.height = beforeIt.height = 60;
    Fixture::label(second, QStringLiteral("S1"));
    Fixture::label(first, QStringLiteral("S2"));
    Fixture::label(beforeIt, QStringLiteral("S0"));
    beforeIt.printBefore = true;
    const auto pages = f.runToImages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].join(QLatin1Char(' ')),
              QStringLiteral("HEADER S0 A S1 S2 S0 B S1 S2 Page 1"));
}

TEST(ReportEngine, PageRangeWritesOnlyThosePagesToThePdf)
{
    QTemporaryDir dir;
    struct Case
    {
        int first, last, pages;
    };
    for (const Case c : {Case{0, 0, 5}, Case{2, 3, 2}, Case{4, 0, 2}, Case{0, 1, 1}}) {
        SCOPED_TRACE(c.first * 10 + c.last);
        Fixture f(contentWith({{"A", ""}, {"B", ""}, {"C", ""}, {"D", ""}, {"E", ""}}));
        f.detail->forceNewPage = true;
        f.report.printerSettings.firstPage = c.first;
        f.report.printerSettings.lastPage = c.last;
        const QString path = dir.filePath(QStringLiteral("range.pdf"));
        TRpPrinter printer(path, 300);
        f.report.run(printer);
        EXPECT_EQ(printer.pageCount(), 5);
        EXPECT_EQ(pdfPages(path), c.pages);
    }
}

TEST(ReportEngine, PdfAndPageImagesBreakAtTheSamePlaces)
{
    QTemporaryDir dir;
    for (const double dpi : {300.0, 600.0}) {
        Fixture f(contentWith({{"A", ""}}));
        f.name->onPrint = [](TRpPrintable&, QString& text) {
            text = QStringLiteral("a fairly long odour text ").repeated(300);
        };
        f.name->autoStretch = true;
        TRpPrinter images;
        f.report.run(images);
        const QString path = dir.filePath(QStringLiteral("same.pdf"));
        TRpPrinter pdf(path, dpi);
        f.report.run(pdf);
        EXPECT_GE(images.pageCount(), 2);
        EXPECT_EQ(pdfPages(path), images.pageCount()) << dpi;
    }
}

TEST(ReportEngine, CancelStopsTheRunAndKeepsThePagesMade)
{
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back({QStringLiteral("R%1").arg(i), QString()});
    Fixture f(contentWith(rows));
    f.detail->forceNewPage = true;

    TRpPrinter printer;
    std::vector<int> seen;
    QObject::connect(&printer, &TRpPrinter::pagesAvailable, [&](int count) {
        seen.push_back(count);
        if (count == 3)
            printer.cancel();
    });
    f.report.run(printer);
    EXPECT_EQ(printer.status(), TRpPrinter::Finished);
    EXPECT_GE(printer.pageList().pageCount(), 3);
    EXPECT_LT(printer.pageList().pageCount(), 20);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << "notifications in order";

    // A cancelled PDF leaves no file behind.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cancelled.pdf"));
    Fixture g(contentWith(rows));
    g.detail->forceNewPage = true;
    TRpPrinter pdf(path, 300);
    QObject::connect(&pdf, &TRpPrinter::pagesAvailable, [&](int count) {
        if (count == 2)
            pdf.cancel();
    });
    g.report.run(pdf);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(ReportEngine, ProgressReachesOneHundred)
{
    Fixture f(contentWith({{"A", ""}, {"B", ""}, {"C", ""}}));
    TRpPrinter printer;
    std::vector<int> progress;
    QObject::connect(&printer, &TRpPrinter::progressChanged, [&](int p) { progress.push_back(p); });
    f.report.run(printer);
    QCoreApplication::processEvents();
    EXPECT_EQ(progress, (std::vector<int>{33, 66, 100}));
}

TEST(ReportEngine, PrintHandlerReplacesThePageNumberText)
{
    Fixture f(contentWith({{"A", ""}, {"B", ""}}));
    f.detail->forceNewPage = true;
    auto& sys = static_cast<TRpSysData&>(*f.footer->printables.front());
    sys.prefix.clear();
    sys.onPrint = [](TRpPrintable&, QString& text) { text = QStringLiteral("Page ") + text; };
    const auto pages = f.runToImages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Page 1")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Page 2")));
    EXPECT_EQ(f.report.functionValue(QStringLiteral("PAGENUMBER")).toInt(), 2);
}

TEST(ReportEngine, ProducerUsedOutOfOrderFailsWithItsOwnError)
{
    TRpPrinter printer;
    try {
        printer.newPage();
        FAIL() << "no error";
    } catch (const TRpError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Illegal call to NewPage"));
    }
    printer.beginDocument(QSizeF(2100, 2970));
    try {
        printer.beginDocument(QSizeF(2100, 2970));
        FAIL() << "no error";
    } catch (const TRpError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Report printer not ready"));
    }
    printer.newPage();
    printer.endDocument();
    EXPECT_EQ(printer.pageList().pageCount(), 1);
    EXPECT_THROW(printer.newPage(), TRpError);
}

TEST(ReportEngine, UnwritablePdfIsAClearErrorAndTheReportCanRunAgain)
{
    Fixture f(contentWith({{"A", ""}}));
    TRpPrinter pdf(QStringLiteral("/nonexistent-dir/out.pdf"), 300);
    EXPECT_THROW(f.report.run(pdf), TRpError);
    EXPECT_FALSE(f.report.running());
    TRpPrinter images;
    f.report.run(images);
    EXPECT_EQ(images.pageList().pageCount(), 1);
}

TEST(ReportEngine, DisplayUnitsConvertAndTheRunWorksNatively)
{
    TRpReport report;
    report.setUnits(TRpUnits::MM);
    EXPECT_DOUBLE_EQ(report.toDisplay(254), 25.4);
    EXPECT_DOUBLE_EQ(report.fromDisplay(25.4), 254);
    report.setUnits(TRpUnits::Inches);
    EXPECT_DOUBLE_EQ(report.toDisplay(254), 1);
    TRpUnits during = TRpUnits::MM;
    report.beforePrint = [&](TRpReport& r) {
        during = r.units();
        return false;
    };
    TRpPrinter printer;
    report.run(printer);
    EXPECT_EQ(during, TRpUnits::Native);
    EXPECT_EQ(report.units(), TRpUnits::Inches);
    EXPECT_EQ(printer.status(), TRpPrinter::Ready) << "a refused run begins no document";
}

TEST(ReportEngine, LayoutCommandWritesPdfOrReportFileAndFailsCleanly)
{
    const zel::test::DatabaseFixture db;
    QTemporaryDir out;
    struct Case
    {
        QString data, file;
        int rc;
    };
    for (const Case& c :
         {Case{db.dir.path(), QStringLiteral("demo.pdf"), 0},
          Case{db.dir.path(), QStringLiteral("demo.rep"), 0},
          Case{out.filePath(QStringLiteral("missing")), QStringLiteral("x.pdf"), 1}}) {
        SCOPED_TRACE(c.file.toStdString());
        const QString path = out.filePath(c.file);
        QString text, errors;
        QTextStream o(&text), e(&errors);
        EXPECT_EQ(runReportTool({QStringLiteral("layout"), c.data, path}, o, e), c.rc);
        if (c.rc != 0) {
            EXPECT_FALSE(errors.isEmpty());
            EXPECT_FALSE(QFile::exists(path));
        } else if (c.file.endsWith(QLatin1String(".pdf"))) {
            EXPECT_EQ(pdfPages(path), 1) << "six small materials fit on one page";
        } else {
            TRpPageList list;
            list.load(path);
            ASSERT_EQ(list.pageCount(), 1);
            const QStringList texts = stringsOf(*list.page(1));
            EXPECT_TRUE(texts.contains(QStringLiteral("Vanilla Pure"))) << "a sub-detail row";
            EXPECT_TRUE(texts.contains(QStringLiteral("Page 1")));
        }
    }
}

TEST(ReportEngine, StoredPagesPrintOnAPrinterDevice)
{
    Fixture f(contentWith({{"A", ""}, {"B", ""}, {"C", ""}}));
    f.detail->forceNewPage = true;
    TRpPrinter images;
    f.report.run(images);
    ASSERT_EQ(images.pageList().pageCount(), 3);

    QTemporaryDir dir;
    struct Case
    {
        int first, last, pages;
    };
    for (const Case c : {Case{0, 0, 3}, Case{2, 0, 2}, Case{3, 3, 1}, Case{4, 0, 0}}) {
        SCOPED_TRACE(c.first * 10 + c.last);
        const QString path =
            dir.filePath(QStringLiteral("stored%1%2.pdf").arg(c.first).arg(c.last));
        TRpPrinter pdf(path, 300);
        pdf.firstPage = c.first;
        pdf.lastPage = c.last;
        if (c.pages == 0) {
            EXPECT_THROW(pdf.printStoredPages(images.pageList()), TRpError);
            EXPECT_FALSE(QFile::exists(path));
        } else {
            pdf.printStoredPages(images.pageList());
            EXPECT_EQ(pdfPages(path), c.pages);
        }
    }

    // A device the caller owns, with margins the report's positions are moved by.
    QFile file(dir.filePath(QStringLiteral("device.pdf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    {
        QPdfWriter writer(&file);
        writer.setResolution(150);
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        TRpPrinter device(writer);
        f.report.run(device);
        EXPECT_EQ(device.status(), TRpPrinter::Finished);
        EXPECT_EQ(device.x(200), qRound((200 - 100) * 150 / 254.0)) << "left margin is waste";
    }
    file.close();
    EXPECT_EQ(pdfPages(file.fileName()), 3);
}

// A printer gets the paper the report's pages lie on, by its name where it has one; an
// orientation chosen in the printer set-up turns the paper, and the page then fits on it
// scaled down evenly.
TEST(ReportEngine, PrinterPaperFollowsThePages)
{
    struct Case
    {
        const char* name;
        QSizeF paper; // native, as the report lays it out
        std::optional<QPageLayout::Orientation> chosen;
        QPageSize::PageSizeId size;
        QPageLayout::Orientation orientation;
        bool scaled;
    };
    const Case cases[] = {
        {"A4 upright", {2100, 2970}, {}, QPageSize::A4, QPageLayout::Portrait, false},
        {"A4 sideways", {2970, 2100}, {}, QPageSize::A4, QPageLayout::Landscape, false},
        {"Letter", {2159, 2794}, {}, QPageSize::Letter, QPageLayout::Portrait, false},
        {"A4 upright on paper turned sideways",
         {2100, 2970},
         QPageLayout::Landscape,
         QPageSize::A4,
         QPageLayout::Landscape,
         true},
        {"A5 sideways asked upright",
         {2100, 1480},
         QPageLayout::Portrait,
         QPageSize::A5,
         QPageLayout::Portrait,
         true},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(dir.filePath(QStringLiteral("paper.pdf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
        TRpPrinter printer(writer);
        printer.orientation = c.chosen;
        printer.beginDocument(c.paper);
        printer.newPage();
        printer.canvas().fillRect(QRect(printer.x(0), printer.y(0), printer.sizeX(c.paper.width()),
                                        printer.sizeY(c.paper.height())),
                                  Qt::black);
        printer.endDocument();
        EXPECT_EQ(writer.pageLayout().pageSize().id(), c.size);
        EXPECT_EQ(writer.pageLayout().orientation(), c.orientation);
        // At its own size a page's corner is where the margin puts the painter's origin.
        if (!c.scaled) {
            EXPECT_EQ(printer.x(50), qRound((50 - 50) * 300 / 254.0));
        }
    }
}
