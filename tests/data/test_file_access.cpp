// How files are read and written, against real pipes, device nodes made in a scratch directory
// (never the machine's own /dev), symbolic links and permissions. The permission cases need an
// unprivileged user: run as root, the last test runs them again through runuser as "nobody".
#include "TempDir.h"
#include "data/base/FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using zel::data::FileAccessError;
using zel::data::OutputFile;
using zel::test::TempDir;

namespace {

// What the target is before the output is written.
enum class Target
{
    Nothing,
    File,
    ReadOnlyFile,
    SymlinkToFile,
    DanglingSymlink,
    Directory,
    PipeWithReader,
    PipeWithoutReader,
    NullDevice,
    FullDevice,
    BlockDevice,
    NewFileInReadOnlyDirectory,
    FileInReadOnlyDirectory,
};

struct OutputCase
{
    const char* name;
    Target target;
    const char* refusal; // a part of the message; nullptr when the output is written
    bool unprivilegedOnly = false;
};

void PrintTo(const OutputCase& c, std::ostream* os)
{
    *os << c.name;
}

QByteArray p(const QString& path)
{
    return QFile::encodeName(path);
}

unsigned modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(p(path).constData(), &st) == 0 ? unsigned(st.st_mode) : 0;
}

void writeFile(const QString& path, const QByteArray& bytes, unsigned mode = 0644)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    ASSERT_EQ(::chmod(p(path).constData(), mode), 0);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool makeDevice(const QString& path, unsigned type, unsigned major, unsigned minor)
{
    return ::mknod(p(path).constData(), type | 0666, makedev(major, minor)) == 0;
}

class Output : public ::testing::TestWithParam<OutputCase>
{
};

