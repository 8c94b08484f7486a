#include "ReportTestData.h"
#include "TempDir.h"
#include "report/ReportFileError.h"
#include "report/TRpStream.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <vector>

using zel::report::ReportFileError;
using zel::report::TRpStream;

namespace {

QByteArray pattern(qsizetype size, int seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 31 + seed) % 251);
    return data;
}

QByteArray readAll(TRpStream& stream)
{
    stream.seek(0);
    QByteArray all(stream.size(), Qt::Uninitialized);
    stream.readExactly(all.data(), all.size());
    return all;
}

// A device that keeps what it is given and how: the size of every write.
class RecordingDevice : public QBuffer
{
public:
    std::vector<qint64> writes;

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        writes.push_back(len);
        return QBuffer::writeData(data, len);
    }
};

} // namespace

TEST(TRpStream, MovesToAnOwnerOnlyNamelessTemporaryFileOnlyPastTheLimitAndKeepsEverything)
{
    zel::test::TempDir tmp;
    const zel::test::TemporaryDirectoryOverride useIt(tmp.path());
    {
        TRpStream stream;
        const QByteArray first = pattern(TRpStream::DefaultMemoryLimit, 1);
        stream.write(first);
        EXPECT_TRUE(stream.inMemory()) << "exactly at the limit stays in memory";
        EXPECT_TRUE(stream.temporaryDirectory().isEmpty());
        EXPECT_TRUE(zel::test::openFilesUnder(tmp.path()).empty());

        const QByteArray second = pattern(5000, 2);
        stream.write(second);
        ASSERT_FALSE(stream.inMemory());
        EXPECT_EQ(stream.temporaryDirectory(), tmp.path());
        // The file is open but has no name, so nothing can leave it behind.
        EXPECT_EQ(zel::test::entriesOf(tmp.path()), QStringList());
        const auto open = zel::test::openFilesUnder(tmp.path());
        ASSERT_EQ(open.size(), 1u);
        EXPECT_EQ(open[0].links, 0u);
        EXPECT_EQ(open[0].mode & 0777, 0600u);

        EXPECT_EQ(stream.pos(), first.size() + second.size());
        EXPECT_EQ(readAll(stream), first + second);

        // Writes in the middle overwrite in the file as they did in memory.
        stream.seek(10);
        stream.write(QByteArray("middle"));
        const QByteArray all = readAll(stream);
        EXPECT_EQ(all.mid(10, 6), QByteArray("middle"));
        EXPECT_EQ(all.size(), first.size() + second.size());
    }
    EXPECT_TRUE(zel::test::openFilesUnder(tmp.path()).empty()) << "the store closes its file";
    EXPECT_EQ(zel::test::entriesOf(tmp.path()), QStringList());
}

// TMPDIR naming a directory that does not exist, or a file: no temporary file can be made.
class UnusableTemporaryDirectory : public testing::TestWithParam<bool>
{
};

TEST_P(UnusableTemporaryDirectory, RefusesTheWriteAndKeepsTheStoreAsItWas)
{
    zel::test::TempDir dir;
    const QString tmp = dir.file(QStringLiteral("tmp"));
    if (GetParam())
        zel::test::writeFile(tmp, "a file, not a directory");
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.toLocal8Bit());
    TRpStream stream(100);
    const QByteArray data = pattern(80, 3);
    stream.write(data);
    try {
        stream.write(pattern(70, 4));
        ADD_FAILURE() << "writing past the limit without a temporary directory succeeded";
    } catch (const ReportFileError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("temporary file"))) << e.what();
    }
    if (saved.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", saved);
    EXPECT_TRUE(stream.inMemory());
    EXPECT_EQ(readAll(stream), data);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
              GetParam() ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnusableTemporaryDirectory, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) {
                             return p.param ? "AFile" : "Missing";
                         });

TEST(TRpStream, ALoadedFileIsReadButNeverWritten)
{
    zel::test::TempDir dir;
    const QString path = dir.file(QStringLiteral("pages.frp"));
    const QByteArray content = pattern(3000, 4);
    zel::test::writeFile(path, content);

    const auto stream = TRpStream::openFile(path);
    EXPECT_TRUE(stream->readOnly());
    EXPECT_FALSE(stream->inMemory());
    EXPECT_EQ(stream->memoryLimit(), 0);
    EXPECT_TRUE(stream->temporaryDirectory().isEmpty());
    EXPECT_EQ(readAll(*stream), content);
    stream->seek(0);
    EXPECT_THROW(stream->write(QByteArray("x")), ReportFileError);
    EXPECT_EQ(zel::test::readFile(path), content);
}

TEST(TRpStream, SeeksOutsideTheStoreAndShortReadsAreErrors)
{
    TRpStream stream;
    stream.write(pattern(10, 5));
    EXPECT_THROW(stream.seek(-1), ReportFileError);
    EXPECT_THROW(stream.seek(11), ReportFileError);
    stream.seek(8);
    char buf[4];
    EXPECT_EQ(stream.read(buf, 4), 2);
    EXPECT_EQ(stream.read(buf, 4), 0);
    stream.seek(8);
    EXPECT_THROW(stream.readExactly(buf, 4), ReportFileError);
}

TEST(TRpStream, AMissingFileIsAnErrorThatNamesIt)
{
    zel::test::TempDir dir;
    const QString path = dir.file(QStringLiteral("nothing.frp"));
    try {
        TRpStream::openFile(path);
        ADD_FAILURE() << "opened a missing file";
    } catch (const ReportFileError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nothing.frp"))) << e.what();
    }
}

TEST(TRpStream, CopiesInChunksOf10240Bytes)
{
    for (const bool spilled : {false, true}) {
        TRpStream stream(spilled ? 1000 : TRpStream::DefaultMemoryLimit);
        const QByteArray data = pattern(3 * 10240 + 17, 6);
        stream.write(data);
        ASSERT_EQ(stream.inMemory(), !spilled);
        RecordingDevice target;
        target.open(QIODevice::WriteOnly);
        stream.copyTo(target);
        EXPECT_EQ(target.data(), data);
        EXPECT_EQ(target.writes, (std::vector<qint64>{10240, 10240, 10240, 17}));
        EXPECT_EQ(stream.pos(), data.size());
    }
}
