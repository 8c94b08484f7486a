#include "common/LayoutDemo.h"
#include "common/SampleDatabase.h"
#include "data/engine/Database.h"
#include "data/engine/Dataset.h"
#include "model/Schema.h"
#include "report/TRpPrinter.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace zel;

namespace {

// 1000 materials with their synonyms, opened once for every benchmark.
struct Data
{
    Data()
    {
        data::writeDatabase(dir.path(), data::makeScaleContent(1000, 2000, 50));
        data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
        zel::model::schema::describe(db);
        db.setPath(dir.path());
        materials.setDatabase(&db);
        materials.setTableName(QStringLiteral("MATERIAL.DB"));
        synonyms.setDatabase(&db);
        synonyms.setTableName(QStringLiteral("SYNONYMS.DB"));
        synonyms.setMasterSource(&materials, QStringLiteral("cas"));
        materials.open();
        synonyms.open();
    }
    QTemporaryDir dir;
    data::Database db;
    data::Dataset materials, synonyms;
};

Data& data()
{
    static Data d;
    return d;
}

void run(benchmark::State& state, bool pdf)
{
    auto report = report::makeLayoutDemo(&data().materials, &data().synonyms);
    QTemporaryDir out;
    qint64 pages = 0;
    for (auto _ : state) {
        std::unique_ptr<report::TRpPrinter> printer =
            pdf ? std::make_unique<report::TRpPrinter>(out.filePath(QStringLiteral("b.pdf")), 600)
                : std::make_unique<report::TRpPrinter>();
        report->run(*printer);
        pages += printer->pageCount();
    }
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate);
    state.counters["pages"] = double(pages) / double(state.iterations());
}

void BM_LayoutToPageImages(benchmark::State& state)
{
    run(state, false);
}
void BM_LayoutToPdf(benchmark::State& state)
{
    run(state, true);
}

BENCHMARK(BM_LayoutToPageImages)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutToPdf)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

// Text is measured and drawn, which needs a QGuiApplication.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
