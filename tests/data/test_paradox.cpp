#include "TempDir.h"
#include "common/SampleDatabase.h"
#include "data/base/Error.h"
#include "data/paradox/ParadoxFile.h"
#include "model/Schema.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace zel::data;
using namespace zel::model;
using zel::test::TempDir;

extern "C" unsigned long px_passwd_checksum(const char* password);

namespace {

TableData sampleTable(int codePage, bool withMemo, const char* accented = "Géraniol über Crème")
{
    TableData t;
    t.codePage = codePage;
    t.primaryKeyFields = 1;
    t.fields = {{QStringLiteral("key"), FieldType::Text, 12},
                {QStringLiteral("label"), FieldType::Text, 40},
                {QStringLiteral("count"), FieldType::Integer, 4}};
    if (withMemo)
        t.fields.push_back({QStringLiteral("notes"), FieldType::Memo, 20});
    const auto row = [&](const char* key, const char* label, const QVariant& count,
                         const char* notes) {
        std::vector<QVariant> r{QString::fromUtf8(key),
                                label ? QVariant(QString::fromUtf8(label)) : QVariant(), count};
        if (withMemo)
            r.push_back(notes ? QVariant(QString::fromUtf8(notes)) : QVariant());
        t.rows.push_back(r);
    };
    row("A1", accented, QVariant(qlonglong(42)), "short note");
    row("B2", nullptr, QVariant(), nullptr);
    row("C3", "plain ascii, with comma", QVariant(qlonglong(-7)), nullptr);
    row("D4", "ÄÖÜ äöü ß", QVariant(qlonglong(2147483647)), "ü");
    return t;
}

struct RoundTripCase
{
    int codePage;
    const char* password;
    bool withMemo;
    const char* accented; // text this code page can hold
};

class ParadoxRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{
};

TEST_P(ParadoxRoundTrip, ReadsBackWhatWasWritten)
{
    const RoundTripCase& p = GetParam();
    TempDir dir;
    const QString path = dir.file(QStringLiteral("T.DB"));
    const TableData written = sampleTable(p.codePage, p.withMemo, p.accented);
    paradox::writeTableFile(path, written, QString::fromLatin1(p.password));

    const TableData read = paradox::readTableFile(path, {QStringLiteral("qomtk4")});
    EXPECT_EQ(read.codePage, p.codePage);
    EXPECT_EQ(read.primaryKeyFields, 1);
    EXPECT_EQ(read.encryption != 0, QByteArray(p.password).size() > 0);
    ASSERT_EQ(read.fields.size(), written.fields.size());
    for (size_t i = 0; i < read.fields.size(); ++i) {
        EXPECT_EQ(read.fields[i].name, written.fields[i].name);
        EXPECT_EQ(read.fields[i].type, written.fields[i].type);
        EXPECT_EQ(read.fields[i].width, written.fields[i].width);
    }
    ASSERT_EQ(read.rows.size(), written.rows.size());
    for (size_t r = 0; r < read.rows.size(); ++r)
        for (size_t f = 0; f < read.fields.size(); ++f)
            EXPECT_EQ(read.rows[r][f], written.rows[r][f]) << "row " << r << " field " << f;
}

INSTANTIATE_TEST_SUITE_P(
    CodePagesAndPasswords, ParadoxRoundTrip,
    ::testing::Values(RoundTripCase{1252, "qomtk4", true, "Crème brûlée, Æ Ø œ €"},
                      RoundTripCase{1252, "", false, "Géraniol"},
                      RoundTripCase{850, "qomtk4", false, "Crème, Ø ø Ê"},
                      RoundTripCase{437, "", true, "Crème, Å æ ñ"},
                      RoundTripCase{1250, "qomtk4", true, "Příliš žluťoučký kůň"},
                      // Text is widened sixteen bytes at a time where they are all ASCII: a
                      // letter beyond ASCII at either edge of such a run.
                      RoundTripCase{1252, "", false, "0123456789abcdeé0123456789abcdefg"},
                      RoundTripCase{850, "qomtk4", false, "0123456789abcdefÊ123456789abcdeÆ"}));

// The program opens its own tables without loading pxlib, from the checksum it knows.
TEST(ParadoxFile, TheProgramsPasswordChecksumIsPxlibs)
{
    EXPECT_EQ(px_passwd_checksum(schema::tablePassword()), schema::tablePasswordChecksum);
}

TEST(ParadoxFile, CharactersOutsideTheCodePageAreReplacedNotLost)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("T.DB"));
    paradox::writeTableFile(path, sampleTable(437, false, "Ø€x"), QString());
    const TableData read = paradox::readTableFile(path, {});
    const QString text = read.rows[0][1].toString();
    EXPECT_GE(text.size(), 3) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QLatin1Char('x'))) << "the rest of the text survives";
}

