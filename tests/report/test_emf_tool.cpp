// `zeltool emf`: a page image drawn as a picture or a PDF page, and its records listed.

#include "EmfBuilder.h"
#include "ReportTestData.h"
#include "TempDir.h"
#include "common/DemoReport.h"
#include "common/EmfTool.h"
#include "report/emf/EmfFormat.h"

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextStream>
#include <functional>
#include <gtest/gtest.h>

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
    r.code = zel::report::runEmfTool(args, out, err);
    out.flush();
    err.flush();
    return r;
}

class EmfTool : public testing::Test
{
protected:
    void SetUp() override
    {
        page = dir.file(QStringLiteral("page.emf"));
        zel::test::writeFile(page, zel::report::makeDemoPage(1, 1).bytes());
    }
    zel::test::TempDir dir;
    QString page;
};

struct Size
{
    const char* name;
    QStringList options;
    QSize expected;
};

class RenderSizes : public EmfTool, public testing::WithParamInterface<Size>
{
};

TEST_P(RenderSizes, FollowTheResolutionOrWidthAsked)
{
    const QString out = dir.file(QStringLiteral("out.png"));
    const ToolRun r = tool(QStringList{QStringLiteral("render"), page, out} + GetParam().options);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage picture(out);
    EXPECT_EQ(picture.size(), GetParam().expected);
    EXPECT_LT(zel::test::darkPixels(picture, picture.rect()),
              picture.width() * picture.height() / 2)
        << "a page, not a black square";
    EXPECT_GT(zel::test::darkPixels(picture, picture.rect()), 100) << "with something on it";
}

INSTANTIATE_TEST_SUITE_P(
    Tool, RenderSizes,
    testing::Values(
        Size{"Default", {}, QSize(794, 1123)},
        Size{"HalfResolution", {QStringLiteral("--dpi"), QStringLiteral("48")}, QSize(397, 562)},
        Size{"Width", {QStringLiteral("--width"), QStringLiteral("300")}, QSize(300, 424)}),
    [](const testing::TestParamInfo<Size>& p) { return std::string(p.param.name); });

struct Failure
{
    const char* name;
    std::function<QStringList(const QString& dir, const QString& page)> args;
    int code;
    const char* message;
};

class RenderFailures : public EmfTool, public testing::WithParamInterface<Failure>
{
};

TEST_P(RenderFailures, SayWhyAndWriteNothing)
{
    const QString out = dir.file(QStringLiteral("out.png"));
    const QStringList args = GetParam().args(dir.path(), page);
    const ToolRun r = tool(args);
    EXPECT_EQ(r.code, GetParam().code);
    EXPECT_TRUE(r.err.contains(QLatin1String(GetParam().message))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out)) << "no output left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Tool, RenderFailures,
    testing::Values(
        Failure{"MissingInput",
                [](const QString& d, const QString&) {
                    return QStringList{QStringLiteral("render"), d + "/none.emf", d + "/out.png"};
                },
                1, "Cannot open"},
        Failure{"NotAPageImage",
                [](const QString& d, const QString&) {
                    zel::test::writeFile(d + "/text.emf", "just some text, not a metafile at all, "
                                                          "long enough to hold a header of its "
                                                          "own, and then some more bytes");
                    return QStringList{QStringLiteral("render"), d + "/text.emf", d + "/out.png"};
                },
                1, "not a page image that can be drawn"},
        Failure{"TooLarge",
                [](const QString& d, const QString& p) {
                    return QStringList{QStringLiteral("render"), p, d + "/out.png",
                                       QStringLiteral("--dpi"), QStringLiteral("20000")};
                },
                1, "too large"},
        Failure{"BadResolution",
                [](const QString& d, const QString& p) {
                    return QStringList{QStringLiteral("render"), p, d + "/out.png",
                                       QStringLiteral("--dpi"), QStringLiteral("-3")};
                },
                2, "positive number"},
        Failure{"NoOutput",
                [](const QString&, const QString& p) {
                    return QStringList{QStringLiteral("render"), p};
                },
                2, "takes a page image and an output file"},
        Failure{"UnknownCommand",
                [](const QString&, const QString&) { return QStringList{QStringLiteral("draw")}; },
                2, "unknown command"}),
    [](const testing::TestParamInfo<Failure>& p) { return std::string(p.param.name); });

TEST_F(EmfTool, PdfPageHasTheImagesSize)
{
    const QString out = dir.file(QStringLiteral("page.pdf"));
    const ToolRun r = tool({QStringLiteral("render"), page, out});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(zel::test::readFile(out).startsWith("%PDF"));
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed; the page size is not checked";
    QProcess p;
    p.start(pdfinfo, {out});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString info = QString::fromLocal8Bit(p.readAllStandardOutput());
    // 210.08 x 297.13 mm are 595.5 x 842.3 points.
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts")).match(info);
    ASSERT_TRUE(m.hasMatch()) << info.toStdString();
    EXPECT_NEAR(m.captured(1).toDouble(), 595.5, 1.5);
    EXPECT_NEAR(m.captured(2).toDouble(), 842.3, 1.5);
}

TEST_F(EmfTool, InfoCountsTheRecordsByName)
{
    const ToolRun r = tool({QStringLiteral("info"), page});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("Frame:       210.08 x 297.13 mm")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QLatin1String("EMR_EXTTEXTOUTW (84)")));
    EXPECT_TRUE(r.out.contains(QLatin1String("EMR_EOF (14)")));
}

} // namespace
