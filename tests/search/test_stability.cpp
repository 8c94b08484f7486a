#include "QtPrinters.h"
#include "search/StabilityDisplay.h"
#include "search/StabilityMedia.h"

#include <gtest/gtest.h>

using namespace zel::search;

namespace {

TEST(StabilityMedia, LabelsAndPlaces)
{
    ASSERT_EQ(StabilityMedia().size(), MediaCount);
    EXPECT_EQ(mediumLabel(1), QStringLiteral("pH  1:"));
    EXPECT_EQ(mediumLabel(10), QStringLiteral("pH 10:"));
    EXPECT_EQ(mediumLabel(23), QStringLiteral("Shampoo:"));
    EXPECT_EQ(mediumLabel(33), QStringLiteral("Cold wave:"));
    EXPECT_EQ(mediumLabel(0), QString());
    EXPECT_EQ(mediumLabel(34), QString());
    for (const QString& label : StabilityMedia())
        EXPECT_TRUE(label.endsWith(QLatin1Char(':'))) << label.toStdString();

    struct Place
    {
        int medium, labelColumn, ratingColumn, row;
    };
    for (const Place& p :
         {Place{1, 0, 1, 0}, Place{17, 0, 1, 16}, Place{18, 2, 3, 0}, Place{33, 2, 3, 15}}) {
        const MediumCell c = mediumCell(p.medium);
        EXPECT_EQ(c.labelColumn, p.labelColumn) << p.medium;
        EXPECT_EQ(c.ratingColumn, p.ratingColumn) << p.medium;
        EXPECT_EQ(c.row, p.row) << p.medium;
    }
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

TEST(StabilityMedia, ColumnWidthsFromTheClientWidth)
{
    EXPECT_EQ(stabilityRatingWidth(300), 28);
    EXPECT_EQ(4 * stabilityRatingWidth(300), 112);
    EXPECT_EQ(stabilityRatingWidth(312), 29);
    EXPECT_LE(10 * stabilityRatingWidth(312), 312 - 20);
}

} // namespace
