// zel.ini as the program reads it (Windows rules: names in any case, values trimmed, the
// file only read) and the command line.
#include "TempDir.h"
#include "app/CommandLine.h"
#include "app/ConfigLocation.h"
#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using zel::app::CommandLine;
using zel::app::ConfigLocation;
using zel::app::IniFile;

namespace {

struct IniCase
{
    const char* name;
    QByteArray text;
    const char* section;
    const char* key;
    QString expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const IniCase& c, std::ostream* os)
{
    *os << c.name;
}

class Ini : public ::testing::TestWithParam<IniCase>
{
};

TEST_P(Ini, ReadsLikeTheDesktopDoes)
{
    const IniCase& c = GetParam();
    IniFile ini;
    ini.parse(c.text);
    EXPECT_EQ(ini.value(QString::fromLatin1(c.section), QString::fromLatin1(c.key)), c.expected);
}

const QByteArray kTypical =
    "; written by hand\n[Database]\nPath=/srv/zel/data\n\n[Help]\nFile Name=/srv/zel/zel.html\n";

INSTANTIATE_TEST_SUITE_P(
    IniFile, Ini,
    ::testing::Values(
        IniCase{"Typical", kTypical, "Database", "Path", QStringLiteral("/srv/zel/data")},
        IniCase{"KeyWithBlank", kTypical, "Help", "File Name", QStringLiteral("/srv/zel/zel.html")},
        IniCase{"NamesInAnyCase", kTypical, "DATABASE", "path", QStringLiteral("/srv/zel/data")},
        IniCase{"FileInOtherCase", "[database]\nPATH=/d\n", "Database", "Path",
                QStringLiteral("/d")},
        IniCase{"BlanksTrimmed", "  [ Database ]  \n  Path  =   /d e  \n", "Database", "Path",
                QStringLiteral("/d e")},
        IniCase{"CrLf", "[Database]\r\nPath=/d\r\n", "Database", "Path", QStringLiteral("/d")},
        IniCase{"ByteOrderMark", "\xEF\xBB\xBF[Database]\nPath=/d\n", "Database", "Path",
                QStringLiteral("/d")},
        IniCase{"Latin1",
                "[Database]\nPath=/donn\xE9"
                "es\n",
                "Database", "Path", QStringLiteral("/donn\u00e9es")},
        IniCase{"Utf8",
                "[Database]\nPath=/donn\xC3\xA9"
                "es\n",
                "Database", "Path", QStringLiteral("/donn\u00e9es")},
        IniCase{"QuotesAround", "[Database]\nPath=\"/my data/\"\n", "Database", "Path",
                QStringLiteral("/my data/")},
        IniCase{"LoneQuoteKept", "[Database]\nPath=\"/d\n", "Database", "Path",
                QStringLiteral("\"/d")},
        IniCase{"FirstKeyWins", "[Database]\nPath=/a\nPath=/b\n", "Database", "Path",
                QStringLiteral("/a")},
        IniCase{"SectionAgainKeepsFirst", "[Database]\nPath=/a\n[Help]\n[Database]\nPath=/b\n",
                "Database", "Path", QStringLiteral("/a")},
        IniCase{"OtherSectionIgnored", "[Data]\nPath=/a\n", "Database", "Path", QString()},
        IniCase{"BeforeAnySection", "Path=/a\n[Database]\n", "Database", "Path", QString()},
        IniCase{"CommentedOut", "[Database]\n;Path=/a\n#Path=/b\n", "Database", "Path", QString()},
        IniCase{"EmptyValue", "[Database]\nPath=\n", "Database", "Path", QString()},
        IniCase{"EqualsInValue", "[Database]\nPath=/a=b\n", "Database", "Path",
                QStringLiteral("/a=b")},
        IniCase{"NoEquals", "[Database]\nPath\n", "Database", "Path", QString()},
        IniCase{"UnclosedSection", "[Database\nPath=/a\n", "Database", "Path", QString()},
        IniCase{"Empty", "", "Database", "Path", QString()},
        IniCase{"Binary", QByteArray("\x00\x9f[Data\x00\xff\xfe\x01Path=\x00", 15), "Database",
                "Path", QString()}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(IniFile, MissingDirectoryOrPipeReadsAsEmpty)
{
    zel::test::TempDir dir;
    EXPECT_EQ(IniFile(dir.file(QStringLiteral("absent.ini")))
                  .value(QStringLiteral("Database"), QStringLiteral("Path")),
              QString());
    EXPECT_EQ(IniFile(dir.path()).value(QStringLiteral("Database"), QStringLiteral("Path")),
              QString());
    // Nobody writes into this pipe: reading it would never end.
    const QString pipe = dir.file(QStringLiteral("zel.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(IniFile(pipe).value(QStringLiteral("Database"), QStringLiteral("Path")), QString());
}

TEST(IniFile, HugeFileIsReadOnlyAsFarAsAConfigurationGoes)
{
    zel::test::TempDir dir;
    QFile f(dir.file(QStringLiteral("zel.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Database]\nPath=/near\n");
    f.write(QByteArray(2 << 20, ';'));
    f.write("\n[Help]\nFile Name=/far\n");
    f.close();
    const IniFile ini(f.fileName());
    EXPECT_EQ(ini.value(QStringLiteral("Database"), QStringLiteral("Path")),
              QStringLiteral("/near"));
    EXPECT_EQ(ini.value(QStringLiteral("Help"), QStringLiteral("File Name")), QString());
}

struct ArgsCase
{
    const char* name;
    QStringList args;
    bool help, version, headless;
    QStringList unknown;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ArgsCase& c, std::ostream* os)
{
    *os << c.name;
}

class Args : public ::testing::TestWithParam<ArgsCase>
{
};

TEST_P(Args, AreSortedOut)
{
    const ArgsCase& c = GetParam();
    const CommandLine cl = CommandLine::parse(c.args);
    EXPECT_EQ(cl.help, c.help);
    EXPECT_EQ(cl.version, c.version);
    EXPECT_EQ(cl.headless, c.headless);
    EXPECT_EQ(cl.unknown, c.unknown);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Args,
    ::testing::Values(ArgsCase{"None", {}, false, false, false, {}},
                      ArgsCase{"Headless", {QStringLiteral("--headless")}, false, false, true, {}},
                      ArgsCase{"ShortHelp", {QStringLiteral("-h")}, true, false, false, {}},
                      ArgsCase{"HelpWinsOverUnknown",
                               {QStringLiteral("--x"), QStringLiteral("--help")},
                               true,
                               false,
                               false,
                               {QStringLiteral("--x")}},
                      ArgsCase{"Version", {QStringLiteral("--version")}, false, true, false, {}},
                      ArgsCase{"SingleDashIsNotOurs",
                               {QStringLiteral("-headless")},
                               false,
                               false,
                               false,
                               {QStringLiteral("-headless")}},
                      ArgsCase{"Operand",
                               {QStringLiteral("file.db")},
                               false,
                               false,
                               false,
                               {QStringLiteral("file.db")}}),
    [](const auto& param) { return std::string(param.param.name); });

struct ReportArgsCase
{
    const char* name;
    QStringList args;
    QString cas, supplier, file;
    bool problem;
    QStringList unknown;
};

void PrintTo(const ReportArgsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReportArgs : public ::testing::TestWithParam<ReportArgsCase>
{
};

// Headless report output: the file's extension chooses the format, any other is refused
// before the program starts.
TEST_P(ReportArgs, ChooseTheReportAndItsFile)
{
    const ReportArgsCase& c = GetParam();
    const CommandLine cl = CommandLine::parse(c.args);
    EXPECT_EQ(cl.materialCas, c.cas);
    EXPECT_EQ(cl.supplierNumber, c.supplier);
    EXPECT_EQ(cl.reportFile, c.file);
    EXPECT_EQ(!cl.problem.isEmpty(), c.problem) << cl.problem.toStdString();
    EXPECT_EQ(cl.unknown, c.unknown);
    if (c.unknown.isEmpty()) {
        EXPECT_TRUE(cl.headless);
    }
}

QStringList args(std::initializer_list<const char*> list)
{
    QStringList l;
    for (const char* a : list)
        l << QString::fromUtf8(a);
    return l;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ReportArgs,
    ::testing::Values(ReportArgsCase{"MaterialAsPdf",
                                     args({"--material-report", "78-70-6", "a.pdf"}),
                                     QStringLiteral("78-70-6"),
                                     {},
                                     QStringLiteral("a.pdf"),
                                     false,
                                     {}},
                      ReportArgsCase{"SupplierAsReportFile",
                                     args({"--supplier-report", "S01", "dir/b.FRP"}),
                                     {},
                                     QStringLiteral("S01"),
                                     QStringLiteral("dir/b.FRP"),
                                     false,
                                     {}},
                      ReportArgsCase{"OtherExtension",
                                     args({"--material-report", "78-70-6", "c.txt"}),
                                     QStringLiteral("78-70-6"),
                                     {},
                                     QStringLiteral("c.txt"),
                                     true,
                                     {}},
                      ReportArgsCase{"NoExtension",
                                     args({"--supplier-report", "S01", "sheet"}),
                                     {},
                                     QStringLiteral("S01"),
                                     QStringLiteral("sheet"),
                                     true,
                                     {}},
                      ReportArgsCase{"MissingFile",
                                     args({"--material-report", "78-70-6"}),
                                     {},
                                     {},
                                     {},
                                     false,
                                     args({"--material-report"})}),
    [](const auto& param) { return std::string(param.param.name); });

struct PlacesCase
{
    const char* name;
    ConfigLocation::Environment env;
    QStringList places;
};

void PrintTo(const PlacesCase& c, std::ostream* os)
{
    *os << c.name;
}

class Places : public ::testing::TestWithParam<PlacesCase>
{
};

TEST_P(Places, FollowTheDesktopsRules)
{
    const PlacesCase& c = GetParam();
    EXPECT_EQ(ConfigLocation::places(QStringLiteral("/opt/zel/bin"), c.env), c.places);
}

INSTANTIATE_TEST_SUITE_P(
    ConfigLocation, Places,
    ::testing::Values(
        PlacesCase{
            "Defaults",
            {QStringLiteral("/home/ann"), {}, {}},
            {"/opt/zel/bin/zel.ini", "/home/ann/.config/zel/zel.ini", "/etc/xdg/zel/zel.ini"}},
        PlacesCase{
            "Set",
            {QStringLiteral("/home/ann"), QStringLiteral("/cfg"), QStringLiteral("/s1:/s2/")},
            {"/opt/zel/bin/zel.ini", "/cfg/zel/zel.ini", "/s1/zel/zel.ini", "/s2/zel/zel.ini"}},
        PlacesCase{"RelativeEntriesIgnored",
                   {QStringLiteral("/home/ann"), QStringLiteral("cfg"), QStringLiteral("rel::/s")},
                   {"/opt/zel/bin/zel.ini", "/home/ann/.config/zel/zel.ini", "/s/zel/zel.ini"}},
        PlacesCase{
            "OnlyRelativeSystemDirsMeansTheDefault",
            {QStringLiteral("/home/ann"), {}, QStringLiteral("a:b")},
            {"/opt/zel/bin/zel.ini", "/home/ann/.config/zel/zel.ini", "/etc/xdg/zel/zel.ini"}},
        PlacesCase{"NoHome", {{}, {}, {}}, {"/opt/zel/bin/zel.ini", "/etc/xdg/zel/zel.ini"}},
        PlacesCase{
            "NoPlaceTwice",
            {QStringLiteral("/h"), QStringLiteral("/etc/xdg"), QStringLiteral("/etc/xdg:/x")},
            {"/opt/zel/bin/zel.ini", "/etc/xdg/zel/zel.ini", "/x/zel/zel.ini"}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ConfigLocation, FirstExistingSkipsFoldersAndMissingFiles)
{
    zel::test::TempDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("a/zel.ini")); // a folder of that name
    QFile f(dir.file(QStringLiteral("b.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(ConfigLocation::firstExisting({dir.file(QStringLiteral("a/zel.ini")),
                                             dir.file(QStringLiteral("none.ini")), f.fileName()}),
              f.fileName());
    EXPECT_EQ(ConfigLocation::firstExisting({dir.file(QStringLiteral("none.ini"))}), QString());
}

TEST(ConfigLocation, InstalledHelpFileLiesInShareBesideBin)
{
    zel::test::TempDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("usr/bin"));
    EXPECT_EQ(ConfigLocation::installedHelpFile(dir.file(QStringLiteral("usr/bin"))), QString());
    QDir(dir.path()).mkpath(QStringLiteral("usr/share/zel"));
    QFile help(dir.file(QStringLiteral("usr/share/zel/zel.html")));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    EXPECT_EQ(ConfigLocation::installedHelpFile(dir.file(QStringLiteral("usr/bin"))),
              help.fileName());
}

struct SourceArgsCase
{
    const char* name;
    QStringList args;
    QString config, data, exportFile;
    bool headless, problem;
    QStringList unknown;
};

void PrintTo(const SourceArgsCase& c, std::ostream* os)
{
    *os << c.name;
}

class SourceArgs : public ::testing::TestWithParam<SourceArgsCase>
{
};

TEST_P(SourceArgs, NameWhereTheDataComeFromAndWhereTheListGoes)
{
    const SourceArgsCase& c = GetParam();
    const CommandLine cl = CommandLine::parse(c.args);
    EXPECT_EQ(cl.configFile, c.config);
    EXPECT_EQ(cl.dataDirectory, c.data);
    EXPECT_EQ(cl.exportFile, c.exportFile);
    EXPECT_EQ(cl.headless, c.headless);
    EXPECT_EQ(!cl.problem.isEmpty(), c.problem) << cl.problem.toStdString();
    EXPECT_EQ(cl.unknown, c.unknown);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, SourceArgs,
    ::testing::Values(
        SourceArgsCase{"Config", {"--config", "/e/z.ini"}, "/e/z.ini", {}, {}, false, false, {}},
        SourceArgsCase{"Data", {"--data", "/d", "--headless"}, {}, "/d", {}, true, false, {}},
        SourceArgsCase{
            "ExportIsHeadless", {"--export-list", "a b.csv"}, {}, {}, "a b.csv", true, false, {}},
        SourceArgsCase{"ExportWithData",
                       {"--data", "/d", "--export-list", "x.csv"},
                       {},
                       "/d",
                       "x.csv",
                       true,
                       false,
                       {}},
        SourceArgsCase{
            "ConfigMissingItsFile", {"--config"}, {}, {}, {}, false, false, {"--config"}},
        SourceArgsCase{"DataEmpty", {"--data", ""}, {}, {}, {}, false, false, {"--data"}},
        SourceArgsCase{"ExportMissingItsFile",
                       {"--headless", "--export-list"},
                       {},
                       {},
                       {},
                       true,
                       false,
                       {"--export-list"}},
        SourceArgsCase{"ConfigAndDataContradict",
                       {"--config", "/c", "--data", "/d"},
                       "/c",
                       "/d",
                       {},
                       false,
                       true,
                       {}},
        SourceArgsCase{"ExportAndReportInOneRun",
                       {"--export-list", "x.csv", "--material-report", "1-1-1", "r.pdf"},
                       {},
                       {},
                       "x.csv",
                       true,
                       true,
                       {}}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
