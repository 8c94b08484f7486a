// The main window's session without any window: opening, the materials list and its rows,
// the incremental searches, the record carried across a page switch, and navigation, over
// generated databases.
#include "SessionFixture.h"
#include "data/base/Error.h"
#include "data/engine/Dataset.h"
#include "model/Datasets.h"
#include "search/TSearchClass.h"
#include "ui/MainSession.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace zel;
using ui::MainSession;
namespace page = ui::page;

namespace {

data::DatabaseContent content()
{
    return test::tenMaterials();
}

QString text(const char* s)
{
    return QString::fromUtf8(s);
}

struct Session : public ::testing::Test
{
    test::SessionFixture fixture{content()};
    MainSession& session = fixture.session;
    QSet<int> keep;

    data::Dataset* ds(const char* name) const { return session.dataset(text(name)); }
    QString current() const { return ds("TableMaterial")->text(QStringLiteral("name")); }
    QString field(const char* dataset, const char* name) const
    {
        return ds(dataset)->text(text(name));
    }
    // Keeps only the materials with these ids, as the search dialog's select button does.
    void select(QSet<int> ids)
    {
        keep = std::move(ids);
        session.setFilter([this] {
            return keep.contains(
                static_cast<int>(ds("TableMaterialSelect")->integer(QStringLiteral("id"))));
        });
        session.Select(1);
    }
};

TEST_F(Session, OpensWithEveryMaterialListedInNameOrder)
{
    EXPECT_TRUE(session.isOpen());
    EXPECT_EQ(session.MaterialCount, 10);
    EXPECT_EQ(session.rowCount(), 11);
    EXPECT_EQ(session.currentRow(), 1);
    EXPECT_EQ(current(), QStringLiteral("Anethole"));
    EXPECT_EQ(session.listTitle(), QStringLiteral("List of all materials (10)"));
    EXPECT_TRUE(session.searchEnabled());
    EXPECT_EQ(session.LastShownPage, page::Materials);
}

TEST_F(Session, RowsFollowTheOrderAndTheSelection)
{
    session.selectRow(3);
    EXPECT_EQ(current(), QStringLiteral("Citral"));
    session.ToggleOrder();
    session.selectionList()->ShowCurrent();
    EXPECT_EQ(current(), QStringLiteral("Citral"));
    EXPECT_EQ(session.currentRow(), 8);
    EXPECT_EQ(session.listTitle(), QStringLiteral("List of all materials (10) - sorted by CAS"));

    select({2, 3, 5});
    EXPECT_EQ(session.rowCount(), 4);
    EXPECT_EQ(session.currentRow(), 2); // Benzyl acetate, Citral, Eugenol by CAS
    EXPECT_EQ(session.listTitle(), QStringLiteral("3 materials selected - sorted by CAS"));
    EXPECT_FALSE(session.searchEnabled());

    session.ToggleOrder();
    session.selectionList()->ShowCurrent();
    EXPECT_EQ(session.listTitle(), QStringLiteral("3 materials selected"));
    EXPECT_TRUE(session.searchEnabled());

    select({}); // nothing matches: every material again
    EXPECT_EQ(session.rowCount(), 11);
    EXPECT_EQ(current(), QStringLiteral("Citral"));
    session.Select(2);
    EXPECT_EQ(session.listTitle(), QStringLiteral("List of all materials (10)"));
}

TEST_F(Session, RowsOutsideTheListChangeNothing)
{
    for (int row : {0, -1, 11, 1000}) {
        session.selectRow(row);
        EXPECT_EQ(session.currentRow(), 1) << row;
        EXPECT_EQ(current(), QStringLiteral("Anethole")) << row;
    }
}

// --- Incremental search ----------------------------------------------------------------

struct SearchCase
{
    const char* name;
    bool casOrder;
    QList<int> listed; // empty: every material
    const char* typed;
    const char* expected;
};

void PrintTo(const SearchCase& c, std::ostream* os)
{
    *os << c.name;
}

class MaterialSearch : public Session, public ::testing::WithParamInterface<SearchCase>
{
};

TEST_P(MaterialSearch, LandsOnAListedMaterial)
{
    const SearchCase& c = GetParam();
    session.selectRow(2); // Benzyl acetate: a search that moves nothing leaves it current
    if (!c.listed.isEmpty())
        select(QSet<int>(c.listed.begin(), c.listed.end()));
    if (c.casOrder)
        session.ToggleOrder();
    session.SearchMaterial(text(c.typed));
    EXPECT_EQ(current(), text(c.expected));
    const int id = static_cast<int>(ds("TableMaterial")->integer(QStringLiteral("id")));
    EXPECT_TRUE(session.selectionList()->IsSelected(id));
    EXPECT_EQ(session.selectionList()->IdAtRow(session.currentRow()), id)
        << "the list's row holds the material found";
}

INSTANTIATE_TEST_SUITE_P(
    Session, MaterialSearch,
    ::testing::Values(
        SearchCase{"nameOrderPrefix", false, {}, "ci", "Citral"},
        SearchCase{"nameOrderCaseIsFolded", false, {}, "GeR", "Geraniol"},
        SearchCase{"nameOrderEmptyIsTheFirst", false, {}, "", "Anethole"},
        SearchCase{"nameOrderPastTheEndIsTheLast", false, {}, "zz", "Jasmone"},
        SearchCase{"nameOrderNonAsciiPastTheEnd", false, {}, "Ω", "Jasmone"},
        SearchCase{"nameOrderAccentsAsInTheSortForm", false, {}, "gé", "Geraniol"},
        SearchCase{"narrowedNextListed", false, {2, 5, 8}, "c", "Eugenol"},
        SearchCase{"narrowedBeforeEveryListed", false, {2, 5, 8}, "a", "Benzyl acetate"},
        SearchCase{"narrowedAfterEveryListedTakesTheLastBefore", false, {2, 5, 8}, "i", "Hexanol"},
        SearchCase{"narrowedToOneMaterial", false, {6}, "a", "Farnesol"},
        SearchCase{"casOrderNearest", true, {}, "46", "Farnesol"},
        SearchCase{"casOrderAsTyped", true, {}, "12", "Ionone"},
        SearchCase{"casOrderPastTheEnd", true, {}, "99", "Eugenol"},
        SearchCase{"casOrderNotListedMovesNothing", true, {2, 5}, "53", "Benzyl acetate"}),
    [](const ::testing::TestParamInfo<SearchCase>& row) { return std::string(row.param.name); });

TEST_F(Session, NoSearchWhileTheWindowChangesAField)
{
    session.SearchActive = false;
    session.SearchMaterial(QStringLiteral("ge"));
    session.SearchCommercialName(QStringLiteral("L"));
    session.SearchSupplier(QStringLiteral("G"));
    EXPECT_EQ(current(), QStringLiteral("Anethole"));
    EXPECT_EQ(field("TableCommSynonyms", "name"), QStringLiteral("Clovene"));
    EXPECT_EQ(field("TableSupplier", "supname"), QStringLiteral("Alpha Trading"));
    session.SearchActive = true;
    session.SearchCommercialName(QStringLiteral("l"));
    session.SearchSupplier(QStringLiteral("g"));
    EXPECT_EQ(field("TableCommSynonyms", "name"), QStringLiteral("Lemonal"));
    EXPECT_EQ(field("TableSupplier", "supname"), QStringLiteral("Gamma Oils"));
}

// --- Page carry ------------------------------------------------------------------------

TEST_F(Session, CarryFromCommercialNamesToMaterials)
{
    session.CarryTo(page::CommercialNames);
    ASSERT_TRUE(ds("TableCommSynonyms")->findKey({QStringLiteral("Lemonal")}));
    session.CarryTo(page::Materials);
    EXPECT_EQ(current(), QStringLiteral("Citral"));
    EXPECT_EQ(session.currentRow(), 3);
    EXPECT_EQ(session.LastShownPage, page::Materials);

    select({1, 2});
    session.CarryTo(page::CommercialNames);
    ASSERT_TRUE(ds("TableCommSynonyms")->findKey({QStringLiteral("Clovene")}));
    session.CarryTo(page::Materials);
    EXPECT_EQ(current(), QStringLiteral("Anethole")) << "Eugenol is not listed: nothing moves";

    session.CarryTo(page::CommercialNames);
    ASSERT_TRUE(ds("TableCommSynonyms")->findKey({QStringLiteral("Orphan")}));
    session.CarryTo(page::Materials);
    EXPECT_EQ(current(), QStringLiteral("Anethole")) << "no material has that CAS";
}

TEST_F(Session, CarryToSuppliers)
{
    session.CarryTo(page::CommercialNames);
    ASSERT_TRUE(ds("TableCommSynonyms")->findKey({QStringLiteral("Lemonal")}));
    session.CarryTo(page::Suppliers);
    EXPECT_EQ(field("TableSupplier", "supname"), QStringLiteral("Beta Aromatics"));
    EXPECT_EQ(ds("TableSupplier")->indexName(), QStringLiteral("name")) << "order kept";

    session.CarryTo(page::CommercialNames);
    ASSERT_TRUE(ds("TableCommSynonyms")->findKey({QStringLiteral("Pinkroot")}));
    session.CarryTo(page::Suppliers);
    EXPECT_EQ(field("TableSupplier", "supname"), QStringLiteral("Beta Aromatics"))
        << "no supplier has that number: nothing moves";
}

TEST_F(Session, CarryFromTheSuppliersMaterialsToCommercialNamesAndMaterials)
{
    session.CarryTo(page::Suppliers);
    ASSERT_TRUE(session.GotoSupplier(QStringLiteral("S02")));
    EXPECT_EQ(field("TableSupLink2", "name"), QStringLiteral("Lemonal"));
    session.CarryTo(page::CommercialNames);
    EXPECT_EQ(field("TableCommSynonyms", "name"), QStringLiteral("Lemonal"));
    session.CarryTo(page::Suppliers);
    session.CarryTo(page::Materials);
    EXPECT_EQ(current(), QStringLiteral("Citral"));
    EXPECT_FALSE(session.GotoSupplier(QStringLiteral("S99")));
    EXPECT_EQ(field("TableSupplier", "supnr"), QStringLiteral("S02"));
}

TEST_F(Session, CarryFromTheMaterialsSuppliersToCommercialNames)
{
    session.SearchMaterial(QStringLiteral("eu"));
    ASSERT_EQ(current(), QStringLiteral("Eugenol"));
    ds("TableSynonyms2")->last(); // Pinkroot
    session.CarryTo(page::CommercialNames);
    EXPECT_EQ(field("TableCommSynonyms", "name"), QStringLiteral("Pinkroot"));
    session.CarryTo(page::CommercialNames); // the page shown again: nothing moves
    EXPECT_EQ(field("TableCommSynonyms", "name"), QStringLiteral("Pinkroot"));
}

// --- Navigation ------------------------------------------------------------------------

struct NavigationCase
{
    int page;
    QList<int> listed;
    const char* directions; // one letter each: f(irst), p(rior), n(ext), l(ast), x (unknown)
    const char* expected;   // material, commercial name or supplier name
};

void PrintTo(const NavigationCase& c, std::ostream* os)
{
    *os << "page " << c.page << ' ' << c.directions;
}

class Navigation : public Session, public ::testing::WithParamInterface<NavigationCase>
{
};

TEST_P(Navigation, StopsAtTheEnds)
{
    const NavigationCase& c = GetParam();
    if (!c.listed.isEmpty())
        select(QSet<int>(c.listed.begin(), c.listed.end()));
    for (const char* d = c.directions; *d; ++d) {
        const QString direction = *d == 'f'   ? QStringLiteral("first")
                                  : *d == 'p' ? QStringLiteral("prior")
                                  : *d == 'n' ? QStringLiteral("next")
                                  : *d == 'l' ? QStringLiteral("last")
                                              : QStringLiteral("sideways");
        session.Navigate(c.page, direction);
    }
    const QString shown = c.page == page::Materials         ? current()
                          : c.page == page::CommercialNames ? field("TableCommSynonyms", "name")
                                                            : field("TableSupplier", "supname");
    EXPECT_EQ(shown, text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Session, Navigation,
    ::testing::Values(NavigationCase{page::Materials, {}, "ln", "Jasmone"},
                      NavigationCase{page::Materials, {}, "p", "Anethole"},
                      NavigationCase{page::Materials, {}, "nnp", "Benzyl acetate"},
                      NavigationCase{page::Materials, {}, "lx", "Jasmone"},
                      NavigationCase{page::Materials, {6}, "n", "Farnesol"},
                      NavigationCase{page::Materials, {6}, "lpf", "Farnesol"},
                      NavigationCase{page::Materials, {3, 9}, "l", "Ionone"},
                      // The commercial names list holds the names in the range "1" to "zzz".
                      NavigationCase{page::CommercialNames, {}, "l", "Pinkroot"},
                      NavigationCase{page::CommercialNames, {}, "lnnp", "Orphan"},
                      NavigationCase{page::CommercialNames, {}, "p", "Clovene"},
                      NavigationCase{page::Suppliers, {}, "ln", "Gamma Oils"},
                      NavigationCase{page::Suppliers, {}, "lpf", "Alpha Trading"}));

// --- Scrolling -------------------------------------------------------------------------

TEST_F(Session, ScrollingPastTheCurrentRowTakesTheNearestRowShown)
{
    session.keepRowInView(5, 3); // rows 5 to 7 shown, row 1 current
    EXPECT_EQ(session.currentRow(), 5);
    EXPECT_EQ(current(), QStringLiteral("Eugenol"));
    session.keepRowInView(1, 3); // rows 1 to 3 shown, row 5 current
    EXPECT_EQ(session.currentRow(), 3);
    EXPECT_EQ(current(), QStringLiteral("Citral"));
    session.keepRowInView(2, 4); // still in view
    EXPECT_EQ(session.currentRow(), 3);
    session.keepRowInView(9, 20); // more rows than the list has left
    EXPECT_EQ(session.currentRow(), 9);
}

// --- Suppliers -------------------------------------------------------------------------

TEST_F(Session, SupplierMaterialsTitleCountsCommercialNames)
{
    ASSERT_TRUE(session.GotoSupplier(QStringLiteral("S01")));
    EXPECT_EQ(session.supplierMaterialsTitle(), QStringLiteral("2 materials from: Alpha Trading"));
    ASSERT_TRUE(session.GotoSupplier(QStringLiteral("S03")));
    EXPECT_EQ(session.supplierMaterialsTitle(), QStringLiteral("No materials from: Gamma Oils"));
    EXPECT_EQ(MainSession::CountPhrase(1, QStringLiteral("material"), QStringLiteral("s")),
              QStringLiteral("1 material"));
}

// --- Broken databases ------------------------------------------------------------------

struct BrokenCase
{
    const char* name;
    std::function<void(data::DatabaseContent&, data::WriteOptions&)> spoil;
};

void PrintTo(const BrokenCase& c, std::ostream* os)
{
    *os << c.name;
}

class BrokenDatabase : public ::testing::TestWithParam<BrokenCase>
{
};

TEST_P(BrokenDatabase, DoesNotOpen)
{
    data::DatabaseContent c = content();
    data::WriteOptions options;
    GetParam().spoil(c, options);
    test::DatabaseFixture db(c, options);
    MainSession session;
    session.setDataDirectory(db.dir.path() + QLatin1Char('/'));
    EXPECT_THROW(session.OpenDatabase(), data::DatabaseError);
    EXPECT_FALSE(session.isOpen());
    EXPECT_EQ(session.selectionList(), nullptr);
    EXPECT_FALSE(session.dataset(QStringLiteral("TableMaterial"))->isOpen());
    // The commands of a window over a session that did not open do nothing.
    session.SearchMaterial(QStringLiteral("a"));
    session.Navigate(page::Materials, QStringLiteral("next"));
    session.CarryTo(page::Suppliers);
    EXPECT_EQ(session.LastShownPage, page::Suppliers);
}

INSTANTIATE_TEST_SUITE_P(
    Session, BrokenDatabase,
    ::testing::Values(BrokenCase{"duplicateId",
                                 [](data::DatabaseContent& c, data::WriteOptions& o) {
                                     o.assignIds = false;
                                     for (size_t i = 0; i < c.materials.size(); ++i)
                                         c.materials[i].id = static_cast<int>(i) + 1;
                                     c.materials[4].id = 2;
                                 }},
                      BrokenCase{"idZero",
                                 [](data::DatabaseContent& c, data::WriteOptions& o) {
                                     o.assignIds = false;
                                     for (size_t i = 0; i < c.materials.size(); ++i)
                                         c.materials[i].id = static_cast<int>(i) + 1;
                                     c.materials[9].id = 0;
                                 }},
                      BrokenCase{"wrongPassword",
                                 [](data::DatabaseContent&, data::WriteOptions& o) {
                                     o.password = QStringLiteral("other");
                                 }}),
    [](const ::testing::TestParamInfo<BrokenCase>& row) { return std::string(row.param.name); });

// Names in another alphabet, in a code page that holds them.
TEST(SessionAlphabets, NameSearchInCyrillic)
{
    data::DatabaseContent c;
    for (const char* name : {"Анетол", "Гераниол", "Лимонен", "Цитраль"}) {
        data::MaterialRow m;
        m.name = text(name);
        m.cas = QStringLiteral("%1-00-0").arg(c.materials.size() + 1);
        c.materials.push_back(m);
    }
    data::WriteOptions options;
    options.codePage = 1251;
    test::DatabaseFixture db(c, options);
    MainSession session;
    session.setDataDirectory(db.dir.path() + QLatin1Char('/'));
    session.OpenDatabase();
    const auto current = [&] {
        return session.dataset(QStringLiteral("TableMaterial"))->text(QStringLiteral("name"));
    };
    session.SearchMaterial(text("ЛИ"));
    EXPECT_EQ(current(), text("Лимонен"));
    session.SearchMaterial(text("ли"));
    EXPECT_EQ(current(), text("Лимонен")) << "lower case as typed";
    session.SearchMaterial(text("гёр")); // ё is е with a diaeresis
    EXPECT_EQ(current(), text("Гераниол"));
    session.SearchMaterial(text("Ц"));
    EXPECT_EQ(current(), text("Цитраль"));
    session.SearchMaterial(QStringLiteral("a"));
    EXPECT_EQ(current(), text("Анетол")) << "Latin letters come before Cyrillic";
}

} // namespace
