// The zel and zeltool programs as separate processes, run the way a hurried user runs them:
// command lines with mistakes and no display, reports written to pipes, devices, directories
// and read-only files, configuration files that are not files, and reports cut short by a
// signal. Device nodes are made in scratch directories, never taken from the machine's /dev.
#include "Fixture.h"
#include "common/SampleDatabase.h"
#include "data/paradox/ParadoxFile.h"
#include "model/Schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace zel::data;
using namespace zel::model;
using zel::test::TempDir;

namespace {

struct Outcome
{
    int exitCode = -1;
    bool crashed = false;
    QString out, err;
};

// Where standard output goes: back to the test, a full device, or a pipe whose reader has gone
// before the program writes a byte.
enum class Sink
{
    Captured,
    FullDevice,
    ClosedPipe
};

QByteArray p(const QString& path)
{
    return QFile::encodeName(path);
}

// A copy of the built program beside a zel.ini of the test's own, run without a display and
// with private temporary and runtime directories, so that whatever it leaves there is seen.
class Workspace
{
public:
    Workspace()
    {
        QDir().mkpath(file(QStringLiteral("prog")));
        QDir().mkpath(tmp());
        QDir().mkpath(file(QStringLiteral("runtime")));
        ::chmod(p(file(QStringLiteral("runtime"))).constData(), 0700);
        QDir().mkpath(out());
        m_ok = QFile::copy(zel::test::builtProgram(QStringLiteral("src/app/zel")),
                           file(QStringLiteral("prog/zel")));
    }
    bool ok() const { return m_ok; }
    QString file(const QString& name) const { return m_root.file(name); }
    QString root() const { return m_root.path(); }
    QString tmp() const { return file(QStringLiteral("tmp")); }
    QString out() const { return file(QStringLiteral("out")); }
    QString dataDir() const { return file(QStringLiteral("db")); }
    QString ini() const { return file(QStringLiteral("prog/zel.ini")); }

    void writeIni(const QString& text) const
    {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QString(text).replace(QStringLiteral("%DATA%"), dataDir()).toUtf8());
    }

    void prepare(QProcess& proc, const QString& program, const QStringList& args,
                 const QString& platform = QStringLiteral("offscreen")) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!platform.isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        env.insert(QStringLiteral("TMPDIR"), tmp());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), file(QStringLiteral("runtime")));
        proc.setProcessEnvironment(env);
        proc.setProgram(program);
        proc.setArguments(args);
    }

    Outcome run(const QStringList& args, const QString& platform = QStringLiteral("offscreen"),
                const QString& program = QString(), Sink sink = Sink::Captured) const
    {
        QProcess proc;
        prepare(proc, program.isEmpty() ? file(QStringLiteral("prog/zel")) : program, args,
                platform);
        int pipeEnds[2] = {-1, -1};
        if (sink == Sink::FullDevice) {
            ::mknod(p(file(QStringLiteral("full"))).constData(), S_IFCHR | 0666, makedev(1, 7));
            proc.setStandardOutputFile(file(QStringLiteral("full")));
        } else if (sink == Sink::ClosedPipe && ::pipe2(pipeEnds, O_CLOEXEC) == 0) {
            ::close(pipeEnds[0]);
            proc.setChildProcessModifier([fd = pipeEnds[1]] { ::dup2(fd, STDOUT_FILENO); });
        }
        proc.start();
        const auto closePipe = qScopeGuard([&] {
            if (pipeEnds[1] >= 0)
                ::close(pipeEnds[1]);
        });
        Outcome o;
        if (!proc.waitForFinished(60000)) {
            proc.kill();
            proc.waitForFinished();
            o.err = QStringLiteral("did not end");
            return o;
        }
        o.crashed = proc.exitStatus() != QProcess::NormalExit;
        o.exitCode = o.crashed ? -1 : proc.exitCode();
        o.out = QString::fromLocal8Bit(proc.readAllStandardOutput());
        o.err = QString::fromLocal8Bit(proc.readAllStandardError());
        return o;
    }

private:
    TempDir m_root;
    bool m_ok = false;
};

QString zeltool()
{
    return zel::test::builtProgram(QStringLiteral("tools/zeltool"));
}

