// The zel program as a separate process, copied beside a zel.ini of each test's own: the
// command line, the headless start and its messages, two copies over one data directory,
// and a copy killed while it writes the placeholder into the synonyms table.
#include "CsvReader.h"
#include "Fixture.h"
#include "ReportTestData.h"
#include "common/SampleDatabase.h"
#include "data/paradox/ParadoxFile.h"
#include "model/Schema.h"
#include "report/TRpPageList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

using namespace zel::data;
using namespace zel::model;
using zel::test::TempDir;

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out, err;
};

// A copy of the built program in a directory of its own, so that its zel.ini is ours, with a
// user and a system configuration directory of its own too: the machine's are never read.
class InstalledZel
{
public:
    InstalledZel()
    {
        QDir().mkpath(m_root.file(QStringLiteral("prog")));
        m_ok = QFile::copy(zel::test::builtProgram(QStringLiteral("src/app/zel")), program());
    }
    bool ok() const { return m_ok; }
    QString program() const { return m_root.file(QStringLiteral("prog/zel")); }
    QString dataDir() const { return m_root.file(QStringLiteral("db")); }
    QString dataFile(const QString& name) const { return dataDir() + QLatin1Char('/') + name; }
    QString root() const { return m_root.path(); }
    QString userConfig() const { return m_root.file(QStringLiteral("home/.config")); }
    QString systemConfig() const { return m_root.file(QStringLiteral("xdg")); }

    void writeIni(const QString& text) const
    {
        QFile f(m_root.file(QStringLiteral("prog/zel.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString(text).replace(QStringLiteral("%DATA%"), dataDir()).toUtf8());
    }

    // Sets up a process of the program without a display: a window it tried to show would
    // have nowhere to go, and --help must not need one.
    void prepare(QProcess& p, const QStringList& args,
                 const QString& platform = QStringLiteral("offscreen")) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        env.insert(QStringLiteral("HOME"), m_root.file(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), userConfig());
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), systemConfig());
        for (const auto& [name, value] : m_env)
            env.insert(name, value);
        p.setProcessEnvironment(env);
        p.setProgram(program());
        p.setArguments(args);
    }

    void setEnv(const QString& name, const QString& value) { m_env[name] = value; }

    Outcome run(const QStringList& args,
                const QString& platform = QStringLiteral("offscreen")) const
    {
        QProcess p;
        prepare(p, args, platform);
        p.start();
        Outcome o;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            o.err = QStringLiteral("did not end");
            return o;
        }
        o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        o.err = QString::fromLocal8Bit(p.readAllStandardError());
        return o;
    }

private:
    TempDir m_root;
    bool m_ok = false;
    std::map<QString, QString> m_env;
};

// The lines the program wrote as its own ("zel: ..."), leaving out what Qt says.
QStringList ownLines(const QString& err)
{
    QStringList lines;
    for (const QString& line : err.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("zel: ")))
            lines << line.mid(5);
    return lines;
}

QStringList passwords()
{
    return {QString::fromLatin1(schema::tablePassword())};
}

// The name of every synonym, by the rest of its record ("cas|supnr|price").
// Whether the process is writing a new copy of the table: a file of its own in the table's
// directory that has no name yet, or the hidden name it takes just before it replaces it.
bool writingBeside(qint64 pid, const QString& dir, const QString& table)
{
    for (const QString& held : zel::test::filesHeldUnder(pid, dir))
        if (held.endsWith(QLatin1String(" (deleted)")) ||
            QFileInfo(held).fileName().startsWith(QLatin1Char('.') + table))
            return true;
    return false;
}

std::map<QString, QString> namesByRecord(const QString& table)
{
    std::map<QString, QString> names;
    const TableData t = paradox::readTableFile(table, passwords());
    for (const auto& r : t.rows)
        names[r[0].toString() + u'|' + r[2].toString() + u'|' + r[3].toString()] = r[1].toString();
    return names;
}

TEST(ZelProcess, HelpAndVersionNeedNoDisplay)
{
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    // With the X11 platform and no display, any attempt to open a window would abort.
    const Outcome help = zel.run({QStringLiteral("--help")}, QStringLiteral("xcb"));
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: zel"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--headless")));
    const Outcome version = zel.run({QStringLiteral("--version")}, QStringLiteral("xcb"));
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("zel " ZEL_VERSION "\n"));
    const Outcome wrong = zel.run({QStringLiteral("--headless"), QStringLiteral("--bogus")});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(ownLines(wrong.err),
              QStringList{QStringLiteral("unknown argument --bogus (see zel --help)")});
}

