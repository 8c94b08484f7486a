// The stable-alternatives ranking for one material against the whole-table filter over the
// same materials table (ApplyFilter's work), at 8000 and 100,000 materials. The ranking should
// cost at most twice the filter.
#include "common/SampleDatabase.h"
#include "data/engine/Database.h"
#include "data/engine/Table.h"
#include "model/Names.h"
#include "model/Schema.h"
#include "search/MaterialFilter.h"
#include "search/OdourSimilarity.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace zel;

namespace {

struct Scale
{
    QTemporaryDir dir;
    data::Database db;
    std::shared_ptr<data::Table> materials, synonyms;
    explicit Scale(int count)
    {
        data::writeDatabase(dir.path(), data::makeScaleContent(count, count * 5, 400));
        data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
        model::schema::describe(db);
        db.setPath(dir.path());
        materials = db.table(model::tables::material);
        synonyms = db.table(model::tables::synonyms);
    }
};

Scale& scale(int count)
{
    static std::map<int, std::unique_ptr<Scale>> made;
    auto& s = made[count];
    if (!s)
        s = std::make_unique<Scale>(count);
    return *s;
}

// The filter the search dialog runs for an odour word and three media rated "++".
void BM_ApplyFilterOdourAndMedia(benchmark::State& state)
{
    Scale& s = scale(int(state.range(0)));
    search::SearchCriteria criteria;
    criteria.odour = QStringLiteral("UNDERTONE"); // in every odour: the stability is read too
    criteria.required[2] = criteria.required[12] = criteria.required[22] = true;
    size_t kept = 0;
    for (auto _ : state) {
        const auto flags = search::MaterialFilter(criteria, *s.materials, s.synonyms.get());
        kept = size_t(std::count(flags.begin(), flags.end(), 1));
    }
    state.counters["selected"] = double(kept);
}
BENCHMARK(BM_ApplyFilterOdourAndMedia)->Arg(8000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The fifty closest odours among materials rated "+" or better in the same three media, for a
// material after another across the table; the weights are made once per load, before.
void BM_StableAlternatives(benchmark::State& state)
{
    Scale& s = scale(int(state.range(0)));
    const auto similarity = search::OdourSimilarity::of(*s.materials);
    search::StabilityRequirement required;
    for (int medium : {2, 12, 22})
        required.media[size_t(medium)] = search::StabilityRequirement::GoodOrBetter;
    int record = 0;
    size_t listed = 0;
    for (auto _ : state) {
        listed += similarity->rank(record, required, 50).size();
        record = (record + 7919) % s.materials->recordCount();
    }
    state.counters["listed"] =
        benchmark::Counter(double(listed), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StableAlternatives)->Arg(8000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Making the weights, once per load of the table.
void BM_SimilarityWeights(benchmark::State& state)
{
    Scale& s = scale(int(state.range(0)));
    for (auto _ : state) {
        // A new load of the same file each time, so nothing is kept from the last one.
        state.PauseTiming();
        data::Database db;
        model::schema::describe(db);
        db.setPath(s.dir.path());
        const auto table = db.table(model::tables::material);
        state.ResumeTiming();
        benchmark::DoNotOptimize(search::OdourSimilarity::of(*table));
    }
}
BENCHMARK(BM_SimilarityWeights)
    ->Arg(8000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
