#include "QtPrinters.h"
#include "model/StabilityMedia.h"

#include <gtest/gtest.h>

using namespace zel::model;

namespace {

TEST(StabilityMedia, Labels)
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
