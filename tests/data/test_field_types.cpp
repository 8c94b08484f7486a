// Every field type of the format, read from tables built byte by byte as other Paradox
// software writes them and from tables of our own writer; pxlib reads the same files as a
// second, independent reader wherever it can.
#include "ParadoxBytes.h"
#include "PxlibReader.h"
#include "TempDir.h"
#include "common/TableDump.h"
#include "data/base/Error.h"
#include "data/engine/Table.h"
#include "data/paradox/ParadoxFile.h"

#include <QFile>
#include <QProcess>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

extern "C" {
#include <paradox.h>
void px_encrypt_mb_block(unsigned char* src, unsigned char* dest, unsigned long encryption,
                         unsigned long blocksize);
}

using namespace zel::data;
using namespace zel::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList column(const TableStore& t, int field)
{
    QStringList cells;
    for (int r = 0; r < t.recordCount(); ++r)
        cells << dumpCell(t, r, field);
    return cells;
}

enum class Pxlib
{
    Agrees,  // pxlib reads every cell as we do
    Differs, // pxlib reads these cells otherwise (its own limits; the format is on our side)
    CannotRead
};

struct TypeCase
{
    const char* what;
    unsigned char code;
    unsigned char sizeByte;
    // The stored values; blob cases add their data to the blob file.
    std::function<std::vector<QByteArray>(RawBlobs&)> values;
    std::vector<const char*> expected; // cells as the dump prints them
    Pxlib pxlib = Pxlib::Agrees;
};

class FieldTypes : public ::testing::TestWithParam<TypeCase>
{
};

TEST_P(FieldTypes, ReadAsWrittenByOtherSoftware)
{
    const TypeCase& c = GetParam();
    TempDir dir;
    RawBlobs blobs;
    RawTable t;
    t.fields = {{kLong, 4, "n"}, {c.code, c.sizeByte, "value"}};
    const std::vector<QByteArray> values = c.values(blobs);
    for (size_t i = 0; i < values.size(); ++i)
        t.records.push_back(storedLong(static_cast<qint64>(i + 1)) + values[i]);
    const QString db = dir.file(QStringLiteral("T.DB"));
    const QString mb = dir.file(QStringLiteral("T.MB"));
    writeFile(db, t.build());
    const bool withBlobs = blobs.bytes().size() > 4096;
    if (withBlobs)
        writeFile(mb, blobs.bytes());

    const TableStore read = paradox::readTableStore(db, {});
    ASSERT_EQ(read.recordCount(), static_cast<int>(c.expected.size()));
    QStringList expected;
    for (const char* e : c.expected)
        expected << QString::fromUtf8(e);
    EXPECT_EQ(column(read, 1), expected);

    if (c.pxlib == Pxlib::CannotRead)
        return;
    QStringList second = pxlibColumn(
        db, withBlobs ? trimmedCopy(mb, dir.file(QStringLiteral("PX.MB"))) : QString(), 1);
    if (c.code == kBcd)
        for (QString& cell : second)
            cell = plainDecimal(cell);
    if (c.pxlib == Pxlib::Agrees)
        EXPECT_EQ(second, expected) << "pxlib reads the same file otherwise";
    else
        EXPECT_NE(second, expected) << "pxlib now agrees: mark the case as agreeing";
}

std::vector<QByteArray> list(std::initializer_list<QByteArray> v)
{
    return v;
}

QByteArray text(int size, const char* s)
{
    QByteArray b(s);
    b.resize(size, '\0');
    return b;
}

QByteArray memoText(int n)
{
    QByteArray b;
    for (int i = 0; b.size() < n; ++i)
        b += "Line " + QByteArray::number(i) + " of a long note.\r\n";
    return b.left(n);
}

