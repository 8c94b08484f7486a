// A search over every material of the scale database (8000 materials, 40000 commercial
// names): the selection list's ApplyFilter with the search dialog's filter.
#include "common/SampleDatabase.h"
#include "data/Database.h"
#include "data/Datasets.h"
#include "data/Schema.h"
#include "search/MaterialFilter.h"
#include "search/TSearchClass.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zel;

namespace {

class NoGrid : public search::SelectionGrid
{
public:
    int rows = 0, current = 0;
    void setRowCount(int r) override { rows = r; }
    int rowCount() const override { return rows; }
    int currentRow() const override { return current; }
    void setCurrentRow(int r) override { current = r; }
};

struct Scale
{
    QTemporaryDir dir;
    data::Database db;
    std::unique_ptr<data::DatasetSet> sets;
    NoGrid grid;
    std::unique_ptr<search::TSearchClass> list;
    search::SearchCriteria criteria;
    Scale()
    {
        data::writeDatabase(dir.path(), data::makeScaleContent(8000, 40000, 400));
        data::Session::instance().addPassword(QString::fromLatin1(data::schema::tablePassword()));
        db.setPath(dir.path());
        sets = std::make_unique<data::DatasetSet>(&db, data::decls::mainWindow());
        sets->openAll();
        data::Dataset* scan = sets->get(QStringLiteral("TableMaterialSelect"));
        data::Dataset* synonyms = sets->get(QStringLiteral("TableSynonymsSelect"));
        list = std::make_unique<search::TSearchClass>(8000);
        list->attach(
            &grid, sets->get(QStringLiteral("TableMaterial")), scan,
            [this, scan, synonyms] { return search::MaterialFilter(criteria, *scan, synonyms); });
        list->setMaterialCount(8000);
        list->RestoreAll();
        list->BuildNameList();
        list->BuildCasList();
        list->SetOrder(QStringLiteral("Name"));
        list->GotoFirst();
    }
};

Scale& scale()
{
    static Scale s;
    return s;
}

void run(benchmark::State& state, const search::SearchCriteria& criteria)
{
    Scale& s = scale();
    s.criteria = criteria;
    for (auto _ : state)
        s.list->ApplyFilter();
    state.counters["selected"] = s.list->count();
}

void BM_ApplyFilterNameInCommercialNamesOnly(benchmark::State& state)
{
    search::SearchCriteria c;
    c.name = QStringLiteral("NO SUCH NAME");
    run(state, c);
}
BENCHMARK(BM_ApplyFilterNameInCommercialNamesOnly)->Unit(benchmark::kMillisecond);

void BM_ApplyFilterOdourOnly(benchmark::State& state)
{
    search::SearchCriteria c;
    c.odour = QStringLiteral("undertone");
    run(state, c);
}
BENCHMARK(BM_ApplyFilterOdourOnly)->Unit(benchmark::kMillisecond);

} // namespace
