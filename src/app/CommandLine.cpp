#include "app/CommandLine.h"

#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "model/StabilityMedia.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace zel::app {

namespace {

// The toolkit's own options, written with one dash or two; those of the first list take the
// next argument as their value.
const char* const ToolkitOptionsWithValue[] = {"platform",
                                               "platformpluginpath",
                                               "platformtheme",
                                               "plugin",
                                               "qwindowgeometry",
                                               "qwindowicon",
                                               "qwindowtitle",
                                               "session",
                                               "style",
                                               "stylesheet",
                                               "display",
                                               "geometry",
                                               "title",
                                               "name",
                                               "qmljsdebugger",
                                               "font",
                                               "fn",
                                               "bg",
                                               "background",
                                               "fg",
                                               "foreground",
                                               "btn",
                                               "button",
                                               "visual",
                                               "ncols",
                                               "cmap",
                                               "im",
                                               "inputstyle"};
const char* const ToolkitFlags[] = {"reverse", "widgetcount", "nograb",
                                    "dograb",  "sync",        "testability"};

// The name of a toolkit option without its dashes, or an empty string.
QString toolkitName(const QString& a)
{
    if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-") || a == QLatin1String("--"))
        return QString();
    const QString bare = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
    return bare.section(QLatin1Char('='), 0, 0);
}

bool isToolkitOption(const QString& name, bool* takesValue)
{
    for (const char* o : ToolkitOptionsWithValue)
        if (name == QLatin1String(o)) {
            *takesValue = true;
            return true;
        }
    for (const char* o : ToolkitFlags)
        if (name == QLatin1String(o)) {
            *takesValue = false;
            return true;
        }
    return false;
}

bool isOption(const QString& a)
{
    return a.startsWith(QLatin1String("--")) && a.size() > 2;
}

// The CAS numbers of --compare, separated by commas, blanks around them left out; the
// problem with them, if any, in problem.
QStringList compareList(const QString& value, QString* problem)
{
    QStringList cas;
    for (const QString& item : value.split(QLatin1Char(','))) {
        const QString c = item.trimmed();
        if (c.isEmpty())
            *problem = QStringLiteral("--compare %1 holds an empty CAS number").arg(value);
        else if (cas.contains(c))
            *problem = QStringLiteral("--compare names %1 twice").arg(c);
        cas << c;
    }
    if (problem->isEmpty() && (cas.size() < 2 || cas.size() > 6))
        *problem = QStringLiteral("--compare compares 2 to 6 materials, not %1").arg(cas.size());
    return cas;
}

// The field of a text criterion of the search window named by option a; null for another.
QString* filterText(CommandLine& c, const QString& a)
{
    if (a == QLatin1String("--filter-name"))
        return &c.filterName;
    if (a == QLatin1String("--filter-odour"))
        return &c.filterOdour;
    if (a == QLatin1String("--filter-performance"))
        return &c.filterPerformance;
    if (a == QLatin1String("--filter-application"))
        return &c.filterApplication;
    return nullptr;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine c;
    const auto fail = [&c](const QString& why) {
        if (c.problem.isEmpty())
            c.problem = why;
    };
    QString reportOption;
    QString firstFilter;    // the first criterion given, for the message when it is alone
    QStringList filterSeen; // text criteria given so far
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("-?")) {
            c.help = true;
        } else if (a == QLatin1String("--version") || a == QLatin1String("-v")) {
            c.version = true;
        } else if (a == QLatin1String("--headless")) {
            c.headless = true;
        } else if (a == QLatin1String("--direct-print")) {
            c.directPrint = true;
        } else if (a == QLatin1String("--material-report") ||
                   a == QLatin1String("--supplier-report") || a == QLatin1String("--compare")) {
            const bool material = a == QLatin1String("--material-report");
            const bool compare = a == QLatin1String("--compare");
            const QString what =
                compare    ? QStringLiteral("CAS numbers separated by commas and a file name")
                : material ? QStringLiteral("a CAS number and a file name")
                           : QStringLiteral("a supplier number and a file name");
            // Another option where a value belongs means the values were left out.
            qsizetype given = 0;
            while (given < 2 && i + 1 + given < arguments.size() &&
                   !isOption(arguments[i + 1 + given]))
                ++given;
            if (given < 2 || arguments[i + 1].trimmed().isEmpty() || arguments[i + 2].isEmpty()) {
                fail(QStringLiteral("%1 needs %2").arg(a, what));
                i += given;
                continue;
            }
            if (!reportOption.isEmpty()) {
                fail(reportOption == a
                         ? QStringLiteral("%1 is given twice; one report is written at a time")
                               .arg(a)
                         : QStringLiteral("%1 and %2 cannot be given together; one report is "
                                          "written at a time")
                               .arg(reportOption, a));
                i += 2;
                continue;
            }
            reportOption = a;
            if (compare) {
                QString problem;
                c.compareCas = compareList(arguments[i + 1], &problem);
                if (!problem.isEmpty())
                    fail(problem);
            } else {
                (material ? c.materialCas : c.supplierNumber) = arguments[i + 1];
            }
            c.reportFile = arguments[i + 2];
            if (!knownOutputFormat(c.reportFile))
                fail(QStringLiteral("%1 is neither a PDF file (.pdf), nor a report file (.frp), "
                                    "nor a pipe or a device")
                         .arg(c.reportFile));
            c.headless = true; // a report to a file needs no window
            i += 2;
        } else if (a == QLatin1String("--config") || a == QLatin1String("--data") ||
                   a == QLatin1String("--export-list") || a == QLatin1String("--lang")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty() ||
                isOption(arguments[i + 1])) {
                fail(QStringLiteral("%1 needs %2")
                         .arg(a, a == QLatin1String("--data")   ? QStringLiteral("a directory")
                                 : a == QLatin1String("--lang") ? QStringLiteral("a language code")
                                                                : QStringLiteral("a file name")));
                if (i + 1 < arguments.size() && !isOption(arguments[i + 1]))
                    ++i; // an empty value is still this option's
                continue;
            }
            const QString& value = arguments[++i];
            if (a == QLatin1String("--config")) {
                c.configFile = value;
            } else if (a == QLatin1String("--data")) {
                c.dataDirectory = value;
            } else if (a == QLatin1String("--lang")) {
                c.language = value;
            } else {
                c.exportFile = value;
                c.headless = true; // a list written to a file needs no window
            }
        } else if (QString* text = filterText(c, a)) {
            // The text is whatever follows, as typed: it may start with a dash or be blank.
            if (i + 1 >= arguments.size()) {
                fail(QStringLiteral("%1 needs a text").arg(a));
                continue;
            }
            if (filterSeen.contains(a))
                fail(QStringLiteral("%1 is given twice").arg(a));
            filterSeen << a;
            *text = arguments[++i];
            if (firstFilter.isEmpty())
                firstFilter = a;
        } else if (a == QLatin1String("--filter-stable")) {
            if (i + 1 >= arguments.size() || isOption(arguments[i + 1])) {
                fail(QStringLiteral("%1 needs media numbers from 1 to 33, such as 3,23").arg(a));
                continue;
            }
            for (const QString& medium : arguments[++i].split(QLatin1Char(','))) {
                bool number = false;
                const int n = medium.trimmed().toInt(&number);
                if (!number || n < 1 || n > model::MediaCount) {
                    fail(QStringLiteral("%1 takes media numbers from 1 to 33, not \"%2\"")
                             .arg(a, medium));
                    break;
                }
                c.filterStable << n;
            }
            if (firstFilter.isEmpty())
                firstFilter = a;
        } else if (a == QLatin1String("--with-notes")) {
            c.withNotes = true;
        } else {
            bool takesValue = false;
            if (isToolkitOption(toolkitName(a), &takesValue)) {
                c.toolkitArguments << a;
                if (takesValue && !a.contains(QLatin1Char('='))) {
                    if (i + 1 >= arguments.size())
                        fail(QStringLiteral("%1 needs a value").arg(a));
                    else
                        c.toolkitArguments << arguments[i + 1];
                    ++i;
                }
                continue;
            }
            c.unknown << a;
            fail(QStringLiteral("unknown argument %1").arg(a));
        }
    }
    if (!c.configFile.isEmpty() && !c.dataDirectory.isEmpty())
        fail(QStringLiteral("--data reads no zel.ini, so --config cannot go with it"));
    if (!c.exportFile.isEmpty() && !c.reportFile.isEmpty())
        fail(QStringLiteral("a report and the list cannot be written in one run"));
    c.filtered = !firstFilter.isEmpty();
    if (c.filtered && c.exportFile.isEmpty())
        fail(QStringLiteral("%1 chooses what --export-list writes, and goes with it alone")
                 .arg(firstFilter));
    if (c.withNotes && c.exportFile.isEmpty() && c.materialCas.isEmpty())
        fail(QStringLiteral("--with-notes goes with --export-list or --material-report"));
    return c;
}

