// Switching pages in the preview of a 300-page report: a supplier who sells thousands of
// commercial names, laid out into page images as the preview shows them, in a real preview
// window on the offscreen platform. Each switch fetches the page from the page store (a
// temporary file by then), checks it and paints it zoomed to the window's width.
//
// Baseline, measured in the same run: painting a page image that is already in memory at the
// same zoom onto an image the size of the preview's view, the least any switch must do.
#include "common/SampleDatabase.h"
#include "data/engine/Database.h"
#include "model/Schema.h"
#include "report/TPrintSupplier.h"
#include "report/TRpPrinter.h"
#include "report/emf/EmfPlayer.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/TRpPreview.h"
#include "report/preview/TRpStandardPreview.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace zel;

namespace {

constexpr int kPages = 300;

struct Preview
{
    QTemporaryDir dir;
    std::unique_ptr<data::Database> db;
    std::unique_ptr<report::TPrintSupplier> form;
    report::TRpPrinter producer;
    std::unique_ptr<report::ProducerSource> source;
    std::unique_ptr<report::TRpStandardPreview> window;

    Preview()
    {
        data::DatabaseContent content = data::makeScaleContent(2000, 0, 10);
        // 47 rows fill a page below the supplier's name.
        const int rows = kPages * 47;
        for (int i = 0; i < rows; ++i)
            content.synonyms.push_back({content.materials[std::size_t(i) % 2000].cas,
                                        QStringLiteral("Name %1").arg(i),
                                        content.suppliers.front().supnr, QString()});
        data::writeDatabase(dir.path(), content);
        data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
        db = std::make_unique<data::Database>(QStringLiteral("ZEL"));
        zel::model::schema::describe(*db);
        db->setPath(dir.path());
        form = std::make_unique<report::TPrintSupplier>(db.get());
        source = std::make_unique<report::ProducerSource>(producer);
        form->run(content.suppliers.front().supnr, producer);
        source->finish();
        if (source->pageCount() < kPages) {
            std::fprintf(stderr, "only %d pages\n", source->pageCount());
            std::abort();
        }
        window = std::make_unique<report::TRpStandardPreview>(source.get());
        window->resize(1280, 960);
        window->show();
        QCoreApplication::processEvents();
        window->ZoomToWidth->trigger();
        QCoreApplication::processEvents();
    }

    report::TRpPreview& view() { return *window->view(); }
};

Preview& preview()
{
    static Preview p;
    return p;
}

void BM_PreviewNextPage(benchmark::State& state)
{
    Preview& p = preview();
    p.window->FirstPageClick();
    for (auto _ : state) {
        if (p.view().page() == p.source->pageCount())
            p.window->FirstPageClick();
        else
            p.window->NextPageClick();
        p.view().imageControl()->repaint();
    }
    state.counters["pages"] = p.source->pageCount();
}
BENCHMARK(BM_PreviewNextPage)->Unit(benchmark::kMillisecond);

void BM_PreviewJumpToAnyPage(benchmark::State& state)
{
    Preview& p = preview();
    QRandomGenerator random(7);
    for (auto _ : state) {
        int n = p.view().page();
        while (n == p.view().page())
            n = 1 + int(random.bounded(quint32(p.source->pageCount())));
        p.view().setPage(n);
        p.view().imageControl()->repaint();
    }
}
BENCHMARK(BM_PreviewJumpToAnyPage)->Unit(benchmark::kMillisecond);

void BM_PaintPageImageOnly(benchmark::State& state)
{
    Preview& p = preview();
    const QSize page = p.view().imageControl()->size();
    const report::emf::EmfImage image = *p.source->pageImage(kPages / 2);
    QImage target(p.view().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        target.fill(Qt::white);
        QPainter painter(&target);
        report::emf::EmfPlayer::play(image, painter,
                                     QRectF(1, 1, page.width() - 5, page.height() - 5));
    }
}
BENCHMARK(BM_PaintPageImageOnly)->Unit(benchmark::kMillisecond);

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
