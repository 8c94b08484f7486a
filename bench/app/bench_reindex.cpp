// Re-indexing the scale database: the work a start-up does when the index files are gone.
#include "common/SampleDatabase.h"
#include "data/Database.h"
#include "data/Reindex.h"
#include "data/Schema.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zel::data;

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

void BM_ReindexScaleDatabase(benchmark::State& state)
{
    QTemporaryDir dir;
    writeDatabase(dir.path(), makeScaleContent(8000, 40000, 400));
    Session::instance().addPassword(QString::fromLatin1(schema::tablePassword()));
    for (auto _ : state) {
        SilentProgress progress;
        const bool ok = Reindex::run(dir.path() + QLatin1Char('/'), progress);
        if (!ok) {
            state.SkipWithError(progress.failure.toStdString().c_str());
            break;
        }
    }
}
BENCHMARK(BM_ReindexScaleDatabase)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
