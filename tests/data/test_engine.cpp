#include "Fixture.h"
#include "data/base/Error.h"
#include "data/engine/Dataset.h"
#include "data/engine/Index.h"
#include "data/engine/Table.h"
#include "data/paradox/ParadoxFile.h"
#include "model/Datasets.h"
#include "model/Schema.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zel::data;
using namespace zel::model;
using zel::test::DatabaseFixture;

namespace {

QStringList column(Dataset& ds, const QString& field)
{
    QStringList out;
    for (ds.first(); !ds.eof(); ds.next())
        out << ds.text(field);
    return out;
}

std::unique_ptr<Dataset> openDataset(Database* db, const QString& table,
                                     const QString& index = QString())
{
    auto ds = std::make_unique<Dataset>(QStringLiteral("test"));
    ds->setDatabase(db);
    ds->setTableName(table);
    ds->setIndexName(index);
    ds->open();
    return ds;
}

TEST(Engine, TableFileNamesMatchWithoutRegardToCase)
{
    WriteOptions lower;
    lower.upperCaseNames = false;
    DatabaseFixture f(zel::test::smallContent(), lower);
    ASSERT_TRUE(QFile::exists(f.dir.file(QStringLiteral("material.db"))));
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"));
    EXPECT_EQ(ds->recordCount(), 6);
    auto again = openDataset(f.db.get(), QStringLiteral("Material.Db"));
    EXPECT_EQ(ds->table(), again->table()) << "one copy in memory for every dataset";
}

TEST(Engine, IdsRiseInPrimaryOrder)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"));
    EXPECT_EQ(column(*ds, QStringLiteral("id")), (QStringList{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(
        column(*ds, QStringLiteral("sf")),
        (QStringList{"ALPHA-IONONE", "COUMARIN", "GERANIOL", "LINALOOL", "VANILLIN", "ZINGERONE"}));
}

struct IndexChoice
{
    const char* table;
    const char* byName;
    const char* byFields;
    const char* expectFields;
};

class IndexSelection : public ::testing::TestWithParam<IndexChoice>
{
};

TEST_P(IndexSelection, ByNameOrByFields)
{
    DatabaseFixture f;
    const IndexChoice& c = GetParam();
    Dataset ds;
    ds.setDatabase(f.db.get());
    ds.setTableName(QString::fromLatin1(c.table));
    if (c.byName)
        ds.setIndexName(QString::fromLatin1(c.byName));
    else
        ds.setIndexFieldNames(QString::fromLatin1(c.byFields));
    ds.open();
    EXPECT_EQ(ds.indexFieldNames(), QString::fromLatin1(c.expectFields));
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, IndexSelection,
    ::testing::Values(IndexChoice{"MATERIAL.DB", "IdIndex", nullptr, "id"},
                      IndexChoice{"MATERIAL.DB", "idindex", nullptr, "id"},
                      IndexChoice{"MATERIAL.DB", "CASOrder", nullptr, "cas"},
                      IndexChoice{"MATERIAL.DB", "", nullptr, "sf;cas"},
                      IndexChoice{"MATERIAL.DB", nullptr, "cas", "cas"},
                      IndexChoice{"MATERIAL.DB", nullptr, "sf;cas", "sf;cas"},
                      IndexChoice{"SYNONYMS.DB", nullptr, "cas", "cas;name;supnr"},
                      IndexChoice{"SYNONYMS.DB", nullptr, "supnr", "supnr;cas"},
                      IndexChoice{"SYNONYMS.DB", "LinkSupp", nullptr, "supnr;cas"},
                      IndexChoice{"SUPPLIER.DB", nullptr, "supnr", "supnr"},
                      IndexChoice{"SUPPLIER.DB", "linkname", nullptr, "supnr;supname"},
                      IndexChoice{"SUPPLIER.DB", "NAME", nullptr, "supname"}));

TEST(Engine, UnknownIndexIsAnError)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"));
    EXPECT_THROW(ds->setIndexName(QStringLiteral("nosuch")), DatabaseError);
    EXPECT_THROW(ds->setIndexFieldNames(QStringLiteral("odour")), DatabaseError);
}

TEST(Engine, CommercialNamesRangeLeavesOutPlaceholdersAndEmptyNames)
{
    DatabaseFixture f;
    DatasetSet sets(f.db.get(), decls::mainWindow());
    sets.openAll();
    Dataset* comm = sets.get(QStringLiteral("TableCommSynonyms"));
    // Case-insensitive order: "apple" before "Orphan" before "zeta"; "", "0-Lin" and "~" are
    // outside "1".."zzz".
    EXPECT_EQ(column(*comm, QStringLiteral("name")),
              (QStringList{"apple Lin", "Orphan Name", "Rosé Absolu", "Tonka Sweet", "Vanilla Pure",
                           "Zest Lin", "zeta Vanilla"}));
    EXPECT_EQ(comm->recordCount(), 7);
    // They are still listed under their material.
    Dataset* material = sets.get(QStringLiteral("TableMaterial"));
    ASSERT_TRUE(material->findKey({QStringLiteral("LINALOOL")}));
    EXPECT_EQ(column(*sets.get(QStringLiteral("TableSynonyms2")), QStringLiteral("name")),
              (QStringList{"0-Lin", "Zest Lin", "apple Lin"}))
        << "the primary index compares exactly";
}

TEST(Engine, ExactSearchOnPartialAndCaseDifferingKeys)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"));
    EXPECT_TRUE(ds->findKey({QStringLiteral("LINALOOL")})) << "one leading field of two";
    EXPECT_EQ(ds->text(QStringLiteral("cas")), QStringLiteral("78-70-6"));
    EXPECT_FALSE(ds->findKey({QStringLiteral("linalool")})) << "the primary index is exact";
    EXPECT_EQ(ds->text(QStringLiteral("cas")), QStringLiteral("78-70-6"))
        << "a failed search does not move";
    EXPECT_FALSE(ds->findKey({QStringLiteral("LINALOO")}))
        << "an exact search wants the whole field";
    EXPECT_TRUE(ds->findKey({QStringLiteral("VANILLIN"), QStringLiteral("121-33-5")}));

    auto names = openDataset(f.db.get(), QStringLiteral("SYNONYMS.DB"), QStringLiteral("name"));
    EXPECT_TRUE(names->findKey({QStringLiteral("VANILLA pure")}))
        << "secondary indexes ignore case";
    EXPECT_EQ(names->text(QStringLiteral("supnr")), QStringLiteral("S01"));
    EXPECT_TRUE(names->findKey({QStringLiteral("rosé absolu")}));

    auto ids = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"), QStringLiteral("IdIndex"));
    EXPECT_TRUE(ids->findKey({4}));
    EXPECT_EQ(ids->text(QStringLiteral("name")), QStringLiteral("Linalool"));
    EXPECT_FALSE(ids->findKey({7}));
    EXPECT_FALSE(ids->findKey({0}));
}

TEST(Engine, NearestSearch)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"));
    ds->findNearest({QStringLiteral("LIN")});
    EXPECT_EQ(ds->text(QStringLiteral("name")), QStringLiteral("Linalool"));
    EXPECT_FALSE(ds->eof());
    ds->findNearest({QStringLiteral("")});
    EXPECT_EQ(ds->text(QStringLiteral("name")), QStringLiteral("alpha-Ionone"));
    ds->findNearest({QStringLiteral("ZZZ")});
    EXPECT_EQ(ds->text(QStringLiteral("name")), QStringLiteral("Zingerone"))
        << "past the end stays on the last";
    EXPECT_TRUE(ds->eof());