TEST(ZelProcess, HeadlessStartReportsWhatItFound)
{
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    zel.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
    writeDatabase(zel.dataDir(), zel::test::smallContent());

    const Outcome first = zel.run({QStringLiteral("--headless")});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(ownLines(first.err), QStringList());
    EXPECT_TRUE(first.out.contains(QStringLiteral("Indexes: rebuilt\n")))
        << first.out.toStdString();
    for (const char* line :
         {"MATERIAL.DB: 6 records", "SYNONYMS.DB: 11 records", "SUPPLIER.DB: 4 records",
          "First material: alpha-Ionone (CAS 127-41-3)"})
        EXPECT_TRUE(first.out.contains(QString::fromLatin1(line))) << line << "\n"
                                                                   << first.out.toStdString();

    const Outcome second = zel.run({QStringLiteral("--headless")});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(second.out.contains(QStringLiteral("Indexes: present\n")))
        << second.out.toStdString();
}

struct FailureCase
{
    const char* name;
    const char* ini; // nullptr: no zel.ini at all
    bool tables;
    const char* message;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class HeadlessFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(HeadlessFailure, WritesTheMessageAndEndsWithStatus1)
{
    const FailureCase& c = GetParam();
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    if (c.ini)
        zel.writeIni(QString::fromLatin1(c.ini));
    QDir().mkpath(zel.dataDir());
    if (c.tables)
        writeDatabase(zel.dataDir(), zel::test::smallContent());
    const Outcome o = zel.run({QStringLiteral("--headless")});
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(ownLines(o.err).value(0), QString::fromLatin1(c.message)) << o.err.toStdString();
    EXPECT_EQ(o.out, QString()) << "nothing is reported after a failed start";
}

INSTANTIATE_TEST_SUITE_P(ZelProcess, HeadlessFailure,
                         ::testing::Values(FailureCase{"NoIni", nullptr, true,
                                                       "Internal error - cannot start program"},
                                           FailureCase{"NoPath", "[Database]\n", true,
                                                       "Internal error - cannot start program"},
                                           FailureCase{"NoTables", "[Database]\nPath=%DATA%\n",
                                                       false, "Database not found or corrupted"}),
                         [](const auto& param) { return std::string(param.param.name); });

// True while some other process holds a lock on the file: our exclusive one is refused.
bool heldElsewhere(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

// Processor time the process has used so far, in clock ticks.
long long cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name in parentheses may hold spaces; the fields after it are plain.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return f.size() > 12 ? f[11].toLongLong() + f[12].toLongLong() : -1;
}

// Waits until the process has done its start-up work (its tables read, its index files
// looked at) and idles in its event loop: its processor time stops growing.
void waitUntilIdle(qint64 pid)
{
    QElapsedTimer waited;
    waited.start();
    long long before = cpuTicks(pid);
    int still = 0;
    while (still < 5 && waited.elapsed() < 20000) {
        QThread::msleep(100);
        const long long now = cpuTicks(pid);
        still = now == before ? still + 1 : 0;
        before = now;
    }
}

// Two copies of the program over one data directory: the first browses, so the second
// cannot re-index; it says so and starts all the same.
TEST(ZelProcess, SecondCopyCannotReindexWhileTheFirstBrowses)
{
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    zel.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
    writeDatabase(zel.dataDir(), zel::test::smallContent());
    ASSERT_EQ(zel.run({QStringLiteral("--headless")}).exitCode, 0); // indexes built

    QProcess browser;
    zel.prepare(browser, {});
    browser.start();
    ASSERT_TRUE(browser.waitForStarted(10000));
    QElapsedTimer waited;
    waited.start();
    while (!heldElsewhere(zel.dataFile(QStringLiteral("SYNONYMS.DB"))) && waited.elapsed() < 20000)
        QThread::msleep(20);
    ASSERT_TRUE(heldElsewhere(zel.dataFile(QStringLiteral("SYNONYMS.DB"))))
        << "the first copy never opened the tables";
    // It reads its index files while it loads; only a copy that has finished may lose one.
    waitUntilIdle(browser.processId());

    ASSERT_TRUE(QFile::remove(zel.dataFile(QStringLiteral("material.idindex.zix"))));
    const Outcome second = zel.run({QStringLiteral("--headless")});
    EXPECT_EQ(second.exitCode, 3) << second.err.toStdString();
    EXPECT_EQ(ownLines(second.err).value(0), QStringLiteral("Cannot reindex file:synonyms.db"))
        << second.err.toStdString();
    EXPECT_TRUE(second.out.contains(QStringLiteral("Indexes: rebuild failed\n")))
        << second.out.toStdString();
    EXPECT_TRUE(second.out.contains(QStringLiteral("MATERIAL.DB: 6 records")))
        << second.out.toStdString();

    browser.kill();
    browser.waitForFinished();
    const Outcome third = zel.run({QStringLiteral("--headless")});
    EXPECT_EQ(third.exitCode, 0) << third.err.toStdString();
    EXPECT_TRUE(third.out.contains(QStringLiteral("Indexes: rebuilt\n")));
}

// Kills the program while it writes the placeholders into three empty names. The placeholders
// go into a new file that then replaces the table, so whenever the kill lands the table must
// be readable and complete, with every other name unchanged and the three names either all
// done or all still empty. The next start finishes the work.
TEST(ZelProcess, KilledDuringPlaceholderWriteLeavesSynonymsIntact)
{
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    zel.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
    // Large enough that writing and syncing a new table takes a while to watch for.
    DatabaseContent content = makeScaleContent(200, 20000, 20);
    for (size_t i = 0; i < content.synonyms.size(); ++i) // tells every record apart
        content.synonyms[i].price = QStringLiteral("P%1").arg(i);
    for (int i : {11, 9999, 17777})
        content.synonyms[static_cast<size_t>(i)].name.clear();
    writeDatabase(zel.dataDir(), content);
    const QString table = zel.dataFile(QStringLiteral("SYNONYMS.DB"));
    const std::map<QString, QString> before = namesByRecord(table);

    QProcess victim;
    zel.prepare(victim, {QStringLiteral("--headless")});
    victim.start();
    ASSERT_TRUE(victim.waitForStarted(10000));
    // Kill it as soon as a new table is being written beside the old one. When the program
    // has finished all three writes before the kill lands, the table must simply be complete.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000 && !victim.waitForFinished(0) &&
           !writingBeside(victim.processId(), zel.dataDir(), QStringLiteral("SYNONYMS.DB")))
        ;
    zel::test::signalProcess(victim.processId(), SIGKILL);
    victim.waitForFinished();

