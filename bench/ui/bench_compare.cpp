// Opening a comparison of six materials on a database of 100,000 materials and 500,000
// commercial names, in the real windows on the offscreen platform: the materials read, the
// grid laid out and the window painted. Beside it, in the same run and the same program, the
// baseline: ApplyFilter with a name criterion that no name holds, which reads every name and
// commercial name of the table.
#include "app/Program.h"
#include "common/SampleDatabase.h"
#include "model/Comparison.h"
#include "model/Names.h"
#include "search/MaterialFilter.h"
#include "ui/MainSession.h"
#include "ui/TCompareForm.h"
#include "ui/TMainForm.h"

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zel;

namespace {

// Counts the paintings of a widget, so the figures are known to include one.
class Paints : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

struct Windows
{
    QTemporaryDir dir;
    std::unique_ptr<app::Program> program;
    QStringList six; // spread over the name order, with many commercial names
    Windows()
    {
        const data::DatabaseContent content = data::makeScaleContent(100000, 500000, 400);
        data::writeDatabase(dir.path(), content);
        for (int k = 0; k < 6; ++k)
            six << content.materials[std::size_t(k) * 16661 + 5].cas;
        program = std::make_unique<app::Program>(dir.path(), false,
                                                 app::Program::Source{QString(), dir.path()});
        if (!program->StartProgram())
            std::abort();
        program->mainForm()->show();
        QCoreApplication::processEvents();
    }
};

Windows& windows()
{
    static Windows w;
    return w;
}

void BM_OpenComparisonOfSix(benchmark::State& state)
{
    Windows& w = windows();
    ui::TCompareForm* compare = w.program->compareForm();
    Paints paints;
    compare->findChild<QTableView*>(QStringLiteral("CompareGrid"))
        ->viewport()
        ->installEventFilter(&paints);
    for (auto _ : state) {
        compare->Compare(w.six);
        compare->ShowWindow();
        QCoreApplication::processEvents();
        state.PauseTiming();
        compare->hide();
        compare->Compare({});
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (compare->comparison().count() != 0 || paints.count < int(state.iterations()))
        state.SkipWithError("the comparison was not shown each time");
    state.counters["paints"] = benchmark::Counter(paints.count, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OpenComparisonOfSix)->Unit(benchmark::kMillisecond);

void BM_ApplyFilterEveryName(benchmark::State& state)
{
    ui::MainSession* session = windows().program->session();
    search::SearchCriteria criteria;
    criteria.name = QStringLiteral("QXQXQ");
    session->setTableFilter(search::materialTableFilter(
        [&criteria] { return criteria; }, session->dataset(model::datasets::TableSynonymsSelect)));
    session->setSelectionFeedback(nullptr);
    for (auto _ : state)
        session->Select(1);
}
BENCHMARK(BM_ApplyFilterEveryName)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