    auto cas = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"), QStringLiteral("casorder"));
    cas->findNearest({QStringLiteral("12")});
    EXPECT_EQ(cas->text(QStringLiteral("cas")), QStringLiteral("121-33-5"));

    auto names = openDataset(f.db.get(), QStringLiteral("SYNONYMS.DB"), QStringLiteral("name"));
    names->findNearest({QStringLiteral("ZES")});
    EXPECT_EQ(names->text(QStringLiteral("name")), QStringLiteral("Zest Lin"));
    names->findNearest({QStringLiteral("b")});
    EXPECT_EQ(names->text(QStringLiteral("name")), QStringLiteral("Orphan Name"));
}

TEST(Engine, NavigationAtTheEnds)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("SUPPLIER.DB"));
    ds->first();
    EXPECT_TRUE(ds->bof());
    EXPECT_FALSE(ds->eof());
    ds->prior();
    EXPECT_TRUE(ds->bof());
    EXPECT_EQ(ds->text(QStringLiteral("supnr")), QStringLiteral("S01"));
    ds->last();
    EXPECT_TRUE(ds->eof());
    EXPECT_EQ(ds->text(QStringLiteral("supnr")), QStringLiteral("S04"));
    ds->next();
    EXPECT_TRUE(ds->eof());
    EXPECT_EQ(ds->text(QStringLiteral("supnr")), QStringLiteral("S04"));
    ds->prior();
    EXPECT_FALSE(ds->eof());
    EXPECT_EQ(ds->text(QStringLiteral("supnr")), QStringLiteral("S03"));
    EXPECT_EQ(ds->recordCount(), 4);
}

