#include "QtPrinters.h"
#include "model/StabilityMedia.h"

#include <gtest/gtest.h>

using namespace zel::model;

namespace {

// The one place that spells out every label: the grids, the search dialog, the report and the
// list's header are each checked to show StabilityMedia() in full, in this order.
TEST(StabilityMedia, EveryLabelInItsPlace)
{
    const QStringList expected =
        QStringLiteral("pH  1:|pH  2:|pH  3:|pH  4:|pH  5:|pH  6:|pH  7:|pH  8:|pH  9:|pH 10:|"
                       "pH 11:|pH 12:|Acid cleaner liquid:|Acid cleaner solid:|Tile cleaner:|"
                       "Cream rinse:|Deo stick:|Antiperspirant:|Fabric softener:|"
                       "Alcoholic lotion:|Hand cream:|Liquid detergent:|Shampoo:|Aerosol:|"
                       "Foam bath:|Bleaching agent:|Talcum:|Soap:|Hard surface cleaner:|"
                       "Detergent (+TAED):|Detergent (+Perbor.):|Softergent:|Cold wave:")
            .split(QLatin1Char('|'));
    ASSERT_EQ(StabilityMedia().size(), MediaCount);
    ASSERT_EQ(expected.size(), MediaCount);
    for (int medium = 1; medium <= MediaCount; ++medium)
        EXPECT_EQ(mediumLabel(medium), expected[medium - 1]) << "medium " << medium;
    EXPECT_EQ(mediumLabel(0), QString());
    EXPECT_EQ(mediumLabel(34), QString());
}

TEST(StabilityMedia, RatingsOfAStabilityString)
{
    const QString s =
        QStringLiteral("012") + QString(30, QLatin1Char('0')) + QStringLiteral("2222222");
    EXPECT_EQ(ratingText(ratingChar(s, 1)), QStringLiteral("-"));
    EXPECT_EQ(ratingText(ratingChar(s, 2)), QStringLiteral("+"));
    EXPECT_EQ(ratingText(ratingChar(s, 3)), QStringLiteral("++"));
    for (int i = 4; i <= MediaCount; ++i)
        EXPECT_EQ(ratingText(ratingChar(s, i)), QStringLiteral("-")) << i;

    const QString shortOne = QStringLiteral("21");
    EXPECT_EQ(ratingText(ratingChar(shortOne, 2)), QStringLiteral("+"));
    EXPECT_EQ(ratingText(ratingChar(shortOne, 3)), QString()) << "past the end: no rating";
    EXPECT_EQ(ratingText(QLatin1Char(' ')), QString());
    EXPECT_EQ(ratingText(QLatin1Char('3')), QString());
    EXPECT_EQ(ratingText(QChar()), QString());
}

} // namespace
