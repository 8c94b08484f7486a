#include "ReportTestData.h"
#include "TempDir.h"
#include "common/DemoReport.h"
#include "report/ReportFileError.h"
#include "report/TRpCompress.h"
#include "report/TRpPageList.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using zel::report::PaperSize;
using zel::report::ReportFileError;
using zel::report::TRpCompress;
using zel::report::TRpPageList;
using zel::report::emf::EmfImage;
using zel::test::i32At;
using zel::test::putI32;
using zel::test::putU16;
using zel::test::readFile;
using zel::test::u16At;

namespace {

// Demonstration pages are measured and drawn once per run; each differs from the others.
const EmfImage& demoPage(int page, int count = 10,
                         QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    static std::map<std::tuple<int, int, int>, EmfImage> cache;
    const auto key = std::make_tuple(page, count, int(orientation));
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, zel::report::makeDemoPage(page, count, orientation)).first;
    return it->second;
}

void addDemoPages(TRpPageList& list, int count,
                  QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    for (int n = 1; n <= count; ++n)
        list.addPage(demoPage(n, count, orientation));
}

QString savedDemo(const zel::test::TempDir& dir, const QString& name, int count, bool compressed,
                  QPageLayout::Orientation orientation = QPageLayout::Portrait)
{
    TRpPageList list(compressed);
    addDemoPages(list, count, orientation);
    list.finish();
    QString path = dir.file(name);
    list.save(path);
    return path;
}

std::string messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ReportFileError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

class PageListByCompression : public testing::TestWithParam<bool>
{
};

TEST_P(PageListByCompression, SavedFileHasTheHeaderAndRecordChainByteForByte)
{
    const bool compressed = GetParam();
    zel::test::TempDir dir;
    TRpPageList list(compressed);
    addDemoPages(list, 3);
    const double before = TRpPageList::toDays(QDateTime::currentDateTime());
    list.finish();
    const double after = TRpPageList::toDays(QDateTime::currentDateTime());
    const QString path = dir.file(QStringLiteral("layout.frp"));
    list.save(path);
    const QByteArray file = readFile(path);

    EXPECT_EQ(u16At(file, 0), 3);
    EXPECT_EQ(u16At(file, 2), 305);
    EXPECT_EQ(i32At(file, 8), 3);
    const double written = qFromLittleEndian<double>(file.constData() + 16);
    EXPECT_GE(written, before);
    EXPECT_LE(written, after);
    EXPECT_EQ(file[25], compressed ? 1 : 0);
    for (const auto& [from, to] : {std::pair{4, 8}, {12, 16}, {24, 25}, {26, 128}})
        EXPECT_EQ(file.mid(from, to - from), QByteArray(to - from, '\0')) << "reserved " << from;

    qint64 at = 128;
    qint64 last = 0;
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(i32At(file, at), n);
        const qint64 next = i32At(file, at + 4);
        ASSERT_GT(next, at + 12);
        ASSERT_LE(next, file.size());
        const QByteArray payload = file.mid(at + 8, next - at - 12);
        const QByteArray& image = demoPage(n, 3).bytes();
        EXPECT_EQ(payload, compressed ? TRpCompress::encodePage(image) : image) << "page " << n;
        EXPECT_EQ(i32At(file, next - 4), at);
        last = at;
        at = next;
    }
    EXPECT_EQ(at, file.size()) << "records follow each other without gaps";
    EXPECT_EQ(i32At(file, file.size() - 4), last) << "the file ends with the last record's start";
}

TEST_P(PageListByCompression, SaveLoadSaveGivesTheSameBytes)
{
    zel::test::TempDir dir;
    const QString first = savedDemo(dir, QStringLiteral("first.frp"), 4, GetParam());
    TRpPageList loaded;
    loaded.load(first);
    EXPECT_EQ(loaded.pageCount(), 4);
    EXPECT_EQ(loaded.compressed(), GetParam());
    const QString second = dir.file(QStringLiteral("second.frp"));
    loaded.save(second);
    EXPECT_EQ(readFile(first), readFile(second));
}