// clang-format off
const TypeCase kTypeCases[] = {
    {"alpha: trailing blanks dropped, blank is NULL", kAlpha, 8,
     [](RawBlobs&) { return list({text(8, "abc   "), blank(8), text(8, " lead"), text(8, "12345678")}); },
     {"abc", "", " lead", "12345678"}},
    {"short: zero, negatives, extremes, NULL", kShort, 2,
     [](RawBlobs&) { return list({storedShort(0), storedShort(-1), storedShort(32767), storedShort(-32767), blank(2)}); },
     {"0", "-1", "32767", "-32767", ""}},
    {"long: zero, negatives, extremes, NULL", kLong, 4,
     [](RawBlobs&) { return list({storedLong(0), storedLong(-123456), storedLong(2147483647), storedLong(-2147483647), blank(4)}); },
     {"0", "-123456", "2147483647", "-2147483647", ""}},
    {"autoincrement", kAutoIncrement, 4,
     [](RawBlobs&) { return list({storedLong(1), storedLong(2), blank(4)}); },
     {"1", "2", ""}},
    {"number: fractions, negatives, large and tiny, NULL", kNumber, 8,
     [](RawBlobs&) { return list({storedDouble(0.1), storedDouble(-2.5), storedDouble(1e300), storedDouble(-4.9e-324), storedDouble(0), blank(8)}); },
     {"0.1", "-2.5", "1e+300", "-5e-324", "0", ""}},
    {"currency", kCurrency, 8,
     [](RawBlobs&) { return list({storedDouble(-1234.56), storedDouble(19.99), blank(8)}); },
     {"-1234.56", "19.99", ""}},
    {"logical", kLogical, 1,
     [](RawBlobs&) { return list({QByteArray("\x80", 1), QByteArray("\x81", 1), blank(1)}); },
     {"false", "true", ""}},
    {"date: leap days, before 1900, the first day, before year 1, NULL", kDate, 4,
     [](RawBlobs&) { return list({storedDate(QDate(2000, 2, 29)), storedDate(QDate(1896, 2, 29)), storedDate(QDate(1899, 12, 30)), storedDate(QDate(1, 1, 1)), storedDate(QDate(9999, 12, 31)),
                                  storedDate(QDate(-1, 12, 31)), storedDate(QDate(-1, 2, 29)), storedDate(QDate(-44, 3, 15)), blank(4)}); },
     // ISO 8601 has a year 0, the leap year 1 BC: the day before 0001-01-01 is 0000-12-31.
     {"2000-02-29", "1896-02-29", "1899-12-30", "0001-01-01", "9999-12-31", "0000-12-31", "0000-02-29", "-0043-03-15", ""}},
    {"time: midnight, the last millisecond, NULL", kTime, 4,
     [](RawBlobs&) { return list({storedLong(0), storedLong(86399999), storedLong(45296000), blank(4)}); },
     {"00:00:00", "23:59:59.999", "12:34:56", ""}},
    {"timestamp: whole seconds, before 1900, NULL", kTimestamp, 8,
     [](RawBlobs&) {
         const auto ts = [](QDate d, int ms) { return storedDouble((d.toJulianDay() - 1721425) * 86400000.0 + ms); };
         return list({ts(QDate(2024, 2, 29), 13 * 3600000 + 5 * 60000 + 9000), ts(QDate(1850, 7, 1), 0), blank(8)});
     },
     {"2024-02-29T13:05:09", "1850-07-01T00:00:00", ""}},
    {"time outside the day is kept as its milliseconds", kTime, 4,
     [](RawBlobs&) { return list({storedLong(90000000), storedLong(-5)}); },
     {"90000000", "-5"}, Pxlib::Differs},
    {"timestamp that is not a number is kept as it is", kTimestamp, 8,
     [](RawBlobs&) { return list({storedDouble(std::nan("")), storedDouble(1e300)}); },
     {"nan", "1e+300"}, Pxlib::CannotRead},
    {"timestamp with milliseconds (pxlib drops them)", kTimestamp, 8,
     [](RawBlobs&) { return list({storedDouble((QDate(2024, 2, 29).toJulianDay() - 1721425) * 86400000.0 + 250)}); },
     {"2024-02-29T00:00:00.250"}, Pxlib::Differs},
    {"BCD with two decimals", kBcd, 2,
     [](RawBlobs&) {
         return list({storedBcd(false, 2, "00000000000000000000000000012345"),
                      storedBcd(true, 2, "00000000000000000000000000000750"),
                      storedBcd(false, 2, "00000000000000000000000000000000"), blank(17)});
     },
     {"123.45", "-7.50", "0.00", ""}},
    {"BCD of 32 digits without decimals (pxlib keeps fewer)", kBcd, 0,
     [](RawBlobs&) { return list({storedBcd(false, 0, "12345678901234567890123456789012")}); },
     {"12345678901234567890123456789012"}, Pxlib::Differs},
    {"bytes", kBytes, 3,
     [](RawBlobs&) { return list({QByteArray("\x01\x00\x03", 3), blank(3)}); },
     {"3:AQAD", ""}},
    {"memo: in the record, shared block, own block, empty", kMemo, 15,
     [](RawBlobs& b) {
         const QByteArray small = "Fresh, green.";
         const QByteArray shared = "A note of forty-two bytes in a small blob";
         const QByteArray single = "This memo lives in a block of its own.";
         const std::vector<quint32> at = b.addShared({shared});
         return list({blobField(5, small.left(5), 0, true), blobField(5, shared, at[0], true),
                      blobField(5, single, b.addSingle(single), true), blank(15)});
     },
     {"Fresh", "A note of forty-two bytes in a small blob", "This memo lives in a block of its own.", ""}},
    {"formatted memo in a shared block", kFormattedMemo, 11,
     [](RawBlobs& b) {
         const QByteArray data = "Formatted, sixteen"; // a length that is no multiple of 16
         const QByteArray exact = "Exactly 32 bytes of text here...";
         const std::vector<quint32> at = b.addShared({data, exact});
         return list({blobField(1, data, at[0], true), blobField(1, exact, at[1], true)});
     },
     {"Formatted, sixteen", "Exactly 32 bytes of text here..."}},
    {"binary in a shared block and in a block of its own", kBinary, 10,
     [](RawBlobs& b) {
         const QByteArray small("\x00\x01\x02\xFF", 4);
         const QByteArray own("\x10\x20", 2);
         const std::vector<quint32> at = b.addShared({small});
         return list({blobField(0, small, at[0], false), blobField(0, own, b.addSingle(own), false), blank(10)});
     },
     {"4:AAEC/w==", "2:ECA=", ""}},
    {"OLE", kOle, 10,
     [](RawBlobs& b) {
         const QByteArray data("OLE\x00object", 10);
         return list({blobField(0, data, b.addShared({data})[0], false)});
     },
     {"10:T0xFAG9iamVjdA=="}},
    {"graphic: an 8-byte head before the picture", kGraphic, 10,
     [](RawBlobs& b) {
         const QByteArray data = QByteArray(8, '\x11') + "BM picture";
         return list({blobField(0, data, b.addSingle(data), false)});
     },
     {"10:Qk0gcGljdHVyZQ=="}},
    {"a type the engine does not know is kept as bytes", 0x1F, 4,
     [](RawBlobs&) { return list({QByteArray("\x01\x02\x03\x04", 4), blank(4)}); },
     {"4:AQIDBA==", ""}, Pxlib::CannotRead},
};
// clang-format on

