// Drawing real page images (../shared/emf-corpus beside the project) at 96 dpi, as the preview
// shows a page at 100%: the median over a representative set of pages, each page on its own,
// and side by side the baselines of clearing the page and of drawing one of our own pages.

#include "common/DemoReport.h"
#include "common/EmfTool.h"
#include "report/emf/EmfImage.h"
#include "report/emf/EmfPlayer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <vector>

using zel::report::emf::EmfImage;
using zel::report::emf::EmfPlayer;

namespace {

struct Page
{
    std::string name;
    EmfImage image;
    QSize size; // at 96 dpi
};

// The pages of the corpus that are pages: everything up to A3 in either orientation, which
// leaves out the poster-sized drawings, the image without any bytes and the one that holds
// nothing but records of the extended format in comments.
const std::vector<Page>& pages()
{
    static const std::vector<Page> all = [] {
        std::vector<Page> v;
        const QDir dir(QStringLiteral(ZEL_SOURCE_DIR "/../shared/emf-corpus/good"));
        for (const QString& name :
             dir.entryList({QStringLiteral("*.emf")}, QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            try {
                EmfImage image = EmfImage::fromBytes(file.readAll());
                const QSizeF mm = image.header().frameTenthsMm() / 10.0;
                if (std::max(mm.width(), mm.height()) > 420 ||
                    std::min(mm.width(), mm.height()) > 297 || image.header().records < 10)
                    continue;
                const QSize size = zel::report::emfPixelSize(image, 96);
                v.push_back({name.toStdString(), std::move(image), size});
            } catch (const std::exception&) {
            }
        }
        return v;
    }();
    return all;
}

void draw(const EmfImage& image, QImage& canvas)
{
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                     QPainter::SmoothPixmapTransform);
    EmfPlayer::play(image, p, QRectF(canvas.rect()));
}

// Processor time of this thread: the machine is shared with other builds, and waiting for a
// core is not the player's time.
double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Each iteration draws every page once and counts the median page (processor time).
void BM_CorpusPageMedian(benchmark::State& state)
{
    if (pages().empty()) {
        state.SkipWithError("the page-image corpus is not beside the project");
        return;
    }
    std::vector<QImage> canvases;
    for (const Page& page : pages())
        canvases.emplace_back(page.size, QImage::Format_RGB32);
    std::vector<double> seconds(pages().size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < pages().size(); ++i) {
            const double start = threadSeconds();
            draw(pages()[i].image, canvases[i]);
            seconds[i] = threadSeconds() - start;
        }
        std::nth_element(seconds.begin(), seconds.begin() + long(seconds.size() / 2),
                         seconds.end());
        state.SetIterationTime(seconds[seconds.size() / 2]);
    }
    state.counters["pages"] = double(pages().size());
}
BENCHMARK(BM_CorpusPageMedian)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Page(benchmark::State& state, const Page* page)
{
    QImage canvas(page->size, QImage::Format_RGB32);
    for (auto _ : state)
        draw(page->image, canvas);
}

// Baselines: clearing a page of the same size, and drawing one of our own A4 pages.
void BM_ClearA4(benchmark::State& state)
{
    QImage canvas(794, 1123, QImage::Format_RGB32);
    for (auto _ : state) {
        canvas.fill(Qt::white);
        QPainter p(&canvas);
    }
}
BENCHMARK(BM_ClearA4)->Unit(benchmark::kMillisecond);

void BM_OwnReportPage(benchmark::State& state)
{
    const EmfImage image = zel::report::makeDemoPage(1, 1);
    QImage canvas(zel::report::emfPixelSize(image, 96), QImage::Format_RGB32);
    for (auto _ : state)
        draw(image, canvas);
}
BENCHMARK(BM_OwnReportPage)->Unit(benchmark::kMillisecond);

} // namespace

// Text is drawn, which needs a QGuiApplication.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (const Page& page : pages())
        benchmark::RegisterBenchmark(("BM_Page/" + page.name).c_str(), BM_Page, &page)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