TEST(Engine, RangesIncludeBothEnds)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("SUPPLIER.DB"));
    ds->setRange({QStringLiteral("S02")}, {QStringLiteral("S03")});
    EXPECT_EQ(column(*ds, QStringLiteral("supnr")), (QStringList{"S02", "S03"}));
    ds->setRange({QStringLiteral("S03")}, {QStringLiteral("S03")});
    EXPECT_EQ(ds->recordCount(), 1);
    ds->setRange({QStringLiteral("S05")}, {QStringLiteral("S09")});
    EXPECT_EQ(ds->recordCount(), 0);
    EXPECT_TRUE(ds->eof());
    EXPECT_TRUE(ds->text(QStringLiteral("supnr")).isEmpty());
    ds->cancelRange();
    EXPECT_EQ(ds->recordCount(), 4);
}

TEST(Engine, IndexSwitchKeepsTheCurrentRecordAndDropsTheRange)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"));
    ds->setRange({QStringLiteral("C")}, {QStringLiteral("M")});
    ASSERT_TRUE(ds->findKey({QStringLiteral("GERANIOL")}));
    ds->setIndexName(QStringLiteral("casorder"));
    EXPECT_EQ(ds->text(QStringLiteral("cas")), QStringLiteral("106-24-1"));
    EXPECT_FALSE(ds->hasRange());
    EXPECT_EQ(ds->recordCount(), 6);
    ds->next();
    EXPECT_EQ(ds->text(QStringLiteral("cas")), QStringLiteral("121-33-5"));
}

TEST(Engine, MasterLinksFollowTheirMaster)
{
    DatabaseFixture f;
    DatasetSet sets(f.db.get(), decls::mainWindow());
    sets.openAll();
    Dataset* material = sets.get(QStringLiteral("TableMaterial"));
    Dataset* synonyms = sets.get(QStringLiteral("TableSynonyms2"));
    QStringList counts;
    for (material->first(); !material->eof(); material->next())
        counts << QStringLiteral("%1=%2")
                      .arg(material->text(QStringLiteral("sf")))
                      .arg(synonyms->recordCount());
    EXPECT_EQ(counts, (QStringList{"ALPHA-IONONE=1", "COUMARIN=2", "GERANIOL=1", "LINALOOL=3",
                                   "VANILLIN=3", "ZINGERONE=0"}));
    EXPECT_TRUE(synonyms->eof()) << "a material without commercial names has an empty list";

    Dataset* supplier = sets.get(QStringLiteral("TableSupplier"));
    Dataset* supLink = sets.get(QStringLiteral("TableSupLink2"));
    ASSERT_TRUE(supplier->findKey({QStringLiteral("empty shelf ltd")}));
    EXPECT_EQ(supLink->recordCount(), 0) << "a supplier that sells nothing";
    ASSERT_TRUE(supplier->findKey({QStringLiteral("Bergamot Trading")}));
    EXPECT_EQ(supLink->recordCount(), 5);

    // A chain: the commercial name moves its material and its supplier.
    Dataset* comm = sets.get(QStringLiteral("TableCommSynonyms"));
    ASSERT_TRUE(comm->findKey({QStringLiteral("tonka sweet")}));
    EXPECT_EQ(sets.get(QStringLiteral("TableCommMaterial"))->text(QStringLiteral("name")),
              QStringLiteral("Coumarin"));
    EXPECT_EQ(sets.get(QStringLiteral("TableCommSupplier"))->recordCount(), 0)
        << "supplier S09 does not exist";
    ASSERT_TRUE(comm->findKey({QStringLiteral("Orphan Name")}));
    EXPECT_EQ(sets.get(QStringLiteral("TableCommMaterial"))->recordCount(), 0);
    EXPECT_EQ(sets.get(QStringLiteral("TableCommSupplier"))->text(QStringLiteral("supname")),
              QStringLiteral("Bergamot Trading"));
}

