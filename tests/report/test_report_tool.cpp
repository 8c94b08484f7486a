#include "ReportTestData.h"
#include "TempDir.h"
#include "common/ReportTool.h"
#include "report/TRpPageList.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <gtest/gtest.h>
#include <iostream>

using zel::report::TRpPageList;

namespace {

struct ToolRun
{
    int code;
    QString out;
    QString err;
};

ToolRun tool(const QStringList& args)
{
    ToolRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = zel::report::runReportTool(args, out, err);
    out.flush();
    err.flush();
    return r;
}

// Runs a program of the poppler tools, or says why not.
std::optional<QString> poppler(const QString& program, const QStringList& args)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(path, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

class ReportTool : public testing::Test
{
protected:
    QString demo(const QString& name, int pages, const QStringList& options = {})
    {
        QString path = dir.file(name);
        QStringList args{QStringLiteral("demo"), path, QString::number(pages)};
        args.append(options);
        const ToolRun r = tool(args);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return path;
    }

    zel::test::TempDir dir;
};

} // namespace

TEST_F(ReportTool, InfoShowsTheHeaderAndEveryPage)
{
    const QString path = demo(QStringLiteral("info.frp"), 3);
    const ToolRun r = tool({QStringLiteral("info"), path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_TRUE(r.out.contains(QStringLiteral("Format version:  3\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Writer version:  305\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Pages:           3\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Compressed:      no\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Paper:           10 (A4 Small), portrait\n")))
        << r.out.toStdString();

    TRpPageList list;
    list.load(path);
    for (int n = 1; n <= 3; ++n) {
        const TRpPageList::PageRecord rec = list.pageRecord(n);
        const QRegularExpression row(QStringLiteral("\\n\\s+%1\\s+%2\\s+%3\\s+%4\\s+210\\.1 x "
                                                    "297\\.1 mm\\n")
                                         .arg(n)
                                         .arg(rec.start)
                                         .arg(rec.length)
                                         .arg(rec.imageBytes));
        EXPECT_TRUE(row.match(r.out).hasMatch()) << "page " << n << "\n" << r.out.toStdString();
    }
}

TEST_F(ReportTool, PageWritesOnePageImage)
{
    const QString path = demo(QStringLiteral("pages.frp"), 3, {QStringLiteral("--compressed")});
    const QString out = dir.file(QStringLiteral("two.emf"));
    const ToolRun r = tool({QStringLiteral("page"), path, QStringLiteral("2"), out});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    TRpPageList list;
    list.load(path);
    EXPECT_EQ(zel::test::readFile(out), list.page(2)->bytes());
}

TEST_F(ReportTool, PackAndUnpackKeepThePages)
{
    const QString plain = demo(QStringLiteral("plain.frp"), 4);
    const QString packed = dir.file(QStringLiteral("packed.frp"));
    const QString unpacked = dir.file(QStringLiteral("unpacked.frp"));
    ASSERT_EQ(tool({QStringLiteral("pack"), plain, packed}).code, 0);
    ASSERT_EQ(tool({QStringLiteral("unpack"), packed, unpacked}).code, 0);
    EXPECT_LT(QFileInfo(packed).size(), QFileInfo(plain).size());

    TRpPageList a, b, c;
    a.load(plain);
    b.load(packed);
    c.load(unpacked);
    EXPECT_FALSE(a.compressed());
    EXPECT_TRUE(b.compressed());
    EXPECT_FALSE(c.compressed());
    ASSERT_EQ(b.pageCount(), 4);
    ASSERT_EQ(c.pageCount(), 4);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(b.page(n)->bytes(), a.page(n)->bytes());
        EXPECT_EQ(c.page(n)->bytes(), a.page(n)->bytes());
    }
    // Only the time in the header differs.
    QByteArray first = zel::test::readFile(plain);
    QByteArray last = zel::test::readFile(unpacked);
    first.replace(16, 8, QByteArray(8, '\0'));
    last.replace(16, 8, QByteArray(8, '\0'));
    EXPECT_EQ(first, last);
}

TEST_F(ReportTool, PdfHasOnePageOfTheRightSizePerReportPage)
{
    for (const bool landscape : {false, true}) {
        SCOPED_TRACE(landscape ? "landscape" : "portrait");
        const QString path =
            demo(QStringLiteral("pdf.frp"), 3,
                 landscape ? QStringList{QStringLiteral("--landscape")} : QStringList{});
        const QString pdf = dir.file(QStringLiteral("out.pdf"));
        const ToolRun r = tool({QStringLiteral("pdf"), path, pdf});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(zel::test::readFile(pdf).startsWith("%PDF-"));

        const auto info = poppler(QStringLiteral("pdfinfo"), {pdf});
        if (!info) {
            std::cout << "pdfinfo is not installed (poppler-utils); page sizes not checked\n";
            continue;
        }
        EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))))
            << info->toStdString();
        const QString size = landscape ? QStringLiteral("842 x 595") : QStringLiteral("595 x 842");
        EXPECT_TRUE(info->contains(size)) << info->toStdString();
        // The text of the pages is real text in the PDF.
        const auto text = poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        if (text) {
            EXPECT_TRUE(text->contains(QStringLiteral("Linalool"))) << text->toStdString();
            EXPECT_TRUE(text->contains(QStringLiteral("Page 3 of 3")));
        }
    }
}