TEST_P(PageListByCompression, AStoreThatMovesToItsTemporaryFileKeepsEveryPage)
{
    zel::test::TempDir tmp;
    const zel::test::TemporaryDirectoryOverride useIt(tmp.path());
    {
        TRpPageList list(GetParam());
        int added = 0;
        while (list.stream().inMemory()) {
            ASSERT_LT(added, 200) << "the store never left memory";
            list.addPage(demoPage(added % 10 + 1));
            ++added;
        }
        EXPECT_EQ(zel::test::openFilesUnder(tmp.path()).size(), 1u);
        list.addPage(demoPage(added % 10 + 1));
        ++added;
        list.finish();
        ASSERT_EQ(list.pageCount(), added);
        for (int n = added; n >= 1; --n) {
            const auto page = list.page(n);
            ASSERT_TRUE(page);
            EXPECT_EQ(page->bytes(), demoPage((n - 1) % 10 + 1).bytes()) << "page " << n;
        }
    }
    EXPECT_TRUE(zel::test::openFilesUnder(tmp.path()).empty());
    EXPECT_EQ(zel::test::entriesOf(tmp.path()), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Both, PageListByCompression, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) {
                             return p.param ? "Compressed" : "Uncompressed";
                         });

// Pages are found by walking the record chain from wherever the store stands; the order
// below walks backward (10, 7, 3), forward (5, 9) and jumps to both ends.
struct PagingCase
{
    const char* name;
    bool compressed;
    bool loaded;
};

class Paging : public testing::TestWithParam<PagingCase>
{
};

TEST_P(Paging, WalksForwardAndBackwardToEveryPage)
{
    zel::test::TempDir dir;
    TRpPageList written(GetParam().compressed);
    addDemoPages(written, 10);
    written.finish();
    TRpPageList loaded;
    TRpPageList* list = &written;
    if (GetParam().loaded) {
        const QString path = dir.file(QStringLiteral("paging.frp"));
        written.save(path);
        loaded.load(path);
        list = &loaded;
    }
    for (const int n : {10, 7, 3, 5, 9, 1, 8, 2, 6, 4, 7, 3}) {
        const auto page = list->page(n);
        ASSERT_TRUE(page) << "page " << n;
        EXPECT_EQ(page->bytes(), demoPage(n).bytes()) << "page " << n;
    }
    EXPECT_FALSE(list->page(0));
    EXPECT_FALSE(list->page(11));
    EXPECT_FALSE(list->page(-3));
}

INSTANTIATE_TEST_SUITE_P(Stores, Paging,
                         testing::Values(PagingCase{"InMemory", false, false},
                                         PagingCase{"InMemoryCompressed", true, false},
                                         PagingCase{"LoadedFile", false, true},
                                         PagingCase{"LoadedCompressedFile", true, true}),
                         [](const testing::TestParamInfo<PagingCase>& p) {
                             return std::string(p.param.name);
                         });

TEST(TRpPageList, PagesCanBeReadWhileMorePagesAreAdded)
{
    TRpPageList list;
    for (int n = 1; n <= 6; ++n) {
        list.addPage(demoPage(n));
        for (const int k : {n, 1, (n + 1) / 2}) {
            const auto page = list.page(k);
            ASSERT_TRUE(page);
            EXPECT_EQ(page->bytes(), demoPage(k).bytes()) << k << " after adding " << n;
        }
    }
}

TEST(TRpPageList, AReportWithoutPagesIsTheHeaderAlone)
{
    zel::test::TempDir dir;
    TRpPageList list;
    list.finish();
    const QString path = dir.file(QStringLiteral("empty.frp"));
    list.save(path);
    const QByteArray file = readFile(path);
    ASSERT_EQ(file.size(), 128);
    EXPECT_EQ(i32At(file, 8), 0);

    TRpPageList loaded;
    loaded.load(path);
    EXPECT_EQ(loaded.pageCount(), 0);
    EXPECT_FALSE(loaded.page(1));
    EXPECT_FALSE(loaded.loadedPaper());
}