TEST(Engine, CalculatedFieldsWithMissingLinkTargetsAreEmpty)
{
    DatabaseFixture f;
    DatasetSet sets(f.db.get(), decls::mainWindow());
    sets.openAll();
    Dataset* material = sets.get(QStringLiteral("TableMaterial"));
    Dataset* synonyms = sets.get(QStringLiteral("TableSynonyms2"));
    ASSERT_TRUE(material->findKey({QStringLiteral("COUMARIN")}));
    QStringList shown;
    for (synonyms->first(); !synonyms->eof(); synonyms->next())
        shown << synonyms->text(QStringLiteral("name")) + QLatin1Char('/') +
                     synonyms->text(QStringLiteral("SupName"));
    // "Tonka Sweet" comes after a found supplier and must not inherit its name.
    EXPECT_EQ(shown, (QStringList{"Tonka Sweet/", "~/aldehyde House"}));
    EXPECT_EQ(synonyms->valueAt(1, QStringLiteral("SupName")).toString(),
              QStringLiteral("aldehyde House"));
    EXPECT_EQ(synonyms->valueAt(0, QStringLiteral("SupName")).toString(), QString());

    Dataset* supplier = sets.get(QStringLiteral("TableSupplier"));
    Dataset* supLink = sets.get(QStringLiteral("TableSupLink2"));
    Dataset* material2 = sets.get(QStringLiteral("TableMaterial2"));
    ASSERT_TRUE(supplier->findKey({QStringLiteral("Bergamot Trading")}));
    QStringList materials;
    for (supLink->first(); !supLink->eof(); supLink->next())
        materials << supLink->text(QStringLiteral("materialName"));
    EXPECT_EQ(materials, (QStringList{"Vanillin", "alpha-Ionone", "Linalool", "Linalool", ""}));
    EXPECT_EQ(material2->indexFieldNames(), QStringLiteral("cas"))
        << "the lookup switches its index back";
    EXPECT_THROW(supLink->value(QStringLiteral("nosuchfield")), DatabaseError);
}

TEST(Engine, DataChangeReachesEveryListener)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"));
    int a = 0, b = 0;
    QObject::connect(ds.get(), &Dataset::dataChanged, [&] { ++a; });
    QObject::connect(ds.get(), &Dataset::dataChanged, [&] { ++b; });
    ds->next();
    ds->findKey({QStringLiteral("VANILLIN")});
    ds->findKey({QStringLiteral("NOSUCH")});
    ds->refresh();
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 3);
}

TEST(Engine, RefreshKeepsTheCurrentRecord)
{
    DatabaseFixture f;
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"), QStringLiteral("idindex"));
    ASSERT_TRUE(ds->findKey({5}));
    ds->refresh();
    EXPECT_EQ(ds->integer(QStringLiteral("id")), 5);
}

