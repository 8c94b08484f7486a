// The search filter over a generated database, read through the views the selection list
// scans with.
#include "Fixture.h"
#include "data/engine/Table.h"
#include "model/Datasets.h"
#include "search/MaterialFilter.h"

#include <gtest/gtest.h>

using namespace zel;
using search::MaterialFilter;
using search::SearchCriteria;

namespace {

QString q(const char* text)
{
    return QString::fromUtf8(text);
}

data::DatabaseContent content()
{
    data::DatabaseContent c;
    const auto material = [&](const char* name, const char* cas, const char* name2,
                              const char* odour, const char* performance, const char* application,
                              const QString& stabil) {
        c.materials.push_back({q(name),
                               {},
                               q(cas),
                               {},
                               q(name2),
                               q(odour),
                               q(performance),
                               q(application),
                               {},
                               stabil,
                               {},
                               0});
    };
    QString geraniol(33, QLatin1Char('0'));
    geraniol[2] = geraniol[22] = QLatin1Char('2');
    material("Linalool", "78-70-6", "", "Floral, fresh woody", "Good in soap", "Fine",
             QString(33, QLatin1Char('2')));
    material("Rose oxide", "16409-43-1", "", "Green floral rosy", "Poor in bleach", "Rose accords",
             QString(33, QLatin1Char('1')));
    material("Amber core", "8-LIN-0", "", "Amber woody", "Stable in soap", "Orientals",
             QStringLiteral("012"));
    material("Kephalis", "36306-87-3", "Cedar LINEAR", "woody amber", "good IN SOAP too", "Woods",
             QString());
    material("Géraniol", "106-24-1", "", "rosy", "fair", "Florals", geraniol);
    for (const auto& [cas, name] : {std::pair{"16409-43-1", "Florlinda"},
                                    {"16409-43-1", "Roxide"},
                                    {"8-LIN-0", "Amberwood"},
                                    {"36306-87-3", "Kephalin pure"}})
        c.synonyms.push_back({q(cas), q(name), QStringLiteral("S01"), {}});
    c.suppliers.push_back({QStringLiteral("S01"), QStringLiteral("One"), {}, {}, {}, {}});
    return c;
}

TEST(MaterialFilter, KeepsExactlyTheMatchingMaterials)
{
    test::DatabaseFixture db(content());
    data::DatasetSet sets(db.db.get(), model::decls::mainWindow());
    sets.openAll();
    data::Dataset* scan = sets.get(QStringLiteral("TableMaterialSelect"));
    const data::Dataset* synonyms = sets.get(QStringLiteral("TableSynonymsSelect"));

    struct Row
    {
        const char *what, *name, *odour, *performance, *application;
        std::vector<int> media;
        const char* expected; // in name order
    };
    const char* all = "Amber core,Géraniol,Kephalis,Linalool,Rose oxide";
    // clang-format off
    const Row rows[] = {
        {"nothing asked keeps all", "", "", "", "", {}, all},
        {"spaces only are no criterion", "   ", "  ", "", "", {}, all},
        // In the name, name2 and a commercial name; "8-LIN-0" is a CAS number, never searched.
        {"spaces around a name", "  lin  ", "", "", "", {}, "Kephalis,Linalool,Rose oxide"},
        {"a tab is not trimmed", "\tlin", "", "", "", {}, ""},
        {"inner spaces count", "rose  oxide", "", "", "", {}, ""},
        {"accented letters keep their case", "gé", "", "", "", {}, "Géraniol"},
        {"an accented capital is another letter", "GÉ", "", "", "", {}, ""},
        {"odour and performance together", "", "FLORAL", "soap", "", {}, "Linalool"},
        {"odour alone", "", "woody", "", "", {}, "Amber core,Kephalis,Linalool"},
        {"application", "", "", "", "rose", {}, "Rose oxide"},
        {"a commercial name and the odour", "lin", "rosy", "", "", {}, "Rose oxide"},
        {"a commercial name but not the odour", "lin", "woody", "", "", {}, "Kephalis,Linalool"},
        {"Shampoo needs 2 at 23, a 1 is dropped", "", "", "", "", {23}, "Géraniol,Linalool"},
        {"a short stability string rates what it holds", "", "", "", "", {3}, "Amber core,Géraniol,Linalool"},
        {"every required medium", "", "", "", "", {3, 23}, "Géraniol,Linalool"},
        {"text and stability together", "lin", "", "", "", {23}, "Linalool"},
    };
    // clang-format on
    for (const Row& r : rows) {
        SearchCriteria criteria{q(r.name), q(r.odour), q(r.performance), q(r.application), {}};
        for (int medium : r.media)
            criteria.required[static_cast<size_t>(medium - 1)] = true;
        QStringList kept;
        for (scan->first(); !scan->eof(); scan->next())
            if (MaterialFilter(criteria, *scan, synonyms))
                kept << scan->text(QStringLiteral("name"));
        EXPECT_EQ(kept.join(QLatin1Char(',')), q(r.expected)) << r.what;
        // The whole-table filter over the prepared texts keeps the same materials.
        const data::Table& materials = *scan->table();
        const std::vector<unsigned char> flags =
            MaterialFilter(criteria, materials, synonyms->table());
        QStringList byTable;
        for (int pos = 0; pos < scan->recordCount(); ++pos)
            if (flags[static_cast<size_t>(scan->recordAt(pos))])
                byTable << scan->valueAt(pos, QStringLiteral("name")).toString();
        EXPECT_EQ(byTable.join(QLatin1Char(',')), q(r.expected)) << r.what << " (whole table)";
    }
}

// Texts that sit side by side in the prepared buffers must never make a match together, and
// criteria the buffers cannot hold are still found.
TEST(MaterialFilter, WholeTableMatchesOnlyWithinOneText)
{
    data::DatabaseContent c;
    const auto material = [&](const QString& name, const QString& name1, const QString& odour,
                              const char* cas) {
        data::MaterialRow m;
        m.name = name;
        m.name1 = name1;
        m.odour = odour;
        m.cas = q(cas);
        c.materials.push_back(m);
    };
    material(q("Alpha xy"), q("zeta"), q("sweet"), "1-1-1");
    material(q("Beta"), q("Gamma"), q("zz"), "2-2-2");
    material(q("Delta"), QString(), q("resinous"), "3-3-3");
    material(q("Epsilon"), QString(), q("fleur épicée"), "4-4-4");
    c.synonyms.push_back({q("2-2-2"), q("xyzzy"), QStringLiteral("S01"), {}});
    c.synonyms.push_back({q("9-9-9"), q("Orphan"), QStringLiteral("S01"), {}});
    c.suppliers.push_back({QStringLiteral("S01"), QStringLiteral("One"), {}, {}, {}, {}});
    test::DatabaseFixture db(c);
    data::DatasetSet sets(db.db.get(), model::decls::mainWindow());
    sets.openAll();
    const data::Dataset* scan = sets.get(QStringLiteral("TableMaterialSelect"));
    const data::Table& materials = *scan->table();
    const data::Table* synonyms = sets.get(QStringLiteral("TableSynonymsSelect"))->table();

    struct Row
    {
        const char* what;
        QString name, odour;
        const char* expected;
    };
    const Row rows[] = {
        {"across the end of a name", q("xyz"), {}, "Beta"},
        {"across two names of a material", q("xyzeta"), {}, ""},
        {"across two records", {}, q("sweetzz"), ""},
        {"a commercial name whose material is missing", q("orphan"), {}, ""},
        {"an accented letter as stored", {}, q("épic"), "Epsilon"},
        {"an accented capital is another letter", {}, q("ÉPIC"), ""},
        {"a lone surrogate", {}, QString(QChar(0xD83D)), ""},
        {"a zero character", QString(QChar(0)), {}, ""},
        {"a single letter", q("z"), {}, "Alpha xy,Beta"},
    };
    for (const Row& r : rows) {
        SearchCriteria criteria{r.name, r.odour, {}, {}, {}};
        const std::vector<unsigned char> flags = MaterialFilter(criteria, materials, synonyms);
        QStringList kept;
        for (int rec = 0; rec < materials.recordCount(); ++rec)
            if (flags[static_cast<size_t>(rec)])
                kept
                    << materials.text(rec, materials.fieldIndex(QStringLiteral("name"))).toString();
        kept.sort();
        EXPECT_EQ(kept.join(QLatin1Char(',')), q(r.expected)) << r.what;
    }
}

TEST(MaterialFilter, ReadsCommercialNamesOnlyWhenTheThreeNamesFail)
{
    struct Row
    {
        const char *what, *criterion, *name, *name2;
        bool expected;
        int reads;
    } rows[] = {
        {"no name criterion", "", "Amber", "", true, 0},
        {"in the name", "amb", "Amber", "", true, 0},
        {"only in name2", "lin", "Amber", "Cedar linear", true, 0},
        {"only in a commercial name", "wood", "Amber", "", true, 1},
        {"nowhere", "xyz", "Amber", "", false, 1},
    };
    for (const Row& r : rows) {
        int reads = 0;
        const search::CommercialNames names = [&] {
            ++reads;
            return QStringList{QStringLiteral("Ambra"), QStringLiteral("Amberwood")};
        };
        search::MaterialRecord m;
        m.name = q(r.name);
        m.name2 = q(r.name2);
        SearchCriteria c;
        c.name = q(r.criterion);
        EXPECT_EQ(MaterialFilter(c, m, names), r.expected) << r.what;
        EXPECT_EQ(reads, r.reads) << r.what;
    }
}

TEST(NormaliseCriterion, TrimsSpacesAndFoldsOnlyPlainLetters)
{
    const std::pair<const char*, const char*> rows[] = {
        {"  lin  ", "LIN"},   {"\tlin ", "\tLIN"},        {"   ", ""}, {"a b", "A B"},
        {"straße", "STRAßE"}, {"\xc2\xa0x", "\xc2\xa0X"}, // no-break space stays
        {"Z-09_z", "Z-09_Z"},
    };
    for (const auto& [in, out] : rows)
        EXPECT_EQ(search::normaliseCriterion(q(in)), q(out)) << in;
}

// The search that folds as it compares must agree with normalising the text first.
TEST(OccursIn, AgreesWithNormalisingTheText)
{
    const char* texts[] = {"Linalool", "  linalool  ", "lin",      "",       " ",
                           "a\tlin",   "Géraniol",     "GÉRANIOL", "x lin y"};
    const char* criteria[] = {"lin", " LIN ", "", "ol  ", "é", "É", "\tlin", "x lin", "linalools"};
    for (const char* t : texts)
        for (const char* c : criteria) {
            const QString n = search::normaliseCriterion(q(c));
            EXPECT_EQ(search::occursIn(n, q(t)), search::normaliseCriterion(q(t)).contains(n))
                << "'" << c << "' in '" << t << "'";
        }
}

} // namespace
