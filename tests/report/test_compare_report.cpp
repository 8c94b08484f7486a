// The comparison on paper: real PDF files read back with pdftotext (poppler-utils); without it
// the test is skipped.
#include "CompareContent.h"
#include "Fixture.h"
#include "ReportTestData.h"
#include "model/StabilityMedia.h"
#include "report/TPrintCompare.h"
#include "report/TRpError.h"
#include "report/TRpPrinter.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zel;

namespace {

QString poppler(const QStringList& args)
{
    QProcess p;
    p.start(test::pdftotext(), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class CompareReport : public ::testing::TestWithParam<int>
{
};

TEST_P(CompareReport, PrintsEachMaterialAndMarksOnlyTheMediaWhereTheyDiffer)
{
    if (test::pdftotext().isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (poppler-utils)";
    const int n = GetParam();
    const test::DatabaseFixture db(test::compareContent());
    report::TPrintCompare form(db.db.get());
    QStringList missing;
    const model::Comparison comparison = form.read(test::comparedCas(n), &missing);
    ASSERT_TRUE(missing.isEmpty());
    const QString pdf = db.dir.file(QStringLiteral("comparison.pdf"));
    {
        report::TRpPrinter printer(pdf, 300);
        form.run(comparison, printer);
    }
    // Upright up to three materials, sideways above.
    const QRegularExpressionMatch page =
        QRegularExpression(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""))
            .match(poppler({QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    ASSERT_TRUE(page.hasMatch());
    EXPECT_EQ(page.captured(1).toDouble() > page.captured(2).toDouble(), n > 3);

    // Nothing is lost to narrow columns: texts wrap within their column, and a word wider than
    // one goes on over lines.
    QString raw = poppler({QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(raw.simplified().contains(QStringLiteral("Alpha Base (Civet & Sons)")));
    raw.remove(QRegularExpression(QStringLiteral("\\s")));
    EXPECT_TRUE(raw.contains(QStringLiteral("1,7,7-Trimethylbicyclo[2.2.1]heptan-2-ol")));
    for (const QString& cas : test::comparedCas(n))
        EXPECT_TRUE(raw.contains(cas)) << cas.toStdString();

    // The media go on from page to page, never one a page: the short texts take two at most.
    const QString text = poppler({QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_LE(text.count(QLatin1Char('\f')), 2);
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines << line.simplified();
    // Medium i reads "+" under material i alone; the rows of media 2 to n are marked.
    for (int i = 1; i <= model::MediaCount; ++i) {
        const QString label = model::mediumLabel(i).simplified();
        QStringList expected{label};
        for (int k = 1; k <= n; ++k)
            expected << (k == i && k > 1 ? QStringLiteral("+") : QStringLiteral("++"));
        if (i >= 2 && i <= n)
            expected.prepend(QStringLiteral("\u2260"));
        const auto row = std::find_if(lines.begin(), lines.end(), [&](const QString& l) {
            return l.startsWith(label) || l.startsWith(QStringLiteral("\u2260 ") + label);
        });
        ASSERT_NE(row, lines.end()) << label.toStdString();
        EXPECT_EQ(*row, expected.join(QLatin1Char(' ')));
    }
}

INSTANTIATE_TEST_SUITE_P(TwoToSixMaterials, CompareReport, ::testing::Range(2, 7));

TEST(CompareReport, OneMaterialPrintsNothing)
{
    const test::DatabaseFixture db(test::compareContent());
    report::TPrintCompare form(db.db.get());
    const model::Comparison one = form.read(test::comparedCas(1), nullptr);
    const QString pdf = db.dir.file(QStringLiteral("one.pdf"));
    {
        report::TRpPrinter printer(pdf, 300);
        EXPECT_THROW(form.run(one, printer), report::TRpError);
    }
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