TEST(Engine, OpeningFails)
{
    DatabaseFixture f;
    Dataset ds;
    ds.setDatabase(f.db.get());
    ds.setTableName(QStringLiteral("NOSUCH.DB"));
    EXPECT_THROW(ds.open(), DatabaseError);
    EXPECT_FALSE(ds.isOpen());

    Session::instance().removeAllPasswords();
    Session::instance().addPassword(QStringLiteral("wrong1"));
    ds.setTableName(QStringLiteral("MATERIAL.DB"));
    EXPECT_THROW(ds.open(), DatabaseError);
    Session::instance().addPassword(QString::fromLatin1(schema::tablePassword()));
    EXPECT_NO_THROW(ds.open());
}

TEST(Engine, DuplicatePrimaryKeyIsAnError)
{
    auto content = zel::test::smallContent();
    content.suppliers.push_back(content.suppliers.front());
    DatabaseFixture f(content);
    Dataset ds;
    ds.setDatabase(f.db.get());
    ds.setTableName(QStringLiteral("SUPPLIER.DB"));
    try {
        ds.open();
        FAIL() << "duplicate key accepted";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("duplicate"))) << e.message().toStdString();
    }
}

TEST(Engine, WrongLayoutIsAnError)
{
    DatabaseFixture f;
    TableData t;
    t.fields = {{QStringLiteral("supnr"), FieldType::Integer, 4}};
    t.rows = {{QVariant(qlonglong(1))}};
    paradox::writeTableFile(f.dir.file(QStringLiteral("SUPPLIER.DB")), t, QString());
    Dataset ds;
    ds.setDatabase(f.db.get());
    ds.setTableName(QStringLiteral("SUPPLIER.DB"));
    EXPECT_THROW(ds.open(), DatabaseError);
}

TEST(Engine, MemoFieldMayBeMissing)
{
    WriteOptions noMemo;
    noMemo.withMemo = false;
    DatabaseFixture f(zel::test::smallContent(), noMemo);
    auto ds = openDataset(f.db.get(), QStringLiteral("MATERIAL.DB"));
    EXPECT_EQ(ds->recordCount(), 6);
    EXPECT_FALSE(ds->hasField(QStringLiteral("notes")));
}

TEST(Engine, IndexFilesAreUsedOnlyWhenTheyMatch)
{
    DatabaseFixture f;
    {
        Dataset ex;
        ex.setDatabase(f.db.get());
        ex.setTableName(QStringLiteral("SYNONYMS.DB"));
        ex.setExclusive(true);
        ex.addIndex(QStringLiteral("name"), QStringLiteral("name"), false);
    }
    const QString zix = f.dir.file(QStringLiteral("synonyms.name.zix"));
    ASSERT_TRUE(QFile::exists(zix));
    {
        auto table = Table::open(f.dir.file(QStringLiteral("SYNONYMS.DB")), &schema::synonyms(),
                                 Table::Access::Shared, Session::instance().passwords());
        Index idx(*table, *table->indexByName(QStringLiteral("name")));
        EXPECT_TRUE(idx.load(zix));
    }
    // A damaged index file is not trusted: reverse its order entries.
    QFile file(zix);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const int n = 11 * 4;
    QByteArray tail = bytes.right(n);
    QByteArray reversed;
    for (int i = n - 4; i >= 0; i -= 4)
        reversed += tail.mid(i, 4);
    bytes.replace(bytes.size() - n, n, reversed);
    file.seek(0);
    file.write(bytes);
    file.close();
    auto table = Table::open(f.dir.file(QStringLiteral("SYNONYMS.DB")), &schema::synonyms(),
                             Table::Access::Shared, Session::instance().passwords());
    Index idx(*table, *table->indexByName(QStringLiteral("name")));
    EXPECT_FALSE(idx.load(zix));
    auto ds = openDataset(f.db.get(), QStringLiteral("SYNONYMS.DB"), QStringLiteral("name"));
    ds->first();
    EXPECT_EQ(ds->text(QStringLiteral("name")), QString()) << "sorted in memory instead";
    ds->last();
    EXPECT_EQ(ds->text(QStringLiteral("name")), QStringLiteral("zeta Vanilla"))
        << "the placeholder sorts with the punctuation, before the digits";
}