bool CommandLine::knownOutputFormat(const QString& file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("pdf") || suffix == QLatin1String("frp"))
        return true;
    // A pipe or a device is written straight into, whatever its name says.
    struct stat st
    {
    };
    return ::stat(data::fileNameBytes(file).constData(), &st) == 0 &&
           (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode));
}

QString CommandLine::helpText()
{
    return QStringLiteral(
               "Usage: zel [--headless] [--direct-print] [--lang CODE]\n"
               "           [--config FILE | --data DIR]\n"
               "       zel --material-report CAS FILE.pdf|FILE.frp [--with-notes]\n"
               "       zel --supplier-report SUPPLIER-NUMBER FILE.pdf|FILE.frp\n"
               "       zel --compare CAS,CAS[,CAS...] FILE.pdf|FILE.frp\n"
               "       zel --export-list FILE.csv [--filter-... TEXT] [--filter-stable N,...]\n"
               "                                  [--with-notes]\n"
               "ZEL - reference browser for aroma materials.\n"
               "\n"
               "Reads the first zel.ini found in: the program's own directory,\n"
               "$XDG_CONFIG_HOME/zel/ (by default ~/.config/zel/), then each directory of\n"
               "$XDG_CONFIG_DIRS with /zel/ (by default /etc/xdg/zel/). [Database] Path names\n"
               "the data directory, [Help] File Name the help file (by default the one\n"
               "installed in share/zel/ beside the program's bin directory). zel.ini must be\n"
               "a regular file of at most 1 MiB; a larger one, a directory or a pipe of that\n"
               "name is refused.\n"
               "\n"
               "Options:\n"
               "  --headless   start without showing any window: open the database (rebuilding\n"
               "               its indexes when they are missing), print what was found and\n"
               "               end; messages go to standard error\n"
               "  --direct-print  print reports through the print dialog straight to the\n"
               "               printer, once per copy, instead of previewing them first\n"
               "  --config FILE  read this file instead of looking for zel.ini\n"
               "  --data DIR   open the data directory DIR and read no zel.ini\n"
               "  --lang CODE  show windows, messages and reports in this language (fr, de;\n"
               "               en for English) and write numbers and dates its way; without\n"
               "               it the language follows LANGUAGE, LC_ALL, LC_MESSAGES or LANG\n"
               "  --material-report CAS FILE.pdf|FILE.frp\n"
               "               write the material report of that CAS number without showing\n"
               "               any window: FILE.pdf as a PDF file, FILE.frp as a saved report\n"
               "               file that the preview's Load Report opens; a pipe or a device\n"
               "               of another name (/dev/null) gets the saved report file\n"
               "  --supplier-report SUPPLIER-NUMBER FILE.pdf|FILE.frp\n"
               "               the same for the supplier report; one report at a time\n"
               "  --compare CAS,CAS[,CAS...] FILE.pdf|FILE.frp\n"
               "               the same for a comparison of 2 to 6 materials side by side,\n"
               "               given by their CAS numbers separated by commas\n"
               "  --export-list FILE.csv\n"
               "               write every material, in name order, to a CSV file (UTF-8, one\n"
               "               row per material, the stability rating of each medium in a\n"
               "               column of its own) without showing any window\n"
               "  --filter-name TEXT, --filter-odour TEXT, --filter-performance TEXT,\n"
               "  --filter-application TEXT, --filter-stable N[,N...]\n"
               "               with --export-list: only the materials that the search window's\n"
               "               Select keeps for the same criteria. Each text is taken as given\n"
               "               and matched as the window matches it: anywhere in the field,\n"
               "               blanks at either end left out, a to z in either case; the name\n"
               "               also in the other two names and the commercial names. Each\n"
               "               medium N (1 to 33, in the search window's order, 1 for pH 1,\n"
               "               33 for Cold wave) must rate ++. Criteria that keep nothing\n"
               "               write the header alone, and say so\n"
               "  --with-notes with --export-list: add each material's favourite flag and your\n"
               "               note after the other columns; with --material-report: print\n"
               "               your notes on the material at the end of the report\n"
               "  -h, --help   show this help and end\n"
               "  -v, --version  show the version and end\n"
               "The toolkit's own options (-platform NAME, -style NAME, ...) are accepted.\n"
               "\n") +
           data::OutputFile::helpText(false) +
           QStringLiteral(
               "Files read (zel.ini, tables, report files, the help file) must be regular\n"
               "files; a pipe or a device is refused at once.\n"
               "\n"
               "Exit status: 0 started; 1 start-up failed (the message says why), no\n"
               "display could be reached for the window, or standard output could not be\n"
               "written; 2 bad command line; 3 headless start after a re-indexing message.\n"
               "A report or list written to a file ends with 0 when it was written and 1\n"
               "when not;\n"
               "SIGINT, SIGTERM or SIGHUP end it with 128 + the signal's number, leaving no\n"
               "output file and no temporary file behind.\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("zel " ZEL_VERSION "\n");
}

} // namespace zel::app