// Each kind of target is either written as a user means it or refused with a message that
// names it, and is never replaced by something of another kind.
TEST_P(Output, IsWrittenOrRefusedButNeverReplacedByAnotherKind)
{
    const OutputCase& c = GetParam();
    if (c.unprivilegedOnly && ::geteuid() == 0)
        GTEST_SKIP() << "root writes anywhere; the unprivileged run covers this case";
    TempDir dir;
    ::chmod(p(dir.path()).constData(), 0777);
    const QString path = dir.file(QStringLiteral("out.pdf"));
    const QString real = dir.file(QStringLiteral("real.pdf"));
    const QByteArray old = "old content";
    const QByteArray payload = "new content\n";
    std::future<QByteArray> reader;
    switch (c.target) {
    case Target::Nothing:
        break;
    case Target::File:
        writeFile(path, old, 0640);
        break;
    case Target::ReadOnlyFile:
        writeFile(path, old, 0444);
        break;
    case Target::SymlinkToFile:
        writeFile(real, old, 0604);
        ASSERT_EQ(::symlink("real.pdf", p(path).constData()), 0);
        break;
    case Target::DanglingSymlink:
        ASSERT_EQ(::symlink("nowhere.pdf", p(path).constData()), 0);
        break;
    case Target::Directory:
        ASSERT_EQ(::mkdir(p(path).constData(), 0755), 0);
        break;
    case Target::PipeWithReader:
        ASSERT_EQ(::mkfifo(p(path).constData(), 0600), 0);
        reader = zel::test::readPipeInBackground(path);
        break;
    case Target::PipeWithoutReader:
        ASSERT_EQ(::mkfifo(p(path).constData(), 0600), 0);
        break;
    case Target::NullDevice:
        if (!makeDevice(path, S_IFCHR, 1, 3))
            GTEST_SKIP() << "cannot make device nodes here";
        break;
    case Target::FullDevice:
        if (!makeDevice(path, S_IFCHR, 1, 7))
            GTEST_SKIP() << "cannot make device nodes here";
        break;
    case Target::BlockDevice:
        if (!makeDevice(path, S_IFBLK, 7, 250))
            GTEST_SKIP() << "cannot make device nodes here";
        break;
    case Target::NewFileInReadOnlyDirectory:
        ASSERT_EQ(::chmod(p(dir.path()).constData(), 0555), 0);
        break;
    case Target::FileInReadOnlyDirectory:
        writeFile(path, old, 0666);
        ASSERT_EQ(::chmod(p(dir.path()).constData(), 0555), 0);
        break;
    }
    const unsigned before = modeOf(path);
    const QStringList entriesBefore = zel::test::entriesOf(dir.path());

    QString message;
    try {
        OutputFile out(path);
        out.open();
        out.device().write(payload);
        out.commit();
    } catch (const FileAccessError& e) {
        message = e.message();
    }
    if (reader.valid()) {
        if (!message.isEmpty()) // the reader still waits for a writer: give it one
            ::close(::open(p(path).constData(), O_WRONLY));
        EXPECT_EQ(reader.get(), payload);
    }
    ::chmod(p(dir.path()).constData(), 0777);

    if (c.refusal) {
        EXPECT_TRUE(message.contains(QLatin1String(c.refusal))) << message.toStdString();
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
    } else {
        EXPECT_EQ(message, QString());
    }
    // Whatever happened, the target is of the kind it was, and nothing else was left.
    if (before != 0) {
        EXPECT_EQ(modeOf(path) & S_IFMT, before & S_IFMT);
    }
    QStringList expected = entriesBefore;
    if (c.target == Target::Nothing && !c.refusal)
        expected << QStringLiteral("out.pdf");
    EXPECT_EQ(zel::test::entriesOf(dir.path()), expected);

    switch (c.target) {
    case Target::Nothing:
        EXPECT_EQ(readFile(path), payload);
        break;
    case Target::File:
        EXPECT_EQ(readFile(path), payload);
        EXPECT_EQ(modeOf(path) & 07777, 0640u) << "an existing file keeps its mode";
        break;
    case Target::SymlinkToFile:
        EXPECT_TRUE(QFileInfo(path).isSymLink()) << "the link stays";
        EXPECT_EQ(readFile(real), payload);
        EXPECT_EQ(modeOf(real) & 07777, 0604u);
        break;
    case Target::ReadOnlyFile:
    case Target::FileInReadOnlyDirectory:
        EXPECT_EQ(readFile(path), old);
        break;
    default:
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    FileAccess, Output,
    ::testing::Values(OutputCase{"NewFile", Target::Nothing, nullptr},
                      OutputCase{"ExistingFileKeepsItsMode", Target::File, nullptr},
                      OutputCase{"ReadOnlyFile", Target::ReadOnlyFile, "is read-only"},
                      OutputCase{"SymlinkToAFile", Target::SymlinkToFile, nullptr},
                      OutputCase{"SymlinkToNothing", Target::DanglingSymlink, "leads to no file"},
                      OutputCase{"Directory", Target::Directory, "is a directory"},
                      OutputCase{"PipeWithAReader", Target::PipeWithReader, nullptr},
                      OutputCase{"PipeWithoutAReader", Target::PipeWithoutReader,
                                 "No program reads"},
                      OutputCase{"NullDevice", Target::NullDevice, nullptr},
                      OutputCase{"FullDevice", Target::FullDevice, "No space left on device"},
                      OutputCase{"BlockDevice", Target::BlockDevice, "is a block device"},
                      OutputCase{"NewFileInAReadOnlyDirectory", Target::NewFileInReadOnlyDirectory,
                                 "is not writable", true},
                      OutputCase{"FileInAReadOnlyDirectory", Target::FileInReadOnlyDirectory,
                                 "is not writable", true}),
    [](const auto& param) { return std::string(param.param.name); });

// An output dropped before it is finished leaves the old file as it was and nothing beside it.
TEST(FileAccess, AnUnfinishedOutputLeavesTheOldFileAndNothingElse)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("report.frp"));
    writeFile(path, "old", 0600);
    {
        OutputFile out(path);
        out.open();
        out.device().write(QByteArray(100000, 'x'));
        out.device().flush();
        EXPECT_EQ(zel::test::entriesOf(dir.path()), QStringList{QStringLiteral("report.frp")});
    }
    EXPECT_EQ(readFile(path), QByteArray("old"));
    EXPECT_EQ(zel::test::entriesOf(dir.path()), QStringList{QStringLiteral("report.frp")});
}