// The program's own lines on standard error, without what the toolkit says.
QString ownLines(const QString& err, const QString& program = QStringLiteral("zel"))
{
    QStringList lines;
    for (const QString& line : err.split(QLatin1Char('\n')))
        if (line.startsWith(program + QStringLiteral(": ")))
            lines << line;
    return lines.join(QLatin1Char('\n'));
}

struct UsageCase
{
    const char* name;
    QStringList args;
    const char* message; // the whole line after "zel: "
};

void PrintTo(const UsageCase& c, std::ostream* os)
{
    *os << c.name;
}

class Usage : public ::testing::TestWithParam<UsageCase>
{
};

// With the X11 platform and no display, making the application object would abort: every
// usage error must be found before that, and end with status 2 and its own message.
TEST_P(Usage, ErrorsEndWithStatus2AndTheirMessageWithoutADisplay)
{
    const UsageCase& c = GetParam();
    Workspace s;
    ASSERT_TRUE(s.ok());
    const Outcome o = s.run(c.args, QStringLiteral("xcb"));
    EXPECT_EQ(o.exitCode, 2) << o.err.toStdString();
    EXPECT_EQ(ownLines(o.err),
              QStringLiteral("zel: %1 (see zel --help)").arg(QString::fromUtf8(c.message)));
    EXPECT_EQ(o.out, QString());
    EXPECT_EQ(zel::test::entriesOf(s.out()), QStringList()) << "nothing is written";
}

QStringList words(std::initializer_list<const char*> list)
{
    QStringList l;
    for (const char* a : list)
        l << QString::fromUtf8(a);
    return l;
}

INSTANTIATE_TEST_SUITE_P(
    ZelCommandLine, Usage,
    ::testing::Values(
        UsageCase{"Unknown", words({"--bogus"}), "unknown argument --bogus"},
        UsageCase{"ReportWithoutValues", words({"--material-report"}),
                  "--material-report needs a CAS number and a file name"},
        UsageCase{"ReportWithoutFile", words({"--supplier-report", "S01"}),
                  "--supplier-report needs a supplier number and a file name"},
        UsageCase{"ReportValuesTakenByAnOption", words({"--material-report", "--headless"}),
                  "--material-report needs a CAS number and a file name"},
        UsageCase{
            "TwoReports",
            words({"--material-report", "78-70-6", "a.pdf", "--supplier-report", "S01", "b.pdf"}),
            "--material-report and --supplier-report cannot be given together; one "
            "report is written at a time"},
        UsageCase{"SameReportTwice",
                  words({"--supplier-report", "S01", "a.pdf", "--supplier-report", "S02", "b.pdf"}),
                  "--supplier-report is given twice; one report is written at a time"},
        UsageCase{"OtherFormat", words({"--material-report", "78-70-6", "a.txt"}),
                  "a.txt is neither a PDF file (.pdf), nor a report file (.frp), nor a pipe or a "
                  "device"},
        UsageCase{"ToolkitOptionWithoutValue", words({"-platform"}), "-platform needs a value"}),
    [](const auto& param) { return std::string(param.param.name); });

// What stands where the headless report is to be written.
enum class Target
{
    PipeWithReader,
    PipeWithoutReader,
    NullDevice,
    FullDevice,
    Directory,
    ReadOnlyFile,
    ExistingFile,
};

struct ReportOutputCase
{
    const char* name;
    Target target;
    int exitCode;
    const char* message; // a part of standard error; nullptr for none
    const char* file = "report.pdf";
};

