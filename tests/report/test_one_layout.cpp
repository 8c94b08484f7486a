// One layout for every device: the two reports break their pages and lines at the same places
// in page images, in the PDF file the headless output writes, and on a 600-dpi printer. The
// PDF files are read back with pdftotext (poppler-utils); without it the test is skipped.
#include "Fixture.h"
#include "ReportTestData.h"
#include "TempDir.h"
#include "model/StabilityMedia.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"
#include "report/TRpPrinter.h"
#include "report/TRpReport.h"

#include <QPrinter>
#include <functional>
#include <gtest/gtest.h>

using namespace zel;
using report::TRpPrinter;

namespace {

using test::Document;

Document imagesOf(TRpPrinter& images)
{
    Document doc;
    for (int n = 1; n <= images.pageList().pageCount(); ++n)
        doc.push_back(test::rowsOf(*images.pageList().page(n)));
    return doc;
}

// Words of varied lengths, each one unique, so that every line break and page break shows.
QString words(const QString& tag, int line, int count, int seed, int limit = 100000)
{
    static const QString letters = QStringLiteral("aeiourstnlmcdpgh");
    QString text;
    for (int i = 0; i < count; ++i) {
        QString word = tag + QString::number(line) + QLatin1Char('w') + QString::number(i);
        for (int k = 0; k < (line * 13 + i * 7 + seed) % 9; ++k)
            word += letters[(line + i + k + seed) % letters.size()];
        const QString longer = text.isEmpty() ? word : text + QLatin1Char(' ') + word;
        if (longer.size() > limit)
            break;
        text = longer;
    }
    return text;
}

// The texts of a material hold at most 148 characters: 29 short lines fill one.
QString lines29(const QString& tag)
{
    QStringList l;
    for (int i = 1; i <= 29; ++i)
        l << tag + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    return l.join(QStringLiteral("\r\n"));
}

constexpr int kTextLength = 148;
constexpr int kSupplierMaterials = 300;

data::DatabaseContent content()
{
    data::DatabaseContent c = test::smallContent();
    data::MaterialRow texts;
    texts.name = QStringLiteral("Twentynine Lines 29");
    texts.cas = QStringLiteral("9000-29-0");
    texts.odour = lines29(QStringLiteral("o"));
    texts.performance = lines29(QStringLiteral("p"));
    texts.application = lines29(QStringLiteral("a"));
    texts.literature = lines29(QStringLiteral("l"));
    c.materials.push_back(texts);

    // Full texts of long words wrap, each at a different place.
    data::MaterialRow wrapped;
    wrapped.name = words(QStringLiteral("i"), 1, 40, 9, 74);
    wrapped.cas = QStringLiteral("9000-30-1");
    wrapped.odour = words(QStringLiteral("o"), 1, 60, 1, kTextLength);
    wrapped.performance = words(QStringLiteral("p"), 2, 60, 2, kTextLength);
    wrapped.application = words(QStringLiteral("a"), 3, 60, 3, kTextLength);
    wrapped.literature = words(QStringLiteral("l"), 4, 60, 4, kTextLength);
    c.materials.push_back(wrapped);

    data::MaterialRow named;
    named.name = QStringLiteral("Many Names 150");
    named.cas = QStringLiteral("9000-31-2");
    named.odour = lines29(QStringLiteral("q"));
    c.materials.push_back(named);
    for (int i = 1; i <= 150; ++i)
        c.synonyms.push_back({named.cas, words(QStringLiteral("n"), i, 6, i, 30),
                              QStringLiteral("S0%1").arg(1 + i % 3), QString()});

    c.suppliers.push_back({QStringLiteral("S99"), QStringLiteral("Hundreds Trading 300"),
                           QStringLiteral("9 Long Road"), QStringLiteral("Grasse"),
                           QStringLiteral("France"), QStringLiteral("+33 1")});
    for (int i = 1; i <= kSupplierMaterials; ++i) {
        data::MaterialRow m;
        m.name = words(QStringLiteral("m"), i, 1 + i % 8, i, 74);
        m.cas = QStringLiteral("%1-11-%2").arg(20000 + i).arg(i % 10);
        c.materials.push_back(m);
        c.synonyms.push_back(
            {m.cas, QStringLiteral("Trade %1").arg(i), QStringLiteral("S99"), QString()});
    }
    return c;
}

// A report of the engine alone: a text of several thousand words in paragraphs, far longer
// than any field of the tables, stretching over pages under a header and above a footer.
struct LongTextReport
{
    LongTextReport()
    {
        auto& header = report.addBand<report::TRpBand>(report::rbPageHeader);
        header.height = 120;
        auto& title = header.add<report::TRpLabel>();
        title.caption = QStringLiteral("Header 1");
        title.width = 1000;
        title.height = 60;
        auto& detail = report.addBand<report::TRpBand>(report::rbDetail);
        detail.height = 100;
        auto& text = detail.add<report::TRpLabel>();
        text.width = 1650;
        text.height = 45;
        text.top = 20;
        text.autoStretch = true;
        QStringList paragraphs;
        for (int p = 1; p <= 40; ++p)
            paragraphs << words(QStringLiteral("t") + QString::number(p) + QLatin1Char('x'), p,
                                20 + p * 3 % 60, p);
        text.caption = paragraphs.join(QLatin1Char('\r'));
        auto& footer = report.addBand<report::TRpBand>(report::rbPageFooter);
        footer.height = 100;
        auto& page = footer.add<report::TRpSysData>();
        page.prefix = QStringLiteral("Page ");
        page.width = 300;
        page.height = 50;
        page.autoSize = true;
    }
    report::TRpReport report;
};

struct Case
{
    enum Kind
    {
        Material,
        Supplier,
        Engine
    };
    const char* name;
    Kind kind;
    QString material, cas;
    int minimumPages;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class OneLayout : public testing::TestWithParam<Case>
{
protected:
    static void SetUpTestSuite() { s_db = new test::DatabaseFixture(content()); }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }

