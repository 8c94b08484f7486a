#include "Fixture.h"
#include "data/engine/Table.h"
#include "model/Datasets.h"
#include "search/TSearchClass.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace zel;
using zel::search::TSearchClass;

namespace {

// Behaves like the materials list grid: a new current row raises the cell-selection
// notification, answered with GotoRow.
class ListGrid : public search::SelectionGrid
{
public:
    TSearchClass* list = nullptr;
    int rows = 2;
    int current = 1;
    int selections = 0;
    void setRowCount(int r) override { rows = r; }
    int rowCount() const override { return rows; }
    int currentRow() const override { return current; }
    void setCurrentRow(int r) override
    {
        if (r == current)
            return;
        current = r;
        ++selections;
        list->GotoRow(r);
    }
};

class Feedback : public search::SelectionFeedback
{
public:
    int warnings = 0, shown = 0, hidden = 0, last = -1, max = -1;
    void setProgressRange(int, int m) override { max = m; }
    void showProgress(int p) override { last = p; }
    void showProgressWindow() override { ++shown; }
    void hideProgressWindow() override { ++hidden; }
    void warnNothingSelected() override { ++warnings; }
};

// Materials whose CAS order differs from their name order.
data::DatabaseContent content()
{
    data::DatabaseContent c;
    const char* const rows[][2] = {{"Anethole", "4180-23-8"}, {"Benzyl acetate", "140-11-4"},
                                   {"Citral", "5392-40-5"},   {"Damascone", "57378-68-4"},
                                   {"Eugenol", "97-53-0"},    {"Farnesol", "4602-84-0"},
                                   {"Geraniol", "106-24-1"},  {"Hexanol", "111-27-3"}};
    for (const auto& r : rows) {
        data::MaterialRow m;
        m.name = QString::fromLatin1(r[0]);
        m.cas = QString::fromLatin1(r[1]);
        c.materials.push_back(m);
    }
    c.suppliers.push_back({QStringLiteral("S01"), QStringLiteral("One"), {}, {}, {}, {}});
    return c;
}

// Every case runs twice: with the filter evaluated record by record on the scan view, and with
// a filter that judges the whole table at once.
struct Selection : public ::testing::TestWithParam<bool>
{
    test::DatabaseFixture db{content()};
    data::DatasetSet sets{db.db.get(), model::decls::mainWindow()};
    data::Dataset* browse = nullptr;
    data::Dataset* scan = nullptr;
    ListGrid grid;
    Feedback feedback;
    QSet<int> keep; // ids the filter lets through
    bool keepAll = true;
    std::unique_ptr<TSearchClass> list;

    void SetUp() override
    {
        sets.openAll();
        browse = sets.get(QStringLiteral("TableMaterial"));
        scan = sets.get(QStringLiteral("TableMaterialSelect"));
        list = std::make_unique<TSearchClass>(browse->recordCount());
        grid.list = list.get();
        list->attach(
            &grid, browse, scan,
            [this] {
                return keepAll ||
                       keep.contains(static_cast<int>(scan->integer(QStringLiteral("id"))));
            },
            &feedback);
        if (GetParam()) {
            list->setTableFilter([this](const data::Dataset& scanned) {
                const data::Table& t = *scanned.table();
                std::vector<unsigned char> flags(static_cast<size_t>(t.recordCount()));
                for (int r = 0; r < t.recordCount(); ++r)
                    flags[static_cast<size_t>(r)] =
                        keepAll || keep.contains(static_cast<int>(
                                       t.integer(r, t.fieldIndex(QStringLiteral("id")))));
                return flags;
            });
        }
        list->setMaterialCount(browse->recordCount());
        // The start-up sequence.
        list->RestoreAll();
        list->BuildNameList();
        list->BuildCasList();
        list->SetOrder(QStringLiteral("Name"));
        list->GotoFirst();
    }

    void filter(std::initializer_list<int> ids)
    {
        keepAll = false;
        keep = QSet<int>(ids);
        list->ApplyFilter();
    }

    QList<int> rowsInOrder() const
    {
        QList<int> ids;
        for (int r = 1; r <= list->count(); ++r)
            ids << list->IdAtRow(r);
        return ids;
    }

