// What an installed ZEL consists of: the install tree with its desktop entry, metainfo,
// icons and manual pages, checked by the desktop's own validators; the manual pages in step
// with --help; and the Debian package, unpacked and run from where it was unpacked.
#include "TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <gtest/gtest.h>

using zel::test::TempDir;

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out, err;
};

Outcome run(const QString& program, const QStringList& args, int timeoutMs = 300000)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("DISPLAY"));
    // The installed program must find its help and sample by itself, never a zel.ini of the
    // machine or of the user.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("/nonexistent/user"));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/nonexistent/system"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    Outcome r;
    if (!p.waitForStarted(30000)) {
        r.err = QStringLiteral("%1 did not start").arg(program);
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("%1 did not end").arg(program);
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

std::string text(const Outcome& r)
{
    return QString(r.out + r.err).toStdString();
}

QByteArray gunzip(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

const int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Checks an installed tree under prefix (a usr folder): files in place, and the program
// started from there finds its help file and opens the sample database beside it.
void checkInstalledTree(const QString& prefix)
{
    const QStringList files{
        "bin/zel",
        "bin/zeltool",
        "share/zel/zel.html",
        "share/zel/sample/MATERIAL.DB",
        "share/zel/sample/SYNONYMS.DB",
        "share/zel/sample/SUPPLIER.DB",
        "share/zel/sample/material.idindex.zix",
        "share/applications/zel.desktop",
        "share/metainfo/zel.metainfo.xml",
        "share/icons/hicolor/scalable/apps/zel.svg",
        "share/man/man1/zel.1.gz",
        "share/man/man1/zeltool.1.gz",
        "share/doc/zel/copyright",
        "share/doc/zel/changelog.gz",
    };
    for (const QString& f : files)
        EXPECT_TRUE(QFileInfo(prefix + u'/' + f).isFile()) << f.toStdString();
    for (int size : kIconSizes) {
        const QString png =
            prefix + QStringLiteral("/share/icons/hicolor/%1x%1/apps/zel.png").arg(size);
        const QImage icon(png);
        EXPECT_EQ(icon.size(), QSize(size, size)) << png.toStdString();
        // Drawn, not blank: the disc fills the middle, the corners stay clear.
        if (!icon.isNull()) {
            EXPECT_GT(qAlpha(icon.pixel(size / 2, size / 2)), 200) << size;
            EXPECT_LT(qAlpha(icon.pixel(0, 0)), 60) << size;
        }
    }
    EXPECT_TRUE(QFileInfo(prefix + QStringLiteral("/bin/zel")).isExecutable());

    const QString zel = prefix + QStringLiteral("/bin/zel");
    const Outcome version = run(zel, {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0) << text(version);
    EXPECT_EQ(version.out, QStringLiteral("zel " ZEL_VERSION "\n"));

    const QString sample = prefix + QStringLiteral("/share/zel/sample");
    const Outcome start =
        run(zel, {QStringLiteral("--headless"), QStringLiteral("--data"), sample});
    EXPECT_EQ(start.exitCode, 0) << text(start);
    EXPECT_TRUE(start.out.contains(QStringLiteral("Indexes: present\n"))) << text(start);
    EXPECT_TRUE(start.out.contains(QStringLiteral("Configuration: (none)\n"))) << text(start);
    EXPECT_TRUE(start.out.contains(QStringLiteral("Help file: ") +
                                   QDir::cleanPath(prefix + QStringLiteral("/share/zel/zel.html")) +
                                   u'\n'))
        << text(start);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Materials: [1-9]")).match(start.out).hasMatch())
        << text(start);
}

// One cmake --install into a scratch prefix, shared by the tests that look at it.
class InstallTree : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = new TempDir;
        const Outcome r = run(QStringLiteral(ZEL_CMAKE),
                              {QStringLiteral("--install"), QStringLiteral(ZEL_BINARY_DIR),
                               QStringLiteral("--prefix"), prefix()});
        s_installed = r.exitCode == 0;
        s_log = text(r);
    }
    static void TearDownTestSuite()
    {
        delete s_root;
        s_root = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_installed) << s_log; }
    static QString prefix() { return s_root->file(QStringLiteral("usr")); }

    static TempDir* s_root;
    static bool s_installed;
    static std::string s_log;
};