void PrintTo(const TypeCase& c, std::ostream* os)
{
    *os << c.what;
}

std::string caseName(const ::testing::TestParamInfo<TypeCase>& info)
{
    std::string n = info.param.what;
    for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return n.substr(0, 60) + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(EveryType, FieldTypes, ::testing::ValuesIn(kTypeCases), caseName);

// Long blobs are checked apart from the table of cases: their text is generated.
TEST(FieldTypes, LongMemoAndBinaryComeWholeFromTheirBlocks)
{
    TempDir dir;
    RawBlobs blobs;
    const QByteArray memo = memoText(9000); // three 4 KB blocks
    const QByteArray binary(5000, '\x7F');
    RawTable t;
    t.fields = {{kMemo, 20, "notes"}, {kBinary, 10, "data"}};
    t.records = {blobField(10, memo, blobs.addSingle(memo), true) +
                 blobField(0, binary, blobs.addSingle(binary), false)};
    writeFile(dir.file(QStringLiteral("T.DB")), t.build());
    writeFile(dir.file(QStringLiteral("t.mb")), blobs.bytes()); // found whatever its case
    const TableStore read = paradox::readTableStore(dir.file(QStringLiteral("T.DB")), {});
    ASSERT_EQ(read.recordCount(), 1);
    EXPECT_EQ(read.text(0, 0).toString(), QString::fromLatin1(memo));
    EXPECT_EQ(read.bytes(0, 1).toByteArray(), binary);
    EXPECT_EQ(pxlibColumn(
                  dir.file(QStringLiteral("T.DB")),
                  trimmedCopy(dir.file(QStringLiteral("t.mb")), dir.file(QStringLiteral("PX.MB"))),
                  0),
              QStringList{QString::fromLatin1(memo)});
}

// A table of many blocks is decoded in two halves at once; the records still come in the
// order of the chain, with their blobs, and blank values stay blank across the seam.
TEST(FieldTypes, LargeTableKeepsTheOrderOfItsChain)
{
    TempDir dir;
    RawBlobs blobs;
    RawTable t;
    t.reverseChain = true;
    t.fields = {{kAlpha, 12, "label"}, {kLong, 4, "n"}, {kMemo, 11, "note"}};
    const int n = 6000;
    std::vector<quint32> offsets;
    for (int i = 0; i < n; i += 1000)
        offsets.push_back(blobs.addShared({"note of record " + QByteArray::number(i)})[0]);
    for (int i = 0; i < n; ++i) {
        const QByteArray note = "note of record " + QByteArray::number(i);
        const QByteArray memo =
            i % 1000 == 0 ? blobField(1, note, offsets[i / 1000], true) : blank(11);
        t.records.push_back(
            text(12, i % 7 == 0 ? "" : QByteArray("row " + QByteArray::number(i)).constData()) +
            storedLong(i) + memo);
    }
    writeFile(dir.file(QStringLiteral("BIG.DB")), t.build());
    writeFile(dir.file(QStringLiteral("BIG.MB")), blobs.bytes());
    const TableStore read = paradox::readTableStore(dir.file(QStringLiteral("BIG.DB")), {});
    ASSERT_EQ(read.recordCount(), n);
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(read.integer(i, 1), i) << "record " << i;
        ASSERT_EQ(read.text(i, 0).toString(),
                  i % 7 == 0 ? QString() : QStringLiteral("row %1").arg(i))
            << "record " << i;
        ASSERT_EQ(read.text(i, 2).toString(),
                  i % 1000 == 0 ? QStringLiteral("note of record %1").arg(i) : QString())
            << "record " << i;
    }
}

