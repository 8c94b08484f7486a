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
        } else {
            c.unknown << a;
        }
    }
    return c;
}

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Usage: zel [--headless] [--direct-print]\n"
        "       zel --material-report CAS FILE.pdf|FILE.frp\n"
        "       zel --supplier-report SUPPLIER-NUMBER FILE.pdf|FILE.frp\n"
        "ZEL - reference browser for aroma materials.\n"
        "\n"
        "Reads zel.ini beside the program: [Database] Path names the data directory,\n"
        "[Help] File Name the help file.\n"
        "\n"
        "Options:\n"
        "  --headless   start without showing any window: open the database (rebuilding\n"
        "               its indexes when they are missing), print what was found and\n"
        "               end; messages go to standard error\n"
        "  --direct-print  print reports through the print dialog straight to the\n"
        "               printer, once per copy, instead of previewing them first\n"
        "  --material-report CAS FILE.pdf|FILE.frp\n"
        "               write the material report of that CAS number without showing\n"
        "               any window: FILE.pdf as a PDF file, FILE.frp as a saved report\n"
        "               file that the preview's Load Report opens\n"
        "  --supplier-report SUPPLIER-NUMBER FILE.pdf|FILE.frp\n"
        "               the same for the supplier report\n"
        "  -h, --help   show this help and end\n"
        "  -v, --version  show the version and end\n"
        "\n"
        "Exit status: 0 started; 1 start-up failed (the message says why);\n"
        "2 bad command line; 3 headless start after a re-indexing message.\n"
        "A report written to a file ends with 0 when it was written and 1 when not.\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("zel " ZEL_VERSION "\n");
}

} // namespace zel::app