TEST(TRpPageList, LoadingFindsThePaperOfTheFirstPage)
{
    zel::test::TempDir dir;
    for (const auto orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
        const QString path = savedDemo(dir, QStringLiteral("paper.frp"), 2, false, orientation);
        TRpPageList list;
        list.load(path);
        EXPECT_EQ(list.loadedPaper(), (PaperSize::Match{10, orientation}));
    }
}

TEST(TRpPageList, ALoadedFileIsNeverWritten)
{
    zel::test::TempDir dir;
    const QString path = savedDemo(dir, QStringLiteral("readonly.frp"), 2, false);
    const QByteArray before = readFile(path);
    TRpPageList list;
    list.load(path);
    EXPECT_TRUE(list.loaded());
    EXPECT_THROW(list.addPage(demoPage(1)), ReportFileError);
    EXPECT_THROW(list.finish(), ReportFileError);
    EXPECT_EQ(list.pageCount(), 2);
    EXPECT_EQ(readFile(path), before);
}

TEST(TRpPageList, ARefusedFileLeavesTheListAsItWas)
{
    zel::test::TempDir dir;
    const QString bad = dir.file(QStringLiteral("bad.frp"));
    zel::test::writeFile(bad, QByteArray(300, 'x'));
    TRpPageList list;
    addDemoPages(list, 3);
    EXPECT_THROW(list.load(bad), ReportFileError);
    EXPECT_FALSE(list.loaded());
    EXPECT_EQ(list.pageCount(), 3);
    EXPECT_EQ(list.page(2)->bytes(), demoPage(2, 3).bytes());
    list.addPage(demoPage(4));
    EXPECT_EQ(list.pageCount(), 4);
}

TEST(TRpPageList, PageRecordsTellWhereEachPageLies)
{
    TRpPageList list(true);
    addDemoPages(list, 3);
    list.finish();
    qint64 at = 128;
    for (int n = 1; n <= 3; ++n) {
        const TRpPageList::PageRecord r = list.pageRecord(n);
        EXPECT_EQ(r.start, at);
        EXPECT_EQ(r.length, 12 + TRpCompress::encodePage(demoPage(n, 3).bytes()).size());
        EXPECT_EQ(r.imageBytes, demoPage(n, 3).bytes().size());
        EXPECT_EQ(r.image.bytes, quint32(r.imageBytes));
        at += r.length;
    }
    EXPECT_EQ(at, list.stream().size());
    EXPECT_THROW(list.pageRecord(4), ReportFileError);
}

TEST(TRpPageList, APageThatCannotBeStoredIsNotAdded)
{
    zel::test::TempDir dir;
    TRpPageList list(false, 50000);
    list.addPage(demoPage(1));
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.file(QStringLiteral("missing")).toLocal8Bit());
    EXPECT_THROW(list.addPage(demoPage(2)), ReportFileError);
    if (saved.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", saved);
    EXPECT_EQ(list.pageCount(), 1);
    EXPECT_EQ(list.page(1)->bytes(), demoPage(1).bytes());
    list.addPage(demoPage(2));
    EXPECT_FALSE(list.stream().inMemory());
    EXPECT_EQ(list.page(2)->bytes(), demoPage(2).bytes());
}

TEST(TRpPageList, SavingWhereNoFileCanBeMadeIsAnError)
{
    zel::test::TempDir dir;
    TRpPageList list;
    list.finish();
    const std::string message =
        messageOf([&] { list.save(dir.file(QStringLiteral("no/such/dir/report.frp"))); });
    EXPECT_NE(message.find("report.frp"), std::string::npos) << message;
}

struct DayCase
{
    QDateTime time;
    double days;
};

class Timestamps : public testing::TestWithParam<DayCase>
{
};