    const std::map<QString, QString> after = namesByRecord(table);
    ASSERT_EQ(after.size(), before.size());
    int placeholders = 0, empty = 0;
    for (const auto& [record, name] : before) {
        const auto it = after.find(record);
        ASSERT_NE(it, after.end()) << record.toStdString();
        if (name.isEmpty()) {
            placeholders += it->second == QStringLiteral("~");
            empty += it->second.isEmpty();
        } else {
            EXPECT_EQ(it->second, name) << record.toStdString();
        }
    }
    // One write replaced the table whole: all three names are done, or none is.
    EXPECT_EQ(placeholders + empty, 3);
    EXPECT_TRUE(placeholders == 0 || placeholders == 3) << placeholders;

    const Outcome again = zel.run({QStringLiteral("--headless")});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    // The placeholders are written in one pass, so the kill may land after re-indexing has
    // finished every table; otherwise the next start re-indexes.
    EXPECT_TRUE(again.out.contains(QStringLiteral("Indexes: rebuilt\n")) ||
                (placeholders == 3 && again.out.contains(QStringLiteral("Indexes: present\n"))))
        << again.out.toStdString();
    int left = 0;
    for (const auto& [record, name] : namesByRecord(table))
        left += name.isEmpty();
    EXPECT_EQ(left, 0);
}

