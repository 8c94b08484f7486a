// The ranking of stable alternatives on real tables: the sample database and a scale one, and
// a few materials made to tell a rare shared descriptor from a common one.
#include "Fixture.h"
#include "data/engine/Table.h"
#include "model/Names.h"
#include "search/OdourSimilarity.h"

#include <gtest/gtest.h>
#include <random>

using namespace zel;
using search::OdourSimilarity;
using search::StabilityRequirement;

namespace {

std::shared_ptr<data::Table> materials(const test::DatabaseFixture& f)
{
    return f.db->table(model::tables::material);
}

TEST(OdourSimilarity, ARareSharedDescriptorRanksAboveACommonOne)
{
    data::DatabaseContent c;
    const auto add = [&](const char* cas, const char* odour, const char* stabil) {
        data::MaterialRow m;
        m.name = m.cas = QString::fromLatin1(cas);
        m.odour = QString::fromLatin1(odour);
        m.stabil = QString::fromLatin1(stabil);
        c.materials.push_back(m);
    };
    const QString all2(33, QLatin1Char('2'));
    add("1-00-1", "sweet, ambergris", qPrintable(all2));
    add("1-00-2", "Sweet, fruity", qPrintable(all2));     // shares only the common word
    add("1-00-3", "AMBERGRIS, fruity", qPrintable(all2)); // shares only the rarer one
    add("1-00-4", "sweet floral", qPrintable(all2));
    add("1-00-5", "sweet green", qPrintable(all2));
    add("1-00-6", "", qPrintable(all2));
    add("1-00-7", "ambergris", "0000000000000000000000000"); // "-" in medium 23
    test::DatabaseFixture f(c);
    const auto table = materials(f);
    const auto cas = [&](const OdourSimilarity::Match& m) {
        return table->text(m.record, table->fieldIndex(model::fields::cas)).toString();
    };
    const auto order = [&](const StabilityRequirement& asked) {
        QStringList listed;
        for (const auto& m : OdourSimilarity::of(*table)->rank(0, asked, 10))
            listed << cas(m);
        return listed;
    };
    const QStringList any = order({});
    EXPECT_LT(any.indexOf(QStringLiteral("1-00-3")), any.indexOf(QStringLiteral("1-00-2")))
        << qPrintable(any.join(u' '));
    EXPECT_FALSE(any.contains(QStringLiteral("1-00-6"))) << "nothing shared, nothing listed";
    EXPECT_FALSE(any.contains(QStringLiteral("1-00-1"))) << "the material itself";
    StabilityRequirement shampoo;
    shampoo.media[22] = StabilityRequirement::GoodOrBetter;
    EXPECT_TRUE(any.contains(QStringLiteral("1-00-7")));
    EXPECT_FALSE(order(shampoo).contains(QStringLiteral("1-00-7")));
}

struct Scale
{
    const char* name;
    int materials; // 0: the sample database
};

class Properties : public ::testing::TestWithParam<Scale>
{
};

// Over every material of a real database, with random media asked for: never the material
// itself, every one listed meets what was asked, best first, and the same twice.
TEST_P(Properties, HoldForEveryMaterial)
{
    const Scale s = GetParam();
    test::DatabaseFixture f(
        s.materials ? data::makeScaleContent(s.materials, s.materials * 5, 40)
                    : data::readSampleSources(QStringLiteral(ZEL_SOURCE_DIR "/sample")));
    const auto table = materials(f);
    const int stabil = table->fieldIndex(model::fields::stabil);
    const auto similarity = OdourSimilarity::of(*table);
    EXPECT_EQ(similarity, OdourSimilarity::of(*table)) << "weights made twice for one load";
    std::mt19937 random(8);
    int listed = 0;
    for (int r = 0; r < table->recordCount(); r += s.materials ? 97 : 1) {
        StabilityRequirement asked;
        for (int k = 0; k < 3; ++k)
            asked.media[random() % 33] =
                k % 2 ? StabilityRequirement::VeryGood : StabilityRequirement::GoodOrBetter;
        const auto ranking = similarity->rank(r, r % 2 ? asked : StabilityRequirement{}, 12);
        listed += int(ranking.size());
        for (size_t i = 0; i < ranking.size(); ++i) {
            EXPECT_NE(ranking[i].record, r);
            EXPECT_GT(ranking[i].score, 0);
            EXPECT_LE(ranking[i].score, 1.0 + 1e-9);
            if (i > 0) {
                EXPECT_GE(ranking[i - 1].score, ranking[i].score);
            }
            if (r % 2) {
                const QByteArray ratings = table->text(ranking[i].record, stabil).toLatin1();
                EXPECT_TRUE(asked.metBy(ratings.constData(), int(ratings.size())));
            }
        }
    }
    EXPECT_GT(listed, 0);
}

INSTANTIATE_TEST_SUITE_P(OdourSimilarity, Properties,
                         ::testing::Values(Scale{"Sample", 0}, Scale{"Scale", 3000}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