    // Lays the case's report out onto printer.
    void run(TRpPrinter& printer)
    {
        const Case& c = GetParam();
        if (c.kind == Case::Material) {
            report::TPrintMaterial form(s_db->db.get());
            form.run(model::sortForm(c.material), c.cas, printer);
        } else if (c.kind == Case::Supplier) {
            report::TPrintSupplier form(s_db->db.get());
            form.run(QStringLiteral("S99"), printer);
        } else {
            LongTextReport r;
            r.report.run(printer);
        }
    }

    static test::DatabaseFixture* s_db;
};

test::DatabaseFixture* OneLayout::s_db = nullptr;

void expectSame(const Document& expected, const Document& actual, const char* device)
{
    ASSERT_EQ(actual.size(), expected.size()) << device << ": page count";
    for (std::size_t n = 0; n < expected.size(); ++n)
        EXPECT_EQ(actual[n], expected[n]) << device << ", page " << n + 1;
}

TEST_P(OneLayout, PdfPageImagesAndA600DpiPrinterBreakAlike)
{
    if (test::pdftotext().isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    test::TempDir dir;

    TRpPrinter images;
    run(images);
    const Document onScreen = imagesOf(images);
    ASSERT_GE(int(onScreen.size()), GetParam().minimumPages);

    // The headless PDF output draws at 300 dpi.
    const QString pdfFile = dir.file(QStringLiteral("headless.pdf"));
    {
        TRpPrinter pdf(pdfFile, 300);
        run(pdf);
    }
    expectSame(onScreen, test::rowsOfPdf(pdfFile), "PDF at 300 dpi");

    const QString printed = dir.file(QStringLiteral("printer.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        printer.setResolution(600);
        TRpPrinter device(printer);
        ASSERT_EQ(device.dpiX(), 600);
        run(device);
    }
    expectSame(onScreen, test::rowsOfPdf(printed), "printer at 600 dpi");
}

INSTANTIATE_TEST_SUITE_P(
    Reports, OneLayout,
    testing::Values(Case{"FourTextsOf29Lines", Case::Material,
                         QStringLiteral("Twentynine Lines 29"), QStringLiteral("9000-29-0"), 3},
                    Case{"FullTextsThatWrap", Case::Material,
                         words(QStringLiteral("i"), 1, 40, 9, 74), QStringLiteral("9000-30-1"), 1},
                    Case{"ManyCommercialNames", Case::Material, QStringLiteral("Many Names 150"),
                         QStringLiteral("9000-31-2"), 3},
                    Case{"SupplierWithHundredsOfMaterials", Case::Supplier, {}, {}, 5},
                    Case{"TextOfThousandsOfWords", Case::Engine, {}, {}, 5}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
