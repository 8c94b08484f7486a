// `zel --headless` on the scale database as a whole process, beside a bare Qt Widgets program
// that shows a main window with a tab widget and a table view and quits: the time from start
// to exit of each, run alternately, and the peak resident memory of each against the size of
// the three table files.
#include "common/SampleDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace zel::data;
using namespace zel::model;

namespace {

// The program copied beside a zel.ini that names the scale database, with its index files.
class Installation
{
public:
    static Installation& instance()
    {
        static Installation inst;
        return inst;
    }
    QString zel() const { return m_dir.filePath(QStringLiteral("zel")); }
    qint64 tableBytes() const
    {
        qint64 n = 0;
        for (const char* t : {"MATERIAL.DB", "SYNONYMS.DB", "SUPPLIER.DB"})
            n += QFileInfo(m_dir.filePath(QStringLiteral("db/") + QLatin1String(t))).size();
        return n;
    }
    bool ok() const { return m_ok; }

private:
    Installation()
    {
        writeDatabase(m_dir.filePath(QStringLiteral("db")), makeScaleContent(8000, 40000, 400));
        QFile ini(m_dir.filePath(QStringLiteral("zel.ini")));
        m_ok = QFile::copy(QStringLiteral(ZEL_BINARY_DIR "/src/app/zel"), zel()) &&
               ini.open(QIODevice::WriteOnly) &&
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
    long maxRssKb = 0;
};

// Runs a program to its end with standard output and error discarded; its own peak resident
// memory comes from the kernel's account of the child.
Run runProcess(const QString& program, const std::vector<std::string>& args)
{
    Run run;
    const QByteArray path = QFile::encodeName(program);
    std::vector<char*> argv{const_cast<char*>(path.constData())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        struct rusage usage
        {
        };
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
            WEXITSTATUS(status) == 0) {
            run.ok = true;
            run.maxRssKb = usage.ru_maxrss;
        }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// Each iteration runs both programs, one after the other, so that both see the same machine;
// the manual time is zel's, and the counters give the baseline's time, the ratio and memory.
void BM_HeadlessBesideBareQt(benchmark::State& state)
{
    Installation& inst = Installation::instance();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!inst.ok() || !runProcess(inst.zel(), {"--headless"}).ok) { // builds the indexes
        state.SkipWithError("zel --headless failed on the scale database");
        return;
    }
    std::vector<double> zel, bare;
    long zelRss = 0, bareRss = 0;
    for (auto _ : state) {
        const Run b = runProcess(QStringLiteral(BARE_QT_PROGRAM), {});
        const Run z = runProcess(inst.zel(), {"--headless"});
        if (!z.ok || !b.ok) {
            state.SkipWithError("a program failed");
            return;
        }
        state.SetIterationTime(z.seconds);
        zel.push_back(z.seconds);
        bare.push_back(b.seconds);
        zelRss = std::max(zelRss, z.maxRssKb);
        bareRss = std::max(bareRss, b.maxRssKb);
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    state.counters["bare_ms"] = median(bare) * 1000;
    state.counters["zel_ms"] = median(zel) * 1000;
    state.counters["ratio"] = median(bare) > 0 ? median(zel) / median(bare) : 0;
    state.counters["zel_peak_MB"] = static_cast<double>(zelRss) / 1024;
    state.counters["bare_peak_MB"] = static_cast<double>(bareRss) / 1024;
    state.counters["tables_MB"] = static_cast<double>(inst.tableBytes()) / (1024 * 1024);
    // The memory target: twice the tables plus what the bare program takes.
    state.counters["budget_MB"] = 2 * static_cast<double>(inst.tableBytes()) / (1024 * 1024) +
                                  static_cast<double>(bareRss) / 1024;
}
BENCHMARK(BM_HeadlessBesideBareQt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

} // namespace