TempDir* InstallTree::s_root = nullptr;
bool InstallTree::s_installed = false;
std::string InstallTree::s_log;

TEST_F(InstallTree, HoldsEverythingAndRunsFromWhereItLies)
{
    checkInstalledTree(prefix());
}

struct Validator
{
    const char* name;
    const char* program;
    QStringList args;
    const char* file; // under the prefix
};

void PrintTo(const Validator& v, std::ostream* os)
{
    *os << v.name;
}

class Validation : public InstallTree, public ::testing::WithParamInterface<Validator>
{
};

TEST_P(Validation, PassesTheDesktopsOwnCheck)
{
    const Validator& v = GetParam();
    const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(v.program));
    if (tool.isEmpty())
        GTEST_SKIP() << v.program << " is not installed (scripts/setup installs it)";
    const Outcome r =
        run(tool, QStringList(v.args) << prefix() + u'/' + QString::fromLatin1(v.file));
    EXPECT_EQ(r.exitCode, 0) << text(r);
    EXPECT_FALSE(r.out.contains(QStringLiteral("error"), Qt::CaseInsensitive)) << text(r);
}

INSTANTIATE_TEST_SUITE_P(Install, Validation,
                         ::testing::Values(Validator{"DesktopEntry",
                                                     "desktop-file-validate",
                                                     {},
                                                     "share/applications/zel.desktop"},
                                           Validator{"Metainfo",
                                                     "appstreamcli",
                                                     {"validate", "--no-net"},
                                                     "share/metainfo/zel.metainfo.xml"}),
                         [](const auto& param) { return std::string(param.param.name); });

// The options a text names: --long ones, and -x ones standing alone.
QSet<QString> optionsIn(const QString& text)
{
    QSet<QString> options;
    static const QRegularExpression option(
        QStringLiteral("(?<![\\w-])(--[a-z][a-z-]*[a-z]|-[a-z])(?![\\w-])"));
    for (auto it = option.globalMatch(text); it.hasNext();)
        options << it.next().captured(1);
    return options;
}

// A manual page's text without its markup: "\-" is a minus, "\fB" and the like are fonts.
QString manText(const QByteArray& roff)
{
    QString t = QString::fromUtf8(roff);
    t.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    t.replace(QRegularExpression(QStringLiteral("\\\\f[BIRP]")), QString());
    t.replace(u'"', u' ');
    return t;
}

struct ManCase
{
    const char* name;
    const char* program; // built program, relative to the build folder
    std::vector<QStringList> helps;
    const char* page;     // installed manual page
    QStringList prefixes; // the commands each help lists are named with this before them
};

void PrintTo(const ManCase& c, std::ostream* os)
{
    *os << c.name;
}

class ManPage : public InstallTree, public ::testing::WithParamInterface<ManCase>
{
};

TEST_P(ManPage, NamesWhatHelpNames)
{
    const ManCase& c = GetParam();
    const QString page = manText(gunzip(prefix() + u'/' + QString::fromLatin1(c.page)));
    ASSERT_FALSE(page.isEmpty()) << c.page;
    QSet<QString> helpOptions;
    for (size_t i = 0; i < c.helps.size(); ++i) {
        const Outcome help =
            run(zel::test::builtProgram(QString::fromLatin1(c.program)), c.helps[i]);
        const QString all = help.out + help.err;
        ASSERT_FALSE(all.isEmpty());
        helpOptions += optionsIn(all);
        // Each command the help lists ("  info FILE ...") has its entry on the page.
        static const QRegularExpression command(QStringLiteral("^  ([a-z]+)\\b"),
                                                QRegularExpression::MultilineOption);
        for (auto it = command.globalMatch(all); it.hasNext();) {
            const QString name =
                c.prefixes.value(static_cast<qsizetype>(i)) + it.next().captured(1);
            EXPECT_TRUE(page.contains(QStringLiteral(".BI ") + name) ||
                        page.contains(QStringLiteral(".BI  ") + name))
                << name.toStdString() << " has no entry on " << c.page;
        }
    }
    const QSet<QString> pageOptions = optionsIn(page);
    for (const QString& o : helpOptions)
        EXPECT_TRUE(pageOptions.contains(o)) << o.toStdString() << " is missing from " << c.page;
    for (const QString& o : pageOptions)
        EXPECT_TRUE(helpOptions.contains(o))
            << o.toStdString() << " is on " << c.page << " but not in --help";
}

