// The table engine on the scale database: 8000 materials, 40000 commercial names, 400
// suppliers, written once into a temporary directory.
#include "common/SampleDatabase.h"
#include "data/Database.h"
#include "data/Dataset.h"
#include "data/Datasets.h"
#include "data/Schema.h"
#include "data/Table.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

extern "C" {
#include <paradox.h>
}

using namespace zel::data;

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

void BM_ExactKeySearch(benchmark::State& state)
{
    ScaleDatabase& s = scale();
    Database db;
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