// A pipe whose reader leaves half-way: the write fails and says so (the programs ignore
// SIGPIPE for this), and the pipe is still a pipe.
TEST(FileAccess, APipeWhoseReaderLeftIsAWriteErrorWithItsReason)
{
    const auto previous = ::signal(SIGPIPE, SIG_IGN);
    TempDir dir;
    const QString path = dir.file(QStringLiteral("out.pdf"));
    ASSERT_EQ(::mkfifo(p(path).constData(), 0600), 0);
    const int reader = ::open(p(path).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    QString message;
    try {
        OutputFile out(path);
        out.open();
        ::close(reader);
        out.device().write(QByteArray(200000, 'x'));
        out.commit();
    } catch (const FileAccessError& e) {
        message = e.message();
    }
    ::signal(SIGPIPE, previous);
    EXPECT_TRUE(message.contains(QLatin1String("Broken pipe"))) << message.toStdString();
    EXPECT_TRUE(S_ISFIFO(modeOf(path)));
}

enum class Source
{
    File,
    SymlinkToFile,
    Missing,
    Directory,
    Pipe,
    NullDevice,
    Unreadable,
};

struct InputCase
{
    const char* name;
    Source source;
    const char* refusal;
    bool unprivilegedOnly = false;
};

void PrintTo(const InputCase& c, std::ostream* os)
{
    *os << c.name;
}

class Input : public ::testing::TestWithParam<InputCase>
{
};

// A file to be read is a regular file or is refused at once, saying what it is.
TEST_P(Input, IsARegularFileOrRefusedAtOnce)
{
    const InputCase& c = GetParam();
    if (c.unprivilegedOnly && ::geteuid() == 0)
        GTEST_SKIP() << "root reads anything; the unprivileged run covers this case";
    TempDir dir;
    const QString path = dir.file(QStringLiteral("in.frp"));
    switch (c.source) {
    case Source::File:
        writeFile(path, "content");
        break;
    case Source::SymlinkToFile:
        writeFile(dir.file(QStringLiteral("real")), "content");
        ASSERT_EQ(::symlink("real", p(path).constData()), 0);
        break;
    case Source::Missing:
        break;
    case Source::Directory:
        ASSERT_EQ(::mkdir(p(path).constData(), 0755), 0);
        break;
    case Source::Pipe:
        ASSERT_EQ(::mkfifo(p(path).constData(), 0600), 0);
        break;
    case Source::NullDevice:
        if (!makeDevice(path, S_IFCHR, 1, 3))
            GTEST_SKIP() << "cannot make device nodes here";
        break;
    case Source::Unreadable:
        writeFile(path, "content", 0);
        break;
    }
    // A pipe read by mistake would block this thread for good; the test runs it aside so that
    // a hang shows as a failure.
    auto result = std::async(std::launch::async, [path]() -> QString {
        try {
            return QString::fromLatin1(
                zel::data::readWholeFile(path, QStringLiteral("report file"), 1000));
        } catch (const FileAccessError& e) {
            return QStringLiteral("refused: ") + e.message();
        }
    });
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready)
        << "the read waited";
    const QString got = result.get();
    if (c.refusal) {
        EXPECT_TRUE(got.startsWith(QLatin1String("refused: ")));
        EXPECT_TRUE(got.contains(QLatin1String(c.refusal))) << got.toStdString();
    } else {
        EXPECT_EQ(got, QStringLiteral("content"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    FileAccess, Input,
    ::testing::Values(InputCase{"File", Source::File, nullptr},
                      InputCase{"SymlinkToAFile", Source::SymlinkToFile, nullptr},
                      InputCase{"Missing", Source::Missing, "No such file or directory"},
                      InputCase{"Directory", Source::Directory,
                                "is a directory, not a report file"},
                      InputCase{"Pipe", Source::Pipe, "is a named pipe, not a report file"},
                      InputCase{"Device", Source::NullDevice, "is a character device"},
                      InputCase{"Unreadable", Source::Unreadable, "Permission denied", true}),
    [](const auto& param) { return std::string(param.param.name); });

// As root, the permission cases above only skip; here they run for real as an ordinary user.
TEST(FileAccess, PermissionCasesAsAnUnprivilegedUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "already unprivileged: the cases ran above";
    const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
    if (runuser.isEmpty())
        GTEST_SKIP() << "runuser is not installed";
    QProcess id;
    id.start(QStringLiteral("id"), {QStringLiteral("-u"), QStringLiteral("nobody")});
    if (!id.waitForFinished() || id.exitCode() != 0)
        GTEST_SKIP() << "there is no user nobody to run as";
    TempDir tmp;
    ::chmod(p(tmp.path()).constData(), 0777);
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    run.setProcessEnvironment(env);
    run.start(runuser, {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                        QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(),
                        QStringLiteral("--gtest_filter=*Output*Directory*:*Input*Unreadable*:"
                                       "*ReadOnly*")});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
    if (out.contains(QLatin1String("cannot open session")) || run.exitCode() == 126)
        GTEST_SKIP() << "runuser cannot switch users here";
    EXPECT_EQ(run.exitCode(), 0) << out.toStdString() << run.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("[  PASSED  ]"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QLatin1String("SKIPPED"))) << out.toStdString();
}

TEST(FileAccess, AnonymousFilesHaveNoNameFromTheStart)
{
    TempDir dir;
    const int fd = zel::data::createAnonymousFile(dir.path());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "abc", 3), 3);
    EXPECT_EQ(zel::test::entriesOf(dir.path()), QStringList());
    struct stat st
    {
    };
    ASSERT_EQ(::fstat(fd, &st), 0);
    EXPECT_EQ(st.st_nlink, 0u);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ::close(fd);
    EXPECT_THROW(zel::data::createAnonymousFile(dir.file(QStringLiteral("absent"))),
                 FileAccessError);
}

} // namespace
