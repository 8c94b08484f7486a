// Re-indexing the scale database: the work a start-up does when the index files are gone,
// with and without empty commercial names for the placeholder, and the one rewrite of the
// synonyms table that the placeholder costs.
#include "common/SampleDatabase.h"
#include "data/engine/Database.h"
#include "data/engine/Table.h"
#include "model/Names.h"
#include "model/Reindex.h"
#include "model/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zel::data;
using namespace zel::model;

namespace {

class SilentProgress : public Reindex::Progress
{
public:
    void setFileName(const QString&) override {}
    void setIndexName(const QString&) override {}
    void repaintNow() override {}
    void showError(const QString& message, const QString& cause) override
    {
        failure = message + QStringLiteral(": ") + cause;
    }
    void hideProgress() override {}
    QString failure;
};

QString tablePassword()
{
    return QString::fromLatin1(schema::tablePassword());
}

// The scale database with emptyNames empty commercial names, written once per size; the
// table files of a pristine copy are kept beside it to put back before every run.
struct ScaleDatabase
{
    explicit ScaleDatabase(int emptyNames)
    {
        DatabaseContent content = makeScaleContent(8000, 40000, 400);
        blankCommercialNames(content, emptyNames);
        writeDatabase(dir.filePath(QStringLiteral("db")), content);
        writeDatabase(dir.filePath(QStringLiteral("pristine")), std::move(content));
    }
    QString path() const { return dir.filePath(QStringLiteral("db")) + QLatin1Char('/'); }
    void restore() const
    {
        const QDir pristine(dir.filePath(QStringLiteral("pristine")));
        for (const QString& name : pristine.entryList(QDir::Files)) {
            const QString target = QDir(path()).filePath(name);
            QFile::remove(target);
            QFile::copy(pristine.filePath(name), target);
        }
    }
    QTemporaryDir dir;
};

// Argument: the number of empty commercial names. The run with none is the baseline the
// others are held to (at most twice its time with 2000).
void BM_ReindexScaleDatabase(benchmark::State& state)
{
    const ScaleDatabase db(static_cast<int>(state.range(0)));
    Session::instance().addPassword(tablePassword());
    for (auto _ : state) {
        state.PauseTiming();
        db.restore();
        state.ResumeTiming();
        SilentProgress progress;
        const bool ok = Reindex::run(db.path(), progress);
        if (!ok || !progress.failure.isEmpty()) {
            state.SkipWithError(progress.failure.toStdString().c_str());
            break;
        }
    }
}
BENCHMARK(BM_ReindexScaleDatabase)
    ->Arg(0)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The placeholder's one pass over the 40000-name synonyms table, its three index files
// present: every empty name filled, the table written once and its index files rebuilt.
void BM_PlaceholderRewrite(benchmark::State& state)
{
    const ScaleDatabase db(static_cast<int>(state.range(0)));
    const QString file = QDir(db.path()).filePath(tables::synonyms);
    const TableDef* def = &schema::synonyms();
    for (auto _ : state) {
        state.PauseTiming();
        db.restore();
        auto table = Table::open(file, def, Table::Access::Exclusive, {tablePassword()});
        for (const IndexDef& index : def->indexes)
            table->addIndex(index);
        const int field = table->fieldIndex(fields::name);
        state.ResumeTiming();
        const Table::FillResult result = table->fillEmpty(field, Reindex::placeholder());
        benchmark::DoNotOptimize(result);
        if (result.filled != state.range(0)) {
            state.SkipWithError("not every empty name was filled");
            break;
        }
    }
}
BENCHMARK(BM_PlaceholderRewrite)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
