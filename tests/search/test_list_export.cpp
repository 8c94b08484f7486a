// The materials list written as CSV: quoting as RFC 4180 has it, the columns, the rows in the
// order given, and a failed write that leaves nothing behind.
#include "CsvReader.h"
#include "Fixture.h"
#include "TempDir.h"
#include "data/engine/Table.h"
#include "model/Names.h"
#include "model/StabilityMedia.h"
#include "search/ListExport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace zel;
using search::ListExport;

namespace {

struct LineCase
{
    const char* name;
    QStringList cells;
    QByteArray line;
    QStringList back = {}; // what a reader of RFC 4180 gets, when not the cells
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

class CsvLine : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(CsvLine, QuotesEveryTextAndReadsBack)
{
    const LineCase& c = GetParam();
    const QByteArray line = ListExport::csvLine(c.cells);
    EXPECT_EQ(line, c.line);
    const test::CsvTable back = test::readCsv(line);
    ASSERT_TRUE(back.ok);
    ASSERT_EQ(back.rows.size(), 1);
    EXPECT_EQ(back.rows.front(), c.back.isEmpty() ? c.cells : c.back);
}

INSTANTIATE_TEST_SUITE_P(
    ListExport, CsvLine,
    ::testing::Values(
        LineCase{"Plain", {QStringLiteral("a"), QStringLiteral("b c")}, "\"a\",\"b c\"\r\n"},
        LineCase{"EmptyCellsUnquoted", {QString(), QString(), QString()}, ",,\r\n"},
        LineCase{"OneEmptyCell", {QString()}, "\r\n"},
        LineCase{"Comma", {QStringLiteral("Detergent, liquid")}, "\"Detergent, liquid\"\r\n"},
        LineCase{"Quote", {QStringLiteral("the \"green\" note")}, "\"the \"\"green\"\" note\"\r\n"},
        LineCase{"OnlyQuotes", {QStringLiteral("\"\"")}, "\"\"\"\"\"\"\r\n"},
        LineCase{"LineBreaks",
                 {QStringLiteral("one\r\ntwo"), QStringLiteral("three\nfour")},
                 "\"one\r\ntwo\",\"three\nfour\"\r\n"},
        LineCase{"BlanksKept", {QStringLiteral("  spaced  ")}, "\"  spaced  \"\r\n"},
        LineCase{"CasAndRatingsStayText",
                 {QStringLiteral("140-11-4"), QStringLiteral("-"), QStringLiteral("++")},
                 "\"140-11-4\",\"-\",\"++\"\r\n"},
        LineCase{"FormulaGetsABlankOutsideQuotes",
                 {QStringLiteral("=1+1"), QStringLiteral("@SUM(A1)"), QStringLiteral("-2+3"),
                  QStringLiteral("+ve")},
                 " =1+1, @SUM(A1), -2+3, +ve\r\n",
                 {QStringLiteral(" =1+1"), QStringLiteral(" @SUM(A1)"), QStringLiteral(" -2+3"),
                  QStringLiteral(" +ve")}},
        LineCase{"FormulaThatNeedsQuotesKeepsItsBlankInside",
                 {QStringLiteral("=HYPERLINK(\"x\",\"y\")"), QStringLiteral("\tx"),
                  QStringLiteral("=a ")},
                 "\" =HYPERLINK(\"\"x\"\",\"\"y\"\")\",\" \tx\",\" =a \"\r\n",
                 {QStringLiteral(" =HYPERLINK(\"x\",\"y\")"), QStringLiteral(" \tx"),
                  QStringLiteral(" =a ")}},
        LineCase{"OtherAlphabets",
                 {QStringLiteral("G\u00e9raniol"),
                  QStringLiteral("\u03b1-\u0418\u043e\u043d\u043e\u043d")},
                 "\"G\xC3\xA9raniol\",\"\xCE\xB1-\xD0\x98\xD0\xBE\xD0\xBD\xD0\xBE\xD0\xBD\"\r\n"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ListExport, HeaderNamesTheFieldsThenEveryMedium)
{
    const QStringList header = ListExport::header();
    ASSERT_EQ(header.size(), 8 + model::MediaCount);
    EXPECT_EQ(header.mid(0, 8), (QStringList{"CAS", "name", "name1", "name2", "odour",
                                             "performance", "application", "literature"}));
    EXPECT_EQ(header.mid(8), model::StabilityMedia());
}

// Materials whose texts need quoting, and stability strings of every kind.
data::DatabaseContent awkward()
{
    data::DatabaseContent c;
    const auto add = [&](const QString& name, const char* cas, const QString& odour,
                         const char* stabil) {
        data::MaterialRow m;
        m.name = name;
        m.cas = QString::fromLatin1(cas);
        m.name1 = name + QStringLiteral(", second");
        m.odour = odour;
        m.performance = QStringLiteral("lasts \"long\"");
        m.application = QStringLiteral("line one\r\nline two");
        m.stabil = QString::fromLatin1(stabil);
        c.materials.push_back(m);
    };
    add(QStringLiteral("Anethole"), "4180-23-8", QStringLiteral("anise"),
        "012000000000000000000000000000000");
    add(QStringLiteral("Citral"), "5392-40-5", QStringLiteral("lemon, fresh"), "22");
    add(QStringLiteral("G\u00e9raniol"), "106-24-1", QStringLiteral("rose"), "");
    add(QStringLiteral("Ionone"), "127-41-3", QStringLiteral("violet"),
        "1x2111111111111111111111111111111219");
    add(QStringLiteral("Zingerone"), "122-48-5", QString(), "222222222222222222222222222222222");
    return c;
}

QString expectedRating(const QString& stabil, int medium)
{
    if (medium > stabil.size())
        return QString();
    switch (stabil.at(medium - 1).unicode()) {
    case '0':
        return QStringLiteral("-");
    case '1':
        return QStringLiteral("+");
    case '2':
        return QStringLiteral("++");
    default:
        return QString();
    }
}

QStringList expectedRow(const data::MaterialRow& m)
{
    QStringList cells{m.cas,   m.name,        m.name1,       m.name2,
                      m.odour, m.performance, m.application, m.literature};
    for (int medium = 1; medium <= model::MediaCount; ++medium)
        cells << expectedRating(m.stabil, medium);
    return cells;
}

class ListExportFile : public ::testing::Test
{
protected:
    ListExportFile() : fixture(awkward()), table(fixture.db->table(model::tables::material)) {}

    // The id the database gave the material of that CAS.
    int idOf(const QString& cas) const
    {
        const int casField = table->fieldIndex(model::fields::cas);
        const int idField = table->fieldIndex(model::fields::id);
        for (int r = 0; r < table->recordCount(); ++r)
            if (table->text(r, casField) == cas)
                return static_cast<int>(table->integer(r, idField));
        return -1;
    }
    const data::MaterialRow& material(const char* cas) const
    {
        for (const auto& m : content.materials)
            if (m.cas == QLatin1String(cas))
                return m;
        throw std::runtime_error("no such material");
    }
    QByteArray read(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    data::DatabaseContent content = awkward();
    test::DatabaseFixture fixture;
    std::shared_ptr<data::Table> table;
    test::TempDir out;
};

TEST_F(ListExportFile, NarrowedListKeepsItsOrderAndEveryColumn)
{
    // Three of five, in an order that is neither name nor id order.
    const std::vector<const char*> cas{"127-41-3", "5392-40-5", "106-24-1"};
    std::vector<int> ids;
    for (const char* c : cas)
        ids.push_back(idOf(QString::fromLatin1(c)));
    const QString path = out.file(QStringLiteral("list.csv"));
    ASSERT_EQ(ListExport::writeCsv(path, *table, ids), QString());

    const QByteArray bytes = read(path);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "spreadsheets need the mark to read UTF-8";
    const test::CsvTable csv = test::readCsv(bytes.mid(3));
    ASSERT_TRUE(csv.ok);
    ASSERT_EQ(csv.rows.size(), 1 + static_cast<int>(cas.size()));
    EXPECT_EQ(csv.rows.at(0), ListExport::header());
    for (size_t i = 0; i < cas.size(); ++i)
        EXPECT_EQ(csv.rows.at(static_cast<int>(i) + 1), expectedRow(material(cas[i])))
            << "row " << i + 1;
}

TEST_F(ListExportFile, IdsTheTableDoesNotHoldAreLeftOut)
{
    const QString path = out.file(QStringLiteral("list.csv"));
    ASSERT_EQ(ListExport::writeCsv(path, *table, {0, idOf(QStringLiteral("122-48-5")), 99, -4}),
              QString());
    const test::CsvTable csv = test::readCsv(read(path).mid(3));
    ASSERT_EQ(csv.rows.size(), 2);
    EXPECT_EQ(csv.rows.at(1), expectedRow(material("122-48-5")));

    ASSERT_EQ(ListExport::writeCsv(path, *table, {}), QString());
    EXPECT_EQ(test::readCsv(read(path).mid(3)).rows.size(), 1) << "an empty list is its header";
}

TEST_F(ListExportFile, ProgressRunsFromNothingToAll)
{
    std::vector<std::pair<int, int>> calls;
    ASSERT_EQ(ListExport::writeCsv(out.file(QStringLiteral("p.csv")), *table, {1, 2, 3, 4, 5},
                                   [&](int done, int total) { calls.emplace_back(done, total); }),
              QString());
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), std::make_pair(0, 5));
    EXPECT_EQ(calls.back(), std::make_pair(5, 5));
    for (size_t i = 1; i < calls.size(); ++i)
        EXPECT_LE(calls[i - 1].first, calls[i].first);
}

struct FailCase
{
    const char* name;
    const char* path; // inside the scratch folder
};

void PrintTo(const FailCase& c, std::ostream* os)
{
    *os << c.name;
}

class ListExportFailure : public ListExportFile, public ::testing::WithParamInterface<FailCase>
{
};

TEST_P(ListExportFailure, SaysWhyAndLeavesNoFile)
{
    QDir(out.path()).mkdir(QStringLiteral("folder"));
    QFile plain(out.file(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QStringList before = QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const QString path = out.file(QString::fromLatin1(GetParam().path));
    const QString error = ListExport::writeCsv(path, *table, {1, 2});
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot "))) << error.toStdString();
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_TRUE(QDir(out.file(QStringLiteral("folder"))).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(ListExport, ListExportFailure,
                         ::testing::Values(FailCase{"IsAFolder", "folder"},
                                           FailCase{"MissingFolder", "absent/list.csv"},
                                           FailCase{"FolderIsAFile", "plain/list.csv"}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ListExportFile, ReplacesAnOldFileWhole)
{
    const QString path = out.file(QStringLiteral("list.csv"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    ASSERT_EQ(ListExport::writeCsv(path, *table, {1}), QString());
    const QByteArray bytes = read(path);
    EXPECT_FALSE(bytes.contains(QByteArray(100, 'x'))) << "nothing of the old file is left";
    EXPECT_EQ(test::readCsv(bytes.mid(3)).rows.size(), 2);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 1) << "no temporary file stays";
}

// Ids with gaps run past the number of materials; every material is still exported.
TEST(ListExport, IdsWithGapsAreAllExported)
{
    data::WriteOptions options;
    options.idStep = 7;
    const test::DatabaseFixture fixture(data::makeScaleContent(50, 0, 1), options);
    const auto table = fixture.db->table(model::tables::material);
    std::vector<int> ids;
    const int idField = table->fieldIndex(model::fields::id);
    for (int r = 0; r < table->recordCount(); ++r)
        ids.push_back(static_cast<int>(table->integer(r, idField)));
    ASSERT_GT(*std::max_element(ids.begin(), ids.end()), table->recordCount());
    test::TempDir out;
    const QString path = out.file(QStringLiteral("gaps.csv"));
    ASSERT_EQ(ListExport::writeCsv(path, *table, ids), QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(test::readCsv(f.readAll().mid(3)).rows.size(), 51);
}

// A pipe is written straight into, and stays a pipe.
TEST(ListExport, APipeIsWrittenIntoNotReplaced)
{
    const test::DatabaseFixture fixture(data::makeScaleContent(20, 0, 1));
    const auto table = fixture.db->table(model::tables::material);
    test::TempDir out;
    const QString fifo = out.file(QStringLiteral("list.fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        QFile in(fifo);
        if (in.open(QIODevice::ReadOnly))
            received = in.readAll();
    });
    // The writer refuses a pipe nobody reads yet; give the reader its moment to open.
    QString error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        error = ListExport::writeCsv(fifo, *table, {1, 2, 3});
        if (error.isEmpty())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!error.isEmpty()) // lets a reader still waiting see the end of the pipe
        ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    reader.join();
    ASSERT_EQ(error, QString());
    EXPECT_EQ(test::readCsv(received.mid(3)).rows.size(), 4);
    struct stat st
    {
    };
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// The largest list the program holds, in an order the table does not have: every row comes
// out, in that order, and every row is as long as the header.
TEST(ListExport, EightThousandMaterialsInTheListsOrder)
{
    const test::DatabaseFixture fixture(data::makeScaleContent(8000, 0, 1));
    const auto table = fixture.db->table(model::tables::material);
    ASSERT_EQ(table->recordCount(), 8000);
    std::vector<int> ids;
    for (int id = 8000; id >= 1; id -= 2) // every other material, last first
        ids.push_back(id);
    test::TempDir out;
    const QString path = out.file(QStringLiteral("scale.csv"));
    ASSERT_EQ(ListExport::writeCsv(path, *table, ids), QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const test::CsvTable csv = test::readCsv(f.readAll().mid(3));
    ASSERT_TRUE(csv.ok);
    ASSERT_EQ(csv.rows.size(), 4001);
    const int casField = table->fieldIndex(model::fields::cas);
    const int idField = table->fieldIndex(model::fields::id);
    std::map<int, QString> casOf;
    for (int r = 0; r < table->recordCount(); ++r)
        casOf[static_cast<int>(table->integer(r, idField))] = table->text(r, casField).toString();
    for (int i = 1; i < csv.rows.size(); ++i) {
        ASSERT_EQ(csv.rows[i].size(), csv.rows[0].size()) << "row " << i;
        ASSERT_EQ(csv.rows[i].at(0), casOf[ids[static_cast<size_t>(i - 1)]]) << "row " << i;
    }
}

// Names a spreadsheet would take for formulas, opened by LibreOffice as a user would: with its
// default import no cell may become a formula; with the import settings README gives, every
// name comes back exactly as written.
TEST(ListExport, SpreadsheetShowsFormulaLikeNamesAsText)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (scripts/setup installs it)";
    QFile readme(QStringLiteral(ZEL_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString settings = QRegularExpression(QStringLiteral("--infilter=(CSV:[0-9,a-z-]+)"))
                                 .match(QString::fromUtf8(readme.readAll()))
                                 .captured(1);
    ASSERT_FALSE(settings.isEmpty()) << "README names no import settings";

    const QStringList names{QStringLiteral("=HYPERLINK(\"http://example.com\";\"x\")"),
                            QStringLiteral("=1+1"),
                            QStringLiteral("+41 44 555 01 02"),
                            QStringLiteral("-2+3"),
                            QStringLiteral("@SUM(1;2)"),
                            QStringLiteral("=A1, and more"),
                            QStringLiteral("++"),
                            QStringLiteral("140-11-4"),
                            QStringLiteral("  spaced  ")};
    zel::test::TempDir dir;
    QFile csv(dir.file(QStringLiteral("list.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("\xEF\xBB\xBF" + ListExport::csvLine({QStringLiteral("name")}));
    for (const QString& name : names)
        csv.write(ListExport::csvLine({name}));
    csv.close();

    // LibreOffice's own profile in the scratch directory, never the user's.
    const auto convert = [&](const QStringList& args, const QString& out) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(soffice,
                QStringList{QStringLiteral("-env:UserInstallation=file://") +
                                dir.file(QStringLiteral("profile")),
                            QStringLiteral("--headless")} +
                    args + QStringList{QStringLiteral("--outdir"), dir.file(out), csv.fileName()});
        p.waitForFinished(180000);
        QFile f(dir.file(
            out + QStringLiteral("/list.") +
            (out == QLatin1String("default") ? QStringLiteral("fods") : QStringLiteral("csv"))));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    const QString opened = convert({QStringLiteral("--convert-to"), QStringLiteral("fods")},
                                   QStringLiteral("default"));
    ASSERT_FALSE(opened.isEmpty()) << "LibreOffice converted nothing";
    EXPECT_FALSE(opened.contains(QStringLiteral("table:formula="))) << "a cell became a formula";

    const QString back =
        convert({QStringLiteral("--infilter=") + settings, QStringLiteral("--convert-to"),
                 QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true")},
                QStringLiteral("readme"));
    const test::CsvTable rows = test::readCsv(back.toUtf8());
    ASSERT_TRUE(rows.ok);
    ASSERT_EQ(rows.rows.size(), names.size() + 1);
    for (qsizetype i = 0; i < names.size(); ++i) {
        // Only a name that needs quotes of its own keeps its blank.
        const bool quoted =
            names[i].contains(QLatin1Char(',')) || names[i].contains(QLatin1Char('"'));
        const QString expected = quoted ? QLatin1Char(' ') + names[i] : names[i];
        EXPECT_EQ(rows.rows[i + 1].value(0), expected);
    }
}

} // namespace
