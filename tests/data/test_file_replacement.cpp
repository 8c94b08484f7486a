// Every file the program replaces goes through one routine: a table, an index file, the local
// copy of a server's data and an output. Each keeps the old file's mode and owner, and a write
// that fails half-way (the file size limit reached) leaves the old file whole and nothing
// beside it.
#include "Fixture.h"
#include "data/base/FileAccess.h"
#include "data/engine/Index.h"
#include "data/engine/Table.h"
#include "data/paradox/ParadoxFile.h"
#include "data/server/ServerCache.h"
#include "model/Names.h"
#include "model/Schema.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zel;

namespace {

// Another owner and group than the test's, which only root may give.
constexpr uid_t kOwner = 4321;
constexpr gid_t kGroup = 4322;

struct Writer
{
    const char* name;
    // The file that will be replaced, made beside the database.
    QString (*target)(const test::DatabaseFixture&);
    // Replaces it; throws on failure.
    void (*replace)(const test::DatabaseFixture&, const QString& target);
};

void PrintTo(const Writer& w, std::ostream* os)
{
    *os << w.name;
}

std::shared_ptr<data::Table> openMaterials(const test::DatabaseFixture& f, data::Table::Access a)
{
    return data::Table::open(f.db->findFile(model::tables::material), &model::schema::material(), a,
                             {QString::fromLatin1(model::schema::tablePassword())});
}

const Writer kWriters[] = {
    {"Table",
     [](const test::DatabaseFixture& f) { return f.db->findFile(model::tables::supplier); },
     [](const test::DatabaseFixture&, const QString& target) {
         data::TableData data = data::paradox::readTableFile(
             target, {QString::fromLatin1(model::schema::tablePassword())});
         for (auto& row : data.rows)
             row[2] = QString(38, QLatin1Char('x'));
         data::paradox::writeTableFile(target, data,
                                       QString::fromLatin1(model::schema::tablePassword()));
     }},
    {"IndexFile",
     [](const test::DatabaseFixture& f) {
         return openMaterials(f, data::Table::Access::Shared)
             ->indexFilePath(model::indexes::casorder);
     },
     [](const test::DatabaseFixture& f, const QString& target) {
         const auto table = openMaterials(f, data::Table::Access::Shared);
         data::Index index(*table, *model::schema::material().index(model::indexes::casorder));
         index.build();
         index.save(target);
     }},
    {"LocalCopy",
     [](const test::DatabaseFixture& f) {
         return data::server::LocalCache(f.dir.file(QStringLiteral("copies")), QStringLiteral("x"),
                                         {&model::schema::material()})
             .fileFor(QStringLiteral("r1"));
     },
     [](const test::DatabaseFixture& f, const QString&) {
         const data::server::LocalCache cache(f.dir.file(QStringLiteral("copies")),
                                              QStringLiteral("x"), {&model::schema::material()});
         const QString error = cache.write(
             QStringLiteral("r1"),
             {{model::tables::material, openMaterials(f, data::Table::Access::Shared)}});
         if (!error.isEmpty())
             throw data::Error(error);
     }},
    {"Output", [](const test::DatabaseFixture& f) { return f.dir.file(QStringLiteral("out.pdf")); },
     [](const test::DatabaseFixture&, const QString& target) {
         data::OutputFile out(target);
         out.open();
         out.device().write(QByteArray(8192, 'n'));
         out.commit();
     }},
};

class Replacement : public ::testing::TestWithParam<Writer>
{
protected:
    void SetUp() override
    {
        QDir().mkpath(f.dir.file(QStringLiteral("copies")));
        target = GetParam().target(f);
        if (!QFile::exists(target)) {
            QFile file(target);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
        ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0660), 0);
        if (::geteuid() == 0) {
            // An index file takes its table's permissions and group.
            const QString table = f.db->findFile(model::tables::material);
            for (const QString& path : {target, table})
                ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kOwner, kGroup), 0);
            ::chmod(QFile::encodeName(table).constData(), 0660);
        }
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        old = file.readAll();
        entriesBefore = test::entriesOf(QFileInfo(target).absolutePath());
    }
    struct stat statOf() const
    {
        struct stat st
        {
        };
        ::stat(QFile::encodeName(target).constData(), &st);
        return st;
    }
    test::DatabaseFixture f;
    QString target;
    QByteArray old;
    QStringList entriesBefore;
};

TEST_P(Replacement, KeepsModeAndOwner)
{
    GetParam().replace(f, target);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_NE(file.readAll(), old);
    const struct stat st = statOf();
    EXPECT_EQ(st.st_mode & 07777, 0660u);
    if (::geteuid() == 0) {
        EXPECT_EQ(st.st_gid, kGroup);
        if (QByteArray(GetParam().name) != "IndexFile") { // an index file is its writer's
            EXPECT_EQ(st.st_uid, kOwner);
        }
    }
    EXPECT_EQ(test::entriesOf(QFileInfo(target).absolutePath()), entriesBefore);
}

TEST_P(Replacement, AFailedWriteLeavesTheOldFileWholeAndNothingBesideIt)
{
    // Writing past the limit fails with EFBIG instead of ending the process.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool failed = false;
    try {
        GetParam().replace(f, target);
    } catch (const data::Error&) {
        failed = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_TRUE(failed);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(test::entriesOf(QFileInfo(target).absolutePath()), entriesBefore);
}

INSTANTIATE_TEST_SUITE_P(FileReplacement, Replacement, ::testing::ValuesIn(kWriters),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