INSTANTIATE_TEST_SUITE_P(
    Install, ManPage,
    ::testing::Values(ManCase{"Zel", "src/app/zel", {{"--help"}}, "share/man/man1/zel.1.gz", {}},
                      ManCase{"Zeltool",
                              "tools/zeltool",
                              {{"--help"}, {"report", "help"}, {"emf", "help"}},
                              "share/man/man1/zeltool.1.gz",
                              {"", "report ", "emf "}}),
    [](const auto& param) { return std::string(param.param.name); });

// The Debian package, built by CPack from this build, unpacked without installing it.
TEST(Package, BuildsUnpacksAndRuns)
{
    const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
    if (dpkgDeb.isEmpty())
        GTEST_SKIP() << "dpkg-deb is missing: the Debian package cannot be built or unpacked here";
    TempDir work;
    const Outcome built =
        run(QStringLiteral(ZEL_CPACK),
            {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
             QStringLiteral(ZEL_BINARY_DIR "/CPackConfig.cmake"), QStringLiteral("-B"),
             work.file(QStringLiteral("out"))},
            600000);
    ASSERT_EQ(built.exitCode, 0) << text(built);
    const QStringList debs = QDir(work.file(QStringLiteral("out")))
                                 .entryList({QStringLiteral("zel_*.deb")}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << text(built);
    const QString deb = work.file(QStringLiteral("out/") + debs.front());

    // Its dependencies were read from the binaries, not written by hand.
    const Outcome depends =
        run(dpkgDeb, {QStringLiteral("--field"), deb, QStringLiteral("Depends")});
    EXPECT_TRUE(depends.out.contains(QStringLiteral("libqt6widgets6"))) << text(depends);
    EXPECT_TRUE(depends.out.contains(QStringLiteral("libc6"))) << text(depends);
    const Outcome contents = run(dpkgDeb, {QStringLiteral("--contents"), deb});
    EXPECT_TRUE(contents.out.contains(QStringLiteral("root/root"))) << "files belong to root";
    EXPECT_FALSE(contents.out.contains(QStringLiteral("/usr/etc"))) << text(contents);
    EXPECT_FALSE(contents.out.contains(QStringLiteral(" ./tmp/"))) << text(contents);

    const QString root = work.file(QStringLiteral("root"));
    const Outcome unpacked = run(dpkgDeb, {QStringLiteral("-x"), deb, root});
    ASSERT_EQ(unpacked.exitCode, 0) << text(unpacked);
    checkInstalledTree(root + QStringLiteral("/usr"));

    // The system's zel.ini names the sample and the help file where the package puts them,
    // and is a conffile, so an administrator's changes survive an upgrade.
    QFile ini(root + QStringLiteral("/etc/xdg/zel/zel.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString iniText = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(iniText.contains(QStringLiteral("\nPath=/usr/share/zel/sample\n")))
        << iniText.toStdString();
    EXPECT_TRUE(iniText.contains(QStringLiteral("\nFile Name=/usr/share/zel/zel.html\n")));
    const QString control = work.file(QStringLiteral("control"));
    ASSERT_EQ(run(dpkgDeb, {QStringLiteral("--control"), deb, control}).exitCode, 0);
    QFile conffiles(control + QStringLiteral("/conffiles"));
    ASSERT_TRUE(conffiles.open(QIODevice::ReadOnly));
    EXPECT_EQ(conffiles.readAll().trimmed(), QByteArray("/etc/xdg/zel/zel.ini"));

    const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
    if (lintian.isEmpty())
        return;
    const Outcome lint = run(
        lintian, {QStringLiteral("--display-info"), QStringLiteral("--no-tag-display-limit"), deb},
        600000);
    // Errors, and the binaries built without the distribution's hardening.
    QStringList errors;
    for (const QString& line : QString(lint.out + lint.err).split(u'\n'))
        if (line.startsWith(QStringLiteral("E: ")) || line.contains(QStringLiteral(" hardening-")))
            errors << line;
    EXPECT_EQ(errors, QStringList()) << text(lint);
}

} // namespace