// Headless report output: a data sheet as a PDF file without any window.
QString pdfText(const QString& pdf)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QString();
    QProcess p;
    p.start(tool, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(ZelProcess, WritesReportsAsPdfWithoutAWindow)
{
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    zel.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
    writeDatabase(zel.dataDir(), zel::test::smallContent());
    const QString material = zel.dataFile(QStringLiteral("linalool.pdf"));
    const Outcome m =
        zel.run({QStringLiteral("--material-report"), QStringLiteral("78-70-6"), material});
    ASSERT_EQ(m.exitCode, 0) << m.err.toStdString();
    QFile file(material);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
    const QString text = pdfText(material);
    if (!text.isEmpty()) {
        EXPECT_TRUE(text.contains(QStringLiteral("Linalool"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("IDENTITY")));
        EXPECT_TRUE(text.contains(QStringLiteral("Zest Lin")));
    }

    const QString supplier = zel.dataFile(QStringLiteral("s01.pdf"));
    const Outcome s =
        zel.run({QStringLiteral("--supplier-report"), QStringLiteral("S01"), supplier});
    ASSERT_EQ(s.exitCode, 0) << s.err.toStdString();
    const QString supplierText = pdfText(supplier);
    if (!supplierText.isEmpty()) {
        EXPECT_TRUE(supplierText.contains(QStringLiteral("Bergamot Trading")));
        EXPECT_TRUE(supplierText.contains(QStringLiteral("Page 1")));
    }

    const QString none = zel.dataFile(QStringLiteral("none.pdf"));
    const Outcome unknown =
        zel.run({QStringLiteral("--material-report"), QStringLiteral("1-11-1"), none});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("1-11-1"))) << unknown.err.toStdString();
    EXPECT_FALSE(QFile::exists(none)) << "a failed report leaves no file";
    const Outcome noSupplier =
        zel.run({QStringLiteral("--supplier-report"), QStringLiteral("S77"), none});
    EXPECT_EQ(noSupplier.exitCode, 1);
    EXPECT_FALSE(QFile::exists(none));
    const Outcome missingFile =
        zel.run({QStringLiteral("--material-report"), QStringLiteral("78-70-6")});
    EXPECT_EQ(missingFile.exitCode, 2);
}

// The texts of a material hold at most 148 characters: 29 short lines fill one.
QString lines29(const QString& tag)
{
    QStringList l;
    for (int i = 1; i <= 29; ++i)
        l << tag + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    return l.join(QStringLiteral("\r\n"));
}

// The same report saved as a report file and written as a PDF file breaks at the same places:
// the PDF's pages read as the saved pages do, row by row.
TEST(ZelProcess, WritesReportFilesWhosePagesMatchThePdf)
{
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    zel.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
    DatabaseContent content = zel::test::smallContent();
    MaterialRow texts;
    texts.name = QStringLiteral("Twentynine Lines");
    texts.cas = QStringLiteral("9000-29-0");
    texts.odour = lines29(QStringLiteral("o"));
    texts.performance = lines29(QStringLiteral("p"));
    texts.application = lines29(QStringLiteral("a"));
    texts.literature = lines29(QStringLiteral("l"));
    content.materials.push_back(texts);
    for (int i = 1; i <= 120; ++i)
        content.synonyms.push_back({QStringLiteral("78-70-6"),
                                    QStringLiteral("Name %1").arg(i),
                                    QStringLiteral("S03"),
                                    {}});
    writeDatabase(zel.dataDir(), content);

    struct Case
    {
        const char* option;
        const char* key;
        int pages;
    };
    for (const Case c :
         {Case{"--material-report", "9000-29-0", 3}, Case{"--supplier-report", "S03", 3}}) {
        SCOPED_TRACE(c.key);
        const QString frp = zel.dataFile(QStringLiteral("sheet.FRP"));
        const QString pdf = zel.dataFile(QStringLiteral("sheet.pdf"));
        for (const QString& file : {frp, pdf}) {
            const Outcome o =
                zel.run({QString::fromLatin1(c.option), QString::fromLatin1(c.key), file});
            ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
            EXPECT_TRUE(o.out.contains(QStringLiteral("Wrote"))) << o.out.toStdString();
        }
        zel::report::TRpPageList saved;
        saved.load(frp);
        ASSERT_EQ(saved.pageCount(), c.pages);
        if (zel::test::pdftotext().isEmpty())
            continue;
        const zel::test::Document printed = zel::test::rowsOfPdf(pdf);
        ASSERT_EQ(int(printed.size()), saved.pageCount());
        for (int n = 1; n <= saved.pageCount(); ++n)
            EXPECT_EQ(printed[std::size_t(n - 1)], zel::test::rowsOf(*saved.page(n)))
                << "page " << n;
    }

    // Any other extension is a usage error, and a report that cannot be made leaves no file.
    const QString text = zel.dataFile(QStringLiteral("sheet.txt"));
    const Outcome wrong =
        zel.run({QStringLiteral("--material-report"), QStringLiteral("78-70-6"), text});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("sheet.txt"))) << wrong.err.toStdString();
    EXPECT_FALSE(QFile::exists(text));
    const QString none = zel.dataFile(QStringLiteral("none.frp"));
    const Outcome unknown =
        zel.run({QStringLiteral("--material-report"), QStringLiteral("1-11-1"), none});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_FALSE(QFile::exists(none));
}

