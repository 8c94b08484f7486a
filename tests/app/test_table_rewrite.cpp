// The placeholder's rewrite of the synonyms table, watched from outside: pxlib reads the raw
// records back, the owner, group and mode of a shared table survive, a process killed at any
// moment leaves the old table or the new one, and a reader started during the rewrite sees one
// of the two whole.
#include "Fixture.h"
#include "data/base/Error.h"
#include "data/paradox/ParadoxFile.h"
#include "model/Reindex.h"
#include "model/Schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <signal.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

extern "C" {
#include <paradox.h>
}

using namespace zel::data;
using namespace zel::model;
using zel::test::TempDir;

namespace {

const QString kPassword = QStringLiteral("qomtk4");

class Recorder : public Reindex::Progress
{
public:
    void setFileName(const QString&) override {}
    void setIndexName(const QString&) override {}
    void repaintNow() override {}
    void showError(const QString& message, const QString&) override { events << message; }
    void hideProgress() override {}
    QStringList events;
};

// Every record of a table as pxlib decrypts it, raw bytes, sorted: two tables hold the same
// records exactly when these are equal. Empty with a message in error when pxlib cannot read it.
std::vector<QByteArray> pxlibRecords(const QString& path, QString* error = nullptr)
{
    std::vector<QByteArray> records;
    pxdoc_t* doc = PX_new();
    if (PX_open_file(doc, QFile::encodeName(path).constData()) < 0) {
        PX_delete(doc);
        if (error)
            *error = QStringLiteral("pxlib cannot open ") + path;
        return records;
    }
    PX_set_parameter(doc, "password", kPassword.toLatin1().constData());
    const int size = PX_get_recordsize(doc);
    QByteArray rec(size, '\0');
    for (int r = 0; r < PX_get_num_records(doc); ++r) {
        if (!PX_get_record(doc, r, rec.data())) {
            if (error)
                *error = QStringLiteral("pxlib cannot read record %1").arg(r);
            records.clear();
            break;
        }
        records.push_back(rec);
    }
    PX_close(doc);
    PX_delete(doc);
    std::sort(records.begin(), records.end());
    return records;
}

// The synonyms' name field: after the 12 bytes of the CAS number, 30 bytes.
constexpr int kNameOffset = 12;
constexpr int kNameWidth = 30;

bool emptyName(const QByteArray& record)
{
    return std::all_of(record.begin() + kNameOffset, record.begin() + kNameOffset + kNameWidth,
                       [](char c) { return c == '\0'; });
}

// The records after the placeholder went into every empty name, worked out byte by byte.
std::vector<QByteArray> withPlaceholders(std::vector<QByteArray> records)
{
    for (QByteArray& r : records)
        if (emptyName(r))
            r[kNameOffset] = '~';
    std::sort(records.begin(), records.end());
    return records;
}

void usePassword()
{
    Session::instance().removeAllPasswords();
    Session::instance().addPassword(kPassword);
}

// A scale database whose synonyms tell every record apart by price, with empty names.
DatabaseContent synonymsWithEmptyNames(int synonyms, int emptyNames)
{
    DatabaseContent content = makeScaleContent(200, synonyms, 20);
    for (size_t i = 0; i < content.synonyms.size(); ++i)
        content.synonyms[i].price = QStringLiteral("P%1").arg(i);
    blankCommercialNames(content, emptyNames);
    return content;
}

void copyTables(const QString& from, const QString& to)
{
    for (const char* name : {"MATERIAL.DB", "SYNONYMS.DB", "SUPPLIER.DB"}) {
        QFile::remove(to + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(QFile::copy(from + QLatin1Char('/') + QLatin1String(name),
                                to + QLatin1Char('/') + QLatin1String(name)));
    }
}

// Unfinished new files of tables and of index files.
QStringList leftovers(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral(".*.DB.*"), QStringLiteral("*.zix.*")},
                               QDir::Files | QDir::Hidden);
}