TEST(ParadoxFile, TrailingBlanksAreDropped)
{
    TempDir dir;
    TableData t;
    t.fields = {{QStringLiteral("a"), FieldType::Text, 10}};
    t.rows = {{QStringLiteral("abc   ")}, {QStringLiteral("   ")}, {QStringLiteral(" lead")}};
    paradox::writeTableFile(dir.file(QStringLiteral("t.db")), t, QString());
    const TableData read = paradox::readTableFile(dir.file(QStringLiteral("t.db")), {});
    ASSERT_EQ(read.rows.size(), 3u);
    EXPECT_EQ(read.rows[0][0].toString(), QStringLiteral("abc"));
    EXPECT_FALSE(read.rows[1][0].isValid()); // all blanks is a blank field
    EXPECT_EQ(read.rows[2][0].toString(), QStringLiteral(" lead"));
}

TEST(ParadoxFile, EncryptedTableNeedsItsPassword)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("T.DB"));
    paradox::writeTableFile(path, sampleTable(1252, false), QStringLiteral("qomtk4"));
    EXPECT_THROW(paradox::readTableFile(path, {}), DatabaseError);
    EXPECT_THROW(paradox::readTableFile(path, {QStringLiteral("qomtk5")}), DatabaseError);
    EXPECT_THROW(paradox::readTableFile(path, {QStringLiteral("QOMTK4x")}), DatabaseError);
    EXPECT_NO_THROW(
        paradox::readTableFile(path, {QStringLiteral("other"), QStringLiteral("qomtk4")}));
    EXPECT_EQ(paradox::passwordChecksum(QStringLiteral("qomtk4")),
              paradox::readTableFile(path, {QStringLiteral("qomtk4")}).encryption);
}

TEST(ParadoxFile, ManyRecordsSpanSeveralBlocks)
{
    TempDir dir;
    TableData t;
    t.primaryKeyFields = 1;
    t.fields = {{QStringLiteral("n"), FieldType::Integer, 4},
                {QStringLiteral("s"), FieldType::Text, 100}};
    for (int i = 0; i < 5000; ++i)
        t.rows.push_back({QVariant(qlonglong(i)), QVariant(QStringLiteral("row %1").arg(i))});
    paradox::writeTableFile(dir.file(QStringLiteral("big.db")), t, QStringLiteral("qomtk4"));
    const TableData read =
        paradox::readTableFile(dir.file(QStringLiteral("big.db")), {QStringLiteral("qomtk4")});
    ASSERT_EQ(read.rows.size(), 5000u);
    EXPECT_EQ(read.rows[4999][1].toString(), QStringLiteral("row 4999"));
    EXPECT_EQ(read.rows[1234][0].toLongLong(), 1234);
}

TEST(ParadoxFile, TooLongValueFailsAndLeavesTheOldFile)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("T.DB"));
    paradox::writeTableFile(path, sampleTable(1252, false), QString());
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    TableData bad = sampleTable(1252, false);
    bad.rows[2][0] = QStringLiteral("much too long for twelve");
    EXPECT_THROW(paradox::writeTableFile(path, bad, QString()), DatabaseError);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file left";
}

struct Damage
{
    const char* what;
    std::function<void(QByteArray&)> apply;
};

class BrokenTable : public ::testing::TestWithParam<Damage>
{
};

TEST_P(BrokenTable, IsRefusedWithAnError)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("T.DB"));
    TableData t = sampleTable(1252, false);
    for (int i = 0; i < 300; ++i)
        t.rows.push_back({QVariant(QStringLiteral("K%1").arg(i)), QVariant(QStringLiteral("x")),
                          QVariant(qlonglong(i))});
    paradox::writeTableFile(path, t, QStringLiteral("qomtk4"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    GetParam().apply(bytes);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    try {
        paradox::readTableFile(path, {QStringLiteral("qomtk4")});
        FAIL() << "a damaged table was read: " << GetParam().what;
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("T.DB"))) << e.message().toStdString();
    }
}