// Index files of the format before this one ("ZIX1": no checksum) are still used when their
// order holds; files of the current format are trusted by their checksum alone.
struct IndexFileCase
{
    const char* what;
    bool oldFormat;
    std::function<void(std::vector<qint32>& order, QByteArray& file)> damage;
    bool used;
};

class IndexFiles : public ::testing::TestWithParam<IndexFileCase>
{
};

TEST_P(IndexFiles, AreUsedOnlyWhenSound)
{
    const IndexFileCase& c = GetParam();
    DatabaseFixture f;
    {
        Dataset ex;
        ex.setDatabase(f.db.get());
        ex.setTableName(QStringLiteral("SYNONYMS.DB"));
        ex.setExclusive(true);
        ex.addIndex(QStringLiteral("name"), QStringLiteral("name"), false);
    }
    const QString zix = f.dir.file(QStringLiteral("synonyms.name.zix"));
    auto table = Table::open(f.dir.file(QStringLiteral("SYNONYMS.DB")), &schema::synonyms(),
                             Table::Access::Shared, Session::instance().passwords());
    const IndexDef& def = *table->indexByName(QStringLiteral("name"));
    std::vector<qint32> order;
    {
        Index built(*table, def);
        built.build();
        for (int i = 0; i < built.size(); ++i)
            order.push_back(built.recordAt(i));
    }
    QByteArray bytes;
    if (c.oldFormat) {
        QByteArray body;
        std::vector<qint32> o = order;
        QByteArray unused;
        c.damage(o, unused);
        QDataStream out(&body, QIODevice::WriteOnly);
        out << quint32(0x5A495831) << table->fileSize() << table->fileTimeNs()
            << qint32(table->recordCount()) << def.fields;
        for (qint32 r : o)
            out << r;
        bytes = body;
    } else {
        QFile in(zix);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        bytes = in.readAll();
        c.damage(order, bytes);
    }
    QFile out(zix);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
    out.close();
    Index idx(*table, def);
    EXPECT_EQ(idx.load(zix), c.used) << c.what;
}

const IndexFileCase kIndexFileCases[] = {
    {"current, as written", false, [](std::vector<qint32>&, QByteArray&) {}, true},
    {"current, one byte of the order changed", false,
     [](std::vector<qint32>&, QByteArray& b) {
         b[b.size() - 2] = static_cast<char>(b[b.size() - 2] ^ 1);
     },
     false},
    {"current, two neighbouring entries swapped", false,
     [](std::vector<qint32>&, QByteArray& b) {
         const QByteArray last = b.right(4), before = b.mid(b.size() - 8, 4);
         b.replace(b.size() - 8, 8, QByteArray(last + before));
     },
     false},
    {"current, cut short", false, [](std::vector<qint32>&, QByteArray& b) { b.chop(3); }, false},
    {"current, empty", false, [](std::vector<qint32>&, QByteArray& b) { b.clear(); }, false},
    {"old format in order", true, [](std::vector<qint32>&, QByteArray&) {}, true},
    {"old format out of order", true,
     [](std::vector<qint32>& o, QByteArray&) { std::reverse(o.begin(), o.end()); }, false},
    {"old format naming a record twice", true,
     [](std::vector<qint32>& o, QByteArray&) { o[1] = o[0]; }, false},
    {"old format with a record past the end", true,
     [](std::vector<qint32>& o, QByteArray&) { o[0] = 9999; }, false},
};

