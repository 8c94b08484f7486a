// The table engine on the scale database: 8000 materials, 40000 commercial names, 400
// suppliers, written once into a temporary directory.
#include "common/SampleDatabase.h"
#include "data/base/Error.h"
#include "data/engine/Database.h"
#include "data/engine/Dataset.h"
#include "data/engine/Index.h"
#include "data/engine/Table.h"
#include "model/Datasets.h"
#include "model/Schema.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <limits>
#include <numeric>

extern "C" {
#include <paradox.h>
}

using namespace zel::data;
using namespace zel::model;

namespace {

struct ScaleDatabase
{
    QTemporaryDir dir;
    std::vector<QString> cas, sf;
    ScaleDatabase()
    {
        const DatabaseContent content = makeScaleContent(8000, 40000, 400);
        writeDatabase(dir.path(), content);
        for (const MaterialRow& m : content.materials) {
            cas.push_back(m.cas);
            sf.push_back(sortForm(m.name).left(5));
        }
        Session::instance().addPassword(QString::fromLatin1(schema::tablePassword()));
    }
    void writeIndexFiles() const
    {
        Database db;
        zel::model::schema::describe(db);
        db.setPath(dir.path());
        for (const TableDef* def : schema::allTables()) {
            Dataset ds;
            ds.setDatabase(&db);
            ds.setTableName(def->fileName);
            ds.setExclusive(true);
            for (const IndexDef& idx : def->indexes)
                ds.addIndex(idx.name, idx.fields.join(QLatin1Char(';')), idx.primary);
        }
    }
};

ScaleDatabase& scale()
{
    static ScaleDatabase db;
    return db;
}

// Opening the three tables with all nine indexes, as the main window's datasets open them: every
// table asked for at once, each read on a thread of its own with its index files.
void BM_OpenThreeTablesWithIndexFiles(benchmark::State& state)
{
    ScaleDatabase& s = scale();
    s.writeIndexFiles();
    QStringList names;
    for (const TableDef* def : schema::allTables())
        names << def->fileName;
    for (auto _ : state) {
        Database db;
        zel::model::schema::describe(db);
        db.setPath(s.dir.path());
        db.preload(names);
        for (const TableDef* def : schema::allTables()) {
            auto table = db.table(def->fileName);
            for (const IndexDef& idx : def->indexes)
                benchmark::DoNotOptimize(&table->index(idx));
        }
    }
}
BENCHMARK(BM_OpenThreeTablesWithIndexFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: pxlib reading the same three tables record by record.
void BM_PxlibReadsThreeTablesRecordByRecord(benchmark::State& state)
{
    ScaleDatabase& s = scale();
    PX_boot();
    for (auto _ : state) {
        for (const TableDef* def : schema::allTables()) {
            pxdoc_t* doc = PX_new();
            const QByteArray path = QFile::encodeName(s.dir.filePath(def->fileName));
            if (PX_open_file(doc, path.constData()) < 0) {
                state.SkipWithError("pxlib cannot open the table");
                PX_delete(doc);
                return;
            }
            PX_set_parameter(doc, "password", schema::tablePassword());
            std::vector<char> record(static_cast<size_t>(PX_get_recordsize(doc)));
            const int n = PX_get_num_records(doc);
            for (int r = 0; r < n; ++r)
                benchmark::DoNotOptimize(PX_get_record(doc, r, record.data()));
            PX_close(doc);
            PX_delete(doc);
        }
    }
}
BENCHMARK(BM_PxlibReadsThreeTablesRecordByRecord)->Unit(benchmark::kMillisecond)->UseRealTime();

// The three tables open once for the sorting benchmarks; their key texts are folded by the
// first sort of each index, so that what is timed is the sorting.
struct OpenScaleTables
{
    std::vector<std::shared_ptr<Table>> tables;
    OpenScaleTables()
    {
        ScaleDatabase& s = scale();
        for (const TableDef* def : schema::allTables()) {
            tables.push_back(Table::open(s.dir.filePath(def->fileName), def, Table::Access::Shared,
                                         Session::instance().passwords()));
            for (const IndexDef& idx : def->indexes)
                Index(*tables.back(), idx).build();
        }
    }
};

OpenScaleTables& openTables()
{
    static OpenScaleTables t;
    return t;
}

// The sort as it was: a stable sort of record numbers, each comparison reading the key
// through the table; the baseline of the sort that packs key beginnings into integers.
class StableSortBaseline
{
public:
    StableSortBaseline(const Table& table, const IndexDef& def) : m_table(table), m_def(def)
    {
        for (const QString& name : def.fields) {
            const int no = table.fieldIndex(name);
            const FieldType t = table.field(no).type;
            m_fields.push_back(no);
            m_numeric.push_back(t != FieldType::Text && t != FieldType::Memo);
            m_texts.push_back(m_numeric.back()        ? TextColumn{}
                              : def.caseInsensitive() ? table.foldedColumn(no)
                                                      : table.textColumn(no));
        }
    }

    std::vector<int> build() const
    {
        std::vector<int> order(static_cast<size_t>(m_table.recordCount()));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [this](int a, int b) { return compareRecords(a, b) < 0; });
        if (m_def.primary)
            for (size_t i = 1; i < order.size(); ++i)
                if (compareRecords(order[i - 1], order[i]) == 0)
                    throw DatabaseError(QStringLiteral("duplicate primary key"));
        std::vector<int> rank(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            rank[static_cast<size_t>(order[i])] = static_cast<int>(i);
        benchmark::DoNotOptimize(rank.data());
        return order;
    }

private:
    QStringView keyText(int record, size_t part) const
    {
        if (m_table.hasEdits())
            return m_def.caseInsensitive() ? m_table.foldedText(record, m_fields[part])
                                           : m_table.text(record, m_fields[part]);
        const TextColumn& column = m_texts[part];
        return column.text ? column.at(record) : QStringView();
    }
    double keyNumber(int record, size_t part) const
    {
        return m_table.isNull(record, m_fields[part]) ? -std::numeric_limits<double>::infinity()
                                                      : m_table.number(record, m_fields[part]);
    }
    int compareRecords(int a, int b) const
    {
        for (size_t i = 0; i < m_fields.size(); ++i) {
            if (m_numeric[i]) {
                const double x = keyNumber(a, i), y = keyNumber(b, i);
                if (x != y)
                    return x < y ? -1 : 1;
            } else if (const int c = keyText(a, i).compare(keyText(b, i)); c != 0) {
                return c < 0 ? -1 : 1;
            }
        }
        return 0;
    }

    const Table& m_table;
    IndexDef m_def;
    std::vector<int> m_fields;
    std::vector<bool> m_numeric;
    std::vector<TextColumn> m_texts;
};

// All nine indexes of the scale database sorted in memory, as a load from a database server
// or a re-index sorts them (on one thread: the tables are sorted on threads of their own).
void BM_SortNineIndexes(benchmark::State& state)
{
    OpenScaleTables& t = openTables();
    for (auto _ : state)
        for (size_t i = 0; i < t.tables.size(); ++i)
            for (const IndexDef& idx : schema::allTables()[i]->indexes) {
                Index index(*t.tables[i], idx);
                index.build();
                benchmark::DoNotOptimize(index.recordAt(0));
            }
}
BENCHMARK(BM_SortNineIndexes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SortNineIndexesStableSortBaseline(benchmark::State& state)
{
    OpenScaleTables& t = openTables();
    // The baseline must sort as the index does, or the comparison means nothing.
    for (size_t i = 0; i < t.tables.size(); ++i)
        for (const IndexDef& idx : schema::allTables()[i]->indexes) {
            Index index(*t.tables[i], idx);
            index.build();
            const std::vector<int> order = StableSortBaseline(*t.tables[i], idx).build();
            for (int p = 0; p < index.size(); ++p)
                if (index.recordAt(p) != order[static_cast<size_t>(p)]) {
                    state.SkipWithError("the baseline sorts differently");
                    return;
                }
        }
    for (auto _ : state)
        for (size_t i = 0; i < t.tables.size(); ++i)
            for (const IndexDef& idx : schema::allTables()[i]->indexes)
                benchmark::DoNotOptimize(StableSortBaseline(*t.tables[i], idx).build().data());
}
BENCHMARK(BM_SortNineIndexesStableSortBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExactKeySearch(benchmark::State& state)
{
    ScaleDatabase& s = scale();
    Database db;
    zel::model::schema::describe(db);
    db.setPath(s.dir.path());
    Dataset ds;
    ds.setDatabase(&db);
    ds.setTableName(QStringLiteral("MATERIAL.DB"));
    ds.setIndexName(QStringLiteral("casorder"));
    ds.open();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ds.findKey({s.cas[i]}));
        i = (i + 7919) % s.cas.size();
    }
}
BENCHMARK(BM_ExactKeySearch);

void BM_NearestSearch(benchmark::State& state)
{
    ScaleDatabase& s = scale();
    Database db;
    zel::model::schema::describe(db);
    db.setPath(s.dir.path());
    Dataset ds;
    ds.setDatabase(&db);
    ds.setTableName(QStringLiteral("MATERIAL.DB"));
    ds.open();
    size_t i = 0;
    for (auto _ : state) {
        ds.findNearest({s.sf[i]});
        i = (i + 7919) % s.sf.size();
    }
}
BENCHMARK(BM_NearestSearch);

void BM_NameLookupById(benchmark::State& state)
{
    ScaleDatabase& s = scale();
    Database db;
    zel::model::schema::describe(db);
    db.setPath(s.dir.path());
    Dataset ds;
    ds.setDatabase(&db);
    ds.setTableName(QStringLiteral("MATERIAL.DB"));
    ds.setIndexName(QStringLiteral("idindex"));
    ds.open();
    int id = 1;
    for (auto _ : state) {
        ds.findKey({id});
        benchmark::DoNotOptimize(ds.text(QStringLiteral("name")));
        id = id % 8000 + 1;
    }
}
BENCHMARK(BM_NameLookupById);

void BM_MasterLinkedStep(benchmark::State& state)
{
    ScaleDatabase& s = scale();
    Database db;
    zel::model::schema::describe(db);
    db.setPath(s.dir.path());
    DatasetSet sets(&db, decls::mainWindow());
    sets.openAll();
    Dataset* material = sets.get(QStringLiteral("TableMaterial"));
    Dataset* synonyms = sets.get(QStringLiteral("TableSynonyms2"));
    material->first();
    for (auto _ : state) {
        material->next();
        if (material->eof())
            material->first();
        benchmark::DoNotOptimize(synonyms->recordCount());
    }
}
BENCHMARK(BM_MasterLinkedStep);

} // namespace