    QString currentName() const { return browse->text(QStringLiteral("name")); }
};

// CAS order compares text: "106-24-1" < "111-27-3" < "140-11-4" < "4180-23-8" < "4602-84-0"
// < "5392-40-5" < "57378-68-4" < "97-53-0".
const QList<int> kCasOrder{7, 8, 2, 1, 6, 3, 4, 5};

TEST_P(Selection, StartsWithEveryMaterialInBothOrders)
{
    EXPECT_EQ(list->count(), 8);
    EXPECT_EQ(grid.rows, 9);
    EXPECT_EQ(rowsInOrder(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(list->currentId(), 1);
    EXPECT_EQ(currentName(), QStringLiteral("Anethole"));
    list->SetOrder(QStringLiteral("CAS"));
    EXPECT_EQ(rowsInOrder(), kCasOrder);
    EXPECT_EQ(grid.rows, 9);
}

TEST_P(Selection, SetOrderAloneMovesNothing)
{
    list->GotoRow(3);
    const int row = grid.current;
    list->SetOrder(QStringLiteral("CAS"));
    EXPECT_EQ(grid.current, row);
    EXPECT_EQ(list->currentId(), 3);
    EXPECT_EQ(currentName(), QStringLiteral("Citral"));
    list->ShowCurrent(); // what the order button does next
    EXPECT_EQ(grid.current, 6) << "Citral is the sixth in CAS order";
    EXPECT_EQ(list->currentId(), 3);
}

TEST_P(Selection, FilterKeepsTheCurrentMaterialOnItsNewRow)
{
    grid.setCurrentRow(5); // Eugenol
    ASSERT_EQ(currentName(), QStringLiteral("Eugenol"));
    filter({2, 5, 7});
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(grid.rows, 4);
    EXPECT_EQ(rowsInOrder(), (QList<int>{2, 5, 7}));
    EXPECT_EQ(grid.current, 2);
    EXPECT_EQ(currentName(), QStringLiteral("Eugenol"));
    list->SetOrder(QStringLiteral("CAS"));
    list->ShowCurrent();
    EXPECT_EQ(rowsInOrder(), (QList<int>{7, 2, 5}));
    EXPECT_EQ(grid.current, 3);
    EXPECT_EQ(grid.rows, 4);
    EXPECT_EQ(feedback.shown, 1);
    EXPECT_EQ(feedback.hidden, 1);
    EXPECT_EQ(feedback.max, 8);
    EXPECT_EQ(feedback.last, 7);
}

// ShowCurrent puts the grid on the row that shows the current material, for every listed
// material, in both orders, for the whole list and narrowed ones.
TEST_P(Selection, ShowCurrentFindsEveryListedMaterialsRow)
{
    for (const QList<int>& kept : {QList<int>{}, QList<int>{8, 3, 6}, QList<int>{1}}) {
        if (!kept.isEmpty()) {
            keepAll = false;
            keep = QSet<int>(kept.begin(), kept.end());
            list->ApplyFilter();
        }
        for (const char* order : {"Name", "CAS", "Name"}) {
            list->SetOrder(QString::fromLatin1(order));
            list->Rebuild();
            for (int row = 1; row <= list->count(); ++row) {
                const int id = list->IdAtRow(row);
                grid.current = 0;
                list->GotoId(id);
                list->ShowCurrent();
                EXPECT_EQ(grid.current, row) << order << " order, id " << id;
                EXPECT_EQ(list->currentId(), id);
            }
        }
    }
}

TEST_P(Selection, FilterThatDropsTheCurrentMaterialMovesToTheFirstRow)
{
    for (const char* order : {"Name", "CAS"}) {
        list->SetOrder(QString::fromLatin1(order));
        keepAll = true;
        list->ApplyFilter();
        grid.setCurrentRow(4);
        const int dropped = list->currentId();
        QSet<int> rest{1, 2, 3, 4, 5, 6, 7, 8};
        rest.remove(dropped);
        rest.remove(3);
        keepAll = false;
        keep = rest;
        list->ApplyFilter();
        EXPECT_EQ(list->count(), 6) << order;
        EXPECT_EQ(grid.current, 1) << order;
        EXPECT_EQ(list->currentId(), list->IdAtRow(1)) << order;
        EXPECT_EQ(browse->integer(QStringLiteral("id")), list->IdAtRow(1)) << order;
        EXPECT_FALSE(list->IsSelected(dropped));
    }
}

TEST_P(Selection, NothingMatchedWarnsAndRestoresEveryMaterial)
{
    filter({});
    EXPECT_EQ(feedback.warnings, 1);
    EXPECT_EQ(list->count(), 8);
    EXPECT_EQ(grid.rows, 9);
    EXPECT_EQ(rowsInOrder(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    list->SetOrder(QStringLiteral("CAS"));
    EXPECT_EQ(rowsInOrder(), kCasOrder);
}

TEST_P(Selection, OneListedMaterial)
{
    filter({6});
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(currentName(), QStringLiteral("Farnesol"));
    list->GotoRow(2);
    EXPECT_EQ(list->currentId(), 6) << "a row past Count is ignored";
}

TEST_P(Selection, GotoRowPastCountChangesNothing)
{
    list->GotoRow(4);
    list->GotoRow(9);
    list->GotoRow(1000);
    EXPECT_EQ(list->currentId(), 4);
    EXPECT_EQ(currentName(), QStringLiteral("Damascone"));
}

TEST_P(Selection, ShowCurrentOfAnUnlistedMaterialGoesToRowOne)
{
    filter({3, 4, 8});
    ASSERT_TRUE(list->GotoId(1)); // a material the list does not show
    grid.current = 2;
    list->ShowCurrent();
    EXPECT_EQ(grid.current, 1);
    EXPECT_EQ(list->currentId(), 3);
    EXPECT_EQ(currentName(), QStringLiteral("Citral"));
}

TEST_P(Selection, GotoIdOfAMissingIdKeepsTheBrowseRecord)
{
    list->GotoRow(5);
    EXPECT_FALSE(list->GotoId(99));
    EXPECT_EQ(list->currentId(), 99);
    EXPECT_EQ(currentName(), QStringLiteral("Eugenol"));
    list->Rebuild();
    EXPECT_EQ(list->currentId(), 1) << "an unlisted current id falls back to the first row";
}

INSTANTIATE_TEST_SUITE_P(RecordByRecordAndWholeTable, Selection, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return std::string(p.param ? "WholeTable" : "RecordByRecord");
                         });

// Ids with gaps: ids 1, 6, 11, ... 36 in name order, mapped to the list's slots once.
struct GappedCase
{
    const char* name;
    QList<int> keep;                          // ids the search keeps
    QList<int> casRows;                       // what the CAS order lists then
    std::vector<std::pair<int, int>> nearest; // an id asked for, where the name search lands
};

void PrintTo(const GappedCase& c, std::ostream* os)
{
    *os << c.name;
}

class GappedIds : public ::testing::TestWithParam<GappedCase>
{
};

TEST_P(GappedIds, EveryMaterialIsListedChosenAndFound)
{
    const GappedCase& c = GetParam();
    data::WriteOptions options;
    options.idStep = 5;
    test::DatabaseFixture db(content(), options);
    data::DatasetSet sets(db.db.get(), model::decls::mainWindow());
    sets.openAll();
    data::Dataset* browse = sets.get(QStringLiteral("TableMaterial"));
    data::Dataset* scan = sets.get(QStringLiteral("TableMaterialSelect"));
    ListGrid grid;
    TSearchClass list(browse->recordCount());
    grid.list = &list;
    const QSet<int> keep(c.keep.begin(), c.keep.end());
    list.attach(&grid, browse, scan, [&] {
        return keep.contains(static_cast<int>(scan->integer(QStringLiteral("id"))));
    });
    list.setIds({1, 6, 11, 16, 21, 26, 31, 36});
    list.setMaterialCount(browse->recordCount());
    list.RestoreAll();
    list.BuildNameList();
    list.BuildCasList();
    list.SetOrder(QStringLiteral("Name"));
    list.GotoFirst();
    EXPECT_EQ(list.count(), 8);
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(list.IdAtRow(row), 1 + 5 * (row - 1));
        list.GotoRow(row);
        EXPECT_EQ(browse->integer(QStringLiteral("id")), 1 + 5 * (row - 1));
    }
    list.ApplyFilter();
    QList<int> rows;
    for (int r = 1; r <= list.count(); ++r)
        rows << list.IdAtRow(r);
    EXPECT_EQ(rows, c.keep);
    for (const auto& [asked, lands] : c.nearest)
        EXPECT_EQ(list.NearestSelectedId(asked), lands) << asked;
    EXPECT_FALSE(list.IsSelected(2)) << "no material has id 2";
    list.SetOrder(QStringLiteral("CAS"));
    list.Rebuild();
    rows.clear();
    for (int r = 1; r <= list.count(); ++r)
        rows << list.IdAtRow(r);
    EXPECT_EQ(rows, c.casRows);
}

// CAS order of the eight: Geraniol, Hexanol, Benzyl acetate, Anethole, Farnesol, Citral,
// Damascone, Eugenol.
INSTANTIATE_TEST_SUITE_P(
    Selection, GappedIds,
    ::testing::Values(GappedCase{"All",
                                 {1, 6, 11, 16, 21, 26, 31, 36},
                                 {31, 36, 6, 1, 26, 11, 16, 21},
                                 {{0, 1}, {2, 6}, {6, 6}, {37, 36}}},
                      GappedCase{"Three",
                                 {6, 26, 36},
                                 {36, 6, 26},
                                 {{1, 6}, {7, 26}, {26, 26}, {27, 36}, {99, 36}}},
                      GappedCase{"TheFirstOnly", {1}, {1}, {{0, 1}, {5, 1}, {40, 1}}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(SelectionUnattached, DoesNothing)
{
    TSearchClass list(10);
    EXPECT_FALSE(list.IsAttached());
    EXPECT_FALSE(list.GotoId(1));
    list.RestoreAll();
    list.ApplyFilter();
    list.Rebuild();
    list.GotoRow(1);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentId(), 0);
    EXPECT_EQ(list.IdAtRow(1), 0);
    EXPECT_FALSE(list.IsSelected(0));
    EXPECT_FALSE(list.IsSelected(11));
}

} // namespace
