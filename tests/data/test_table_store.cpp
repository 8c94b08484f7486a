// The compact storage as another loader fills it: values of every kind go in through the
// builder and come out the same, blanks stay blank, and a value of the wrong kind is refused.
#include "common/TableDump.h"
#include "data/base/Error.h"
#include "data/base/TableStore.h"

#include <gtest/gtest.h>

using namespace zel::data;

namespace {

struct StoreCase
{
    const char* what;
    FieldType type;
    QVariant in;
    QVariant out;     // what value() gives back; invalid: the same as in
    const char* dump; // the cell as zeltool dump prints it
};

void PrintTo(const StoreCase& c, std::ostream* os)
{
    *os << c.what;
}

class StoreValues : public ::testing::TestWithParam<StoreCase>
{
};

TEST_P(StoreValues, ComeBackAsTheyWent)
{
    const StoreCase& c = GetParam();
    TableStoreBuilder b(
        {{QStringLiteral("key"), FieldType::Integer, 4}, {QStringLiteral("value"), c.type, 10}});
    b.reserve(3, 16);
    b.addRecord();
    b.setInteger(0, 1);
    b.setValue(1, c.in);
    b.addRecord(); // left blank
    b.setInteger(0, 2);
    const TableStore t = b.finish();
    ASSERT_EQ(t.recordCount(), 2);
    const QVariant expected = c.out.isValid() ? c.out : c.in;
    EXPECT_EQ(t.value(0, 1), expected);
    EXPECT_EQ(dumpCell(t, 0, 1), QString::fromUtf8(c.dump));
    EXPECT_TRUE(t.isNull(1, 1));
    EXPECT_FALSE(t.value(1, 1).isValid());
    EXPECT_EQ(dumpCell(t, 1, 1), QString());
    EXPECT_EQ(t.integer(1, 0), 2);
}

const StoreCase kStoreCases[] = {
    {"text", FieldType::Text, QStringLiteral("Crème Ω"), {}, "Crème Ω"},
    {"integer", FieldType::Integer, qlonglong(-42), {}, "-42"},
    {"autoincrement", FieldType::AutoIncrement, qlonglong(7), {}, "7"},
    {"number", FieldType::Number, 0.1, {}, "0.1"},
    {"currency", FieldType::Currency, -19.99, {}, "-19.99"},
    {"leap day", FieldType::Date, QDate(2000, 2, 29), {}, "2000-02-29"},
    {"date before 1900", FieldType::Date, QDate(1812, 6, 24), {}, "1812-06-24"},
    {"time", FieldType::Time, QTime(23, 59, 59, 999), {}, "23:59:59.999"},
    {"timestamp",
     FieldType::Timestamp,
     QDateTime(QDate(1969, 7, 20), QTime(20, 17, 40), Qt::UTC),
     {},
     "1969-07-20T20:17:40"},
    {"logical", FieldType::Logical, false, {}, "false"},
    {"BCD as decimal text", FieldType::Bcd, QStringLiteral("-0.05"), {}, "-0.05"},
    {"memo", FieldType::Memo, QStringLiteral("two\r\nlines"), {}, "two\r\nlines"},
    {"bytes", FieldType::Bytes, QByteArray("\x00\x01", 2), {}, "2:AAE="},
    {"graphic", FieldType::Graphic, QByteArray("GIF89a"), {}, "6:R0lGODlh"},
};

INSTANTIATE_TEST_SUITE_P(EveryKind, StoreValues, ::testing::ValuesIn(kStoreCases));

TEST(StoreBuilder, RefusesAValueOfTheWrongKindOrAFieldItHasNot)
{
    TableStoreBuilder b(
        {{QStringLiteral("n"), FieldType::Integer, 4}, {QStringLiteral("s"), FieldType::Text, 4}});
    EXPECT_THROW(b.setInteger(0, 1), DatabaseError) << "no record begun";
    b.addRecord();
    EXPECT_THROW(b.setText(0, u"x"), DatabaseError);
    EXPECT_THROW(b.setNumber(1, 1.0), DatabaseError);
    EXPECT_THROW(b.setInteger(2, 1), DatabaseError);
    EXPECT_THROW(b.setInteger(-1, 1), DatabaseError);
    b.setText(1, u"ok");
    b.addRecord();
    b.setText(1, u""); // empty text is blank
    const TableStore t = b.finish();
    EXPECT_EQ(t.text(0, 1), QStringLiteral("ok"));
    EXPECT_TRUE(t.isNull(0, 0));
    EXPECT_TRUE(t.isNull(1, 1));
}

// Text of many records in one arena that grows past what was reserved: every record keeps
// its own text.
TEST(StoreBuilder, TextArenaGrowsWithoutLosingRecords)
{
    TableStoreBuilder b({{QStringLiteral("s"), FieldType::Text, 40}});
    b.reserve(1, 1);
    for (int i = 0; i < 5000; ++i) {
        b.addRecord();
        b.setText(0, QStringLiteral("record number %1").arg(i));
    }
    const TableStore t = b.finish();
    ASSERT_EQ(t.recordCount(), 5000);
    for (int i : {0, 1, 2499, 4999})
        EXPECT_EQ(t.text(i, 0), QStringLiteral("record number %1").arg(i));
}

} // namespace