// A table another program wrote with pxlib's writer: encrypted, with memos in the record, in a
// shared block and in a block of its own. Its blob file is encrypted as the table is, in pieces
// of 256 bytes (pxlib's reader expects that; its writer leaves it to its caller). Then the same
// table without its blob file. zeltool prints what pxlib reads.
TEST(OtherSoftware, EncryptedOrMissingBlobFile)
{
    TempDir dir;
    const QString db = dir.file(QStringLiteral("NOTES.DB")),
                  mb = dir.file(QStringLiteral("NOTES.MB"));
    const QStringList notes{QStringLiteral("Short"), QStringLiteral("A note that shares its block"),
                            QString::fromLatin1(memoText(3000)), QString()};
    pxdoc_t* doc = PX_new();
    auto* f = static_cast<pxfield_t*>(std::calloc(1, sizeof(pxfield_t)));
    f->px_fname = strdup("note");
    f->px_ftype = pxfMemoBLOb;
    f->px_flen = 20; // a leader of 10 bytes
    ASSERT_EQ(PX_create_file(doc, f, 1, QFile::encodeName(db).constData(), pxfFileTypNonIndexDB),
              0);
    PX_set_parameter(doc, "password", "secret");
    ASSERT_EQ(PX_set_blob_file(doc, QFile::encodeName(mb).constData()), 0);
    for (const QString& note : notes) {
        QByteArray record(20, '\0'), text = note.toLatin1();
        PX_put_data_blob(doc, record.data(), 20, text.data(), static_cast<int>(text.size()));
        PX_put_record(doc, record.data());
    }
    PX_close(doc);
    PX_delete(doc);
    QFile file(mb);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray blobs = file.readAll();
    blobs.resize((blobs.size() + 255) / 256 * 256, '\0');
    auto* bytes = reinterpret_cast<unsigned char*>(blobs.data());
    px_encrypt_mb_block(bytes, bytes, paradox::passwordChecksum(QStringLiteral("secret")),
                        static_cast<unsigned long>(blobs.size()));
    file.seek(0);
    file.write(blobs);
    file.close();

    for (const bool withBlobFile : {true, false}) {
        if (!withBlobFile) {
            ASSERT_TRUE(QFile::remove(mb));
        }
        QProcess dump;
        dump.start(
            QStringLiteral(ZEL_BINARY_DIR "/tools/zeltool"),
            {QStringLiteral("dump"), db, QStringLiteral("--password"), QStringLiteral("secret")});
        ASSERT_TRUE(dump.waitForFinished(30000));
        const QString err = QString::fromUtf8(dump.readAllStandardError());
        EXPECT_EQ(dump.exitCode(), 0) << err.toStdString();
        // What pxlib cannot read without the blob file ("?") is printed empty.
        QStringList second =
            pxlibColumn(db, withBlobFile ? mb : QString(), 0, {QStringLiteral("secret")});
        second.replaceInStrings(QStringLiteral("?"), QString());
        const QStringList kept{notes[0], QString(), QString(), QString()};
        EXPECT_EQ(second, withBlobFile ? notes : kept);
        QString expected = QStringLiteral("note\n");
        for (const QString& cell : second)
            expected += csvField(cell) + QLatin1Char('\n');
        EXPECT_EQ(QString::fromUtf8(dump.readAllStandardOutput()), expected);
        EXPECT_EQ(err.contains(mb + QStringLiteral(" is missing; 2 memo")), !withBlobFile)
            << err.toStdString();
    }
    // The browser's own tables are whole or refused.
    EXPECT_THROW(Table::open(db, nullptr, Table::Access::Shared, {QStringLiteral("secret")}),
                 DatabaseError);
}

