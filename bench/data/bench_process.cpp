// `zel --headless` on a scale database as a whole process, beside a bare Qt Widgets program
// that shows a main window with a tab widget and a table view and quits: the time from start
// to exit of each, run alternately, processor time, and the peak resident memory of each
// against the size of the three table files. At 100000 materials the baseline also reads the
// three files from the page cache (`cat`), which is what loading them cannot beat. With
// ZEL_BEFORE naming another build of zel, that build runs in the same iterations too, for a
// before-and-after ratio in one run.
#include "common/SampleDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace zel::data;
using namespace zel::model;

namespace {

// The program copied beside a zel.ini that names the scale database, with its index files.
class Installation
{
public:
    static Installation& instance(int materials)
    {
        static std::map<int, std::unique_ptr<Installation>> made;
        auto& inst = made[materials];
        if (!inst)
            inst.reset(new Installation(materials));
        return *inst;
    }
    QString zel() const { return m_dir.filePath(QStringLiteral("zel")); }
    QString before() const { return m_dir.filePath(QStringLiteral("zel-before")); }
    bool hasBefore() const { return QFileInfo::exists(before()); }
    std::vector<std::string> tableFiles() const
    {
        std::vector<std::string> files;
        for (const char* t : {"MATERIAL.DB", "SYNONYMS.DB", "SUPPLIER.DB"})
            files.push_back(
                QFile::encodeName(m_dir.filePath(QStringLiteral("db/") + QLatin1String(t)))
                    .toStdString());
        return files;
    }
    qint64 tableBytes() const
    {
        qint64 n = 0;
        for (const std::string& f : tableFiles())
            n += QFileInfo(QFile::decodeName(f.c_str())).size();
        return n;
    }
    bool ok() const { return m_ok; }
    // A material of the database, and a supplier with about 120 commercial names (a report of
    // three pages).
    std::string materialCas, supplierNumber, comparedCas;

private:
    explicit Installation(int materials)
    {
        const DatabaseContent content =
            makeScaleContent(materials, materials * 5, std::max(materials / 20, 1));
        writeDatabase(m_dir.filePath(QStringLiteral("db")), content);
        materialCas = content.materials[37].cas.toStdString();
        comparedCas =
            QString(content.materials[37].cas + u',' + content.materials[38].cas).toStdString();
        std::map<QString, int> names;
        for (const SynonymRow& s : content.synonyms)
            ++names[s.supnr];
        int best = -1;
        for (const auto& [supnr, count] : names)
            if (best < 0 || std::abs(count - 120) < std::abs(best - 120)) {
                best = count;
                supplierNumber = supnr.toStdString();
            }
        QFile ini(m_dir.filePath(QStringLiteral("zel.ini")));
        m_ok = QFile::copy(QStringLiteral(ZEL_BINARY_DIR "/src/app/zel"), zel()) &&
               ini.open(QIODevice::WriteOnly) &&
               (qEnvironmentVariableIsEmpty("ZEL_BEFORE") ||
                QFile::copy(qEnvironmentVariable("ZEL_BEFORE"), before())) &&
               ini.write("[Database]\nPath=" +
                         QFile::encodeName(m_dir.filePath(QStringLiteral("db"))) + "\n") > 0;
    }
    QTemporaryDir m_dir;
    bool m_ok = false;
};

struct Run
{
    bool ok = false;
    double seconds = 0;
    double cpuSeconds = 0; // user and system
    long maxRssKb = 0;
};

// Runs a program to its end through peak_launcher, which reports the program's own peak
// resident memory and times: measured here, the peak would be this process's, a whole
// database bigger.
Run runProcess(const QString& program, const std::vector<std::string>& args)
{
    Run run;
    const QByteArray path = QFile::encodeName(program);
    std::vector<char*> argv{const_cast<char*>(PEAK_LAUNCHER), const_cast<char*>(path.constData())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const bool spawned =
        posix_spawn(&pid, PEAK_LAUNCHER, &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char line[256] = {};
    size_t got = 0;
    ssize_t n = 0;
    while (got < sizeof line - 1 && (n = ::read(out[0], line + got, sizeof line - 1 - got)) > 0)
        got += static_cast<size_t>(n);
    ::close(out[0]);
    int status = 0;
    if (!spawned || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return run;
    int exitStatus = -1;
    double user = 0, sys = 0;
    if (std::sscanf(line, "%d %ld %lf %lf %lf", &exitStatus, &run.maxRssKb, &run.seconds, &user,
                    &sys) == 5 &&
        exitStatus == 0) {
        run.ok = true;
        run.cpuSeconds = user + sys;
    }
    return run;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Each iteration runs the programs one after the other, so that all see the same machine; the
// manual time is zel's, and the counters give the baseline's times, the ratios and memory.
void BM_HeadlessBesideBareQt(benchmark::State& state)
{
    const auto materials = static_cast<int>(state.range(0));
    Installation& inst = Installation::instance(materials);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!inst.ok() || !runProcess(inst.zel(), {"--headless"}).ok) { // builds the indexes
        state.SkipWithError("zel --headless failed on the scale database");
        return;
    }
    const bool withFiles = materials > 10000;
    std::vector<double> zel, bare, files, zelCpu, bareCpu, filesCpu, before, beforeCpu;
    long zelRss = 0, bareRss = 0, beforeRss = 0;
    for (auto _ : state) {
        const Run b = runProcess(QStringLiteral(BARE_QT_PROGRAM), {});
        const Run z = runProcess(inst.zel(), {"--headless"});
        const Run f =
            withFiles ? runProcess(QStringLiteral("/bin/cat"), inst.tableFiles()) : Run{true};
        const Run w = inst.hasBefore() ? runProcess(inst.before(), {"--headless"}) : Run{true};
        if (!z.ok || !b.ok || !f.ok || !w.ok) {
            state.SkipWithError("a program failed");
            return;
        }
        state.SetIterationTime(z.seconds);
        zel.push_back(z.seconds);
        bare.push_back(b.seconds);
        files.push_back(f.seconds);
        zelCpu.push_back(z.cpuSeconds);
        bareCpu.push_back(b.cpuSeconds);
        filesCpu.push_back(f.cpuSeconds);
        before.push_back(w.seconds);
        beforeCpu.push_back(w.cpuSeconds);
        beforeRss = std::max(beforeRss, w.maxRssKb);
        zelRss = std::max(zelRss, z.maxRssKb);
        bareRss = std::max(bareRss, b.maxRssKb);
    }
    const double base = median(bare) + median(files);
    const double baseCpu = median(bareCpu) + median(filesCpu);
    state.counters["bare_ms"] = median(bare) * 1000;
    state.counters["cat_ms"] = median(files) * 1000;
    state.counters["zel_ms"] = median(zel) * 1000;
    state.counters["ratio"] = base > 0 ? median(zel) / base : 0;
    state.counters["bare_cpu_ms"] = median(bareCpu) * 1000;
    state.counters["zel_cpu_ms"] = median(zelCpu) * 1000;
    state.counters["cpu_ratio"] = baseCpu > 0 ? median(zelCpu) / baseCpu : 0;
    state.counters["zel_peak_MiB"] = static_cast<double>(zelRss) / 1024;
    state.counters["bare_peak_MiB"] = static_cast<double>(bareRss) / 1024;
    const double tables = static_cast<double>(inst.tableBytes()) / (1024 * 1024);
    state.counters["tables_MiB"] = tables;
    // The memory target: the bare program's peak plus one and a half times the tables.
    const double budget = 1.5 * tables + static_cast<double>(bareRss) / 1024;
    state.counters["budget_MiB"] = budget;
    state.counters["peak_ratio"] = static_cast<double>(zelRss) / 1024 / budget;
    if (inst.hasBefore()) {
        state.counters["before_ms"] = median(before) * 1000;
        state.counters["before_cpu_ms"] = median(beforeCpu) * 1000;
        state.counters["before_peak_MiB"] = static_cast<double>(beforeRss) / 1024;
    }
}
BENCHMARK(BM_HeadlessBesideBareQt)
    ->Arg(8000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

// The headless reports into PDF files, each beside the bare program in the same iteration:
// the material report of one material, the supplier report of three pages and the comparison
// of two materials.
void BM_ReportsBesideBareQt(benchmark::State& state)
{
    Installation& inst = Installation::instance(static_cast<int>(state.range(0)));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!inst.ok() || !runProcess(inst.zel(), {"--headless"}).ok) { // builds the indexes
        state.SkipWithError("zel --headless failed on the scale database");
        return;
    }
    QTemporaryDir out;
    const std::string pdf = QFile::encodeName(out.filePath(QStringLiteral("r.pdf"))).toStdString();
    const std::vector<std::string> material{"--material-report", inst.materialCas, pdf};
    const std::vector<std::string> supplier{"--supplier-report", inst.supplierNumber, pdf};
    const std::vector<std::string> compare{"--compare", inst.comparedCas, pdf};
    std::vector<double> bare, mat, sup, cmp, matBefore, supBefore, cmpBefore, bareCpu, matCpu,
        supCpu;
    long matRss = 0, supRss = 0;
    for (auto _ : state) {
        const Run b = runProcess(QStringLiteral(BARE_QT_PROGRAM), {});
        const Run m = runProcess(inst.zel(), material);
        const Run s = runProcess(inst.zel(), supplier);
        const Run mb = inst.hasBefore() ? runProcess(inst.before(), material) : Run{true};
        const Run sb = inst.hasBefore() ? runProcess(inst.before(), supplier) : Run{true};
        const Run c = runProcess(inst.zel(), compare);
        const Run cb = inst.hasBefore() ? runProcess(inst.before(), compare) : Run{true};
        if (!b.ok || !m.ok || !s.ok || !mb.ok || !sb.ok || !c.ok || !cb.ok) {
            state.SkipWithError("a program failed");
            return;
        }
        state.SetIterationTime(m.seconds);
        bare.push_back(b.seconds);
        mat.push_back(m.seconds);
        sup.push_back(s.seconds);
        matBefore.push_back(mb.seconds);
        supBefore.push_back(sb.seconds);
        cmp.push_back(c.seconds);
        cmpBefore.push_back(cb.seconds);
        bareCpu.push_back(b.cpuSeconds);
        matCpu.push_back(m.cpuSeconds);
        supCpu.push_back(s.cpuSeconds);
        matRss = std::max(matRss, m.maxRssKb);
        supRss = std::max(supRss, s.maxRssKb);
    }
    const double base = median(bare), baseCpu = median(bareCpu);
    state.counters["bare_ms"] = base * 1000;
    state.counters["material_ms"] = median(mat) * 1000;
    state.counters["supplier_ms"] = median(sup) * 1000;
    state.counters["material_ratio"] = median(mat) / base;
    state.counters["supplier_ratio"] = median(sup) / base;
    state.counters["compare_ms"] = median(cmp) * 1000;
    state.counters["compare_ratio"] = median(cmp) / base;
    state.counters["material_cpu_ratio"] = median(matCpu) / baseCpu;
    state.counters["supplier_cpu_ratio"] = median(supCpu) / baseCpu;
    state.counters["material_peak_MiB"] = static_cast<double>(matRss) / 1024;
    state.counters["supplier_peak_MiB"] = static_cast<double>(supRss) / 1024;
    if (inst.hasBefore()) {
        state.counters["material_before_ratio"] = median(matBefore) / base;
        state.counters["supplier_before_ratio"] = median(supBefore) / base;
        state.counters["compare_before_ratio"] = median(cmpBefore) / base;
    }
}
BENCHMARK(BM_ReportsBesideBareQt)
    ->Arg(8000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(15);

} // namespace
