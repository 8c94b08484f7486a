// The arithmetic behind line and page breaks, value in and value out, and the text measure
// every device shares.
#include "report/LineBreaker.h"
#include "report/PageBreaking.h"
#include "report/PainterCanvas.h"
#include "report/TextMeasure.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace zel::report;

namespace {

// Every character is one unit wide, "W" two: widths are easy to count in the cases below.
double units(const QString& s)
{
    double w = 0;
    for (const QChar c : s)
        w += c == QLatin1Char('W') ? 2 : 1;
    return w;
}

struct WrapCase
{
    const char* name;
    const char* text;
    double width;
    QStringList lines;
};

void PrintTo(const WrapCase& c, std::ostream* os)
{
    *os << c.name;
}

class Wrap : public testing::TestWithParam<WrapCase>
{
};

TEST_P(Wrap, BreaksAsPrintablesDo)
{
    const WrapCase& c = GetParam();
    EXPECT_EQ(LineBreaker::wrap(QString::fromUtf8(c.text), c.width, units), c.lines);
}

QStringList L(std::initializer_list<const char*> lines)
{
    QStringList l;
    for (const char* s : lines)
        l << QString::fromUtf8(s);
    return l;
}

INSTANTIATE_TEST_SUITE_P(
    LineBreaker, Wrap,
    testing::Values(
        WrapCase{"BlankStaysWithItsWord", "alpha beta gamma", 11, L({"alpha beta ", "gamma"})},
        WrapCase{"HyphenEndsAWord", "well-known scent", 6, L({"well-", "known ", "scent"})},
        WrapCase{"CarriageReturnEndsALine", "one\rtwo three", 100, L({"one", "two three"})},
        WrapCase{"LineFeedIsDropped", "one\ntwo", 100, L({"onetwo"})},
        WrapCase{"EmptyLineKept", "one\r\rtwo", 100, L({"one", "", "two"})},
        WrapCase{"EmptyText", "", 10, L({""})}, WrapCase{"ExactFit", "abcd", 4, L({"abcd"})},
        WrapCase{"JustTooNarrowCutsAFirstWord", "abcd", 3.999, L({"abc"})},
        // First on its line, a word keeps the characters that leave the line narrower than
        // the printable; after a finished line, those that fit.
        WrapCase{"LongWordFirst", "abcdefghij", 4, L({"abc"})},
        WrapCase{"LongWordAfterALine", "ab abcdefghij", 4, L({"ab ", "abcd"})},
        WrapCase{"LongWordBetween", "x abcdefgh y", 5, L({"x ", "abcde", "y"})},
        WrapCase{"WideCharactersCount", "WWW WW", 7, L({"WWW ", "WW"})},
        WrapCase{"DoubleBlanksStay", "a  b", 100, L({"a  b"})},
        WrapCase{"TrailingCarriageReturn", "end\r", 100, L({"end", ""})}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LineBreaker, PiecesAreTheTextsOwnLines)
{
    EXPECT_EQ(LineBreaker::pieces(QStringLiteral("a b\r\nc\rd")), L({"a b", "c", "d"}));
    EXPECT_EQ(LineBreaker::pieces(QString()), L({""}));
}

struct BandCase
{
    const char* name;
    double needed, y;
    bool moves;
};

void PrintTo(const BandCase& c, std::ostream* os)
{
    *os << c.name;
}

class BandBreak : public testing::TestWithParam<BandCase>
{
};

// An A4 sheet with margins top 20 mm and bottom 10 mm and a footer of 11.9 mm: the footer
// starts at 275.1 mm and an empty page holds 267 mm.
const PageSpace kSheet{2970, 200, 100, 119};

TEST_P(BandBreak, MovesOnlyWhenItWouldFitOnAnEmptyPage)
{
    const BandCase& c = GetParam();
    EXPECT_EQ(kSheet.bandMovesToNewPage(c.needed, c.y), c.moves);
}

INSTANTIATE_TEST_SUITE_P(PageSpace, BandBreak,
                         testing::Values(BandCase{"Fits", 100, 2600, false},
                                         BandCase{"EndsOnTheFooter", 151, 2600, false},
                                         BandCase{"OneTenthTooTall", 152, 2600, true},
                                         BandCase{"AsTallAsAnEmptyPage", 2670, 2000, true},
                                         BandCase{"TallerThanAnyPage", 2671, 2000, false},
                                         BandCase{"EmptyBandAtTheFooter", 0, 2751, false},
                                         BandCase{"AnyBandBelowTheFooter", 1, 2800, true}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(PageSpace, Edges)
{
    EXPECT_DOUBLE_EQ(kSheet.footerTop(), 2751);
    EXPECT_DOUBLE_EQ(kSheet.usableHeight(), 2670);
    EXPECT_DOUBLE_EQ(kSheet.spaceLeft(2700), 51);
}

struct LineCase
{
    const char* name;
    TextBox box;
    int line;
    double grown, bandExtra;
    LineFit expected;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

class LineStep : public testing::TestWithParam<LineCase>
{
};

TEST_P(LineStep, FitsGrowsOrStops)
{
    const LineCase& c = GetParam();
    const LineFit fit = LineFit::next(c.box, c.line, c.grown, c.bandExtra, kSheet.footerTop());
    EXPECT_EQ(fit.outcome, c.expected.outcome);
    EXPECT_NEAR(fit.bandExtra, c.expected.bandExtra, 1e-9);
}

// A text 4.5 mm high at 10.3 mm on a 14.8 mm band, lines 3.84 mm high: the sections of the
// material sheet.
constexpr TextBox kSection{1000, 148, 103, 45, 38.4, true, false};

TextBox with(TextBox box, double bandTop, bool stretch = true, bool footer = false)
{
    box.bandTop = bandTop;
    box.autoStretch = stretch;
    box.inFooter = footer;
    return box;
}

INSTANTIATE_TEST_SUITE_P(
    LineFit, LineStep,
    testing::Values(
        LineCase{"FirstLineFits", kSection, 0, 0, 0, {LineFit::Fits, 0}},
        LineCase{"SecondLineGrowsTheBand", kSection, 1, 0, 0, {LineFit::Grows, 38.4}},
        LineCase{"GrownRoomTakesTheLine", kSection, 1, 38.4, 38.4, {LineFit::Fits, 38.4}},
        LineCase{
            "ALargerGrowthOfAnotherPrintableStands", kSection, 1, 0, 100, {LineFit::Grows, 100}},
        LineCase{"WithoutStretchTheRestIsDropped",
                 with(kSection, 1000, false),
                 1,
                 0,
                 0,
                 {LineFit::Stops, 0}},
        LineCase{
            "AFooterNeverGrows", with(kSection, 2751, true, true), 1, 0, 0, {LineFit::Stops, 0}},
        LineCase{"GrowingIntoTheFooterStops", with(kSection, 2600), 1, 0, 0, {LineFit::Stops, 0}},
        LineCase{"GrowingUpToTheFooterIsAllowed",
                 with(kSection, 2751 - 148 - 38.4),
                 1,
                 0,
                 0,
                 {LineFit::Grows, 38.4}}),
    [](const auto& param) { return std::string(param.param.name); });

// Line breaking adds up the widths of words, so a text must be as wide as its pieces, also
// across pairs that fonts kern or join.
TEST(TextMeasure, WidthsAddUp)
{
    TextMeasure m;
    const TextFont font;
    for (const auto& [a, b] : {std::pair{"Off", "ice"}, std::pair{"A", "V"}, std::pair{"T", "o"},
                               std::pair{"Ros", "\u00e9 Absolu"}, std::pair{"f", "i"}}) {
        const QString left = QString::fromUtf8(a), right = QString::fromUtf8(b);
        EXPECT_NEAR(m.width(font, left + right), m.width(font, left) + m.width(font, right), 1e-9)
            << a << b;
    }
    EXPECT_EQ(m.width(font, QString()), 0);
    TextFont bold = font;
    bold.bold = true;
    EXPECT_GT(m.width(bold, QStringLiteral("Material")), m.width(font, QStringLiteral("Material")));
    EXPECT_GT(m.lineHeight(font), 30) << "10 pt lines are nearly 4 mm high";
    EXPECT_LT(m.lineHeight(font), 45);
}

// A page image places every character by the reference font's advances; the measure must be
// exactly those, or text runs past the room the layout gave it.
TEST(TextMeasure, IsWhatPageImagesPlaceCharactersBy)
{
    TextMeasure m;
    TextFont font;
    font.pointSize = 8;
    const QFontMetricsF reference(TextMeasure::referenceFont(font));
    const QString text = QStringLiteral("Zürich, aldehyde House");
    double pixels = 0;
    for (const QChar c : text)
        pixels += reference.horizontalAdvance(QString(c));
    EXPECT_NEAR(m.width(font, text), TextMeasure::toNative(pixels), 1e-9);
}

// On a printer the text is drawn with the device's own font, which is a fraction of a percent
// wider or narrower than the measure; the canvas evens that out, so a long line ends where
// the layout ends it rather than running into the next column.
TEST(PainterCanvas, DrawsTextAsWideAsTheLayoutMeasuredIt)
{
    const double dpi = 600;
    TextFont font;
    const QString text = QStringLiteral("linalool ").repeated(24) + QStringLiteral("HH");
    TextMeasure m;
    const double wanted = m.width(font, text) * dpi / 254;
    QImage image(int(wanted) + 400, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter, dpi);
        canvas.drawText({100, 20}, text, font, {});
    }
    int inkRight = -1;
    for (int x = image.width() - 1; x >= 0 && inkRight < 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128) {
                inkRight = x;
                break;
            }
    const QFontMetricsF device(TextMeasure::deviceFont(font), &image);
    const double expected = 100 + wanted - device.rightBearing(QLatin1Char('H'));
    EXPECT_NEAR(inkRight, expected, 3);
}

} // namespace
