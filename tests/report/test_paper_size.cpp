#include "report/PaperSize.h"

#include <gtest/gtest.h>

using zel::report::PaperSize;

struct PaperCase
{
    const char* name;
    QSizeF page; // tenths of a millimetre
    std::optional<PaperSize::Match> expected;
};

class PaperRecognition : public testing::TestWithParam<PaperCase>
{
};

TEST_P(PaperRecognition, ComparesInWholeUnitsOf4Millimetres)
{
    EXPECT_EQ(PaperSize::recognise(GetParam().page), GetParam().expected);
}

constexpr auto Portrait = QPageLayout::Portrait;
constexpr auto Landscape = QPageLayout::Landscape;

INSTANTIATE_TEST_SUITE_P(
    Sizes, PaperRecognition,
    testing::Values(
        // A4 is codes 9 and 10; the higher one wins.
        PaperCase{"A4", {2100, 2970}, PaperSize::Match{10, Portrait}},
        PaperCase{"A4Sideways", {2970, 2100}, PaperSize::Match{10, Landscape}},
        // A page image of A4 at 96 pixels per inch is 794 x 1123 pixels.
        PaperCase{
            "A4FromPixels", {794 * 254 / 96.0, 1123 * 254 / 96.0}, PaperSize::Match{10, Portrait}},
        // 4 mm units are cut off, not rounded: 208.0 mm is still unit 52, 207.9 mm is not.
        PaperCase{"A4LowerEdge", {2080, 2960}, PaperSize::Match{10, Portrait}},
        PaperCase{"A4TooNarrow", {2079, 2970}, std::nullopt},
        PaperCase{"A4UpperEdge", {2119, 2999}, PaperSize::Match{10, Portrait}},
        PaperCase{"A4TooWide", {2120, 2970}, std::nullopt},
        PaperCase{"A3", {2970, 4200}, PaperSize::Match{8, Portrait}},
        PaperCase{"A5Sideways", {2100, 1480}, PaperSize::Match{11, Landscape}},
        // Letter, Letter Small and Note share a size.
        PaperCase{"Letter", {2159, 2794}, PaperSize::Match{18, Portrait}},
        PaperCase{"Legal", {2159, 3556}, PaperSize::Match{5, Portrait}},
        // Ledger is Tabloid turned; 11x17 is Tabloid again and comes last.
        PaperCase{"Tabloid", {2794, 4318}, PaperSize::Match{17, Portrait}},
        PaperCase{"TabloidSideways", {4318, 2794}, PaperSize::Match{17, Landscape}},
        PaperCase{"Envelope10", {1048, 2413}, PaperSize::Match{20, Portrait}},
        // The sheet sizes are listed as 100 x 100 mm; a square page fits the last of them
        // both ways, and the sideways check comes second.
        PaperCase{"Square", {1000, 1000}, PaperSize::Match{26, Landscape}},
        PaperCase{"Odd", {1234, 567}, std::nullopt}, PaperCase{"Nothing", {0, 0}, std::nullopt}),
    [](const testing::TestParamInfo<PaperCase>& p) { return std::string(p.param.name); });