TEST_P(Timestamps, CountDaysFrom30December1899)
{
    EXPECT_DOUBLE_EQ(TRpPageList::toDays(GetParam().time), GetParam().days);
    EXPECT_EQ(TRpPageList::fromDays(GetParam().days), GetParam().time);
}

INSTANTIATE_TEST_SUITE_P(
    Days, Timestamps,
    testing::Values(DayCase{QDateTime(QDate(1899, 12, 30), QTime(0, 0)), 0.0},
                    DayCase{QDateTime(QDate(1900, 1, 1), QTime(0, 0)), 2.0},
                    DayCase{QDateTime(QDate(2000, 1, 1), QTime(12, 0)), 36526.5},
                    DayCase{QDateTime(QDate(2024, 3, 1), QTime(18, 0)), 45352.75},
                    DayCase{QDateTime(QDate(1899, 12, 29), QTime(6, 0)), -1.25}));

// Broken files: a sound file with one thing wrong, refused on loading with a message that
// says what.
struct BrokenCase
{
    const char* name;
    bool compressed;
    std::function<void(QByteArray&)> damage;
    const char* expected;
};

class BrokenFiles : public testing::TestWithParam<BrokenCase>
{
};

namespace {

qint64 recordStart(const QByteArray& file, int n)
{
    qint64 at = 128;
    for (int k = 1; k < n; ++k)
        at = i32At(file, at + 4);
    return at;
}

} // namespace

TEST_P(BrokenFiles, AreRefusedWithAMessage)
{
    zel::test::TempDir dir;
    const QString path = savedDemo(dir, QStringLiteral("broken.frp"), 3, GetParam().compressed);
    QByteArray file = readFile(path);
    GetParam().damage(file);
    zel::test::writeFile(path, file);

    TRpPageList list;
    const std::string message = messageOf([&] { list.load(path); });
    EXPECT_NE(message.find(GetParam().expected), std::string::npos) << message;
    EXPECT_NE(message.find("broken.frp"), std::string::npos) << message;
    EXPECT_FALSE(list.loaded());
}

INSTANTIATE_TEST_SUITE_P(
    Damage, BrokenFiles,
    testing::Values(
        BrokenCase{"Empty", false, [](QByteArray& f) { f.clear(); }, "Not a report file"},
        BrokenCase{"CutInTheHeader", false, [](QByteArray& f) { f.truncate(100); },
                   "shorter than the 128-byte header"},
        BrokenCase{"VersionTwo", false, [](QByteArray& f) { putU16(f, 0, 2); },
                   "Not a report file: "},
        BrokenCase{"VersionFour", false, [](QByteArray& f) { putU16(f, 0, 4); },
                   "format version 4"},
        BrokenCase{"FlagTwo", false, [](QByteArray& f) { f[25] = 2; }, "compression flag"},
        BrokenCase{"NegativePageCount", false, [](QByteArray& f) { putI32(f, 8, -1); }, "negative"},
        BrokenCase{"AbsurdPageCount", false, [](QByteArray& f) { putI32(f, 8, 0x7FFFFFFF); },
                   "room for at most"},
        BrokenCase{"MorePagesThanRecords", false, [](QByteArray& f) { putI32(f, 8, 4); },
                   "page 4 of 4"},
        BrokenCase{"FewerPagesThanRecords", false, [](QByteArray& f) { putI32(f, 8, 2); },
                   "follow the last page"},
        BrokenCase{"CutInTheLastRecord", false, [](QByteArray& f) { f.chop(1); },
                   "past the end of the file"},
        BrokenCase{"CutInTheSecondRecord", false,
                   [](QByteArray& f) { f.truncate(recordStart(f, 2) + 6); }, "page 2 of 3"},
        BrokenCase{"NextPastTheEnd", false, [](QByteArray& f) { putI32(f, 132, f.size() + 100); },
                   "past the end of the file"},
        BrokenCase{"NextBackwards", false, [](QByteArray& f) { putI32(f, 132, 130); }, "too soon"},
        BrokenCase{"WrongStartField", false,
                   [](QByteArray& f) { putI32(f, recordStart(f, 2) - 4, 999); }, "start field"},
        BrokenCase{"WrongPageNumber", false, [](QByteArray& f) { putI32(f, recordStart(f, 3), 7); },
                   "page number 7"},
        BrokenCase{"ImageLengthDisagrees", false,
                   [](QByteArray& f) { putI32(f, 128 + 8 + 48, i32At(f, 128 + 8 + 48) + 4); },
                   "page image is"},
        BrokenCase{"NotAnImage", false, [](QByteArray& f) { putI32(f, 128 + 8 + 40, 0); },
                   "metafile header"},
        BrokenCase{"CompressedLengthTooLarge", true,
                   [](QByteArray& f) { putI32(f, 136, 100000000); }, "more than its"},
        BrokenCase{"CompressedLengthNegative", true, [](QByteArray& f) { putI32(f, 136, -5); },
                   "negative length"},
        BrokenCase{"ZerosOnly", false, [](QByteArray& f) { f.fill('\0'); }, "format version 0"},
        BrokenCase{"RandomAfterTheHeader", false,
                   [](QByteArray& f) {
                       QRandomGenerator random(7);
                       for (qsizetype i = 128; i < f.size(); ++i)
                           f[i] = char(random.bounded(256));
                   },
                   "Damaged report file"}),
    [](const testing::TestParamInfo<BrokenCase>& p) { return std::string(p.param.name); });