// Which zel.ini a start reads: the "Configuration:" line of a headless start names it.
struct LookupCase
{
    const char* name;
    bool beside, user, system;
    QStringList args; // %NAMED% is a zel.ini of its own elsewhere, %DATA% the data directory
    std::map<QString, QString> env;
    const char* expected; // beside, user, system, named, none (read no file); nullptr: fails
    QStringList listed;   // on failure, the places named on standard error
};

void PrintTo(const LookupCase& c, std::ostream* os)
{
    *os << c.name;
}

class ConfigurationLookup : public ::testing::TestWithParam<LookupCase>
{
};

TEST_P(ConfigurationLookup, ReadsTheFirstZelIniFound)
{
    const LookupCase& c = GetParam();
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    writeDatabase(zel.dataDir(), zel::test::smallContent());
    const std::map<QString, QString> places{
        {QStringLiteral("beside"), zel.root() + QStringLiteral("/prog/zel.ini")},
        {QStringLiteral("user"), zel.userConfig() + QStringLiteral("/zel/zel.ini")},
        {QStringLiteral("system"), zel.systemConfig() + QStringLiteral("/zel/zel.ini")},
        {QStringLiteral("named"), zel.root() + QStringLiteral("/named.ini")},
    };
    const auto write = [&](const QString& which) {
        const QString path = places.at(which);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[Database]\nPath=%1\n").arg(zel.dataDir()).toUtf8());
    };
    if (c.beside)
        write(QStringLiteral("beside"));
    if (c.user)
        write(QStringLiteral("user"));
    if (c.system)
        write(QStringLiteral("system"));
    write(QStringLiteral("named"));
    const auto fill = [&](QString text) {
        return text.replace(QStringLiteral("%NAMED%"), places.at(QStringLiteral("named")))
            .replace(QStringLiteral("%DATA%"), zel.dataDir())
            .replace(QStringLiteral("%ROOT%"), zel.root());
    };
    QStringList args{QStringLiteral("--headless")};
    for (const QString& a : c.args)
        args << fill(a);
    for (const auto& [name, value] : c.env)
        zel.setEnv(name, fill(value));

    const Outcome o = zel.run(args);
    if (!c.expected) {
        EXPECT_EQ(o.exitCode, 1) << o.out.toStdString();
        QStringList expected{QStringLiteral("Internal error - cannot start program"),
                             QStringLiteral("(no zel.ini found)"),
                             QStringLiteral("looked for zel.ini in:")};
        for (const QString& place : c.listed)
            expected << QStringLiteral("  ") + fill(place);
        EXPECT_EQ(ownLines(o.err), expected) << o.err.toStdString();
        return;
    }
    EXPECT_EQ(o.exitCode, 0) << o.err.toStdString();
    const QString read = QString::fromLatin1(c.expected) == QLatin1String("none")
                             ? QStringLiteral("(none)")
                             : places.at(QString::fromLatin1(c.expected));
    EXPECT_TRUE(o.out.contains(QStringLiteral("Configuration: ") + read + u'\n'))
        << o.out.toStdString();
    EXPECT_TRUE(o.out.contains(QStringLiteral("MATERIAL.DB: 6 records"))) << o.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    ZelProcess, ConfigurationLookup,
    ::testing::Values(
        LookupCase{"BesideTheProgramFirst", true, true, true, {}, {}, "beside", {}},
        LookupCase{"ThenTheUsers", false, true, true, {}, {}, "user", {}},
        LookupCase{"ThenTheSystems", false, false, true, {}, {}, "system", {}},
        LookupCase{"UserDirectoryFromHomeWhenRelative",
                   false,
                   true,
                   true,
                   {},
                   {{QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("relative/dir")}},
                   "user",
                   {}},
        LookupCase{"LaterSystemDirectory",
                   false,
                   false,
                   true,
                   {},
                   {{QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("%ROOT%/none:%ROOT%/xdg")}},
                   "system",
                   {}},
        LookupCase{"NoneFoundNamesEveryPlace",
                   false,
                   false,
                   false,
                   {},
                   {{QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("%ROOT%/a:rel:%ROOT%/b")}},
                   nullptr,
                   {QStringLiteral("%ROOT%/prog/zel.ini"),
                    QStringLiteral("%ROOT%/home/.config/zel/zel.ini"),
                    QStringLiteral("%ROOT%/a/zel/zel.ini"),
                    QStringLiteral("%ROOT%/b/zel/zel.ini")}},
        LookupCase{"ConfigNamesOne",
                   true,
                   true,
                   true,
                   {QStringLiteral("--config"), QStringLiteral("%NAMED%")},
                   {},
                   "named",
                   {}},
        LookupCase{"ConfigNamesAMissingOne",
                   true,
                   true,
                   true,
                   {QStringLiteral("--config"), QStringLiteral("%ROOT%/absent.ini")},
                   {},
                   nullptr,
                   {QStringLiteral("%ROOT%/absent.ini")}},
        LookupCase{"DataReadsNoIni",
                   true,
                   true,
                   true,
                   {QStringLiteral("--data"), QStringLiteral("%DATA%")},
                   {},
                   "none",
                   {}},
        LookupCase{"DataWithoutAnyIni",
                   false,
                   false,
                   false,
                   {QStringLiteral("--data"), QStringLiteral("%DATA%")},
                   {},
                   "none",
                   {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ZelProcess, HelpNamesThePlacesLookedAt)
{
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    const Outcome help = zel.run({QStringLiteral("--help")});
    for (const char* text :
         {"XDG_CONFIG_HOME", "~/.config/zel/", "XDG_CONFIG_DIRS", "/etc/xdg/zel/", "--config FILE",
          "--data DIR", "--export-list FILE.csv"})
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(text))) << text;
}

// The headless export writes every material in name order, each row as long as the header.
TEST(ZelProcess, ExportsEveryMaterialWithoutAWindow)
{
    InstalledZel zel;
    ASSERT_TRUE(zel.ok());
    writeDatabase(zel.dataDir(), zel::test::smallContent());
    const QString csv = zel.root() + QStringLiteral("/all materials.csv");
    const Outcome o =
        zel.run({QStringLiteral("--data"), zel.dataDir(), QStringLiteral("--export-list"), csv});
    ASSERT_EQ(o.exitCode, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains(QStringLiteral("Wrote 6 materials to "))) << o.out.toStdString();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const zel::test::CsvTable table = zel::test::readCsv(bytes.mid(3));
    ASSERT_TRUE(table.ok);
    ASSERT_EQ(table.rows.size(), 7);
    QStringList names;
    for (const QStringList& row : table.rows) {
        EXPECT_EQ(row.size(), 8 + 33);
        names << row.value(1);
    }
    EXPECT_EQ(names,
              (QStringList{"name", "alpha-Ionone", "Coumarin", QStringLiteral("G\u00e9raniol"),
                           "Linalool", "Vanillin", "Zingerone"}));
    // Vanillin's stability "0122...": the ratings as the grid shows them.
    EXPECT_EQ(table.rows.at(5).mid(8, 4), (QStringList{"-", "+", "++", "++"}));
    EXPECT_EQ(table.rows.at(0).at(8), QStringLiteral("pH  1:"));

    // A file that cannot be written is refused with the reason, and nothing is left.
    const QString nowhere = zel.root() + QStringLiteral("/absent/list.csv");
    const Outcome failed = zel.run(
        {QStringLiteral("--data"), zel.dataDir(), QStringLiteral("--export-list"), nowhere});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(ownLines(failed.err).value(0).startsWith(QStringLiteral("Cannot ")))
        << failed.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(nowhere).absolutePath()));
    const Outcome missing = zel.run({QStringLiteral("--export-list")});
    EXPECT_EQ(missing.exitCode, 2);
}

} // namespace
