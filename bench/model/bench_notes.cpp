// The user's note store: one note saved (one transaction with the write-ahead log) beside the
// same change written straight through SQLite's library; the first read a start makes (the
// current material's note and flag) without a store and from a store of 10,000 notes; and the
// whole headless start of the program on the scale database with either.
#include "common/SampleDatabase.h"
#include "model/NoteStore.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

using zel::model::NoteStore;

namespace {

QString casOf(int i)
{
    return QStringLiteral("%1-00-0").arg(10000 + i);
}

// $XDG_DATA_HOME with a store of n notes in it; none at all for 0.
class DataHome
{
public:
    explicit DataHome(int n)
    {
        if (n == 0)
            return;
        NoteStore(path()).setNote(casOf(0), QStringLiteral("made")); // the file and its tables
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path()).constData(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 1; i < n; ++i) {
            const QByteArray sql = QStringLiteral("INSERT INTO notes VALUES ('%1', 'a note of some "
                                                  "forty characters, %2', %3)")
                                       .arg(casOf(i))
                                       .arg(i)
                                       .arg(i % 7 == 0)
                                       .toUtf8();
            sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    QString dir() const { return m_dir.path(); }
    QString path() const { return m_dir.filePath(QStringLiteral("zel/notes.sqlite")); }

private:
    QTemporaryDir m_dir;
};

void BM_SaveNote(benchmark::State& state)
{
    DataHome home(10000);
    NoteStore notes(home.path());
    int i = 0;
    for (auto _ : state) {
        ++i;
        if (!notes.setNote(casOf(i % 10000), QStringLiteral("changed %1").arg(i))) {
            state.SkipWithError(qPrintable(notes.problem()));
            break;
        }
    }
    state.SetLabel("NoteStore::setNote");
}

// The baseline: the same change, prepared once and written in a transaction of its own
// straight through the library, with the store's journal and settings.
void BM_SaveNoteSqlite(benchmark::State& state)
{
    DataHome home(10000);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(home.path()).constData(), &db);
    sqlite3_exec(db, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    sqlite3_stmt* upsert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO notes (cas, note) VALUES (?, ?) ON CONFLICT (cas) DO UPDATE "
                       "SET note = excluded.note",
                       -1, &upsert, nullptr);
    int i = 0;
    for (auto _ : state) {
        ++i;
        const QByteArray cas = casOf(i % 10000).toUtf8();
        const QByteArray note = QStringLiteral("changed %1").arg(i).toUtf8();
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_bind_text(upsert, 1, cas.constData(), int(cas.size()), SQLITE_STATIC);
        sqlite3_bind_text(upsert, 2, note.constData(), int(note.size()), SQLITE_STATIC);
        sqlite3_step(upsert);
        sqlite3_reset(upsert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(upsert);
    sqlite3_close(db);
    state.SetLabel("sqlite3 straight");
}

// What a start reads of the store: the first material's note and flag, from a new store.
void BM_FirstRead(benchmark::State& state)
{
    DataHome home(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        NoteStore notes(home.path());
        benchmark::DoNotOptimize(notes.entry(casOf(5000)));
    }
    state.SetLabel(state.range(0) == 0 ? "no store" : "10,000 notes");
}

// The whole program, started headless on the scale database, with either data home.
void BM_HeadlessStart(benchmark::State& state)
{
    static QTemporaryDir data;
    static const bool written = [] {
        zel::data::writeDatabase(data.path(), zel::data::makeScaleContent(8000, 40000, 400));
        return true;
    }();
    (void)written;
    DataHome home(static_cast<int>(state.range(0)));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.dir());
    const auto start = [&] {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QStringLiteral(ZEL_BINARY_DIR "/src/app/zel"),
                {QStringLiteral("--headless"), QStringLiteral("--data"), data.path()});
        return p.waitForFinished(30000) && p.exitCode() == 0;
    };
    start(); // the index files are built by the first start
    for (auto _ : state)
        if (!start()) {
            state.SkipWithError("zel --headless failed");
            break;
        }
    state.SetLabel(state.range(0) == 0 ? "no store" : "10,000 notes");
}

BENCHMARK(BM_SaveNote)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveNoteSqlite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstRead)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HeadlessStart)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