TEST(TRpPageList, RandomBytesAreNeverTakenForAReport)
{
    zel::test::TempDir dir;
    const QString path = dir.file(QStringLiteral("random.frp"));
    QRandomGenerator random(11);
    for (const int size : {1, 127, 128, 129, 1000, 65536}) {
        QByteArray data(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            data[i] = char(random.bounded(256));
        zel::test::writeFile(path, data);
        TRpPageList list;
        EXPECT_THROW(list.load(path), ReportFileError) << size;
    }
}

TEST(TRpPageList, APageWithADamagedImageIsAnErrorWhenRead)
{
    zel::test::TempDir dir;
    const QString path = savedDemo(dir, QStringLiteral("image.frp"), 3, false);
    QByteArray file = readFile(path);
    // The record after page 2's image header claims an impossible size.
    putI32(file, recordStart(file, 2) + 8 + 108 + 4, 0);
    zel::test::writeFile(path, file);

    TRpPageList list;
    list.load(path);
    EXPECT_TRUE(list.page(1));
    const std::string message = messageOf([&] { list.page(2); });
    EXPECT_NE(message.find("page 2 is not a valid page image"), std::string::npos) << message;
    EXPECT_TRUE(list.page(3)) << "the other pages stay readable";
}

// Whatever single bytes are changed, loading and reading either work or fail with a
// ReportFileError: no crash, no hang, no other exception.
TEST(TRpPageList, DamagedBytesAnywhereEndInAnErrorOrInPages)
{
    zel::test::TempDir dir;
    for (const bool compressed : {false, true}) {
        const QString sound = savedDemo(dir, QStringLiteral("sound.frp"), 3, compressed);
        const QByteArray original = readFile(sound);
        const QString path = dir.file(QStringLiteral("mutated.frp"));
        QRandomGenerator random(compressed ? 3 : 5);
        for (int round = 0; round < 150; ++round) {
            QByteArray file = original;
            for (int k = 0; k < 1 + round % 4; ++k) {
                const qsizetype at = round % 3 == 0 ? random.bounded(qint64(200))
                                                    : random.bounded(qint64(file.size()));
                file[at] = char(random.bounded(256));
            }
            zel::test::writeFile(path, file);
            TRpPageList list;
            try {
                list.load(path);
                for (int n = 1; n <= list.pageCount(); ++n)
                    list.page(n);
            } catch (const ReportFileError&) {
            }
        }
    }
}