struct stat statOf(const QString& path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// --- The one pass ----------------------------------------------------------------------

struct FillCase
{
    const char* name;
    int synonyms;
    int emptyNames;
    // Records whose "~" would repeat the key of a record that has one already.
    int clashes;
};

void PrintTo(const FillCase& c, std::ostream* os)
{
    *os << c.name;
}

class OnePass : public ::testing::TestWithParam<FillCase>
{
};

// Every empty name gets "~", every other byte of every record stays as it was, and a name
// whose "~" would repeat a key stays empty without stopping re-indexing.
TEST_P(OnePass, FillsEveryEmptyNameAndChangesNothingElse)
{
    const FillCase& c = GetParam();
    DatabaseContent content = synonymsWithEmptyNames(c.synonyms, c.emptyNames);
    // A clash: the same material and supplier already have a "~".
    int clashes = 0;
    for (size_t i = 0; i < content.synonyms.size() && clashes < c.clashes; ++i) {
        const SynonymRow& r = content.synonyms[i];
        if (r.name.isEmpty()) {
            content.synonyms.push_back(
                {r.cas, Reindex::placeholder(), r.supnr, QStringLiteral("C")});
            ++clashes;
        }
    }
    TempDir dir;
    writeDatabase(dir.path(), content);
    const QString table = dir.file(QStringLiteral("SYNONYMS.DB"));
    const std::vector<QByteArray> before = pxlibRecords(table);
    ASSERT_EQ(before.size(), content.synonyms.size());
    usePassword();

    Recorder form;
    ASSERT_TRUE(Reindex::run(dir.path(), form)) << form.events.join(u'\n').toStdString();
    EXPECT_EQ(form.events, QStringList());

    QString error;
    const std::vector<QByteArray> after = pxlibRecords(table, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    const auto emptyCount = [](const std::vector<QByteArray>& records) {
        return std::count_if(records.begin(), records.end(), emptyName);
    };
    EXPECT_EQ(emptyCount(after), c.clashes) << "only the names whose key would repeat stay empty";
    if (c.clashes == 0) {
        EXPECT_EQ(after, withPlaceholders(before));
    }
    // Every record that was not empty is there, byte for byte.
    std::multiset<QByteArray> unchanged;
    for (const QByteArray& r : before)
        if (!emptyName(r))
            unchanged.insert(r);
    std::multiset<QByteArray> kept;
    for (const QByteArray& r : after)
        if (unchanged.count(r))
            kept.insert(r);
    EXPECT_EQ(kept, unchanged);
    EXPECT_EQ(after.size(), before.size());
    // The index files are those of the table as it is now: the next start does not re-index.
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("material.idindex.zix"))));
    Database db;
    zel::model::schema::describe(db);
    db.setPath(dir.path());
    auto synonyms = db.table(QStringLiteral("synonyms.db"));
    for (const IndexDef& def : schema::synonyms().indexes) {
        Index fromFile(*synonyms, def);
        EXPECT_TRUE(fromFile.load(synonyms->indexFilePath(def.name))) << def.name.toStdString();
        Index sorted(*synonyms, def);
        sorted.build();
        for (int pos = 0; pos < sorted.size(); ++pos)
            ASSERT_EQ(fromFile.recordAt(pos), sorted.recordAt(pos))
                << def.name.toStdString() << " at " << pos;
    }
}

INSTANTIATE_TEST_SUITE_P(Rewrite, OnePass,
                         ::testing::Values(FillCase{"ThousandsOfEmptyNames", 20000, 3000, 0},
                                           FillCase{"EveryFifthNameEmpty", 5000, 1000, 0},
                                           FillCase{"OneEmptyName", 5000, 1, 0},
                                           FillCase{"ClashesBesideFilledNames", 5000, 500, 3},
                                           FillCase{"OnlyAClash", 300, 1, 1}),
                         [](const auto& param) { return std::string(param.param.name); });

// --- Owner, group and mode ---------------------------------------------------------------

struct OwnerCase
{
    const char* name;
    uid_t uid;
    gid_t gid;
    mode_t mode;
};

void PrintTo(const OwnerCase& c, std::ostream* os)
{
    *os << c.name;
}

class KeepsOwner : public ::testing::TestWithParam<OwnerCase>
{
};