INSTANTIATE_TEST_SUITE_P(OldAndNew, IndexFiles, ::testing::ValuesIn(kIndexFileCases),
                         [](const ::testing::TestParamInfo<IndexFileCase>& p) {
                             std::string n = p.param.what;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

TEST(Engine, EditAndPostReplaceEmptyNamesAndKeepIndexFilesValid)
{
    DatabaseFixture f;
    Dataset t;
    t.setDatabase(f.db.get());
    t.setTableName(QStringLiteral("synonyms.db"));
    t.setExclusive(true);
    t.addIndex(QStringLiteral("primary"), QStringLiteral("cas;name;supnr"), true);
    t.addIndex(QStringLiteral("name"), QStringLiteral("name"), false);
    t.setIndexName(QStringLiteral("name"));
    t.open();
    int replaced = 0;
    for (t.first(); !t.eof() && t.text(QStringLiteral("name")).isEmpty(); t.first()) {
        t.edit();
        t.setValue(QStringLiteral("name"), QStringLiteral("~"));
        t.post();
        ++replaced;
    }
    t.close();
    EXPECT_EQ(replaced, 2);
    const TableData after = paradox::readTableFile(f.dir.file(QStringLiteral("SYNONYMS.DB")),
                                                   Session::instance().passwords());
    int tildes = 0;
    for (const auto& row : after.rows) {
        EXPECT_FALSE(row[1].toString().isEmpty());
        tildes += row[1].toString() == QStringLiteral("~");
    }
    EXPECT_EQ(tildes, 3);
    EXPECT_EQ(after.rows.size(), 11u);
    auto table = Table::open(f.dir.file(QStringLiteral("SYNONYMS.DB")), &schema::synonyms(),
                             Table::Access::Shared, Session::instance().passwords());
    Index idx(*table, *table->indexByName(QStringLiteral("name")));
    EXPECT_TRUE(idx.load(f.dir.file(QStringLiteral("synonyms.name.zix"))))
        << "index file rewritten with the table";
}

TEST(Engine, APipeNamedLikeATableIsNotOpened)
{
    DatabaseFixture f;
    const QString path = f.dir.file(QStringLiteral("SUPPLIER.DB"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    Dataset ds;
    ds.setDatabase(f.db.get());
    ds.setTableName(QStringLiteral("SUPPLIER.DB"));
    EXPECT_THROW(ds.open(), DatabaseError) << "and it returns instead of waiting for a writer";
    EXPECT_THROW(paradox::readTableFile(path, {}), DatabaseError);
}

// A writer holds the table until its new file has the name, so a lock of either kind proves
// that an unfinished new file (of the table or of an index file) is a leftover.
TEST(Engine, LockedOpenRemovesUnfinishedCopies)
{
    DatabaseFixture f;
    const QString unrelated = f.dir.file(QStringLiteral(".SYNONYMS.DB.keep"));
    // Named like a leftover but not removable as a file: left alone, and the table still opens.
    ASSERT_TRUE(QDir().mkpath(f.dir.file(QStringLiteral(".SYNONYMS.DB.d1R2x3"))));
    for (const Table::Access access : {Table::Access::Shared, Table::Access::Exclusive}) {
        const QStringList leftovers{f.dir.file(QStringLiteral(".SYNONYMS.DB.a1B2c3")),
                                    f.dir.file(QStringLiteral(".synonyms.name.zix.Zz9Yy8"))};
        for (const QString& p : leftovers + QStringList{unrelated}) {
            QFile file(p);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("half a table");
        }
        auto table = Table::open(f.dir.file(QStringLiteral("SYNONYMS.DB")), &schema::synonyms(),
                                 access, Session::instance().passwords());
        for (const QString& p : leftovers)
            EXPECT_FALSE(QFile::exists(p)) << p.toStdString();
        EXPECT_TRUE(QFile::exists(unrelated));
    }
}

TEST(Engine, AddingTheIndexAnOpenCursorUsesKeepsItsRecord)
{
    DatabaseFixture f;
    Dataset t;
    t.setDatabase(f.db.get());
    t.setTableName(QStringLiteral("SYNONYMS.DB"));
    t.setExclusive(true);
    t.setIndexName(QStringLiteral("name"));
    t.open();
    ASSERT_TRUE(t.findKey({QStringLiteral("Tonka Sweet")}));
    t.addIndex(QStringLiteral("name"), QStringLiteral("name"), false); // rebuilt under the cursor
    EXPECT_EQ(t.text(QStringLiteral("name")), QStringLiteral("Tonka Sweet"));
    t.next();
    EXPECT_EQ(t.text(QStringLiteral("name")), QStringLiteral("Vanilla Pure"));
    EXPECT_TRUE(QFile::exists(f.dir.file(QStringLiteral("synonyms.name.zix"))));
}

TEST(Engine, ReportDatasetsOpen)
{
    DatabaseFixture f;
    DatasetSet material(f.db.get(), decls::printMaterial());
    material.openAll();
    Dataset* m = material.get(QStringLiteral("TableMaterial"));
    m->setRange({QStringLiteral("LINALOOL"), QStringLiteral("78-70-6")},
                {QStringLiteral("LINALOOL"), QStringLiteral("78-70-6")});
    EXPECT_EQ(m->recordCount(), 1);
    EXPECT_EQ(material.get(QStringLiteral("TableSin"))->recordCount(), 3);
    EXPECT_EQ(material.get(QStringLiteral("Tablematerial2"))->recordCount(), 1);
    EXPECT_EQ(material.get(QStringLiteral("TableSupplier"))->text(QStringLiteral("supnr")),
              QStringLiteral("S01"));

    DatasetSet supplier(f.db.get(), decls::printSupplier());
    supplier.openAll();
    Dataset* s = supplier.get(QStringLiteral("TableSupplier"));
    s->setRange({QStringLiteral("S02")}, {QStringLiteral("S02")});
    EXPECT_EQ(s->recordCount(), 1);
    EXPECT_EQ(supplier.get(QStringLiteral("TableSin"))->recordCount(), 3);
    supplier.closeAll();
    EXPECT_FALSE(s->isOpen());
}

TEST(Engine, DisconnectClosesEveryDataset)
{
    DatabaseFixture f;
    DatasetSet sets(f.db.get(), decls::mainWindow());
    sets.openAll();
    f.db->disconnect();
    for (Dataset* ds : sets.all())
        EXPECT_FALSE(ds->isOpen()) << ds->objectName().toStdString();
}

// Tables a dataset set asks for load side by side; a damaged one fails when its first dataset
// opens, with its own message, and the others are unaffected.
struct PreloadCase
{
    const char* what;
    const char* damagedTable; // nullptr: none
    const char* failingDataset;
};

class Preload : public ::testing::TestWithParam<PreloadCase>
{
};

TEST_P(Preload, ReportsAFailureWhereTheTableIsOpened)
{
    const PreloadCase& c = GetParam();
    DatabaseFixture f;
    if (c.damagedTable) {
        QFile file(f.dir.file(QString::fromLatin1(c.damagedTable)));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(4);
        file.write("\x07", 1); // no file type of a table
    }
    DatasetSet sets(f.db.get(), decls::mainWindow());
    if (!c.damagedTable) {
        sets.openAll();
        EXPECT_GT(sets.get(QStringLiteral("TableMaterial"))->recordCount(), 0);
        EXPECT_GT(sets.get(QStringLiteral("TableCommSynonyms"))->recordCount(), 0);
        return;
    }
    try {
        sets.openAll();
        FAIL() << "a damaged table was opened: " << c.what;
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QString::fromLatin1(c.damagedTable)))
            << e.message().toStdString();
    }
    for (Dataset* ds : sets.all()) {
        if (ds->objectName() == QLatin1String(c.failingDataset)) {
            EXPECT_FALSE(ds->isOpen());
        }
    }
    // The database can be let go with loads still running or finished; nothing is left locked.
    f.db->disconnect();
    auto again = Table::open(f.dir.file(QStringLiteral("MATERIAL.DB")), &schema::material(),
                             Table::Access::Exclusive, Session::instance().passwords());
    EXPECT_GT(again->recordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    DamagedOrNot, Preload,
    ::testing::Values(PreloadCase{"all sound", nullptr, ""},
                      PreloadCase{"synonyms damaged", "SYNONYMS.DB", "TableSynonymsSelect"},
                      PreloadCase{"suppliers damaged", "SUPPLIER.DB", "TableSupplierShow"}),
    [](const ::testing::TestParamInfo<PreloadCase>& p) {
        std::string n = p.param.what;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

} // namespace