void PrintTo(const ReportOutputCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReportOutput : public ::testing::TestWithParam<ReportOutputCase>
{
};

TEST_P(ReportOutput, GoesStraightIntoPipesAndDevicesAndNeverReplacesThem)
{
    const ReportOutputCase& c = GetParam();
    Workspace s;
    ASSERT_TRUE(s.ok());
    s.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
    writeDatabase(s.dataDir(), zel::test::smallContent());
    const QString target = s.out() + QLatin1Char('/') + QLatin1String(c.file);
    std::future<QByteArray> reader;
    switch (c.target) {
    case Target::PipeWithReader:
        ASSERT_EQ(::mkfifo(p(target).constData(), 0600), 0);
        reader = zel::test::readPipeInBackground(target);
        break;
    case Target::PipeWithoutReader:
        ASSERT_EQ(::mkfifo(p(target).constData(), 0600), 0);
        break;
    case Target::NullDevice:
    case Target::FullDevice:
        if (::mknod(p(target).constData(), S_IFCHR | 0666,
                    makedev(1, c.target == Target::NullDevice ? 3 : 7)) != 0)
            GTEST_SKIP() << "cannot make device nodes here";
        break;
    case Target::Directory:
        ASSERT_TRUE(QDir().mkpath(target));
        break;
    case Target::ReadOnlyFile:
    case Target::ExistingFile: {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.close();
        ::chmod(p(target).constData(), c.target == Target::ReadOnlyFile ? 0444 : 0640);
        break;
    }
    }
    struct stat before
    {
    };
    ASSERT_EQ(::lstat(p(target).constData(), &before), 0);

    const Outcome o =
        s.run({QStringLiteral("--material-report"), QStringLiteral("78-70-6"), target});
    EXPECT_EQ(o.exitCode, c.exitCode) << o.err.toStdString();
    if (c.message) {
        EXPECT_TRUE(o.err.contains(QLatin1String(c.message))) << o.err.toStdString();
    }
    if (reader.valid()) {
        EXPECT_TRUE(reader.get().startsWith("%PDF-"));
    }
    struct stat after
    {
    };
    ASSERT_EQ(::lstat(p(target).constData(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT) << "the target keeps its kind";
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777) << "and its permissions";
    if (c.target == Target::ReadOnlyFile) {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("old"));
    }
    EXPECT_EQ(zel::test::entriesOf(s.out()), QStringList{QLatin1String(c.file)});
}

INSTANTIATE_TEST_SUITE_P(
    ZelReport, ReportOutput,
    ::testing::Values(
        ReportOutputCase{"PipeWithAReader", Target::PipeWithReader, 0, nullptr},
        ReportOutputCase{"PipeWithoutAReader", Target::PipeWithoutReader, 1, "No program reads"},
        ReportOutputCase{"NullDevice", Target::NullDevice, 0, nullptr},
        // As --help says: a device is written into whatever its name.
        ReportOutputCase{"NullDeviceOfAnyName", Target::NullDevice, 0, nullptr, "null"},
        ReportOutputCase{"FullDevice", Target::FullDevice, 1, "No space left on device"},
        ReportOutputCase{"Directory", Target::Directory, 1, "is a directory"},
        ReportOutputCase{"ReadOnlyFile", Target::ReadOnlyFile, 1, "is read-only"},
        ReportOutputCase{"ExistingFileKeepsItsMode", Target::ExistingFile, 0, nullptr}),
    [](const auto& param) { return std::string(param.param.name); });

struct StartCase
{
    const char* name;
    std::function<void(const Workspace&)> prepare;
    const char* box;   // the fixed text of the message
    const char* cause; // a part of the precise reason on the next line
};

void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

class StartFailure : public ::testing::TestWithParam<StartCase>
{
};

// The start-up message keeps its fixed text; the line after it says what really happened.
TEST_P(StartFailure, NamesTheRealCauseAfterTheFixedMessage)
{
    const StartCase& c = GetParam();
    Workspace s;
    ASSERT_TRUE(s.ok());
    writeDatabase(s.dataDir(), zel::test::smallContent());
    c.prepare(s);
    auto result =
        std::async(std::launch::async, [&s] { return s.run({QStringLiteral("--headless")}); });
    ASSERT_EQ(result.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    const Outcome o = result.get();
    EXPECT_EQ(o.exitCode, 1) << o.err.toStdString();
    // Re-indexing may speak first; the start-up message is the last one.
    const QStringList lines = ownLines(o.err).split(QLatin1Char('\n'));
    const qsizetype box = lines.indexOf(QStringLiteral("zel: ") + QString::fromUtf8(c.box));
    ASSERT_GE(box, 0) << o.err.toStdString();
    ASSERT_LT(box + 1, lines.size()) << o.err.toStdString();
    EXPECT_TRUE(lines[box + 1].contains(QString::fromUtf8(c.cause))) << o.err.toStdString();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

INSTANTIATE_TEST_SUITE_P(
    ZelStart, StartFailure,
    ::testing::Values(
        StartCase{"IniMissing", [](const Workspace&) {}, "Internal error - cannot start program",
                  "no zel.ini found"},
        StartCase{"IniWithoutPath",
                  [](const Workspace& s) { s.writeIni(QStringLiteral("[Help]\nFile Name=x\n")); },
                  "Internal error - cannot start program", "[Database] Path is missing or empty"},
        StartCase{"IniIsADirectory", [](const Workspace& s) { QDir().mkpath(s.ini()); },
                  "Internal error - cannot start program", "is a directory"},
        StartCase{"IniIsAPipe", [](const Workspace& s) { ::mkfifo(p(s.ini()).constData(), 0600); },
                  "Internal error - cannot start program", "is a named pipe"},
        StartCase{"IniTooLarge",
                  [](const Workspace& s) {
                      writeBytes(s.ini(), "[Database]\nPath=" + p(s.dataDir()) + "\n" +
                                              QByteArray(2 << 20, ';'));
                  },
                  "Internal error - cannot start program", "is larger than 1048576 bytes"},
        StartCase{"NoDataDirectory",
                  [](const Workspace& s) {
                      s.writeIni(QStringLiteral("[Database]\nPath=%DATA%/absent\n"));
                  },
                  "Database not found or corrupted", "does not exist"},
        StartCase{"TableIsAPipe",
                  [](const Workspace& s) {
                      s.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
                      const QString table = s.dataDir() + QStringLiteral("/SUPPLIER.DB");
                      QFile::remove(table);
                      ::mkfifo(p(table).constData(), 0600);
                  },
                  "Database not found or corrupted", "is a named pipe, not a table file"},
        StartCase{"WrongTablePassword",
                  [](const Workspace& s) {
                      s.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
                      const QString table = s.dataDir() + QStringLiteral("/SUPPLIER.DB");
                      const TableData data = paradox::readTableFile(
                          table, {QString::fromLatin1(schema::tablePassword())});
                      paradox::writeTableFile(table, data, QStringLiteral("another"));
                  },
                  "Database not found or corrupted", "the one given is wrong"}),
    [](const auto& param) { return std::string(param.param.name); });

struct UnprivilegedCase
{
    const char* name;
    std::function<void(const Workspace&)> prepare;
    QStringList args;
    int exitCode;
    const char* message; // a part of standard error
};

void PrintTo(const UnprivilegedCase& c, std::ostream* os)
{
    *os << c.name;
}

class Unprivileged : public ::testing::TestWithParam<UnprivilegedCase>
{
};

// Permissions mean nothing to root, so these cases run the program as the user nobody.
TEST_P(Unprivileged, PermissionDeniedIsToldApartFromNotFound)
{
    const UnprivilegedCase& c = GetParam();
    const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
    if (::geteuid() != 0 || runuser.isEmpty())
        GTEST_SKIP() << "needs root and runuser to run as another user";
    QProcess id;
    id.start(QStringLiteral("id"), {QStringLiteral("-u"), QStringLiteral("nobody")});
    if (!id.waitForFinished() || id.exitCode() != 0)
        GTEST_SKIP() << "there is no user nobody to run as";
    Workspace s;
    ASSERT_TRUE(s.ok());
    writeDatabase(s.dataDir(), zel::test::smallContent());
    s.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
    // Everything readable and writable by nobody, then each case takes away what it tests.
    // Only the workspace's own directory, never anything above it.
    const QString root = s.root();
    ASSERT_TRUE(root.contains(QLatin1String("zeltest-"))) << root.toStdString();
    QProcess::execute(QStringLiteral("chmod"),
                      {QStringLiteral("-R"), QStringLiteral("a+rwX"), QStringLiteral("--"), root});
    c.prepare(s);
    QStringList args{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                     s.file(QStringLiteral("prog/zel"))};
    QStringList rest;
    for (QString a : c.args)
        rest << a.replace(QStringLiteral("OUT"), s.out());
    const Outcome o = s.run(args + rest, QStringLiteral("offscreen"), runuser);
    EXPECT_EQ(o.exitCode, c.exitCode) << o.err.toStdString();
    EXPECT_TRUE(ownLines(o.err).contains(QLatin1String(c.message))) << o.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    ZelStart, Unprivileged,
    ::testing::Values(
        UnprivilegedCase{"UnreadableIni",
                         [](const Workspace& s) { ::chmod(p(s.ini()).constData(), 0); },
                         {QStringLiteral("--headless")},
                         1,
                         "Cannot open the configuration file"},
        UnprivilegedCase{"UnreadableDataDirectory",
                         [](const Workspace& s) { ::chmod(p(s.dataDir()).constData(), 0); },
                         {QStringLiteral("--headless")},
                         1,
                         "Cannot read the data directory"},
        UnprivilegedCase{"UnreadableTable",
                         [](const Workspace& s) {
                             ::chmod(p(s.dataDir() + QStringLiteral("/MATERIAL.DB")).constData(),
                                     0);
                         },
                         {QStringLiteral("--headless")},
                         1,
                         "MATERIAL.DB: Permission denied"},
        UnprivilegedCase{"ReportIntoAReadOnlyDirectory",
                         [](const Workspace& s) { ::chmod(p(s.out()).constData(), 0555); },
                         {QStringLiteral("--material-report"), QStringLiteral("78-70-6"),
                          QStringLiteral("OUT/r.pdf")},
                         1,
                         "is not writable"}),
    [](const auto& param) { return std::string(param.param.name); });

// A long report stopped by each signal: the program ends (with 128 + the signal for those it
// can catch), and neither the private temporary directory nor the output directory holds
// anything afterwards, not even after SIGKILL.
class Interrupted : public ::testing::TestWithParam<std::tuple<int, const char*>>
{
protected:
    static void SetUpTestSuite()
    {
        s_setup = new Workspace;
        s_setup->writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
        // One supplier with every commercial name: a report of thousands of pages.
        writeDatabase(s_setup->dataDir(), makeScaleContent(200, 100000, 1));
    }
    static void TearDownTestSuite()
    {
        delete s_setup;
        s_setup = nullptr;
    }
    static Workspace* s_setup;
};

Workspace* Interrupted::s_setup = nullptr;

// True once the process holds a file open under dir.
bool holdsFileUnder(qint64 pid, const QString& dir)
{
    return !zel::test::filesHeldUnder(pid, dir).isEmpty();
}

TEST_P(Interrupted, LeavesNothingBehind)
{
    const auto [signal, suffix] = GetParam();
    Workspace& s = *s_setup;
    ASSERT_TRUE(s.ok());
    const QString target = s.out() + QStringLiteral("/report.") + QLatin1String(suffix);
    QProcess proc;
    s.prepare(proc, s.file(QStringLiteral("prog/zel")),
              {QStringLiteral("--supplier-report"), QStringLiteral("S001"), target});
    proc.start();
    ASSERT_TRUE(proc.waitForStarted());
    // The report file is gathered in the page store, which moves to the temporary directory;
    // a PDF file is written beside its target. Either way the signal comes in the middle.
    const QString watched = QLatin1String(suffix) == QLatin1String("frp") ? s.tmp() : s.out();
    QElapsedTimer waited;
    waited.start();
    while (!holdsFileUnder(proc.processId(), watched) && waited.elapsed() < 30000 &&
           proc.state() == QProcess::Running)
        QThread::msleep(2);
    ASSERT_EQ(proc.state(), QProcess::Running) << "the report ended before the signal";
    ASSERT_TRUE(holdsFileUnder(proc.processId(), watched));
    zel::test::signalProcess(proc.processId(), signal);
    ASSERT_TRUE(proc.waitForFinished(30000));
    if (signal == SIGKILL) {
        EXPECT_EQ(proc.exitStatus(), QProcess::CrashExit);
    } else {
        EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(proc.exitCode(), 128 + signal);
        EXPECT_TRUE(QString::fromLocal8Bit(proc.readAllStandardError())
                        .contains(QLatin1String("zel: interrupted")));
    }
    EXPECT_EQ(zel::test::entriesOf(s.tmp()), QStringList());
    EXPECT_EQ(zel::test::entriesOf(s.out()), QStringList());
}

INSTANTIATE_TEST_SUITE_P(ZelReport, Interrupted,
                         ::testing::Combine(::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGKILL),
                                            ::testing::Values("frp", "pdf")),
                         [](const auto& param) {
                             const int signal = std::get<0>(param.param);
                             return std::string(signal == SIGINT    ? "SIGINT"
                                                : signal == SIGTERM ? "SIGTERM"
                                                : signal == SIGHUP  ? "SIGHUP"
                                                                    : "SIGKILL") +
                                    "_" + std::get<1>(param.param);
                         });

struct ToolCase
{
    const char* name;
    // FILE stands for a saved report file, OUT for the output in a scratch dir, DATA for a data
    // directory (which zel.ini names)
    QStringList args;
    int exitCode;
    const char* message;
    Sink sink = Sink::Captured;
    bool zel = false; // instead of zeltool
    const char* platform = "offscreen";
};

void PrintTo(const ToolCase& c, std::ostream* os)
{
    *os << c.name;
}

class Tool : public ::testing::TestWithParam<ToolCase>
{
};

// zeltool reads report files without waiting on pipes, writes to standard output where it
// offers "-", and bounds the sizes it is asked for. Both programs end with one status for each
// kind of failure, output lost on standard output included; without a display zel says so.
TEST_P(Tool, RefusesAtOnceOrWritesWhereAsked)
{
    const ToolCase& c = GetParam();
    Workspace s;
    if (c.sink == Sink::FullDevice &&
        ::mknod(p(s.file(QStringLiteral("full"))).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "cannot make device nodes here";
    s.writeIni(QStringLiteral("[Database]\nPath=%DATA%\n"));
    writeDatabase(s.dataDir(), zel::test::smallContent());
    const QString report = s.file(QStringLiteral("demo.frp"));
    ASSERT_EQ(s.run({QStringLiteral("report"), QStringLiteral("demo"), report},
                    QStringLiteral("offscreen"), zeltool())
                  .exitCode,
              0);
    const QString pipe = s.file(QStringLiteral("pipe.frp"));
    ASSERT_EQ(::mkfifo(p(pipe).constData(), 0600), 0);
    QStringList args;
    for (QString a : c.args)
        args << a.replace(QStringLiteral("FILE"), report)
                    .replace(QStringLiteral("PIPE"), pipe)
                    .replace(QStringLiteral("DATA"), s.dataDir())
                    .replace(QStringLiteral("OUT"), s.out());
    auto result = std::async(std::launch::async, [&] {
        return s.run(args, QLatin1String(c.platform), c.zel ? QString() : zeltool(), c.sink);
    });
    ASSERT_EQ(result.wait_for(std::chrono::seconds(60)), std::future_status::ready)
        << "zeltool waited";
    const Outcome o = result.get();
    EXPECT_FALSE(o.crashed);
    EXPECT_EQ(o.exitCode, c.exitCode) << o.err.toStdString();
    if (c.message) {
        EXPECT_TRUE(o.err.contains(QLatin1String(c.message))) << o.err.toStdString();
    }
    if (args.endsWith(QStringLiteral("-")) && c.exitCode == 0) {
        EXPECT_GT(o.out.size(), 128) << "the output went to standard output";
        if (args.contains(QStringLiteral("pdf"))) {
            EXPECT_TRUE(o.out.startsWith(QLatin1String("%PDF-")));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Zeltool, Tool,
    ::testing::Values(
        ToolCase{"InfoOfAPipe", words({"report", "info", "PIPE"}), 1,
                 "is a named pipe, not a report file"},
        ToolCase{"PdfOfAPipe", words({"report", "pdf", "PIPE", "OUT/a.pdf"}), 1, "is a named pipe"},
        ToolCase{"PdfToStandardOutput", words({"report", "pdf", "FILE", "-"}), 0, nullptr},
        ToolCase{"UnpackToStandardOutput", words({"report", "unpack", "FILE", "-"}), 0, nullptr},
        ToolCase{"PdfToADirectory", words({"report", "pdf", "FILE", "OUT"}), 1, "is a directory"},
        ToolCase{"ScaleTooLarge", words({"scale", "OUT/db", "--materials", "2000000000"}), 2,
                 "more than the 100000"},
        ToolCase{"ScaleNotANumber", words({"scale", "OUT/db", "--synonyms", "many"}), 2,
                 "needs a number from 0 to 500000"},
        ToolCase{"ScaleWithoutValue", words({"scale", "OUT/db", "--suppliers"}), 2,
                 "--suppliers needs a number"},
        // Every command alike: a missing, empty, unknown or extra argument is a usage error.
        ToolCase{"DumpWithoutTable", words({"dump"}), 2, "dump needs one table file"},
        ToolCase{"DumpUnknownOption", words({"dump", "FILE", "--bogus"}), 2,
                 "unknown option --bogus"},
        ToolCase{"DumpPasswordWithoutValue", words({"dump", "FILE", "--password"}), 2,
                 "--password needs a value"},
        // An empty directory is no usage of "/" (which "" + "/" would be).
        ToolCase{"ReindexEmptyDirectory", words({"reindex", ""}), 2, "needs one data directory"},
        ToolCase{"SampleEmptyDirectory", words({"sample", ""}), 2, "needs one target directory"},
        ToolCase{"LockWithoutTable", words({"lock"}), 2, "lock needs one table file"},
        ToolCase{"PgInitWithoutConnection", words({"pg-init"}), 2, "one connection string"},
        ToolCase{"PgImportWithoutConnection", words({"pg-import", "OUT"}), 2, "a data directory"},
        ToolCase{"ReportInfoEmptyName", words({"report", "info", ""}), 2, "names no file"},
        // Output that never arrives is a failure, not a success.
        ToolCase{"DumpToAFullDevice", words({"dump", "DATA/SYNONYMS.DB", "--password", "qomtk4"}),
                 1, "cannot write to standard output: No space left", Sink::FullDevice},
        ToolCase{"DumpToAClosedPipe", words({"dump", "DATA/SYNONYMS.DB", "--password", "qomtk4"}),
                 1, "cannot write to standard output: Broken pipe", Sink::ClosedPipe},
        ToolCase{"InfoToAFullDevice", words({"report", "info", "FILE"}), 1, "No space left",
                 Sink::FullDevice},
        ToolCase{"ZelSummaryToAClosedPipe", words({"--headless"}), 1, "Broken pipe",
                 Sink::ClosedPipe, true},
        // Where the toolkit would abort (134, advising to reinstall), a window start without
        // a display says so; what needs no window runs as ever.
        ToolCase{
            "ZelWithoutDisplay", {}, 1, "zel: no window can be shown", Sink::Captured, true, ""},
        ToolCase{"ZelOnAnUnknownPlatform", words({"-platform", "bogus"}), 1,
                 "zel: no window can be shown", Sink::Captured, true},
        ToolCase{"ZelHeadlessWithoutDisplay", words({"--headless"}), 0, nullptr, Sink::Captured,
                 true, ""}),
    [](const auto& param) { return std::string(param.param.name); });

// Names are bytes: a data directory and a report whose names are not UTF-8 are the files of
// exactly those names, never of names with U+FFFD in their place.
TEST(ByteNames, DataDirectoryAndReportKeepEveryByte)
{
    Workspace s;
    ASSERT_TRUE(s.ok());
    writeDatabase(s.dataDir(), zel::test::smallContent());
    const QByteArray root = p(s.root());
    const QByteArray latin1 = root + "/donn\xE9"
                                     "es",
                     report = p(s.out()) + "/y\xFF.pdf";
    ASSERT_EQ(::rename(p(s.dataDir()).constData(), latin1.constData()), 0);
    // The scratch directory's own removal cannot see such names: they go back by hand.
    const auto restore = qScopeGuard([&] {
        ::unlink(report.constData());
        ::rename(latin1.constData(), p(s.dataDir()).constData());
    });
    const auto viaShell = [&s](const QString& script, const QString& program) {
        return s.run({QStringLiteral("-c"), script, program, s.root()}, {},
                     QStringLiteral("/bin/bash"));
    };
    const Outcome zel =
        viaShell(QStringLiteral("exec \"$0\" --data \"$1\"/$'donn\\xe9es' --material-report "
                                "78-70-6 \"$1\"/out/$'y\\xff.pdf'"),
                 s.file(QStringLiteral("prog/zel")));
    EXPECT_EQ(zel.exitCode, 0) << zel.err.toStdString();
    EXPECT_EQ(::access(report.constData(), F_OK), 0);
    // The toolkit lists only names it can read as UTF-8: "y\uFFFD.pdf" would be one.
    EXPECT_EQ(zel::test::entriesOf(s.out()), QStringList());
    const Outcome dump = viaShell(
        QStringLiteral("exec \"$0\" dump \"$1\"/$'donn\\xe9es'/SUPPLIER.DB --password qomtk4"),
        zeltool());
    EXPECT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    EXPECT_TRUE(dump.out.startsWith(QLatin1String("supnr,"))) << dump.out.toStdString();
}

} // namespace
