// The materials page on the scale database (8000 materials), in a real main window on the
// offscreen platform: a keystroke of the incremental search, one painted row's name, and
// switching the order of every listed material.
#include "app/Program.h"
#include "common/SampleDatabase.h"
#include "search/TSearchClass.h"
#include "ui/MainSession.h"
#include "ui/MaterialGrid.h"
#include "ui/TMainForm.h"
#include "ui/TSizerData.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zel;

namespace {

struct Window
{
    QTemporaryDir dir;
    std::unique_ptr<app::Program> program;
    std::vector<QString> prefixes;
    Window()
    {
        const data::DatabaseContent content = data::makeScaleContent(8000, 40000, 400);
        data::writeDatabase(dir.filePath(QStringLiteral("data")), content);
        for (size_t i = 0; i < content.materials.size(); i += 37)
            prefixes.push_back(content.materials[i].name.left(4));
        QFile ini(dir.filePath(QStringLiteral("zel.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Database]\nPath=" + QFile::encodeName(dir.filePath(QStringLiteral("data"))) +
                  "\n");
        ini.close();
        program = std::make_unique<app::Program>(dir.path(), false);
        if (!program->StartProgram())
            std::abort();
        program->mainForm()->show();
    }
    ui::TMainForm* form() const { return program->mainForm(); }
    template <class T> T* control(const char* name) const
    {
        return form()->findChild<T*>(QLatin1String(name));
    }
};

Window& window()
{
    static Window w;
    return w;
}

void BM_SearchKeystroke(benchmark::State& state)
{
    Window& w = window();
    QLineEdit* field = w.control<QLineEdit>("SearchField");
    const search::TSearchClass* list = w.program->session()->selectionList();
    const int before = list->keySearches();
    size_t i = 0;
    for (auto _ : state) {
        field->setText(w.prefixes[i]);
        i = (i + 1) % w.prefixes.size();
    }
    // Key searches of the materials table for one keystroke.
    state.counters["searches"] =
        benchmark::Counter(list->keySearches() - before, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMicrosecond);

void BM_PaintedRowName(benchmark::State& state)
{
    Window& w = window();
    ui::MaterialListModel* model = w.control<ui::MaterialGrid>("MaterialGrid")->listModel();
    int row = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model->data(model->index(row, 0)));
        row = (row + 101) % model->rowCount();
    }
}
BENCHMARK(BM_PaintedRowName);

void BM_SwitchOrder(benchmark::State& state)
{
    Window& w = window();
    for (auto _ : state) {
        w.form()->ToggleOrder();
        w.program->session()->selectionList()->ShowCurrent();
    }
}
BENCHMARK(BM_SwitchOrder)->Unit(benchmark::kMicrosecond);

void BM_ResizeControls(benchmark::State& state)
{
    Window& w = window();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        w.form()->resize(wide ? 900 : 700, wide ? 700 : 520);
        w.form()->sizer()->ResizeControls();
    }
}
BENCHMARK(BM_ResizeControls)->Unit(benchmark::kMicrosecond);

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
