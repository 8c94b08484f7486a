// zel --compare as a process of its own, without any window: what it writes, and what it
// refuses with its message, its exit status and no file.
#include "CompareContent.h"
#include "TempDir.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

struct CompareCase
{
    const char* name;
    QStringList cas;
    const char* file;
    int exitCode;
    const char* says; // on standard output when written, on standard error when not
};

void PrintTo(const CompareCase& c, std::ostream* os)
{
    *os << c.name;
}

class CompareProcess : public ::testing::TestWithParam<CompareCase>
{
};

TEST_P(CompareProcess, WritesTheComparisonOrRefusesWithoutAFile)
{
    const CompareCase& c = GetParam();
    zel::test::TempDir dir;
    zel::data::writeDatabase(dir.path(), zel::test::compareContent());
    const QString file = dir.file(QString::fromLatin1(c.file));
    QProcess zel;
    zel.start(zel::test::builtProgram(QStringLiteral("src/app/zel")),
              {QStringLiteral("--data"), dir.path(), QStringLiteral("--compare"),
               c.cas.join(QLatin1Char(',')), file});
    ASSERT_TRUE(zel.waitForFinished(60000));
    EXPECT_EQ(zel.exitCode(), c.exitCode);
    const QString said = QString::fromLocal8Bit(c.exitCode == 0 ? zel.readAllStandardOutput()
                                                                : zel.readAllStandardError());
    EXPECT_TRUE(said.contains(QString::fromLatin1(c.says))) << said.toStdString();
    EXPECT_EQ(QFile::exists(file), c.exitCode == 0);

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (c.exitCode != 0 || !file.endsWith(QStringLiteral(".pdf")) || pdftotext.isEmpty())
        return;
    QProcess text;
    text.start(pdftotext, {file, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString& cas : c.cas)
        EXPECT_TRUE(printed.contains(cas)) << cas.toStdString();
}

const QStringList two = zel::test::comparedCas(2);

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareProcess,
    ::testing::Values(
        CompareCase{"two_as_pdf", two, "two.pdf", 0, "Wrote"},
        CompareCase{"six_as_report_file", zel::test::comparedCas(6), "six.frp", 0, "Wrote"},
        CompareCase{"unknown_cas", {two[0], QStringLiteral("999-99-9")}, "x.pdf", 1, "999-99-9"},
        CompareCase{"one", zel::test::comparedCas(1), "x.pdf", 2, "2 to 6"},
        CompareCase{"seven", zel::test::comparedCas(7), "x.pdf", 2, "2 to 6"},
        CompareCase{"twice", {two[0], two[0]}, "x.pdf", 2, "twice"},
        CompareCase{"empty_cas", {two[0], QString()}, "x.pdf", 2, "empty"}),
    [](const auto& c) { return std::string(c.param.name); });

} // namespace
