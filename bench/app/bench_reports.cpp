// The material report of a typical sample material (Linalool): laid out into page images as
// the preview shows it, and written as a PDF by a whole headless zel process.
#include "data/engine/Database.h"
#include "model/Schema.h"
#include "report/TPrintMaterial.h"
#include "report/TRpPrinter.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zel;

namespace {

const QString kSampleDb = QStringLiteral(ZEL_BINARY_DIR "/sampledb");

void BM_MaterialReportToPageImages(benchmark::State& state)
{
    data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
    data::Database db;
    zel::model::schema::describe(db);
    db.setPath(kSampleDb);
    report::TPrintMaterial form(&db);
    for (auto _ : state) {
        report::TRpPrinter printer;
        form.run(QStringLiteral("LINALOOL"), QStringLiteral("78-70-6"), printer);
        benchmark::DoNotOptimize(printer.pageList().pageCount());
    }
}
BENCHMARK(BM_MaterialReportToPageImages)->Unit(benchmark::kMillisecond);

void BM_HeadlessMaterialPdfProcess(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("linalool.pdf"));
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(ZEL_BINARY_DIR "/src/app/zel"),
                {QStringLiteral("--material-report"), QStringLiteral("78-70-6"), pdf});
        p.waitForFinished(60000);
        if (p.exitCode() != 0)
            state.SkipWithError("zel failed");
    }
}
BENCHMARK(BM_HeadlessMaterialPdfProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
