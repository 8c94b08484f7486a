#include "common/DemoReport.h"
#include "report/TRpCompress.h"
#include "report/TRpPageList.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

using zel::report::TRpCompress;
using zel::report::TRpPageList;
using zel::report::emf::EmfImage;

namespace {

// Ten different demonstration pages stand in for real report pages.
const std::vector<EmfImage>& pages()
{
    static const std::vector<EmfImage> images = [] {
        std::vector<EmfImage> v;
        for (int n = 1; n <= 10; ++n)
            v.push_back(zel::report::makeDemoPage(n, 10));
        return v;
    }();
    return images;
}

void fill(TRpPageList& list, int count)
{
    for (int n = 0; n < count; ++n)
        list.addPage(pages()[std::size_t(n) % pages().size()]);
    list.finish();
}

void BM_EncodePage(benchmark::State& state)
{
    qint64 bytes = 0;
    std::size_t n = 0;
    for (auto _ : state) {
        const QByteArray& image = pages()[n++ % pages().size()].bytes();
        QByteArray code;
        TRpCompress::encode(image, code);
        benchmark::DoNotOptimize(code.data());
        bytes += image.size();
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_EncodePage);

void BM_DecodePage(benchmark::State& state)
{
    std::vector<QByteArray> codes;
    for (const EmfImage& image : pages()) {
        QByteArray code;
        TRpCompress::encode(image.bytes(), code);
        codes.push_back(code);
    }
    qint64 bytes = 0;
    std::size_t n = 0;
    for (auto _ : state) {
        const std::size_t k = n++ % codes.size();
        const qsizetype size = pages()[k].bytes().size();
        const QByteArray plain = TRpCompress::decode(codes[k], size);
        benchmark::DoNotOptimize(plain.data());
        bytes += size;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_DecodePage);

// Saving a finished 100-page report: the store (by then in its temporary file) copied to a
// new file.
void BM_Save100Pages(benchmark::State& state)
{
    QTemporaryDir dir;
    TRpPageList list(state.range(0) != 0);
    fill(list, 100);
    const QString path = dir.filePath(QStringLiteral("saved.frp"));
    for (auto _ : state)
        list.save(path);
    state.SetBytesProcessed(state.iterations() * list.stream().size());
    state.counters["file_bytes"] = double(list.stream().size());
}
BENCHMARK(BM_Save100Pages)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("compressed")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// page(n) for any n of a loaded 1000-page file, once every page has been read once.
void BM_PageOf1000(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("thousand.frp"));
    {
        TRpPageList list(state.range(0) != 0);
        fill(list, 1000);
        list.save(path);
    }
    TRpPageList loaded;
    loaded.load(path);
    for (int n = 1; n <= 1000; ++n)
        loaded.page(n);
    QRandomGenerator random(1);
    for (auto _ : state) {
        const auto page = loaded.page(int(random.bounded(1, 1001)));
        benchmark::DoNotOptimize(page->bytes().data());
    }
}
BENCHMARK(BM_PageOf1000)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("compressed")
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

// Pages measure text, which needs a QGuiApplication.
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
