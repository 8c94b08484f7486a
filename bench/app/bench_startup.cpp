// Headless start-up of the real program on the scale database, from process start until
// it leaves its event loop (so an upper bound of the time to the event loop): once with
// the indexes present, once with the re-indexing a missing index file causes.
#include "common/SampleDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace zel::data;
using namespace zel::model;

namespace {

// The program copied beside a zel.ini that names the scale database, made once.
class Installation
{
public:
    static Installation& instance()
    {
        static Installation inst;
        return inst;
    }
    QString program() const { return m_dir.filePath(QStringLiteral("zel")); }
    QString dataFile(const QString& name) const
    {
        return m_dir.filePath(QStringLiteral("db/") + name);
    }
    bool ok() const { return m_ok; }

private:
    Installation()
    {
        writeDatabase(m_dir.filePath(QStringLiteral("db")), makeScaleContent(8000, 40000, 400));
        QFile ini(m_dir.filePath(QStringLiteral("zel.ini")));
        m_ok = QFile::copy(QStringLiteral(ZEL_BINARY_DIR "/src/app/zel"), program()) &&
               ini.open(QIODevice::WriteOnly) &&
               ini.write("[Database]\nPath=" +
                         QFile::encodeName(m_dir.filePath(QStringLiteral("db"))) + "\n") > 0;
    }
    QTemporaryDir m_dir;
    bool m_ok = false;
};

bool startHeadless(benchmark::State& state)
{
    QProcess p;
    p.setProgram(Installation::instance().program());
    p.setArguments({QStringLiteral("--headless")});
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        state.SkipWithError("zel --headless failed on the scale database");
        return false;
    }
    return true;
}

void BM_HeadlessStart(benchmark::State& state)
{
    Installation& inst = Installation::instance();
    if (!inst.ok()) {
        state.SkipWithError("cannot install zel beside a zel.ini");
        return;
    }
    const bool reindex = state.range(0) != 0;
    startHeadless(state); // builds the indexes when they are missing
    for (auto _ : state) {
        if (reindex) {
            state.PauseTiming();
            QFile::remove(inst.dataFile(QStringLiteral("material.idindex.zix")));
            state.ResumeTiming();
        }
        if (!startHeadless(state))
            break;
    }
    state.SetLabel(reindex ? "re-indexing first" : "indexes present");
}
BENCHMARK(BM_HeadlessStart)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

} // namespace
