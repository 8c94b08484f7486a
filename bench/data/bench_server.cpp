// The database server beside the data directory, side by side in one run, on scale databases
// of 8000 materials (40000 commercial names, 400 suppliers) and 100000 materials (500000
// commercial names, 5000 suppliers): loading the three tables (from the local copy of the
// server's data, without it by libpq's binary COPY, and by Qt SQL's driver for comparison),
// the whole start-up of the program, a keystroke of the incremental search, a search over
// every commercial name and a material report. The server is the tests' own kind: started in a
// temporary directory, on a Unix socket.
#include "PgServer.h"
#include "app/Program.h"
#include "app/ReportRunner.h"
#include "common/SampleDatabase.h"
#include "data/base/TableStore.h"
#include "data/engine/Database.h"
#include "data/engine/Dataset.h"
#include "data/engine/Table.h"
#include "data/server/PgConnection.h"
#include "data/server/ServerCache.h"
#include "data/server/ServerTables.h"
#include "model/Configuration.h"
#include "model/Names.h"
#include "model/Schema.h"
#include "search/MaterialFilter.h"
#include "ui/MainSession.h"
#include "ui/TMainForm.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

using namespace zel;
using zel::test::PgServer;

namespace {

// Stopped at the end of main, while the application still runs its processes.
std::unique_ptr<PgServer> theServer;

PgServer& server()
{
    if (!theServer)
        theServer = std::make_unique<PgServer>();
    if (!theServer->error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(theServer->error()));
        std::abort();
    }
    return *theServer;
}

struct Scale
{
    QTemporaryDir dir;
    QString database;
    QString material; // a CAS for the report
    std::vector<QString> prefixes;
    explicit Scale(int materials)
    {
        const data::DatabaseContent content =
            data::makeScaleContent(materials, materials * 5, std::max(materials / 20, 1));
        data::writeDatabase(dir.filePath(QStringLiteral("data")), content);
        for (size_t i = 0; i < content.materials.size(); i += content.materials.size() / 200)
            prefixes.push_back(content.materials[i].name.left(4));
        material = content.materials[content.materials.size() / 2].cas;
        database = QStringLiteral("bench_%1").arg(materials);
        if (!server().createLoaded(database, dir.filePath(QStringLiteral("data"))).isEmpty())
            std::abort();
        data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
        // The index files, once, as the first start writes them.
        writeIni(false);
        app::Program program(dir.path(), true);
        program.StartProgram();
    }
    QString connection() const
    {
        return server().connection(database, QStringLiteral("zel_reader"));
    }
    void writeIni(bool fromServer) const
    {
        QFile ini(dir.filePath(QStringLiteral("zel.ini")));
        ini.open(QIODevice::WriteOnly);
        if (fromServer)
            ini.write("[Database]\nDriver=PostgreSQL\nConnection=" + connection().toUtf8() + "\n");
        else
            ini.write("[Database]\nPath=" +
                      QFile::encodeName(dir.filePath(QStringLiteral("data"))) + "\n");
    }
};

// Made on first use; let go before the application object, whose windows they hold.
std::map<int, std::unique_ptr<Scale>> scales;
std::map<std::pair<int, int>, std::unique_ptr<struct Running>> programs;

Scale& scale(int materials)
{
    auto& s = scales[materials];
    if (!s)
        s = std::make_unique<Scale>(materials);
    qputenv("PGPASSWORD", PgServer::readerPassword().toUtf8());
    return *s;
}

void openAllIndexes(data::Database& db)
{
    QStringList names;
    for (const data::TableDef* def : model::schema::allTables())
        names << def->fileName;
    db.preload(names);
    for (const data::TableDef* def : model::schema::allTables()) {
        auto table = db.table(def->fileName);
        for (const data::IndexDef& idx : def->indexes)
            benchmark::DoNotOptimize(&table->index(idx));
    }
}

