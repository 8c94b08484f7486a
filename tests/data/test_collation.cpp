// The order of the case-insensitive indexes: accented letters beside their base letter, other
// alphabets after z, punctuation and the placeholder before the digits; the commercial names
// page and its search in that order; index files that record the order they were sorted by.
#include "Fixture.h"
#include "data/engine/Collation.h"
#include "data/engine/Dataset.h"
#include "data/engine/Index.h"
#include "data/engine/Table.h"
#include "model/Datasets.h"
#include "model/Names.h"
#include "model/Reindex.h"
#include "model/Schema.h"

#include <QDataStream>
#include <QFile>
#include <gtest/gtest.h>

using namespace zel::data;
using namespace zel::model;
using zel::test::DatabaseFixture;

namespace {

struct OrderCase
{
    const char* before;
    const char* after; // nullptr: the two compare equal
};

void PrintTo(const OrderCase& c, std::ostream* os)
{
    *os << c.before << " < " << (c.after ? c.after : "(equal)");
}

class CollationOrder : public ::testing::TestWithParam<OrderCase>
{
};

TEST_P(CollationOrder, SortsAsAReaderExpects)
{
    const OrderCase& c = GetParam();
    const QString a = collation::key(QString::fromUtf8(c.before));
    if (!c.after) {
        EXPECT_EQ(a, collation::key(QString::fromUtf8(c.before).toUpper()));
        return;
    }
    const QString b = collation::key(QString::fromUtf8(c.after));
    EXPECT_LT(a, b) << a.toStdString() << " / " << b.toStdString();
    EXPECT_LT(a, collation::afterAllLetters());
    EXPECT_LT(b, collation::afterAllLetters());
}

INSTANTIATE_TEST_SUITE_P(
    Collation, CollationOrder,
    ::testing::Values(
        OrderCase{"Eau", "Éclat"}, OrderCase{"Éclat", "Ecume"}, OrderCase{"apple", "Zest"},
        OrderCase{"Ölbaum", "Orange"}, OrderCase{"Ölbaum", "Olive"}, OrderCase{"Çedar", "Cypress"},
        // "ß" is "ss": read as one "s", Straße would come before Strassa.
        OrderCase{"Strassa", "Straße"}, OrderCase{"Straße", nullptr}, OrderCase{"Ångström", "Anis"},
        OrderCase{"zzz", "Ρόδο"},  // Greek after the Latin letters
        OrderCase{"Ρόδο", "Роза"}, // Cyrillic after Greek
        OrderCase{"~", "1"}, OrderCase{" leading blank", "0-Lin"}, OrderCase{"0-Lin", "1 Rose"},
        OrderCase{"9", "apple"}, OrderCase{"", "~"}, OrderCase{"©Brand", "1"},
        OrderCase{"Œillet", "Oeillets"}, OrderCase{"Øre", "Orris"}, OrderCase{"géraniol", nullptr},
        OrderCase{"ÉCLAT", nullptr}),
    [](const auto& param) { return "case" + std::to_string(param.index); });

// Ámbar sorts with the a's, so the row above only holds when "zzz" is compared with a name
// beginning with a letter that has no Latin base.
TEST(Collation, AccentedLetterSortsWithItsBaseLetter)
{
    EXPECT_LT(collation::key(u"Ámbar"), collation::key(u"b"));
    EXPECT_GT(collation::key(u"Ámbar"), collation::key(u"alpha"));
    EXPECT_EQ(collation::key(u"Crème Brûlée"), collation::key(u"creme brulee"));
}

// A database whose commercial names begin with accented letters, letters of another alphabet,
// punctuation and digits, in a code page that holds them.
DatabaseContent contentWith(const std::vector<const char*>& extra, int codePage)
{
    DatabaseContent c = zel::test::smallContent();
    // The small database's own accents (Géraniol, Rosé, Zürich) are not in the other code
    // pages tried here, and a table is only written when it holds what it is given.
    const auto plain = [](QString& text) {
        text = text.normalized(QString::NormalizationForm_D);
        text.removeIf([](QChar ch) { return ch.category() == QChar::Mark_NonSpacing; });
    };
    if (codePage != 1252) {
        for (auto& m : c.materials)
            for (QString* text : {&m.name, &m.name1, &m.name2, &m.odour, &m.performance,
                                  &m.application, &m.literature, &m.notes})
                plain(*text);
        for (auto& s : c.synonyms)
            plain(s.name);
        for (auto& s : c.suppliers)
            for (QString* text : {&s.supname, &s.address, &s.city, &s.country})
                plain(*text);
    }
    const QString cas = QStringLiteral("121-33-5");
    int n = 0;
    for (const char* name : extra)
        c.synonyms.push_back({cas, QString::fromUtf8(name),
                              QStringLiteral("S1%1").arg(n++, 2, 10, QLatin1Char('0')), QString()});
    return c;
}

QStringList names(Dataset& ds)
{
    QStringList out;
    for (ds.first(); !ds.eof(); ds.next())
        out << ds.text(fields::name);
    return out;
}

struct PageCase
{
    const char* name;
    int codePage;
    std::vector<const char*> extra;
    std::vector<const char*> listed;                           // the whole page, in order
    std::vector<std::pair<const char*, const char*>> searches; // typed, lands on
};

void PrintTo(const PageCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommercialNamesPage : public ::testing::TestWithParam<PageCase>
{
};

// Every name that begins with a letter of any alphabet, or a digit from 1, is listed in
// reading order; empty names, "0...", "~", a leading blank and punctuation stay off the page.
// Typing the first letters, in any case and with or without accents, finds the name.
TEST_P(CommercialNamesPage, ListsEveryAlphabetInOrderAndFindsItsNames)
{
    const PageCase& c = GetParam();
    WriteOptions options;
    options.codePage = c.codePage;
    DatabaseFixture f(contentWith(c.extra, c.codePage), options);
    DatasetSet sets(f.db.get(), decls::mainWindow());
    sets.openAll();
    Dataset* comm = sets.get(datasets::TableCommSynonyms);
    QStringList expected;
    for (const char* name : c.listed)
        expected << QString::fromUtf8(name);
    EXPECT_EQ(names(*comm), expected);
    for (const auto& [typed, lands] : c.searches) {
        comm->findNearest({QString::fromUtf8(typed)});
        EXPECT_EQ(comm->text(fields::name), QString::fromUtf8(lands)) << typed;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Collation, CommercialNamesPage,
    ::testing::Values(
        PageCase{"WesternAccents",
                 1252,
                 {"Éclat Floral", "Ölbaum", "Çiçek", "Ámbar Gris", "zzz Last", "Øre", "1 Rose",
                  "#hash", "«Quoted»", " Blank"},
                 {"1 Rose", "Ámbar Gris", "apple Lin", "Çiçek", "Éclat Floral", "Ölbaum", "Øre",
                  "Orphan Name", "Rosé Absolu", "Tonka Sweet", "Vanilla Pure", "Zest Lin",
                  "zeta Vanilla", "zzz Last"},
                 {{"é", "Éclat Floral"},
                  {"E", "Éclat Floral"},
                  {"ö", "Ölbaum"},
                  {"c", "Çiçek"},
                  {"ambar", "Ámbar Gris"},
                  {"ROSE", "Rosé Absolu"},
                  {"zzz", "zzz Last"}}},
        // These code pages hold no é: the small database's "Rosé" is given as "Rose".
        PageCase{"Greek",
                 1253,
                 {"Ρόδο", "άνθος", "Λεμόνι", "zzz Last"},
                 {"apple Lin", "Orphan Name", "Rose Absolu", "Tonka Sweet", "Vanilla Pure",
                  "Zest Lin", "zeta Vanilla", "zzz Last", "άνθος", "Λεμόνι", "Ρόδο"},
                 {{"ρ", "Ρόδο"}, {"α", "άνθος"}, {"ΛΕ", "Λεμόνι"}}},
        PageCase{"Cyrillic",
                 1251,
                 {"Роза", "ёлка", "Жасмин", "Zzz Last"},
                 {"apple Lin", "Orphan Name", "Rose Absolu", "Tonka Sweet", "Vanilla Pure",
                  "Zest Lin", "zeta Vanilla", "Zzz Last", "ёлка", "Жасмин", "Роза"},
                 {{"р", "Роза"}, {"ж", "Жасмин"}, {"е", "ёлка"}}}),
    [](const auto& param) { return std::string(param.param.name); });

// Rewrites an index file in the format before collations were recorded: the same header and
// order, no collation.
void writeAsUnrecorded(const QString& zix)
{
    QFile file(zix);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QDataStream in(&file);
    quint32 magic = 0;
    qint64 size = 0, time = 0;
    qint32 records = 0;
    QStringList fieldList;
    QString collationName;
    quint64 checksum = 0;
    in >> magic >> size >> time >> records >> fieldList >> collationName >> checksum;
    const QByteArray order = file.read(records * 4);
    file.close();
    ASSERT_EQ(collationName, collation::name());
    // Files of that format carry FNV-1a of the order byte by byte.
    checksum = 0xcbf29ce484222325ull;
    for (const char b : order)
        checksum = (checksum ^ static_cast<unsigned char>(b)) * 0x100000001b3ull;
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QDataStream out(&file);
    out << quint32(0x5A495832) << size << time << records << fieldList << checksum;
    out.writeRawData(order.constData(), static_cast<int>(order.size()));
}

// An index file sorted by another collation is right for an exact index and wrong for a
// case-insensitive one: only the first is used.
TEST(Collation, IndexFilesOfAnotherCollationAreNotUsedForCaseInsensitiveIndexes)
{
    DatabaseFixture f(contentWith({"Éclat", "Ölbaum"}, 1252));
    {
        Dataset ex;
        ex.setDatabase(f.db.get());
        ex.setTableName(tables::synonyms);
        ex.setExclusive(true);
        ex.addIndex(indexes::primary, QStringLiteral("cas;name;supnr"), true);
        ex.addIndex(indexes::name, fields::name, false);
    }
    const QString nameFile = f.dir.file(QStringLiteral("synonyms.name.zix"));
    const QString primaryFile = f.dir.file(QStringLiteral("synonyms.primary.zix"));
    EXPECT_EQ(Index::fileCollation(nameFile), collation::name());
    writeAsUnrecorded(nameFile);
    writeAsUnrecorded(primaryFile);
    EXPECT_NE(Index::fileCollation(nameFile), collation::name());
    EXPECT_EQ(Index::fileCollation(f.dir.file(QStringLiteral("nosuch.zix"))), QString());

    auto table = Table::open(f.dir.file(tables::synonyms), &schema::synonyms(),
                             Table::Access::Shared, Session::instance().passwords());
    Index byName(*table, *table->indexByName(indexes::name));
    EXPECT_FALSE(byName.load(nameFile));
    Index primary(*table, *table->indexByName(QString()));
    EXPECT_TRUE(primary.load(primaryFile));
}

} // namespace