TEST_P(KeepsOwner, RewrittenTableKeepsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can give the table to another user first";
    const OwnerCase& c = GetParam();
    TempDir dir;
    writeDatabase(dir.path(), synonymsWithEmptyNames(2000, 50));
    for (const char* name : {"MATERIAL.DB", "SYNONYMS.DB", "SUPPLIER.DB"}) {
        const QByteArray path = QFile::encodeName(dir.file(QLatin1String(name)));
        ASSERT_EQ(::chown(path.constData(), c.uid, c.gid), 0);
        ASSERT_EQ(::chmod(path.constData(), c.mode), 0);
    }
    const QString table = dir.file(QStringLiteral("SYNONYMS.DB"));
    const ino_t oldInode = statOf(table).st_ino;
    usePassword();
    Recorder form;
    ASSERT_TRUE(Reindex::run(dir.path(), form)) << form.events.join(u'\n').toStdString();

    const struct stat st = statOf(table);
    EXPECT_NE(st.st_ino, oldInode) << "the table was written anew";
    EXPECT_EQ(st.st_uid, c.uid);
    EXPECT_EQ(st.st_gid, c.gid);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    // The index files follow their table's group and read and write permissions.
    for (const QString& zix : QDir(dir.path()).entryList({QStringLiteral("synonyms.*.zix")})) {
        const struct stat z = statOf(dir.file(zix));
        EXPECT_EQ(z.st_gid, c.gid) << zix.toStdString();
        EXPECT_EQ(z.st_mode & 0777, c.mode & 0666) << zix.toStdString();
    }
    EXPECT_TRUE(leftovers(dir.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rewrite, KeepsOwner,
                         ::testing::Values(OwnerCase{"SharedWithItsGroup", 65534, 65534, 0660},
                                           OwnerCase{"ReadableByItsGroup", 65534, 65534, 0640},
                                           OwnerCase{"OwnerOnly", 1, 1, 0600},
                                           OwnerCase{"RootsWithAnotherGroup", 0, 65534, 0664}),
                         [](const auto& param) { return std::string(param.param.name); });

// Someone of the table's group, not its owner, re-indexes: the table could only be written by
// making it theirs, so it is left exactly as it was, they are told so, and the indexes of every
// table are still built.
TEST(Rewrite, OwnerThatCannotBeKeptLeavesTheTableAndSaysSo)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the superuser to run re-indexing as another user";
    const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
    if (runuser.isEmpty())
        GTEST_SKIP() << "runuser is not installed";
    QProcess probe;
    probe.start(runuser, {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                          zel::test::builtProgram(QStringLiteral("tools/zeltool")),
                          QStringLiteral("--help")});
    if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
        GTEST_SKIP() << "user nobody cannot run the built zeltool here";

    TempDir dir;
    writeDatabase(dir.path(), synonymsWithEmptyNames(2000, 50));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    for (const char* name : {"MATERIAL.DB", "SYNONYMS.DB", "SUPPLIER.DB"}) {
        const QByteArray path = QFile::encodeName(dir.file(QLatin1String(name)));
        ASSERT_EQ(::chown(path.constData(), 0, 65534), 0);
        ASSERT_EQ(::chmod(path.constData(), 0660), 0);
    }
    const QString table = dir.file(QStringLiteral("SYNONYMS.DB"));
    QFile f(table);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    QProcess reindex;
    reindex.start(runuser, {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                            zel::test::builtProgram(QStringLiteral("tools/zeltool")),
                            QStringLiteral("reindex"), dir.path()});
    ASSERT_TRUE(reindex.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(reindex.readAllStandardError());
    EXPECT_TRUE(err.contains(Reindex::ownerNotKeptMessage(QStringLiteral("synonyms.db"))))
        << err.toStdString();
    EXPECT_EQ(reindex.exitCode(), 1) << "a message was shown";
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before) << "the table is as it was";
    const struct stat st = statOf(table);
    EXPECT_EQ(st.st_uid, 0u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0660u);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.zix")}).size(), 9)
        << "re-indexing went on with the other steps";
    EXPECT_TRUE(leftovers(dir.path()).isEmpty());
}

// --- Separate processes ------------------------------------------------------------------

QProcess* startZeltool(const QStringList& args, QObject* parent = nullptr)
{
    auto* p = new QProcess(parent);
    p->start(zel::test::builtProgram(QStringLiteral("tools/zeltool")), args);
    return p;
}

// A database copied fresh for each trial from one written once.
class Trials : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeDatabase(m_pristine.path(), synonymsWithEmptyNames(20000, 3000));
        m_before = pxlibRecords(m_pristine.file(QStringLiteral("SYNONYMS.DB")));
        m_after = withPlaceholders(m_before);
        ASSERT_EQ(m_before.size(), 20000u);
    }
    TempDir m_pristine;
    std::vector<QByteArray> m_before, m_after;
};