// The three tables with their nine indexes from the data directory (index files present).
void BM_LoadFromDirectory(benchmark::State& state)
{
    Scale& s = scale(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        data::Database db;
        zel::model::schema::describe(db);
        db.setPath(s.dir.filePath(QStringLiteral("data")));
        openAllIndexes(db);
    }
}
BENCHMARK(BM_LoadFromDirectory)
    ->Arg(8000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The local copies of the server's data, in a directory of the benchmark's own.
std::unique_ptr<QTemporaryDir> cacheHome;

void forgetLocalCopies()
{
    QDir(cacheHome->path()).removeRecursively();
    QDir().mkpath(cacheHome->path());
}

// The same from the server as a copy of the program loads it again: connect, listen, ask the
// revision of the data and, the server still naming it, take the tables and their index
// orders from the local copy (read while the connection is made).
void BM_LoadFromServer(benchmark::State& state)
{
    Scale& s = scale(static_cast<int>(state.range(0)));
    {
        data::Database db;
        model::useServer(db, s.connection());
        openAllIndexes(db);
        db.waitUntilKept();
    }
    for (auto _ : state) {
        data::Database db;
        model::useServer(db, s.connection());
        openAllIndexes(db);
        if (!db.loadedFromLocalCopy())
            std::abort();
    }
}
BENCHMARK(BM_LoadFromServer)->Arg(8000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first load on a machine, or after the data changed: one snapshot, three binary COPYs,
// the indexes sorted in memory. Writing the local copy afterwards (on a thread of its own,
// beside the windows) is not counted.
void BM_LoadFromServerCold(benchmark::State& state)
{
    Scale& s = scale(static_cast<int>(state.range(0)));
    forgetLocalCopies();
    for (auto _ : state) {
        auto db = std::make_unique<data::Database>();
        model::useServer(*db, s.connection());
        openAllIndexes(*db);
        state.PauseTiming();
        if (db->loadedFromLocalCopy())
            std::abort();
        db.reset();
        forgetLocalCopies();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadFromServerCold)
    ->Arg(8000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The alternative: Qt SQL's driver, a forward-only query per table, each value a QVariant,
// into the same storage and the same indexes.
void BM_LoadFromServerQtSql(benchmark::State& state)
{
    Scale& s = scale(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("b"));
            db.setHostName(server().socketDirectory());
            db.setDatabaseName(s.database);
            db.setUserName(QStringLiteral("zel_reader"));
            db.setPassword(PgServer::readerPassword());
            if (!db.open())
                std::abort();
            for (const data::TableDef* def : model::schema::allTables()) {
                QStringList columns;
                for (const data::FieldDef& f : def->fields)
                    columns << f.name;
                QSqlQuery q(db);
                q.setForwardOnly(true);
                q.exec(QStringLiteral("SELECT %1 FROM %2")
                           .arg(columns.join(QLatin1Char(',')),
                                def->fileName.section(QLatin1Char('.'), 0, 0).toLower()));
                data::TableStoreBuilder builder(def->fields);
                while (q.next()) {
                    builder.addRecord();
                    for (int f = 0; f < static_cast<int>(def->fields.size()); ++f)
                        if (def->fields[static_cast<size_t>(f)].type == data::FieldType::Integer)
                            builder.setInteger(f, q.value(f).toLongLong());
                        else
                            builder.setText(f, q.value(f).toString());
                }
                auto table = data::Table::fromStore(def->fileName, builder.finish(), def);
                for (const data::IndexDef& idx : def->indexes)
                    benchmark::DoNotOptimize(&table->index(idx));
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("b"));
    }
}
BENCHMARK(BM_LoadFromServerQtSql)
    ->Arg(8000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The program's start in this process: every window made hidden, the tables opened, the
// selection list built (the first argument: 0 the directory, 1 the server with the local copy
// of its data, 2 the server without one).
void BM_StartProgram(benchmark::State& state)
{
    Scale& s = scale(static_cast<int>(state.range(1)));
    s.writeIni(state.range(0) >= 1);
    const bool cold = state.range(0) == 2;
    if (cold)
        forgetLocalCopies();
    else if (state.range(0) == 1)
        app::Program(s.dir.path(), true).StartProgram(); // leaves the local copy behind
    for (auto _ : state) {
        auto program = std::make_unique<app::Program>(s.dir.path(), true);
        if (!program->StartProgram())
            std::abort();
        state.PauseTiming();
        program.reset();
        if (cold)
            forgetLocalCopies();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartProgram)
    ->Args({0, 100000})
    ->Args({1, 100000})
    ->Args({2, 100000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

struct Running
{
    std::unique_ptr<app::Program> program;
    Running(Scale& s, bool fromServer)
    {
        s.writeIni(fromServer);
        program = std::make_unique<app::Program>(s.dir.path(), false);
        if (!program->StartProgram())
            std::abort();
        program->mainForm()->show();
    }
};

Running& running(int source, int materials)
{
    auto& r = programs[{source, materials}];
    if (!r)
        r = std::make_unique<Running>(scale(materials), source == 1);
    return *r;
}

// A keystroke of the incremental search in the real window.
void BM_Keystroke(benchmark::State& state)
{
    Running& r = running(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const Scale& s = scale(static_cast<int>(state.range(1)));
    auto* field = r.program->mainForm()->findChild<QLineEdit*>(QStringLiteral("SearchField"));
    size_t i = 0;
    for (auto _ : state) {
        field->setText(s.prefixes[i]);
        i = (i + 1) % s.prefixes.size();
    }
}
BENCHMARK(BM_Keystroke)->Args({0, 100000})->Args({1, 100000})->Unit(benchmark::kMicrosecond);

// A search whose name criterion no material and no commercial name holds: every name of
// every material and every commercial name is read.
void BM_ApplyFilterEveryName(benchmark::State& state)
{
    Running& r = running(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    ui::MainSession* session = r.program->session();
    search::SearchCriteria criteria;
    criteria.name = QStringLiteral("QXQXQ");
    session->setTableFilter(search::materialTableFilter(
        [&criteria] { return criteria; }, session->dataset(model::datasets::TableSynonymsSelect)));
    session->setSelectionFeedback(nullptr);
    for (auto _ : state)
        session->Select(1);
}
BENCHMARK(BM_ApplyFilterEveryName)
    ->Args({0, 100000})
    ->Args({1, 100000})
    ->Unit(benchmark::kMillisecond);

// The material report of one material into a PDF file.
void BM_MaterialReport(benchmark::State& state)
{
    Running& r = running(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const Scale& s = scale(static_cast<int>(state.range(1)));
    const QString file = s.dir.filePath(QStringLiteral("report.pdf"));
    for (auto _ : state)
        if (!r.program->reports()->writeMaterialReport(s.material, file).isEmpty())
            std::abort();
}
BENCHMARK(BM_MaterialReport)->Args({0, 100000})->Args({1, 100000})->Unit(benchmark::kMillisecond);

// Where the server's load goes, part by part: a connection (password check, LISTEN), the
// three binary COPYs decoded into storage, and the nine indexes sorted in memory.
void BM_ConnectOnly(benchmark::State& state)
{
    Scale& s = scale(8000);
    for (auto _ : state) {
        data::PgConnection c(s.connection());
        c.exec(QStringLiteral("LISTEN x"));
    }
}
BENCHMARK(BM_ConnectOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_RevisionOnly(benchmark::State& state)
{
    Scale& s = scale(8000);
    data::PgConnection c(s.connection());
    for (auto _ : state)
        benchmark::DoNotOptimize(data::server::revision(model::schema::serverCatalog(), c));
}
BENCHMARK(BM_RevisionOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_LocalCopyOnly(benchmark::State& state)
{
    Scale& s = scale(static_cast<int>(state.range(0)));
    {
        data::Database db;
        model::useServer(db, s.connection());
        openAllIndexes(db);
        db.waitUntilKept();
    }
    const data::server::LocalCache cache(data::server::LocalCache::standardDirectory(),
                                         s.connection(), model::schema::allTables());
    state.counters["MB"] =
        static_cast<double>(
            QFileInfo(cache.fileFor(QString()))
                .dir()
                .entryInfoList({QFileInfo(cache.fileFor(QString())).fileName().section('.', 0, 0) +
                                QStringLiteral(".*")},
                               QDir::Files)
                .value(0)
                .size()) /
        1e6;
    for (auto _ : state)
        if (!cache.readLatest())
            std::abort();
}
BENCHMARK(BM_LocalCopyOnly)->Arg(8000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_CopyOnly(benchmark::State& state)
{
    Scale& s = scale(8000);
    data::PgConnection c(s.connection());
    for (auto _ : state)
        benchmark::DoNotOptimize(data::server::loadTables(model::schema::serverCatalog(), c));
}
BENCHMARK(BM_CopyOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_IndexesOnly(benchmark::State& state)
{
    Scale& s = scale(8000);
    data::PgConnection c(s.connection());
    for (auto _ : state) {
        state.PauseTiming();
        auto stores = data::server::loadTables(model::schema::serverCatalog(), c);
        state.ResumeTiming();
        for (auto& [name, store] : stores) {
            auto table = data::Table::fromStore(name, std::move(store),
                                                model::schema::tableByFileName(name));
            for (const data::IndexDef& idx : table->indexDefs())
                table->index(idx).prepare();
        }
    }
}
BENCHMARK(BM_IndexesOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    cacheHome = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome->path()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    programs.clear();
    scales.clear();
    theServer.reset();
    cacheHome.reset();
    return 0;
}
