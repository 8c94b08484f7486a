// Re-indexing on generated databases: what it deletes, what it builds, the placeholder it
// writes into empty commercial names and nowhere else, and how each failure is reported.
#include "Fixture.h"
#include "data/paradox/ParadoxFile.h"
#include "model/Reindex.h"
#include "model/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>

using namespace zel::data;
using namespace zel::model;
using zel::test::TempDir;

namespace {

// Keeps what the procedure told its form, in order, as "file | index" at every repaint.
class Recorder : public Reindex::Progress
{
public:
    void setFileName(const QString& text) override { m_file = text; }
    void setIndexName(const QString& text) override { m_index = text; }
    void repaintNow() override { shown << m_file + QStringLiteral(" | ") + m_index; }
    void showError(const QString& message, const QString&) override
    {
        events << QStringLiteral("error: ") + message;
    }
    void hideProgress() override { events << QStringLiteral("hidden"); }

    QStringList shown;
    QStringList events;

private:
    QString m_file, m_index;
};

QStringList passwords()
{
    return {QString::fromLatin1(schema::tablePassword())};
}

void usePassword()
{
    Session::instance().removeAllPasswords();
    Session::instance().addPassword(QString::fromLatin1(schema::tablePassword()));
}

QStringList indexFiles(const QString& dir)
{
    QStringList files = QDir(dir).entryList({QStringLiteral("*.zix"), QStringLiteral("*.ZIX")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    files.sort();
    return files;
}

QStringList allIndexFiles()
{
    return {QStringLiteral("material.casorder.zix"), QStringLiteral("material.idindex.zix"),
            QStringLiteral("material.primary.zix"),  QStringLiteral("supplier.linkname.zix"),
            QStringLiteral("supplier.name.zix"),     QStringLiteral("supplier.primary.zix"),
            QStringLiteral("synonyms.linksupp.zix"), QStringLiteral("synonyms.name.zix"),
            QStringLiteral("synonyms.primary.zix")};
}

// The synonyms as "cas|name|supnr|price", sorted, so tables can be compared whatever their order.
QStringList synonymRows(const QString& dir)
{
    const TableData t = paradox::readTableFile(dir + QStringLiteral("/SYNONYMS.DB"), passwords());
    QStringList rows;
    for (const auto& r : t.rows) {
        QStringList cells;
        for (const QVariant& v : r)
            cells << v.toString();
        rows << cells.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(Reindex, BuildsEveryIndexFileShowingEachStepOfThePlan)
{
    zel::test::DatabaseFixture db;
    usePassword();
    Recorder form;
    ASSERT_TRUE(Reindex::run(db.dir.path() + QLatin1Char('/'), form));
    EXPECT_EQ(indexFiles(db.dir.path()), allIndexFiles());
    EXPECT_EQ(form.shown, (QStringList{
                              QStringLiteral("*.zix | "),
                              QStringLiteral("synonyms.db | Primary"),
                              QStringLiteral("synonyms.db | Synonyms Link"),
                              QStringLiteral("synonyms.db | Name"),
                              QStringLiteral("synonyms.db | Commercial Name"),
                              QStringLiteral("material.db | Primary"),
                              QStringLiteral("material.db | CAS order"),
                              QStringLiteral("material.db | ID order"),
                              QStringLiteral("supplier.db | Primary"),
                              QStringLiteral("supplier.db | Supplier Link"),
                              QStringLiteral("supplier.db | Supplier Name"),
                          }));
    EXPECT_EQ(form.events, QStringList{QStringLiteral("hidden")});
}

TEST(Reindex, PlanBuildsTheIndexesTheTablesDeclare)
{
    // The datasets find their indexes through the schema; re-indexing must build exactly those.
    for (const TableDef* def : schema::allTables()) {
        std::vector<const Reindex::Step*> built;
        for (const Reindex::Step& s : Reindex::plan())
            if (s.action == Reindex::Action::AddIndex &&
                s.table.compare(def->fileName, Qt::CaseInsensitive) == 0)
                built.push_back(&s);
        ASSERT_EQ(built.size(), def->indexes.size()) << def->fileName.toStdString();
        for (size_t i = 0; i < built.size(); ++i) {
            EXPECT_EQ(built[i]->index, def->indexes[i].name);
            EXPECT_EQ(built[i]->fields.split(QLatin1Char(';')), def->indexes[i].fields);
            EXPECT_EQ(built[i]->primary, def->indexes[i].primary);
        }
    }
}

struct PlaceholderCase
{
    const char* name;
    int emptyNames;  // empty commercial names added to the small database's own
    bool emptyTable; // no synonyms at all
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const PlaceholderCase& c, std::ostream* os)
{
    *os << c.name;
}

class Placeholder : public ::testing::TestWithParam<PlaceholderCase>
{
};

TEST_P(Placeholder, GoesIntoEmptyNamesOnly)
{
    const PlaceholderCase& c = GetParam();
    DatabaseContent content = zel::test::smallContent();
    std::erase_if(content.synonyms, [](const SynonymRow& r) { return r.name.isEmpty(); });
    if (c.emptyTable)
        content.synonyms.clear();
    for (int i = 0; i < c.emptyNames; ++i)
        content.synonyms.push_back({QStringLiteral("50-00-%1").arg(i), QString(),
                                    QStringLiteral("S01"), QStringLiteral("EUR %1").arg(i)});
    zel::test::DatabaseFixture db(content);
    usePassword();
    const QString table = db.dir.file(QStringLiteral("SYNONYMS.DB"));
    const QByteArray bytesBefore = fileBytes(table);
    const QStringList before = synonymRows(db.dir.path());

    Recorder form;
    ASSERT_TRUE(Reindex::run(db.dir.path(), form))
        << form.events.join(QLatin1Char('\n')).toStdString();

    QStringList expected;
    for (QString row : before) {
        const QStringList cells = row.split(QLatin1Char('|'));
        if (cells.value(1).isEmpty())
            row = QStringList{cells[0], Reindex::placeholder(), cells[2], cells[3]}.join(
                QLatin1Char('|'));
        expected << row;
    }
    expected.sort();
    EXPECT_EQ(synonymRows(db.dir.path()), expected);
    EXPECT_EQ(before.size(), expected.size());
    if (c.emptyNames == 0) {
        EXPECT_EQ(fileBytes(table), bytesBefore)
            << "nothing to change, so the table is not rewritten";
    }
    EXPECT_EQ(indexFiles(db.dir.path()), allIndexFiles());
}

INSTANTIATE_TEST_SUITE_P(Reindex, Placeholder,
                         ::testing::Values(PlaceholderCase{"ThreeEmptyNames", 3, false},
                                           PlaceholderCase{"OneEmptyName", 1, false},
                                           PlaceholderCase{"NoEmptyName", 0, false},
                                           PlaceholderCase{"EmptyTable", 0, true},
                                           PlaceholderCase{"OnlyEmptyNames", 4, true}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(Reindex, DeletesEveryIndexFileOfOurOwnAndNothingElse)
{
    zel::test::DatabaseFixture db;
    usePassword();
    const QStringList stale{QStringLiteral("material.idindex.zix"),
                            QStringLiteral("OTHER.PRIMARY.ZIX"), QStringLiteral(".hidden.zix"),
                            QStringLiteral("left over.zix")};
    const QStringList foreign{QStringLiteral("OTHER.PX"), QStringLiteral("OTHER.X02"),
                              QStringLiteral("OTHER.VAL"), QStringLiteral("material.zix.bak"),
                              QStringLiteral("notes.txt")};
    for (const QString& name : stale + foreign)
        writeFile(db.dir.file(name), "not an index");
    QFile::setPermissions(db.dir.file(QStringLiteral("left over.zix")), QFileDevice::ReadOwner);

    Recorder form;
    ASSERT_TRUE(Reindex::run(db.dir.path(), form));
    EXPECT_EQ(indexFiles(db.dir.path()), allIndexFiles());
    for (const QString& name : foreign)
        EXPECT_EQ(fileBytes(db.dir.file(name)), QByteArray("not an index")) << name.toStdString();
    // The stale material index was replaced, not kept.
    EXPECT_NE(fileBytes(db.dir.file(QStringLiteral("material.idindex.zix"))),
              QByteArray("not an index"));
}

TEST(Reindex, UnlistableDirectoryStopsBeforeBuilding)
{
    TempDir dir;
    writeFile(dir.file(QStringLiteral("plain-file")), "x");
    for (const QString& dataDir :
         {dir.file(QStringLiteral("no-such-dir")), dir.file(QStringLiteral("plain-file"))}) {
        Recorder form;
        EXPECT_FALSE(Reindex::run(dataDir + QLatin1Char('/'), form));
        // The form stays up: start-up hides it after the message.
        EXPECT_EQ(form.events,
                  QStringList{QStringLiteral(
                      "error: Error indexing database\rCannot delete old index files: *.zix")});
        EXPECT_EQ(form.shown, QStringList{QStringLiteral("*.zix | ")});
    }
}

enum class Damage
{
    Missing,
    Truncated,
    Garbage,
    WrongPassword,
    DuplicateKey
};

struct FailureCase
{
    const char* name;
    const char* table;
    Damage damage;
    const char* message;
    int builtIndexFiles; // the tables before the damaged one keep what was built
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReindexFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(ReindexFailure, NamesTheTableAndKeepsWhatWasBuilt)
{
    const FailureCase& c = GetParam();
    DatabaseContent content = zel::test::smallContent();
    if (c.damage == Damage::DuplicateKey)
        content.suppliers.push_back(content.suppliers.front());
    TempDir dir;
    writeDatabase(dir.path(), content);
    const QString path = dir.file(QString::fromLatin1(c.table));
    switch (c.damage) {
    case Damage::Missing:
        QFile::remove(path);
        break;
    case Damage::Truncated:
        QFile(path).resize(QFileInfo(path).size() / 2 + 3);
        break;
    case Damage::Garbage: {
        QByteArray bytes = fileBytes(path);
        for (qsizetype i = 0; i < bytes.size(); i += 7)
            bytes[i] = static_cast<char>(0xA5 ^ i);
        writeFile(path, bytes);
        break;
    }
    case Damage::WrongPassword: {
        TempDir other;
        WriteOptions o;
        o.password = QStringLiteral("other1");
        writeDatabase(other.path(), content, o);
        QFile::remove(path);
        QFile::copy(other.file(QString::fromLatin1(c.table)), path);
        break;
    }
    case Damage::DuplicateKey: // the writer sorts but does not check keys
        break;
    }
    const QByteArray before = fileBytes(path);
    usePassword();
    Recorder form;
    EXPECT_FALSE(Reindex::run(dir.path(), form));
    EXPECT_EQ(form.events, (QStringList{QStringLiteral("error: ") + QString::fromLatin1(c.message),
                                        QStringLiteral("hidden")}));
    EXPECT_EQ(indexFiles(dir.path()).size(), c.builtIndexFiles)
        << indexFiles(dir.path()).join(u' ').toStdString();
    EXPECT_EQ(fileBytes(path), before) << "a failed step must leave its table as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Reindex, ReindexFailure,
    ::testing::Values(FailureCase{"MissingSynonyms", "SYNONYMS.DB", Damage::Missing,
                                  "Cannot reindex file:synonyms.db", 0},
                      FailureCase{"MissingSupplier", "SUPPLIER.DB", Damage::Missing,
                                  "Cannot reindex file:supplier.db", 6},
                      FailureCase{"TruncatedMaterial", "MATERIAL.DB", Damage::Truncated,
                                  "Cannot reindex file:material.db", 3},
                      FailureCase{"GarbledSynonyms", "SYNONYMS.DB", Damage::Garbage,
                                  "Cannot reindex file:synonyms.db", 0},
                      FailureCase{"WrongPasswordMaterial", "MATERIAL.DB", Damage::WrongPassword,
                                  "Cannot reindex file:material.db", 3},
                      FailureCase{"DuplicateSupplierNumber", "SUPPLIER.DB", Damage::DuplicateKey,
                                  "Cannot reindex file:supplier.db", 6}),
    [](const auto& param) { return std::string(param.param.name); });

// A second running copy of the program reads the synonyms table: re-indexing must not wait
// for it, nor touch the table, and reports the table by name.
TEST(Reindex, TableHeldByAnotherProcessIsReported)
{
    zel::test::DatabaseFixture db;
    usePassword();
    const QString table = db.dir.file(QStringLiteral("SYNONYMS.DB"));
    const QByteArray before = fileBytes(table);
    QProcess holder;
    holder.start(zel::test::builtProgram(QStringLiteral("tools/zeltool")),
                 {QStringLiteral("lock"), table});
    ASSERT_TRUE(holder.waitForStarted(10000) && holder.waitForReadyRead(10000));
    ASSERT_TRUE(holder.readAllStandardOutput().startsWith("locked"));

    Recorder form;
    EXPECT_FALSE(Reindex::run(db.dir.path(), form));
    EXPECT_EQ(form.events, (QStringList{QStringLiteral("error: Cannot reindex file:synonyms.db"),
                                        QStringLiteral("hidden")}));
    EXPECT_EQ(fileBytes(table), before);

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
    Recorder again;
    EXPECT_TRUE(Reindex::run(db.dir.path(), again));
}

} // namespace
