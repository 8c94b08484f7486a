// A search over every material of the scale database (8000 materials, 40000 commercial
// names): the selection list's ApplyFilter with the search dialog's filter, beside SQLite
// answering the same question over the same rows in an in-memory database.
#include "common/SampleDatabase.h"
#include "data/engine/Database.h"
#include "data/engine/Table.h"
#include "model/Datasets.h"
#include "model/Schema.h"
#include "search/MaterialFilter.h"
#include "search/TSearchClass.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

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

// The materials and commercial names in SQLite, with an index on the CAS number of the
// commercial names so that each material finds its own.
class SqlitePeer
{
public:
    SqlitePeer(const data::Table& materials, const data::Table& synonyms)
    {
        sqlite3_open(":memory:", &m_db);
        exec("CREATE TABLE material(id INTEGER, cas TEXT, name TEXT, name1 TEXT, name2 TEXT, "
             "odour TEXT, performance TEXT, application TEXT)");
        exec("CREATE TABLE synonyms(cas TEXT, name TEXT)");
        exec("BEGIN");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(m_db, "INSERT INTO material VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)", -1,
                           &insert, nullptr);
        const char* fields[] = {"cas",   "name",        "name1",      "name2",
                                "odour", "performance", "application"};
        for (int r = 0; r < materials.recordCount(); ++r) {
            sqlite3_bind_int(insert, 1,
                             static_cast<int>(materials.integer(r, materials.fieldIndex("id"))));
            for (int f = 0; f < 7; ++f)
                bindText(insert, f + 2, materials, r, fields[f]);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_prepare_v2(m_db, "INSERT INTO synonyms VALUES(?1, ?2)", -1, &insert, nullptr);
        for (int r = 0; r < synonyms.recordCount(); ++r) {
            bindText(insert, 1, synonyms, r, "cas");
            bindText(insert, 2, synonyms, r, "name");
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        exec("COMMIT");
        exec("CREATE INDEX synonyms_cas ON synonyms(cas)");
    }
    ~SqlitePeer() { sqlite3_close(m_db); }

    // The ids of the materials the query keeps; ?1 is the criterion, upper-cased as the
    // filter folds it (SQLite's upper() folds a to z only).
    std::vector<int> run(const char* sql, const QString& criterion)
    {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr);
        const QByteArray c = search::normaliseCriterion(criterion).toUtf8();
        sqlite3_bind_text(stmt, 1, c.constData(), static_cast<int>(c.size()), SQLITE_TRANSIENT);
        std::vector<int> ids;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ids.push_back(sqlite3_column_int(stmt, 0));
        sqlite3_finalize(stmt);
        return ids;
    }

private:
    void exec(const char* sql) { sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }
    static void bindText(sqlite3_stmt* stmt, int at, const data::Table& t, int record,
                         const char* field)
    {
        const QByteArray text = t.text(record, t.fieldIndex(QString::fromLatin1(field))).toUtf8();
        sqlite3_bind_text(stmt, at, text.constData(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    sqlite3* m_db = nullptr;
};

const char* const kNameQuery =
    "SELECT id FROM material m WHERE instr(upper(name), ?1) OR instr(upper(name1), ?1) OR "
    "instr(upper(name2), ?1) OR EXISTS (SELECT 1 FROM synonyms s WHERE s.cas = m.cas AND "
    "instr(upper(s.name), ?1))";
const char* const kOdourQuery = "SELECT id FROM material WHERE instr(upper(odour), ?1)";

struct Scale
{
    QTemporaryDir dir;
    data::Database db;
    std::unique_ptr<data::DatasetSet> sets;
    NoGrid grid;
    std::unique_ptr<search::TSearchClass> list;
    std::unique_ptr<SqlitePeer> sqlite;
    search::SearchCriteria criteria;
    Scale()
    {
        data::writeDatabase(dir.path(), data::makeScaleContent(8000, 40000, 400));
        data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
        zel::model::schema::describe(db);
        db.setPath(dir.path());
        sets = std::make_unique<data::DatasetSet>(&db, model::decls::mainWindow());
        sets->openAll();
        data::Dataset* scan = sets->get(QStringLiteral("TableMaterialSelect"));
        data::Dataset* synonyms = sets->get(QStringLiteral("TableSynonymsSelect"));
        list = std::make_unique<search::TSearchClass>(8000);
        list->attach(
            &grid, sets->get(QStringLiteral("TableMaterial")), scan,
            [this, scan, synonyms] { return search::MaterialFilter(criteria, *scan, synonyms); });
        list->setTableFilter(search::materialTableFilter([this] { return criteria; }, synonyms));
        list->setMaterialCount(8000);
        list->RestoreAll();
        list->BuildNameList();
        list->BuildCasList();
        list->SetOrder(QStringLiteral("Name"));
        list->GotoFirst();
        sqlite = std::make_unique<SqlitePeer>(*scan->table(), *synonyms->table());
    }
};

Scale& scale()
{
    static Scale s;
    return s;
}

search::SearchCriteria nameCriterion()
{
    search::SearchCriteria c;
    c.name = QStringLiteral("NO SUCH NAME");
    return c;
}

search::SearchCriteria odourCriterion()
{
    search::SearchCriteria c;
    c.odour = QStringLiteral("undertone");
    return c;
}

void run(benchmark::State& state, const search::SearchCriteria& criteria)
{
    Scale& s = scale();
    s.criteria = criteria;
    for (auto _ : state)
        s.list->ApplyFilter();
    state.counters["selected"] = s.list->count();
}

void runSqlite(benchmark::State& state, const char* sql, const QString& criterion)
{
    Scale& s = scale();
    size_t kept = 0;
    for (auto _ : state)
        kept = s.sqlite->run(sql, criterion).size();
    state.counters["selected"] = static_cast<double>(kept);
}

void BM_ApplyFilterNameInNoName(benchmark::State& state)
{
    run(state, nameCriterion());
}
BENCHMARK(BM_ApplyFilterNameInNoName)->Unit(benchmark::kMillisecond);

void BM_SqliteNameInNoName(benchmark::State& state)
{
    runSqlite(state, kNameQuery, nameCriterion().name);
}
BENCHMARK(BM_SqliteNameInNoName)->Unit(benchmark::kMillisecond);

void BM_ApplyFilterOdourOnly(benchmark::State& state)
{
    run(state, odourCriterion());
}
BENCHMARK(BM_ApplyFilterOdourOnly)->Unit(benchmark::kMillisecond);

void BM_SqliteOdourOnly(benchmark::State& state)
{
    runSqlite(state, kOdourQuery, odourCriterion().odour);
}
BENCHMARK(BM_SqliteOdourOnly)->Unit(benchmark::kMillisecond);

// The record-by-record filter on the scan view, as the selection list runs it without a
// table filter.
void BM_ApplyFilterOdourRecordByRecord(benchmark::State& state)
{
    Scale& s = scale();
    s.criteria = odourCriterion();
    s.list->setTableFilter({});
    for (auto _ : state)
        s.list->ApplyFilter();
    s.list->setTableFilter(search::materialTableFilter(
        [&s] { return s.criteria; }, s.sets->get(QStringLiteral("TableSynonymsSelect"))));
}
BENCHMARK(BM_ApplyFilterOdourRecordByRecord)->Unit(benchmark::kMillisecond);

} // namespace
