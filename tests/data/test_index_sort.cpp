// The in-memory sort of an index against a plain stable sort by the same comparison: tables
// with long common beginnings, many equal keys, texts of other alphabets (surrogate pairs
// among them), blanks and damaged numbers, keys of several fields of both kinds.
#include "Fixture.h"
#include "data/base/Error.h"
#include "data/engine/Collation.h"
#include "data/engine/Index.h"
#include "data/engine/Table.h"
#include "model/Schema.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>
#include <random>

using namespace zel::data;
using namespace zel::model;

namespace {

const QString kText = QStringLiteral("t");
const QString kOther = QStringLiteral("u");
const QString kNumber = QStringLiteral("n");
const QString kDate = QStringLiteral("d");
const QString kId = QStringLiteral("id");

std::vector<FieldDef> sortFields()
{
    return {{kText, FieldType::Text, 60},
            {kOther, FieldType::Text, 60},
            {kNumber, FieldType::Number, 8},
            {kDate, FieldType::Date, 4},
            {kId, FieldType::Integer, 4}};
}

// What the index must agree with: a stable sort of the record numbers by the key, each part
// read through the table.
std::vector<int> referenceOrder(const Table& table, const IndexDef& def)
{
    std::vector<int> fields;
    for (const QString& name : def.fields)
        fields.push_back(table.fieldIndex(name));
    const auto text = [&](int r, int f) {
        const QString t = table.text(r, f).toString();
        return def.caseInsensitive() ? collation::key(t) : t;
    };
    const auto number = [&](int r, int f) {
        return table.isNull(r, f) ? -std::numeric_limits<double>::infinity() : table.number(r, f);
    };
    const auto compare = [&](int a, int b) {
        for (const int f : fields) {
            const FieldType type = table.field(f).type;
            if (type == FieldType::Text) {
                if (const int c = QStringView(text(a, f)).compare(text(b, f)); c != 0)
                    return c;
                continue;
            }
            const double x = number(a, f), y = number(b, f);
            if (std::isnan(x) || std::isnan(y)) {
                if (std::isnan(x) != std::isnan(y))
                    return std::isnan(x) ? 1 : -1;
            } else if (x != y) {
                return x < y ? -1 : 1;
            }
        }
        return 0;
    };
    std::vector<int> order(static_cast<size_t>(table.recordCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
    return order;
}

std::vector<int> indexOrder(const Index& index)
{
    std::vector<int> order;
    for (int i = 0; i < index.size(); ++i)
        order.push_back(index.recordAt(i));
    return order;
}

struct SortCase
{
    const char* what;
    // The characters texts are made of; one entry may be a surrogate pair.
    QStringList alphabet;
    int maxLength;
    // Put in front of about half the texts.
    QString commonStart;
    QStringList key;
    int records = 2000;
    // Given to a single record as its first text: a character no other text has.
    QString rare = {};
};

void PrintTo(const SortCase& c, std::ostream* os)
{
    *os << c.what;
}

class IndexSort : public ::testing::TestWithParam<SortCase>
{
};

TableStore makeStore(const SortCase& c, unsigned seed)
{
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto makeText = [&] {
        QString t = pick(2) == 0 ? c.commonStart : QString();
        const int length = pick(c.maxLength + 1);
        for (int i = 0; i < length; ++i)
            t += c.alphabet[pick(static_cast<int>(c.alphabet.size()))];
        return t;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double numbers[] = {
        -1e300, -2.5, -0.0, 0.0, 1, 1.5, 1e300, std::numeric_limits<double>::infinity(), nan, -nan};
    std::vector<int> ids(static_cast<size_t>(c.records));
    std::iota(ids.begin(), ids.end(), 1);
    std::shuffle(ids.begin(), ids.end(), random);
    TableStoreBuilder b(sortFields());
    for (int r = 0; r < c.records; ++r) {
        b.addRecord();
        b.setText(0, r == 1 && !c.rare.isEmpty() ? c.rare : makeText());
        b.setText(1, makeText());
        if (pick(5) != 0)
            b.setNumber(2, numbers[pick(std::size(numbers))]);
        if (pick(5) != 0)
            b.setDate(3, QDate(2000, 1, 1).addDays(pick(40) - 20));
        b.setInteger(4, ids[static_cast<size_t>(r)]);
    }
    return b.finish();
}

TEST_P(IndexSort, GivesTheOrderOfAStableSort)
{
    const SortCase& c = GetParam();
    // The primary key ends in a unique id so that it stays unique over any data.
    TableDef def{QStringLiteral("SORTED.DB"),
                 sortFields(),
                 {{QStringLiteral("primary"), c.key + QStringList{kId}, true},
                  {QStringLiteral("folded"), c.key, false}}};
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        const auto table = Table::fromStore(def.fileName, makeStore(c, seed), &def);
        for (const IndexDef& index : def.indexes)
            EXPECT_EQ(indexOrder(table->index(index)), referenceOrder(*table, index))
                << index.name.toStdString();
    }
}

const QStringList kSmall{QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("b"),
                         QStringLiteral("é")};
const QStringList kScripts{
    QStringLiteral("α"),          QStringLiteral("Ω"),          QStringLiteral("ж"),
    QStringLiteral("Я"),          QStringLiteral("香"),         QStringLiteral("水"),
    QStringLiteral("\U0001F600"), QStringLiteral("\U00020000"), QStringLiteral("\uFF21"),
    QStringLiteral("\uE000"),     QStringLiteral("a"),          QStringLiteral(" ")};

QStringList manyCharacters()
{
    QStringList chars;
    for (char16_t u = 0x100; u < 0x400; u += 3)
        chars << QString(QChar(u));
    return chars;
}

const SortCase kSortCases[] = {
    {"few letters, short texts", kSmall, 3, {}, {kText}},
    {"few letters around the packed length", kSmall, 20, {}, {kText}},
    {"one letter: texts differ only in length", {QStringLiteral("a")}, 40, {}, {kText}},
    {"long common beginning", kSmall, 6, QStringLiteral("ABCDEFGHIJKLMNOPQRS"), {kText}},
    {"Greek, Cyrillic, CJK and surrogate pairs", kScripts, 8, {}, {kText}},
    {"hundreds of distinct characters", manyCharacters(), 6, {}, {kText}},
    {"text then text", kSmall, 4, QStringLiteral("xyzxyzxyz"), {kText, kOther}},
    {"text then number", kSmall, 3, {}, {kText, kNumber}},
    {"number then text", kSmall, 3, {}, {kNumber, kText}},
    {"date then number then text", kScripts, 2, {}, {kDate, kNumber, kText}},
    {"one text with a character below all others",
     kSmall,
     18,
     {},
     {kText},
     2000,
     QStringLiteral("ab!ba")},
    {"one text with a character above all others",
     kSmall,
     18,
     {},
     {kText, kOther},
     2000,
     QStringLiteral("\u4E00")},
    {"blank texts only", kSmall, 0, {}, {kText, kOther}},
    {"one record", kScripts, 5, {}, {kText, kNumber}, 1},
    {"no records", kScripts, 5, {}, {kText}, 0},
};

INSTANTIATE_TEST_SUITE_P(Tables, IndexSort, ::testing::ValuesIn(kSortCases));

// A table whose primary key is given whole: whether it is refused as a duplicate.
struct DuplicateCase
{
    const char* what;
    QStringList texts;
    std::vector<double> numbers; // NaN: blank
    bool refused;
};

void PrintTo(const DuplicateCase& c, std::ostream* os)
{
    *os << c.what;
}

class PrimaryKey : public ::testing::TestWithParam<DuplicateCase>
{
};

TEST_P(PrimaryKey, RefusesADuplicateAndOnlyThat)
{
    const DuplicateCase& c = GetParam();
    TableDef def{QStringLiteral("KEYED.DB"),
                 sortFields(),
                 {{QStringLiteral("primary"), {kText, kNumber}, true}}};
    // Many records around the pair, so that the pair meets among many comparisons.
    TableStoreBuilder b(sortFields());
    for (int r = 0; r < 500; ++r) {
        b.addRecord();
        b.setText(0, QStringLiteral("filler %1").arg(r));
        if (r < static_cast<int>(c.texts.size())) {
            b.setText(0, c.texts[r]);
            if (!std::isnan(c.numbers[static_cast<size_t>(r)]))
                b.setNumber(2, c.numbers[static_cast<size_t>(r)]);
        }
    }
    TableStore store = b.finish();
    if (c.refused) {
        try {
            Table::fromStore(def.fileName, std::move(store), &def);
            FAIL() << "a duplicate key was accepted";
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(
                QString::fromUtf8(e.what()).contains(QStringLiteral("duplicate primary key")))
                << e.what();
        }
    } else {
        const auto table = Table::fromStore(def.fileName, std::move(store), &def);
        EXPECT_EQ(indexOrder(table->index(def.indexes[0])), referenceOrder(*table, def.indexes[0]));
    }
}

const double kBlank = std::numeric_limits<double>::quiet_NaN();
const QString kLong = QStringLiteral("Bergamot oil, bergapten-free, Italy");

const DuplicateCase kDuplicateCases[] = {
    {"the same text and number", {QStringLiteral("Rose"), QStringLiteral("Rose")}, {1, 1}, true},
    {"texts differing in case only",
     {QStringLiteral("Rose"), QStringLiteral("rose")},
     {1, 1},
     false},
    {"the same text, other numbers",
     {QStringLiteral("Rose"), QStringLiteral("Rose")},
     {1, 2},
     false},
    {"zero and minus zero", {QStringLiteral("Rose"), QStringLiteral("Rose")}, {0.0, -0.0}, true},
    {"both blank", {QString(), QString()}, {kBlank, kBlank}, true},
    {"blank and zero", {QString(), QString()}, {kBlank, 0}, false},
    {"long texts alike", {kLong, kLong}, {3, 3}, true},
    {"long texts differing in their last letter", {kLong, kLong.chopped(1) + u'z'}, {3, 3}, false},
    {"a text and the same text longer", {kLong.left(5), kLong.left(6)}, {3, 3}, false},
    {"the same surrogate pair",
     {QStringLiteral("\U0001F600"), QStringLiteral("\U0001F600")},
     {kBlank, kBlank},
     true},
};

INSTANTIATE_TEST_SUITE_P(Tables, PrimaryKey, ::testing::ValuesIn(kDuplicateCases));

// A table with changes not yet posted is sorted by its changed values, and a change that
// gives two records one primary key is refused.
TEST(IndexSortEdits, SortsByChangedValues)
{
    zel::test::DatabaseFixture f(makeScaleContent(150, 600, 20));
    auto table = Table::open(f.dir.file(QStringLiteral("SYNONYMS.DB")), &schema::synonyms(),
                             Table::Access::Exclusive, Session::instance().passwords());
    const int name = table->fieldIndex(QStringLiteral("name"));
    const int cas = table->fieldIndex(QStringLiteral("cas"));
    for (int r = 0; r < table->recordCount(); r += 7)
        table->setValue(r, name,
                        (r % 2 ? QStringLiteral("ΑΒΓ %1") : QStringLiteral("αβγ %1")).arg(r));
    table->setValue(3, cas, QStringLiteral("0000-00-0"));
    for (const IndexDef& def : schema::synonyms().indexes) {
        Index index(*table, def);
        index.build();
        EXPECT_EQ(indexOrder(index), referenceOrder(*table, def)) << def.name.toStdString();
    }
    for (int field = 0; field < table->fieldCount(); ++field)
        table->setValue(1, field, table->value(0, field));
    Index primary(*table, schema::synonyms().indexes.front());
    EXPECT_THROW(primary.build(), DatabaseError);
}

} // namespace