struct BlobDamage
{
    const char* what;
    std::function<void(QByteArray& mb)> apply; // nullptr: the blob file is missing
};

class BrokenBlobs : public ::testing::TestWithParam<BlobDamage>
{
};

TEST_P(BrokenBlobs, AreRefusedWithAnError)
{
    TempDir dir;
    RawBlobs blobs;
    const QByteArray single = memoText(3000);
    const QByteArray shared = "A small note in a shared block";
    const quint32 s = blobs.addShared({shared})[0];
    RawTable t;
    t.fields = {{kMemo, 15, "notes"}};
    t.records = {blobField(5, single, blobs.addSingle(single), true),
                 blobField(5, shared, s, true)};
    writeFile(dir.file(QStringLiteral("T.DB")), t.build());
    QByteArray mb = blobs.bytes();
    if (GetParam().apply) {
        GetParam().apply(mb);
        writeFile(dir.file(QStringLiteral("T.MB")), mb);
    }
    try {
        paradox::readTableStore(dir.file(QStringLiteral("T.DB")), {});
        FAIL() << "a table with broken blobs was read: " << GetParam().what;
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("T.DB"))) << e.message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damages, BrokenBlobs,
    ::testing::Values(
        BlobDamage{"missing", nullptr},
        BlobDamage{"cut short", [](QByteArray& b) { b.truncate(4096 + 100); }},
        BlobDamage{"wrong block type", [](QByteArray& b) { b[4096] = 4; }},
        BlobDamage{"pointer past its block",
                   [](QByteArray& b) { b[4096 + 12 + 63 * 5] = static_cast<char>(0xFF); }},
        BlobDamage{"length past the file",
                   [](QByteArray& b) {
                       b[8192 + 3] = static_cast<char>(0xFF);
                       b[8192 + 4] = static_cast<char>(0xFF);
                   }},
        BlobDamage{"empty pointer", [](QByteArray& b) { b[4096 + 12 + 63 * 5] = 0; }}),
    [](const ::testing::TestParamInfo<BlobDamage>& p) {
        std::string n = p.param.what;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

// Field names and text in the code page the header names, for every version of the header.
struct CodePageCase
{
    int versionId;
    int codePage; // 0: the header has none (before 4.0), read as code page 437
    const char* name;
    const char* value;
};

class FieldNames : public ::testing::TestWithParam<CodePageCase>
{
};

TEST_P(FieldNames, AreDecodedThroughTheTablesCodePage)
{
    const CodePageCase& c = GetParam();
    const int cp = c.codePage == 0 ? 437 : c.codePage;
    TempDir dir;
    RawTable t;
    t.versionId = c.versionId;
    t.codePage = c.codePage;
    t.reverseChain = true; // records come in the order of the chain, not of the file
    t.fields = {{kAlpha, 20, encoded(QString::fromUtf8(c.name), cp)}, {kShort, 2, "n"}};
    for (int i = 0; i < 200; ++i) {
        QByteArray v = encoded(QString::fromUtf8(c.value), cp);
        v.resize(20, '\0');
        t.records.push_back(v + storedShort(i));
    }
    const QString db = dir.file(QStringLiteral("T.DB"));
    writeFile(db, t.build());
    const TableStore read = paradox::readTableStore(db, {});
    EXPECT_EQ(read.field(0).name, QString::fromUtf8(c.name));
    EXPECT_EQ(read.info().codePage, c.codePage);
    ASSERT_EQ(read.recordCount(), 200);
    EXPECT_EQ(read.text(0, 0).toString(), QString::fromUtf8(c.value));
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(read.integer(i, 1), i) << "record " << i;
    // zeltool prints the names decoded, like the data.
    QProcess dump;
    dump.start(QStringLiteral(ZEL_BINARY_DIR "/tools/zeltool"), {QStringLiteral("dump"), db});
    ASSERT_TRUE(dump.waitForFinished(10000));
    const QString out = QString::fromUtf8(dump.readAllStandardOutput());
    EXPECT_TRUE(out.startsWith(QString::fromUtf8(c.name) + QStringLiteral(",n\n")))
        << out.left(80).toStdString();
}

INSTANTIATE_TEST_SUITE_P(VersionsAndCodePages, FieldNames,
                         ::testing::Values(CodePageCase{12, 866, "Наименование", "Ландыш"},
                                           CodePageCase{12, 1251, "Название", "Жасмин"},
                                           CodePageCase{12, 1252, "Désignation", "Crème brûlée"},
                                           CodePageCase{10, 866, "Имя", "Роза"},
                                           CodePageCase{5, 1251, "Цена", "Мята"},
                                           // α, ¢ and ¥ have bytes that mean Ó, ø and Ø
                                           // in code page 850.
                                           CodePageCase{4, 0, "Prénom ¢", "α-Pinène"},
                                           CodePageCase{3, 0, "Größe", "α-Ionon ¥"}));

// zeltool prints a table of any type: a column of a type it does not know is marked, not
// refused; a protected table needs --password.
struct DumpCase
{
    const char* what;
    QStringList extraArgs;
    int exitCode;
    const char* output; // the whole standard output
};

class ZeltoolDump : public ::testing::TestWithParam<DumpCase>
{
};

TEST_P(ZeltoolDump, PrintsAnyTable)
{
    TempDir dir;
    RawTable t;
    t.fields = {{kAlpha, 6, "name"}, {0x1F, 2, "odd"}, {kDate, 4, "day"}};
    t.records = {text(6, "a,b") + QByteArray("\x01\x02", 2) + storedDate(QDate(1900, 1, 1)),
                 blank(6) + blank(2) + blank(4)};
    writeFile(dir.file(QStringLiteral("ODD.DB")), t.build());
    TableData protectedTable;
    protectedTable.fields = {{QStringLiteral("n"), FieldType::Integer, 4}};
    protectedTable.rows = {{qlonglong(5)}};
    paradox::writeTableFile(dir.file(QStringLiteral("SECRET.DB")), protectedTable,
                            QStringLiteral("pw1"));
    QStringList args = GetParam().extraArgs;
    args.replaceInStrings(QStringLiteral("DIR"), dir.path());
    QProcess dump;
    dump.start(QStringLiteral(ZEL_BINARY_DIR "/tools/zeltool"),
               QStringList{QStringLiteral("dump")} << args);
    ASSERT_TRUE(dump.waitForFinished(10000));
    EXPECT_EQ(dump.exitCode(), GetParam().exitCode) << dump.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(dump.readAllStandardOutput()),
              QString::fromUtf8(GetParam().output));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ZeltoolDump,
    ::testing::Values(DumpCase{"unknown type marked",
                               {QStringLiteral("DIR/ODD.DB")},
                               0,
                               "name,odd [unknown type 31],day\n\"a,b\",2:AQI=,1900-01-01\n,,\n"},
                      DumpCase{"password given",
                               {QStringLiteral("DIR/SECRET.DB"), QStringLiteral("--password"),
                                QStringLiteral("pw1")},
                               0,
                               "n\n5\n"},
                      DumpCase{"password missing", {QStringLiteral("DIR/SECRET.DB")}, 1, ""},
                      DumpCase{"password wrong",
                               {QStringLiteral("DIR/SECRET.DB"), QStringLiteral("--password"),
                                QStringLiteral("pw2")},
                               1,
                               ""}),
    [](const ::testing::TestParamInfo<DumpCase>& p) {
        std::string n = p.param.what;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

// Every type our writer writes, in three records: values at their limits, all blank, plain.
TableData everyKindTable()
{
    TableData t;
    t.codePage = 1251;
    t.fields = {{QStringLiteral("Название"), FieldType::Text, 20},
                {QStringLiteral("short"), FieldType::Integer, 2},
                {QStringLiteral("long"), FieldType::Integer, 4},
                {QStringLiteral("auto"), FieldType::AutoIncrement, 4},
                {QStringLiteral("number"), FieldType::Number, 8},
                {QStringLiteral("money"), FieldType::Currency, 8},
                {QStringLiteral("day"), FieldType::Date, 4},
                {QStringLiteral("time"), FieldType::Time, 4},
                {QStringLiteral("stamp"), FieldType::Timestamp, 8},
                {QStringLiteral("flag"), FieldType::Logical, 1},
                {QStringLiteral("bcd"), FieldType::Bcd, 3},
                {QStringLiteral("raw"), FieldType::Bytes, 4},
                {QStringLiteral("note"), FieldType::Memo, 30}};
    t.rows.push_back({QStringLiteral("Мята"), qlonglong(-32767), qlonglong(-2147483647),
                      qlonglong(1), -0.125, 1234.56, QDate(1896, 2, 29), QTime(23, 59, 59, 999),
                      QDateTime(QDate(1850, 1, 1), QTime(12, 0), Qt::UTC), true,
                      QStringLiteral("-12.345"), QByteArray("\x01\x02\x00\x04", 4),
                      QStringLiteral("Кратко")});
    t.rows.push_back(std::vector<QVariant>(t.fields.size())); // every field NULL
    t.rows.push_back({QStringLiteral("Ландыш"), qlonglong(0), qlonglong(0), qlonglong(2), 0.0, 0.0,
                      QDate(2000, 2, 29), QTime(0, 0),
                      QDateTime(QDate(2024, 2, 29), QTime(0, 0, 1), Qt::UTC), false,
                      QStringLiteral("0.5"), QByteArray("\xFF", 1), QString()});
    return t;
}

// Our own writer, every type it writes, read back by us and by pxlib.
TEST(OwnWriter, WritesEveryTypeItKnowsAndReadsItBack)
{
    TempDir dir;
    const TableData t = everyKindTable();
    const QString path = dir.file(QStringLiteral("ALL.DB"));
    paradox::writeTableFile(path, t, QStringLiteral("qomtk4"));

    const TableStore read = paradox::readTableStore(path, {QStringLiteral("qomtk4")});
    ASSERT_EQ(read.recordCount(), 3);
    EXPECT_EQ(read.field(0).name, QStringLiteral("Название"));
    const QStringList expected[] = {{"Мята", "-32767", "-2147483647", "1", "-0.125", "1234.56",
                                     "1896-02-29", "23:59:59.999", "1850-01-01T12:00:00", "true",
                                     "-12.345", "4:AQIABA==", "Кратко"},
                                    {"", "", "", "", "", "", "", "", "", "", "", "", ""},
                                    {"Ландыш", "0", "0", "2", "0", "0", "2000-02-29", "00:00:00",
                                     "2024-02-29T00:00:01", "false", "0.500", "4:/wAAAA==", ""}};
    for (int r = 0; r < 3; ++r) {
        QStringList cells;
        for (int f = 0; f < read.fieldCount(); ++f)
            cells << dumpCell(read, r, f);
        EXPECT_EQ(cells, expected[r]) << "record " << r;
    }
    // pxlib, the second reader, agrees on every field it reads the same way.
    for (int f : {0, 1, 2, 3, 4, 5, 6, 7, 9, 11}) {
        QStringList mine;
        for (int r = 0; r < 3; ++r)
            mine << expected[r][f];
        EXPECT_EQ(pxlibColumn(path, QString(), f, {QStringLiteral("qomtk4")}), mine)
            << "field " << f;
    }
    QStringList bcd = pxlibColumn(path, QString(), 10, {QStringLiteral("qomtk4")});
    for (QString& cell : bcd)
        cell = plainDecimal(cell);
    EXPECT_EQ(bcd, (QStringList{QStringLiteral("-12.345"), QString(), QStringLiteral("0.500")}));
}

// Filling the empty values of one text field writes every other value straight from the
// table's storage: its blocks must come out exactly as the writer makes them from the values.
TEST(OwnWriter, FillingEmptyTextWritesEveryOtherKindAsFromValues)
{
    TempDir dir;
    const QString password = QStringLiteral("qomtk4");
    TableData t = everyKindTable();
    t.fields.push_back({QStringLiteral("fill"), FieldType::Text, 8});
    const QVariant fills[] = {QString(), QVariant(), QStringLiteral("kept")};
    for (size_t r = 0; r < t.rows.size(); ++r)
        t.rows[r].push_back(fills[r]);
    // Enough records for several blocks, encoded in two halves.
    for (int i = 0; i < 3000; ++i) {
        std::vector<QVariant> row = t.rows[static_cast<size_t>(i % 3)];
        row[2] = qlonglong(i);
        row[4] = i / 7.0;
        row[13] = i % 5 ? QVariant(QStringLiteral("n%1").arg(i)) : QVariant();
        t.rows.push_back(std::move(row));
    }
    TableData expected = t;
    int empty = 0;
    for (std::vector<QVariant>& row : expected.rows)
        if (row[13].toString().isEmpty()) {
            row[13] = QStringLiteral("~");
            ++empty;
        }
    const QString filledPath = dir.file(QStringLiteral("FILLED.DB"));
    const QString expectedPath = dir.file(QStringLiteral("EXPECTED.DB"));
    paradox::writeTableFile(filledPath, t, password);
    paradox::writeTableFile(expectedPath, expected, password);
    {
        auto table = Table::open(filledPath, nullptr, Table::Access::Exclusive, {password});
        EXPECT_EQ(table->fillEmpty(13, QStringLiteral("~")).filled, empty);
    }
    const auto blocks = [](const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray();
        const QByteArray bytes = f.readAll();
        const int header =
            static_cast<unsigned char>(bytes[2]) | (static_cast<unsigned char>(bytes[3]) << 8);
        return bytes.mid(header);
    };
    const QByteArray filled = blocks(filledPath);
    ASSERT_FALSE(filled.isEmpty());
    EXPECT_TRUE(filled == blocks(expectedPath));
}

TEST(OwnWriter, RefusesValuesItCannotHold)
{
    TempDir dir;
    TableData t;
    t.fields = {{QStringLiteral("bcd"), FieldType::Bcd, 2}};
    for (const char* bad : {"1.234", "12a", "1.2.3", "123456789012345678901234567890123"}) {
        t.rows = {{QString::fromLatin1(bad)}};
        EXPECT_THROW(paradox::writeTableFile(dir.file(QStringLiteral("B.DB")), t, QString()),
                     DatabaseError)
            << bad;
    }
}

} // namespace
