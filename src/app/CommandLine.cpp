#include "app/CommandLine.h"

namespace zel::app {

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine c;
    for (const QString& a : arguments) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("-?"))
            c.help = true;
        else if (a == QLatin1String("--version") || a == QLatin1String("-v"))
            c.version = true;
        else if (a == QLatin1String("--headless"))
            c.headless = true;
        else
            c.unknown << a;
    }
    return c;
}

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Usage: zel [--headless]\n"
        "ZEL - reference browser for aroma materials.\n"
        "\n"
        "Reads zel.ini beside the program: [Database] Path names the data directory,\n"
        "[Help] File Name the help file.\n"
        "\n"
        "Options:\n"
        "  --headless   start without showing any window: open the database (rebuilding\n"
        "               its indexes when they are missing), print what was found and\n"
        "               end; messages go to standard error\n"
        "  -h, --help   show this help and end\n"
        "  -v, --version  show the version and end\n"
        "\n"
        "Exit status: 0 started; 1 start-up failed (the message says why);\n"
        "2 bad command line; 3 headless start after a re-indexing message.\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("zel " ZEL_VERSION "\n");
}

} // namespace zel::app