void put16(QByteArray& b, int at, int v)
{
    b[at] = static_cast<char>(v & 0xff);
    b[at + 1] = static_cast<char>((v >> 8) & 0xff);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, BrokenTable,
    ::testing::Values(
        Damage{"empty", [](QByteArray& b) { b.clear(); }},
        Damage{"ten bytes", [](QByteArray& b) { b.truncate(10); }},
        Damage{"header only", [](QByteArray& b) { b.truncate(0x800); }},
        Damage{"cut in the data", [](QByteArray& b) { b.truncate(b.size() - 1500); }},
        Damage{"header size past the end", [](QByteArray& b) { put16(b, 2, 0xFFFF); }},
        Damage{"block size zero", [](QByteArray& b) { b[5] = 0; }},
        Damage{"index file type", [](QByteArray& b) { b[4] = 1; }},
        Damage{"record count huge",
               [](QByteArray& b) {
                   put16(b, 6, 0xFFFF);
                   put16(b, 8, 0x7F);
               }},
        Damage{"first block past the end", [](QByteArray& b) { put16(b, 0x0E, 0x7FFF); }},
        Damage{"record size zero", [](QByteArray& b) { put16(b, 0, 0); }},
        Damage{"no fields", [](QByteArray& b) { put16(b, 0x21, 0); }},
        Damage{"random bytes",
               [](QByteArray& b) {
                   for (int i = 0; i < b.size(); ++i)
                       b[i] = static_cast<char>((i * 7919 + 13) & 0xff);
               }}),
    [](const auto& param) {
        std::string n = param.param.what;
        for (char& c : n)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

// Tables of older Paradox versions differ in their header: versions before 4.0 have no
// extended header (and no code page), versions before 7 keep 79 bytes for the table name
// instead of 261. These are made from a version 7 table by moving the header parts.
QByteArray asOlderVersion(QByteArray file, int versionId)
{
    const auto u16 = [&](int at) {
        return static_cast<int>(static_cast<unsigned char>(file[at])) |
               (static_cast<int>(static_cast<unsigned char>(file[at + 1])) << 8);
    };
    const int headerSize = u16(2);
    const int numFields = u16(0x21);
    QByteArray header = file.left(headerSize);
    const QByteArray data = file.mid(headerSize);
    const int tableName = 0x78 + numFields * 2 + 4 + numFields * 4;
    header = header.left(tableName + 79) + header.mid(tableName + 261) + QByteArray(182, '\0');
    if (versionId < 5) {
        header = header.left(0x58) + header.mid(0x78) + QByteArray(32, '\0');
        header.replace(0x25, 4, QByteArray(4, '\0')); // an unencrypted table of that age
    }
    header[0x39] = static_cast<char>(versionId);
    return header + data;
}

struct VersionCase
{
    int versionId;
    int expectVersion;
    int expectCodePage;
};

class OlderVersions : public ::testing::TestWithParam<VersionCase>
{
};

TEST_P(OlderVersions, AreRead)
{
    TempDir dir;
    TableData t = sampleTable(437, false, "Crème å");
    for (int i = 0; i < 400; ++i)
        t.rows.push_back({QVariant(QStringLiteral("K%1").arg(i)),
                          QVariant(QStringLiteral("row %1").arg(i)), QVariant(qlonglong(i))});
    const QString v7 = dir.file(QStringLiteral("v7.db"));
    paradox::writeTableFile(v7, t, QString());
    QFile in(v7);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString older = dir.file(QStringLiteral("OLD.DB"));
    QFile out(older);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(GetParam().versionId == 12 ? in.readAll()
                                         : asOlderVersion(in.readAll(), GetParam().versionId));
    out.close();

    const TableData read = paradox::readTableFile(older, {});
    EXPECT_EQ(read.fileVersion, GetParam().expectVersion);
    EXPECT_EQ(read.codePage, GetParam().expectCodePage);
    ASSERT_EQ(read.fields.size(), 3u);
    EXPECT_EQ(read.fields[1].name, QStringLiteral("label"));
    ASSERT_EQ(read.rows.size(), t.rows.size());
    for (size_t r = 0; r < t.rows.size(); ++r)
        EXPECT_EQ(read.rows[r], t.rows[r]) << "row " << r;
}

INSTANTIATE_TEST_SUITE_P(Paradox3To7, OlderVersions,
                         ::testing::Values(VersionCase{3, 30, 0}, VersionCase{4, 35, 0},
                                           VersionCase{5, 40, 437}, VersionCase{10, 50, 437},
                                           VersionCase{12, 70, 437}));

TEST(ParadoxFile, LoopingBlockChainIsRefused)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("LOOP.DB"));
    TableData t = sampleTable(1252, false);
    for (int i = 0; i < 500; ++i)
        t.rows.push_back({QVariant(QStringLiteral("K%1").arg(i)), QVariant(QStringLiteral("x")),
                          QVariant(qlonglong(i))});
    paradox::writeTableFile(path, t, QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QByteArray head = f.read(4);
    const int headerSize =
        static_cast<unsigned char>(head[2]) | (static_cast<unsigned char>(head[3]) << 8);
    f.seek(headerSize + 2048); // the second block points back to the first
    f.write(QByteArray("\x01\x00", 2));
    f.close();
    EXPECT_THROW(paradox::readTableFile(path, {}), DatabaseError);
}

TEST(ParadoxFile, MissingFileIsAnError)
{
    EXPECT_THROW(paradox::readTableFile(QStringLiteral("/nonexistent/x.db"), {}), DatabaseError);
}

TEST(Csv, ParsesQuotedFields)
{
    const auto rows =
        parseCsv(QStringLiteral("a,b,c\r\n\"x, y\",\"say \"\"hi\"\"\",\n\"  padded  \",,\"\"\n"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], (std::vector<QString>{QStringLiteral("x, y"), QStringLiteral("say \"hi\""),
                                             QString()}));
    EXPECT_EQ(rows[2], (std::vector<QString>{QStringLiteral("  padded  "), QString(), QString()}));
}

TEST(SortForm, UpperCaseWithoutAccents)
{
    EXPECT_EQ(sortForm(QStringLiteral("Géraniol")), QStringLiteral("GERANIOL"));
    EXPECT_EQ(sortForm(QStringLiteral("alpha-Ionone")), QStringLiteral("ALPHA-IONONE"));
}

} // namespace