// Kills re-indexing at random moments, most of them while the synonyms table is read, filled
// and written: each time pxlib must find the old table or the new one, whole.
TEST_F(Trials, KilledAtRandomMomentsLeavesTheOldTableOrTheNew)
{
    // How long one undisturbed run takes on this machine.
    TempDir timing;
    copyTables(m_pristine.path(), timing.path());
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProcess> full(startZeltool({QStringLiteral("reindex"), timing.path()}));
    ASSERT_TRUE(full->waitForFinished(60000));
    ASSERT_EQ(full->exitCode(), 0) << full->readAllStandardError().toStdString();
    const qint64 runMs = std::max<qint64>(clock.elapsed(), 20);
    ASSERT_EQ(pxlibRecords(timing.file(QStringLiteral("SYNONYMS.DB"))), m_after);

    std::mt19937 random(20261208);
    std::uniform_int_distribution<qint64> delayUs(0, runMs * 1000);
    int old = 0, renewed = 0;
    constexpr int kTrials = 50;
    for (int trial = 0; trial < kTrials; ++trial) {
        TempDir dir;
        copyTables(m_pristine.path(), dir.path());
        std::unique_ptr<QProcess> victim(startZeltool({QStringLiteral("reindex"), dir.path()}));
        ASSERT_TRUE(victim->waitForStarted(10000));
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        zel::test::signalProcess(victim->processId(), SIGKILL);
        victim->waitForFinished(10000);

        QString error;
        const std::vector<QByteArray> now =
            pxlibRecords(dir.file(QStringLiteral("SYNONYMS.DB")), &error);
        ASSERT_TRUE(error.isEmpty()) << "trial " << trial << ": " << error.toStdString();
        const bool isOld = now == m_before, isNew = now == m_after;
        ASSERT_TRUE(isOld || isNew) << "trial " << trial << ": a mix of old and new records";
        old += isOld;
        renewed += isNew;

        // A new file the kill left behind is cleared by the next start of the browser, which
        // finishes the work when the index files are not all there and otherwise only reads.
        QProcess again;
        again.start(zel::test::builtProgram(QStringLiteral("src/app/zel")),
                    {QStringLiteral("--headless"), QStringLiteral("--data"), dir.path()});
        ASSERT_TRUE(again.waitForFinished(60000));
        ASSERT_EQ(again.exitCode(), 0) << again.readAllStandardError().toStdString();
        EXPECT_TRUE(leftovers(dir.path()).isEmpty())
            << leftovers(dir.path()).join(u' ').toStdString();
        ASSERT_EQ(pxlibRecords(dir.file(QStringLiteral("SYNONYMS.DB"))), m_after);
    }
    RecordProperty("old", old);
    RecordProperty("new", renewed);
    std::cout << "of " << kTrials << " kills, " << old << " left the old table and " << renewed
              << " the new one\n";
}

// Readers started while another process re-indexes read under a shared lock: each sees the
// old table or the new one, whole, never records of both.
TEST_F(Trials, ReaderStartedDuringTheRewriteSeesOneTableWhole)
{
    const QString password = QStringLiteral("--password");
    std::unique_ptr<QProcess> dumpOld(
        startZeltool({QStringLiteral("dump"), m_pristine.file(QStringLiteral("SYNONYMS.DB")),
                      password, kPassword}));
    ASSERT_TRUE(dumpOld->waitForFinished(60000));
    const QByteArray oldCsv = dumpOld->readAllStandardOutput();

    TempDir timing;
    copyTables(m_pristine.path(), timing.path());
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProcess> full(startZeltool({QStringLiteral("reindex"), timing.path()}));
    ASSERT_TRUE(full->waitForFinished(60000));
    const qint64 runMs = std::max<qint64>(clock.elapsed(), 20);
    std::unique_ptr<QProcess> dumpNew(startZeltool(
        {QStringLiteral("dump"), timing.file(QStringLiteral("SYNONYMS.DB")), password, kPassword}));
    ASSERT_TRUE(dumpNew->waitForFinished(60000));
    const QByteArray newCsv = dumpNew->readAllStandardOutput();
    ASSERT_NE(oldCsv, newCsv);

    std::mt19937 random(8122026);
    std::uniform_int_distribution<qint64> delayUs(0, runMs * 1000);
    int sawOld = 0, sawNew = 0, keptOut = 0;
    for (int trial = 0; trial < 20; ++trial) {
        TempDir dir;
        copyTables(m_pristine.path(), dir.path());
        std::unique_ptr<QProcess> writer(startZeltool({QStringLiteral("reindex"), dir.path()}));
        ASSERT_TRUE(writer->waitForStarted(10000));
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        std::unique_ptr<QProcess> reader(
            startZeltool({QStringLiteral("dump"), dir.file(QStringLiteral("SYNONYMS.DB")), password,
                          kPassword, QStringLiteral("--locked")}));
        ASSERT_TRUE(reader->waitForFinished(60000));
        ASSERT_TRUE(writer->waitForFinished(60000));
        const QByteArray seen = reader->readAllStandardOutput();
        if (reader->exitCode() != 0) {
            // Only when the reader held the table first does the writer give up; the reader
            // itself never fails.
            FAIL() << "trial " << trial << ": " << reader->readAllStandardError().toStdString();
        }
        ASSERT_TRUE(seen == oldCsv || seen == newCsv) << "trial " << trial << ": a mixed table";
        sawOld += seen == oldCsv;
        sawNew += seen == newCsv;
        keptOut += writer->exitCode() != 0;
    }
    std::cout << "readers saw the old table " << sawOld << " times and the new one " << sawNew
              << " times; the writer found the table in use " << keptOut << " times\n";
}

} // namespace
