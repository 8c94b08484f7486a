#include "app/CommandLine.h"

#include "app/ReportRunner.h"

namespace zel::app {

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine c;
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
                   a == QLatin1String("--supplier-report")) {
            if (i + 2 >= arguments.size() || arguments[i + 1].isEmpty() ||
                arguments[i + 2].isEmpty()) {
                c.unknown << a;
                break;
            }
            (a == QLatin1String("--material-report") ? c.materialCas : c.supplierNumber) =
                arguments[i + 1];
            c.reportFile = arguments[i + 2];
            if (!ReportRunner::knownOutputFormat(c.reportFile))
                c.problem =
                    QStringLiteral("%1 is neither a PDF file (.pdf) nor a report file (.frp)")
                        .arg(c.reportFile);
            c.headless = true; // a report to a file needs no window
            i += 2;
        } else if (a == QLatin1String("--config") || a == QLatin1String("--data") ||
                   a == QLatin1String("--export-list")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                c.unknown << a;
                break;
            }
            const QString& value = arguments[++i];
            if (a == QLatin1String("--config")) {
                c.configFile = value;
            } else if (a == QLatin1String("--data")) {
                c.dataDirectory = value;
            } else {
                c.exportFile = value;
                c.headless = true; // a list written to a file needs no window
            }
        } else {
            c.unknown << a;
        }
    }
    if (c.problem.isEmpty() && !c.configFile.isEmpty() && !c.dataDirectory.isEmpty())
        c.problem = QStringLiteral("--data reads no zel.ini, so --config cannot go with it");
    if (c.problem.isEmpty() && !c.exportFile.isEmpty() && !c.reportFile.isEmpty())
        c.problem = QStringLiteral("a report and the list cannot be written in one run");
    return c;
}

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Usage: zel [--headless] [--direct-print] [--config FILE | --data DIR]\n"
        "       zel --material-report CAS FILE.pdf|FILE.frp\n"
        "       zel --supplier-report SUPPLIER-NUMBER FILE.pdf|FILE.frp\n"
        "       zel --export-list FILE.csv\n"
        "ZEL - reference browser for aroma materials.\n"
        "\n"
        "Reads the first zel.ini found in: the program's own directory,\n"
        "$XDG_CONFIG_HOME/zel/ (by default ~/.config/zel/), then each directory of\n"
        "$XDG_CONFIG_DIRS with /zel/ (by default /etc/xdg/zel/). [Database] Path names\n"
        "the data directory, [Help] File Name the help file (by default the one\n"
        "installed in share/zel/ beside the program's bin directory).\n"
        "\n"
        "Options:\n"
        "  --headless   start without showing any window: open the database (rebuilding\n"
        "               its indexes when they are missing), print what was found and\n"
        "               end; messages go to standard error\n"
        "  --direct-print  print reports through the print dialog straight to the\n"
        "               printer, once per copy, instead of previewing them first\n"
        "  --config FILE  read this file instead of looking for zel.ini\n"
        "  --data DIR   open the data directory DIR and read no zel.ini\n"
        "  --material-report CAS FILE.pdf|FILE.frp\n"
        "               write the material report of that CAS number without showing\n"
        "               any window: FILE.pdf as a PDF file, FILE.frp as a saved report\n"
        "               file that the preview's Load Report opens\n"
        "  --supplier-report SUPPLIER-NUMBER FILE.pdf|FILE.frp\n"
        "               the same for the supplier report\n"
        "  --export-list FILE.csv\n"
        "               write every material, in name order, to a CSV file (UTF-8, one\n"
        "               row per material, the stability rating of each medium in a\n"
        "               column of its own) without showing any window\n"
        "  -h, --help   show this help and end\n"
        "  -v, --version  show the version and end\n"
        "\n"
        "Exit status: 0 started; 1 start-up failed (the message says why);\n"
        "2 bad command line; 3 headless start after a re-indexing message.\n"
        "A report or list written to a file ends with 0 when it was written and 1 when\n"
        "not.\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("zel " ZEL_VERSION "\n");
}

} // namespace zel::app
