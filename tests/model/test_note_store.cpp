// A user's own notes against a real SQLite file: kept across opening the store again, two
// processes writing at once, and a store that is damaged or locked by another copy.
#include "TempDir.h"
#include "model/NoteStore.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using zel::model::NoteStore;
using zel::test::TempDir;

namespace {

TEST(NoteStore, KeepsNotesFavouritesAndShortlistsAcrossOpenings)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("sub/notes.sqlite"));
    {
        NoteStore store(path);
        EXPECT_EQ(store.entry(QStringLiteral("121-33-5")), NoteStore::Entry{});
        EXPECT_FALSE(QFile::exists(path)) << "reading an empty store made a file";
        EXPECT_TRUE(store.setNote(QStringLiteral("121-33-5"), QStringLiteral("Vanille, süß ☺")));
        EXPECT_TRUE(store.setFavourite(QStringLiteral("78-70-6"), true));
        EXPECT_TRUE(store.addToShortlist(QStringLiteral("Bleach"), QStringLiteral("78-70-6")));
        EXPECT_TRUE(store.addToShortlist(QStringLiteral("Bleach"), QStringLiteral("121-33-5")));
        EXPECT_TRUE(store.addToShortlist(QStringLiteral("Bleach"), QStringLiteral("78-70-6")));
        EXPECT_TRUE(store.createShortlist(QStringLiteral("ätherisch")));
        EXPECT_TRUE(
            store.renameShortlist(QStringLiteral("ätherisch"), QStringLiteral("Ätherisch")));
        // A note emptied and no flag: the material keeps nothing.
        EXPECT_TRUE(store.setNote(QStringLiteral("91-64-5"), QStringLiteral("x")));
        EXPECT_TRUE(store.setNote(QStringLiteral("91-64-5"), QString()));
    }
    NoteStore again(path);
    EXPECT_EQ(again.entry(QStringLiteral("121-33-5")).note, QStringLiteral("Vanille, süß ☺"));
    EXPECT_TRUE(again.entry(QStringLiteral("78-70-6")).favourite);
    EXPECT_EQ(again.entries().size(), 2u);
    EXPECT_EQ(again.shortlists(),
              (QStringList{QStringLiteral("Ätherisch"), QStringLiteral("Bleach")}));
    EXPECT_EQ(again.shortlist(QStringLiteral("Bleach")),
              (QStringList{QStringLiteral("78-70-6"), QStringLiteral("121-33-5")}));
    EXPECT_TRUE(again.deleteShortlist(QStringLiteral("Bleach")));
    EXPECT_TRUE(again.shortlist(QStringLiteral("Bleach")).isEmpty());
    EXPECT_TRUE(again.problem().isEmpty()) << qPrintable(again.problem());
}

// Two processes, each its own store on the one file, write notes at the same time.
TEST(NoteStore, TwoProcessesWritingAtOnceLoseNothing)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("notes.sqlite"));
    NoteStore(path).setNote(QStringLiteral("0"), QStringLiteral("made")); // the file exists
    constexpr int kEach = 200;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    const QString who = child == 0 ? QStringLiteral("child") : QStringLiteral("parent");
    bool ok = true;
    {
        NoteStore store(path);
        for (int i = 0; i < kEach; ++i) {
            ok = store.setNote(who + QString::number(i), who) && ok;
            ok = store.addToShortlist(QStringLiteral("both"), who + QString::number(i)) && ok;
        }
    }
    if (child == 0)
        ::_exit(ok ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    NoteStore store(path);
    EXPECT_EQ(store.entries().size(), size_t(2 * kEach + 1));
    EXPECT_EQ(store.shortlist(QStringLiteral("both")).size(), 2 * kEach);
}

struct Trouble
{
    const char* name;
    void (*make)(const QString& path, sqlite3** holder);
};

void PrintTo(const Trouble& t, std::ostream* os)
{
    *os << t.name;
}

const Trouble kTroubles[] = {
    {"Damaged",
     [](const QString& path, sqlite3**) {
         QFile f(path);
         ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         f.write(QByteArray(8192, 'z'));
     }},
    {"LockedByAnotherCopy",
     [](const QString& path, sqlite3** holder) {
         ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), holder), SQLITE_OK);
         ASSERT_EQ(sqlite3_exec(*holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
     }},
};

class Troubled : public ::testing::TestWithParam<Trouble>
{
};

// The user is told once, naming the file, and nothing is written.
TEST_P(Troubled, ToldOnceThenReadOnly)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("notes.sqlite"));
    NoteStore(path).setNote(QStringLiteral("78-70-6"), QStringLiteral("fresh"));
    sqlite3* holder = nullptr;
    GetParam().make(path, &holder);
    {
        NoteStore store(path);
        store.entry(QStringLiteral("78-70-6"));
        EXPECT_FALSE(store.setNote(QStringLiteral("121-33-5"), QStringLiteral("lost?")));
        EXPECT_FALSE(store.writable());
        EXPECT_TRUE(store.takeProblem().contains(path)) << "the message names the file";
        EXPECT_TRUE(store.takeProblem().isEmpty()) << "told twice";
        EXPECT_FALSE(store.setFavourite(QStringLiteral("121-33-5"), true));
    }
    sqlite3_close(holder);
    EXPECT_TRUE(NoteStore(path).entry(QStringLiteral("121-33-5")).note.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(NoteStore, Troubled, ::testing::ValuesIn(kTroubles),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
