#include "Fixture.h"
#include "ReportTestData.h"
#include "TempDir.h"
#include "data/engine/Dataset.h"
#include "model/Datasets.h"
#include "model/Schema.h"
#include "model/StabilityMedia.h"
#include "report/TPrintMaterial.h"
#include "report/TPrintSupplier.h"
#include "report/TRpError.h"
#include "report/TRpPrinter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <optional>

using namespace zel::report;
using zel::data::DatabaseContent;
using zel::model::StabilityMedia;

namespace {

using zel::test::DrawnText;
using zel::test::textsOf;

using Page = std::vector<DrawnText>;

std::vector<Page> pagesOf(TRpPrinter& printer)
{
    std::vector<Page> pages;
    for (int n = 1; n <= printer.pageList().pageCount(); ++n)
        pages.push_back(textsOf(*printer.pageList().page(n)));
    return pages;
}

QStringList stringsOf(const Page& page)
{
    QStringList s;
    for (const auto& t : page)
        s << t.text;
    return s;
}

// The texts of a page line by line, each line left to right, so that a row of a list reads
// as one string whatever order the printables draw in.
QStringList rowsOf(const Page& page)
{
    std::map<int, std::vector<DrawnText>> byY;
    for (const auto& t : page)
        byY[t.at.y()].push_back(t);
    QStringList rows;
    for (auto& [y, texts] : byY) {
        std::sort(texts.begin(), texts.end(),
                  [](const DrawnText& a, const DrawnText& b) { return a.at.x() < b.at.x(); });
        QStringList parts;
        for (const auto& t : texts)
            parts << t.text;
        rows << parts.join(QStringLiteral(" | "));
    }
    return rows;
}

const DrawnText* find(const Page& page, const QString& text)
{
    for (const auto& t : page)
        if (t.text == text)
            return &t;
    return nullptr;
}

bool allClosed(zel::data::DatasetSet& set)
{
    for (const auto* ds : set.all())
        if (ds->isOpen() || ds->hasRange())
            return false;
    return true;
}

std::optional<QString> pdfText(const QString& pdf)
{
    const QString path = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (path.isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(path, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The sort form of the material with that CAS number, the first half of its primary key.
QString sfOf(zel::data::Database* db, const QString& cas)
{
    zel::data::Dataset m;
    m.setDatabase(db);
    m.setTableName(QStringLiteral("MATERIAL.DB"));
    m.setIndexName(QStringLiteral("casorder"));
    m.open();
    return m.findKey({cas}) ? m.text(QStringLiteral("sf")) : QString();
}

zel::data::MaterialRow material(const QString& name, const QString& cas, const QString& stabil)
{
    zel::data::MaterialRow m;
    m.name = name;
    m.cas = cas;
    m.odour = QStringLiteral("odour of ") + name;
    m.stabil = stabil;
    return m;
}

struct MaterialSheet
{
    explicit MaterialSheet(const DatabaseContent& content = zel::test::smallContent())
        : db(content), form(db.db.get())
    {
    }
    std::vector<Page> run(const QString& cas, const zel::model::NoteStore::Entry* notes = nullptr)
    {
        TRpPrinter printer;
        form.run(sfOf(db.db.get(), cas), cas, printer, notes);
        EXPECT_TRUE(allClosed(form.datasets()));
        return pagesOf(printer);
    }
    zel::test::DatabaseFixture db;
    TPrintMaterial form;
};

struct SupplierSheet
{
    explicit SupplierSheet(const DatabaseContent& content = zel::test::smallContent())
        : db(content), form(db.db.get())
    {
    }
    std::vector<Page> run(const QString& supnr)
    {
        TRpPrinter printer;
        form.run(supnr, printer);
        EXPECT_TRUE(allClosed(form.datasets()));
        return pagesOf(printer);
    }
    zel::test::DatabaseFixture db;
    TPrintSupplier form;
};

} // namespace

TEST(MaterialSheet, OnePageWithHeadingsTextsNamesAndFooter)
{
    MaterialSheet s;
    const auto pages = s.run(QStringLiteral("121-33-5"));
    ASSERT_EQ(pages.size(), 1u);
    const QStringList texts = stringsOf(pages[0]);
    const QStringList expected = {
        QStringLiteral("Vanillin"),          QStringLiteral("121-33-5"),
        QStringLiteral("IDENTITY"),          QStringLiteral("Vanillin"),
        QStringLiteral("ODOUR DESCRIPTION"), QStringLiteral("odour of Vanillin"),
        QStringLiteral("PERFORMANCE"),       QStringLiteral("APPLICATION"),
        QStringLiteral("LITERATURE"),        QStringLiteral("COMMERCIAL NAME / SYNONYM"),
        QStringLiteral("SUPPLIER"),
    };
    ASSERT_GE(texts.size(), expected.size());
    EXPECT_EQ(texts.mid(0, expected.size()), expected);
    EXPECT_TRUE(texts.contains(QStringLiteral("STABILITY RECORD")));
    EXPECT_TRUE(texts.contains(QStringLiteral("ZEL \u2013 aroma materials reference data sheet")));

    // The page number is the bare number, right-aligned to the end of the band.
    const DrawnText* number = find(pages[0], QStringLiteral("1"));
    ASSERT_NE(number, nullptr);
    const DrawnText* cas = find(pages[0], QStringLiteral("121-33-5"));
    EXPECT_GT(number->at.y(), cas->at.y() + 800);
    EXPECT_GT(number->at.x(), cas->at.x());
    // The name heading starts at the left edge, the CAS number ends at the right.
    EXPECT_LT(pages[0][0].at.x(), cas->at.x());
}

// The user's notes close the sheet, below the stability record, only when asked for and
// holding something; otherwise the sheet is the one it always was.
TEST(MaterialSheet, NotesBandOnlyWhenAskedAndHeld)
{
    MaterialSheet s;
    const QString cas = QStringLiteral("121-33-5");
    const QStringList plain = stringsOf(s.run(cas).back());
    const zel::model::NoteStore::Entry nothing,
        both{QStringLiteral("a first line\r\nand a second"), true};
    EXPECT_EQ(stringsOf(s.run(cas, &nothing).back()), plain);
    const Page page = s.run(cas, &both).back();
    const QStringList texts = stringsOf(page);
    const qsizetype at = texts.indexOf(QStringLiteral("MY NOTES"));
    ASSERT_GE(at, 0) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(texts.mid(at, 4),
              (QStringList{QStringLiteral("MY NOTES"), QStringLiteral("One of my favourites."),
                           QStringLiteral("a first line"), QStringLiteral("and a second")}));
    EXPECT_EQ(texts.mid(0, at), plain.mid(0, at));
    EXPECT_GT(page[size_t(at)].at.y(), find(page, QStringLiteral("STABILITY RECORD"))->at.y());
}

TEST(MaterialSheet, CommercialNamesInIndexOrderWithTheirSuppliers)
{
    MaterialSheet s;
    const QStringList rows = rowsOf(s.run(QStringLiteral("121-33-5"))[0]);
    const auto vanilla = rows.indexOf(QStringLiteral("Vanilla Pure | Bergamot Trading"));
    const auto zeta = rows.indexOf(QStringLiteral("zeta Vanilla | aldehyde House"));
    ASSERT_GE(vanilla, 0) << rows.join(QLatin1Char('\n')).toStdString();
    EXPECT_GT(zeta, vanilla);
    // The commercial name without a name still prints its supplier.
    EXPECT_TRUE(rows.contains(QStringLiteral("aldehyde House")));
}

TEST(MaterialSheet, MissingSupplierLeavesTheColumnEmpty)
{
    MaterialSheet s;
    const QStringList rows = rowsOf(s.run(QStringLiteral("91-64-5"))[0]);
    EXPECT_TRUE(rows.contains(QStringLiteral("Tonka Sweet")))
        << rows.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("~ | aldehyde House")));
}

TEST(MaterialSheet, WithoutCommercialNamesTheHeadingsStillPrint)
{
    MaterialSheet s;
    const QStringList texts = stringsOf(s.run(QStringLiteral("122-48-5"))[0]);
    const auto supplier = texts.indexOf(QStringLiteral("SUPPLIER"));
    ASSERT_GE(supplier, 1);
    EXPECT_EQ(texts[supplier - 1], QStringLiteral("COMMERCIAL NAME / SYNONYM"));
    EXPECT_EQ(texts.value(supplier + 1), QStringLiteral("STABILITY RECORD"));
}

TEST(MaterialSheet, UnknownMaterialGivesNoPage)
{
    MaterialSheet s;
    EXPECT_TRUE(s.run(QStringLiteral("1-11-1")).empty());
}

struct RatingCase
{
    char16_t rating;
    const char* mark;
};

void PrintTo(const RatingCase& c, std::ostream* os)
{
    *os << "rating " << int(c.rating) << " -> \"" << c.mark << '"';
}

class RatingMarks : public testing::TestWithParam<RatingCase>
{
};

TEST_P(RatingMarks, OnlyRecordedRatingsGiveAMark)
{
    EXPECT_EQ(zel::model::ratingText(QChar(GetParam().rating)),
              QString::fromLatin1(GetParam().mark));
}

INSTANTIATE_TEST_SUITE_P(MaterialSheet, RatingMarks,
                         testing::Values(RatingCase{u'0', "-"}, RatingCase{u'1', "+"},
                                         RatingCase{u'2', "++"}, RatingCase{u' ', ""},
                                         RatingCase{u'3', ""}, RatingCase{u'x', ""},
                                         RatingCase{u'\0', ""}));

struct StabilityCase
{
    const char* name;
    const char* stabil;
    const char* marks; // one letter per medium: "0", "1", "2" or "." for no mark
};

void PrintTo(const StabilityCase& c, std::ostream* os)
{
    *os << c.name << " \"" << c.stabil << '"';
}

class StabilityRecord : public testing::TestWithParam<StabilityCase>
{
};

TEST_P(StabilityRecord, EachMediumShowsItsLabelAndMark)
{
    DatabaseContent c = zel::test::smallContent();
    c.materials.push_back(material(QStringLiteral("Probe"), QStringLiteral("555-55-5"),
                                   QString::fromLatin1(GetParam().stabil)));
    MaterialSheet s(c);
    const auto pages = s.run(QStringLiteral("555-55-5"));
    ASSERT_EQ(pages.size(), 1u);
    const QStringList texts = stringsOf(pages[0]);
    const QString marks = QString::fromLatin1(GetParam().marks).leftJustified(33, QLatin1Char('.'));
    for (int i = 0; i < 33; ++i) {
        const QString mark = marks[i] == QLatin1Char('0')   ? QStringLiteral("-")
                             : marks[i] == QLatin1Char('1') ? QStringLiteral("+")
                             : marks[i] == QLatin1Char('2') ? QStringLiteral("++")
                                                            : QString();
        const QString expected = StabilityMedia()[i] + QLatin1Char(' ') + mark;
        EXPECT_TRUE(texts.contains(expected))
            << "medium " << i + 1 << ": " << expected.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(MaterialSheet, StabilityRecord,
                         testing::Values(StabilityCase{"full", "012012012012012012012012012012012",
                                                       "012012012012012012012012012012012"},
                                         StabilityCase{"short", "012", "012"},
                                         StabilityCase{"empty", "", ""},
                                         StabilityCase{"blanksAndOthers", "2 x91", "2...1"}),
                         [](const testing::TestParamInfo<StabilityCase>& p) {
                             return std::string(p.param.name);
                         });

TEST(MaterialSheet, StabilityLabelsStandInFourColumnsTopToBottom)
{
    MaterialSheet s;
    const auto pages = s.run(QStringLiteral("78-70-6"));
    ASSERT_EQ(pages.size(), 1u);
    std::vector<QPoint> at;
    for (int i = 0; i < 33; ++i) {
        const DrawnText* t = find(pages[0], StabilityMedia()[i] + QStringLiteral(" +"));
        ASSERT_NE(t, nullptr) << i + 1;
        at.push_back(t->at);
    }
    for (int i = 1; i < 33; ++i) {
        if (i % 9 == 0) {
            EXPECT_GT(at[i].x(), at[i - 1].x()) << i + 1;
            EXPECT_EQ(at[i].y(), at[i - 9].y()) << i + 1;
        } else {
            EXPECT_EQ(at[i].x(), at[i - 1].x()) << i + 1;
            EXPECT_GT(at[i].y(), at[i - 1].y()) << i + 1;
        }
    }
}

TEST(MaterialSheet, LongOdourContinuesUnderARepeatedHeader)
{
    DatabaseContent c = zel::test::smallContent();
    auto m = material(QStringLiteral("Longwood"), QStringLiteral("444-44-4"), QString());
    // The field holds 148 characters; one-character lines make it taller than a page.
    const QString marks =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QStringList lines;
    for (const QChar ch : marks)
        lines << QString(ch);
    m.odour = lines.join(QLatin1Char('\r'));
    c.materials.push_back(m);
    MaterialSheet s(c);
    const auto pages = s.run(QStringLiteral("444-44-4"));
    ASSERT_GE(pages.size(), 2u);
    for (std::size_t n = 0; n < pages.size(); ++n) {
        SCOPED_TRACE(n + 1);
        const QStringList texts = stringsOf(pages[n]);
        ASSERT_GE(texts.size(), 2);
        EXPECT_EQ(texts[0], QStringLiteral("Longwood"));
        EXPECT_EQ(texts[1], QStringLiteral("444-44-4"));
        EXPECT_EQ(texts.last(), QString::number(n + 1));
        EXPECT_EQ(texts[texts.size() - 2],
                  QStringLiteral("ZEL \u2013 aroma materials reference data sheet"));
    }
    const QStringList first = stringsOf(pages[0]);
    const QStringList second = stringsOf(pages[1]);
    EXPECT_TRUE(first.contains(QStringLiteral("a")));
    EXPECT_FALSE(first.contains(QStringLiteral("9")));
    EXPECT_TRUE(second.contains(QStringLiteral("9")));
    // The text goes on where it broke off, every line exactly once and in order.
    QString printed;
    for (const auto& page : pages)
        for (const QString& t : stringsOf(page))
            if (t.size() == 1 && marks.contains(t))
                printed += t;
    // The page numbers are single characters too.
    printed.remove(QRegularExpression(QStringLiteral("[0-9]")));
    EXPECT_EQ(printed, marks.left(52));
    EXPECT_TRUE(second.contains(QStringLiteral("PERFORMANCE")));
    EXPECT_TRUE(stringsOf(pages.back()).contains(QStringLiteral("STABILITY RECORD")));
}

TEST(MaterialSheet, CursorsAreClosedAfterAFailedRun)
{
    MaterialSheet s;
    TRpPrinter used;
    const QString sf = sfOf(s.db.db.get(), QStringLiteral("121-33-5"));
    s.form.run(sf, QStringLiteral("121-33-5"), used);
    ASSERT_EQ(used.status(), TRpPrinter::Finished);
    ASSERT_EQ(used.pageList().pageCount(), 1);
    // A finished printer refuses a new document: the run fails after the cursors opened.
    EXPECT_THROW(s.form.run(sf, QStringLiteral("121-33-5"), used), TRpError);
    EXPECT_TRUE(allClosed(s.form.datasets()));
    // The form stays usable.
    EXPECT_EQ(s.run(QStringLiteral("78-70-6")).size(), 1u);
}

TEST(MaterialSheet, CursorsAreClosedWhenTheDatabaseCannotBeOpened)
{
    zel::test::TempDir empty;
    zel::data::Database db(QStringLiteral("ZEL"));
    zel::model::schema::describe(db);
    db.setPath(empty.path());
    TPrintMaterial form(&db);
    TRpPrinter printer;
    EXPECT_ANY_THROW(form.run(QString(), QStringLiteral("121-33-5"), printer));
    EXPECT_TRUE(allClosed(form.datasets()));
    TPrintSupplier supplier(&db);
    EXPECT_ANY_THROW(supplier.run(QStringLiteral("S01"), printer));
    EXPECT_TRUE(allClosed(supplier.datasets()));
}

TEST(SupplierSheet, AddressAndMaterialsByCasNumber)
{
    SupplierSheet s;
    const auto pages = s.run(QStringLiteral("S01"));
    ASSERT_EQ(pages.size(), 1u);
    const QStringList texts = stringsOf(pages[0]);
    const QStringList expected = {
        QStringLiteral("Bergamot Trading"),
        QStringLiteral("ADDRESS"),
        QStringLiteral("Bergamot Trading"),
        QStringLiteral("1 Main Street"),
        QStringLiteral("Grasse"),
        QStringLiteral("Nowhere"),
        QStringLiteral("+00 1"),
        QStringLiteral("MATERIALS"),
    };
    ASSERT_GE(texts.size(), expected.size());
    EXPECT_EQ(texts.mid(0, expected.size()), expected);
    const QStringList rows = rowsOf(pages[0]);
    const QStringList materials = {
        QStringLiteral("121-33-5 | Vanillin"),
        QStringLiteral("127-41-3 | alpha-Ionone"),
        QStringLiteral("78-70-6 | Linalool"),
        QStringLiteral("78-70-6 | Linalool"),
    };
    const auto first = rows.indexOf(materials[0]);
    ASSERT_GE(first, 0) << rows.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rows.mid(first, materials.size()), materials);
    // The orphan name matches no material: its row prints nothing, so the footer follows.
    EXPECT_TRUE(rows.value(first + materials.size()).startsWith(QStringLiteral("ZEL")));
    EXPECT_EQ(texts.last(), QStringLiteral("Page 1"));
}

TEST(SupplierSheet, WithoutCommercialNamesOnlyTheAddressPrints)
{
    SupplierSheet s;
    const auto pages = s.run(QStringLiteral("S04"));
    ASSERT_EQ(pages.size(), 1u);
    const QStringList texts = stringsOf(pages[0]);
    const auto materials = texts.indexOf(QStringLiteral("MATERIALS"));
    ASSERT_GE(materials, 0);
    EXPECT_TRUE(texts.value(materials + 1).startsWith(QStringLiteral("ZEL")));
    EXPECT_EQ(texts.last(), QStringLiteral("Page 1"));
}

TEST(SupplierSheet, UnknownSupplierGivesNoPage)
{
    SupplierSheet s;
    EXPECT_TRUE(s.run(QStringLiteral("S99")).empty());
}

TEST(SupplierSheet, ManyNamesRunOverPagesEachWithHeaderAndPageNumber)
{
    DatabaseContent c = zel::test::smallContent();
    for (int i = 0; i < 120; ++i)
        c.synonyms.push_back({QStringLiteral("78-70-6"),
                              QStringLiteral("Lin %1").arg(i, 3, 10, QLatin1Char('0')),
                              QStringLiteral("S04"), QString()});
    SupplierSheet s(c);
    const auto pages = s.run(QStringLiteral("S04"));
    ASSERT_GE(pages.size(), 3u);
    int rows = 0;
    for (std::size_t n = 0; n < pages.size(); ++n) {
        SCOPED_TRACE(n + 1);
        const QStringList texts = stringsOf(pages[n]);
        EXPECT_EQ(texts.first(), QStringLiteral("Empty Shelf Ltd"));
        EXPECT_EQ(texts.last(), QStringLiteral("Page %1").arg(n + 1));
        EXPECT_EQ(texts.count(QStringLiteral("ADDRESS")), n == 0 ? 1 : 0);
        rows += int(texts.count(QStringLiteral("78-70-6")));
    }
    EXPECT_EQ(rows, 120);
}

TEST(SupplierSheet, CursorsAreClosedAfterAFailedRun)
{
    SupplierSheet s;
    TRpPrinter used;
    s.form.run(QStringLiteral("S01"), used);
    EXPECT_THROW(s.form.run(QStringLiteral("S01"), used), TRpError);
    EXPECT_TRUE(allClosed(s.form.datasets()));
    EXPECT_EQ(s.run(QStringLiteral("S02")).size(), 1u);
}

// Both sheets of the sample database as PDF: the texts are real text in the file. Setting
// ZEL_KEEP_SHEETS to a directory keeps the files there for a look.
TEST(SampleSheets, PdfTextOfBothSheets)
{
    zel::test::DatabaseFixture db(
        zel::data::readSampleSources(QStringLiteral(ZEL_SOURCE_DIR "/sample")));
    zel::test::TempDir out;
    const QString keep = qEnvironmentVariable("ZEL_KEEP_SHEETS");
    const QString dir = keep.isEmpty() ? out.path() : keep;
    const QString materialPdf = dir + QStringLiteral("/material.pdf");
    const QString supplierPdf = dir + QStringLiteral("/supplier.pdf");
    {
        TPrintMaterial form(db.db.get());
        TRpPrinter pdf(materialPdf, 300);
        form.run(sfOf(db.db.get(), QStringLiteral("78-70-6")), QStringLiteral("78-70-6"), pdf);
        EXPECT_TRUE(allClosed(form.datasets()));
    }
    QString supnr;
    {
        zel::data::Dataset sup;
        sup.setDatabase(db.db.get());
        sup.setTableName(QStringLiteral("SUPPLIER.DB"));
        sup.open();
        sup.first();
        supnr = sup.text(QStringLiteral("supnr"));
    }
    {
        TPrintSupplier form(db.db.get());
        TRpPrinter pdf(supplierPdf, 300);
        form.run(supnr, pdf);
    }
    EXPECT_TRUE(zel::test::readFile(materialPdf).startsWith("%PDF-"));
    EXPECT_TRUE(zel::test::readFile(supplierPdf).startsWith("%PDF-"));
    const auto m = pdfText(materialPdf);
    if (!m) {
        std::cout << "pdftotext is not installed (poppler-utils); PDF text not checked\n";
        return;
    }
    EXPECT_TRUE(m->contains(QStringLiteral("Linalool"))) << m->toStdString();
    EXPECT_TRUE(m->contains(QStringLiteral("78-70-6")));
    EXPECT_TRUE(m->contains(QStringLiteral("STABILITY RECORD")));
    EXPECT_TRUE(m->contains(QStringLiteral("COMMERCIAL NAME / SYNONYM")));
    const auto s = pdfText(supplierPdf);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->contains(QStringLiteral("MATERIALS"))) << s->toStdString();
    EXPECT_TRUE(s->contains(QStringLiteral("Page 1")));
}