struct FailingCase
{
    const char* name;
    QStringList args; // @IN is a sound report, @BAD a broken one, @OUT the output
    int code;
    const char* expected;
};

class FailingRuns : public testing::TestWithParam<FailingCase>
{
};

TEST_P(FailingRuns, SayWhyAndLeaveNoOutput)
{
    zel::test::TempDir dir;
    const QString in = dir.file(QStringLiteral("in.frp"));
    ASSERT_EQ(tool({QStringLiteral("demo"), in, QStringLiteral("2")}).code, 0);
    const QString bad = dir.file(QStringLiteral("bad.frp"));
    QByteArray broken = zel::test::readFile(in);
    broken.chop(10);
    zel::test::writeFile(bad, broken);
    const QString out = dir.file(QStringLiteral("out.file"));

    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("@IN"), in);
    args.replaceInStrings(QStringLiteral("@BAD"), bad);
    args.replaceInStrings(QStringLiteral("@OUT"), out);
    const ToolRun r = tool(args);
    EXPECT_EQ(r.code, GetParam().code);
    EXPECT_TRUE(r.err.contains(QLatin1String(GetParam().expected))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    // Nothing half-written under another name either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FailingRuns,
    testing::Values(
        FailingCase{"NoCommand", {}, 2, "Usage:"},
        FailingCase{"UnknownCommand", {"print", "@IN"}, 2, "unknown command \"print\""},
        FailingCase{"InfoWithoutFile", {"info"}, 2, "Usage:"},
        FailingCase{"PageWithoutOutput", {"page", "@IN", "1"}, 2, "Usage:"},
        FailingCase{"PageNumberNotANumber", {"page", "@IN", "two", "@OUT"}, 2, "not a page number"},
        FailingCase{"PageBeyondTheEnd", {"page", "@IN", "3", "@OUT"}, 1, "there is no page 3"},
        FailingCase{"InfoOfABrokenFile", {"info", "@BAD"}, 1, "Damaged report file"},
        FailingCase{"PdfOfABrokenFile", {"pdf", "@BAD", "@OUT"}, 1, "Damaged report file"},
        FailingCase{"PackABrokenFile", {"pack", "@BAD", "@OUT"}, 1, "Damaged report file"},
        FailingCase{"UnpackAMissingFile", {"unpack", "missing.frp", "@OUT"}, 1, "Cannot open"},
        FailingCase{"PageIntoAMissingFolder", {"page", "@IN", "1", "@IN/x.emf"}, 1, "Cannot"}),
    [](const testing::TestParamInfo<FailingCase>& p) { return std::string(p.param.name); });

TEST(ReportToolHelp, IsShownOnRequest)
{
    const ToolRun r = tool({QStringLiteral("help")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: zeltool report")));
    EXPECT_TRUE(r.err.isEmpty());
}
