// zeltool: the work that needs no window. Writes the sample and scale databases, dumps any
// Paradox table as CSV, holds a table lock for tests, and handles saved report files.

#include "common/EmfTool.h"
#include "common/ReportTool.h"
#include "common/SampleDatabase.h"
#include "common/TableDump.h"
#include "data/Database.h"
#include "data/Error.h"
#include "data/ParadoxFile.h"
#include "data/Reindex.h"
#include "data/Schema.h"
#include "data/Table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>

using namespace zel::data;

namespace {

const char* const kUsage =
    "Usage: zeltool COMMAND ...\n"
    "  sample DIR [--source SRC]   write the sample database (from SRC/*.csv) into DIR\n"
    "  scale DIR [--materials N] [--synonyms N] [--suppliers N] [--empty-names N]\n"
    "            [--id-step N]     write a synthetic database of that size into DIR\n"
    "  reindex DIR                 rebuild the index files of the database in DIR\n"
    "  dump FILE [--password PW] [--locked]\n"
    "                              print any Paradox table as CSV (UTF-8); --locked reads\n"
    "                              it under a shared lock, as the browser does\n"
    "  lock FILE [--exclusive]     hold a lock on a table until standard input ends\n"
    "  report ...                  saved report files (zeltool report help)\n"
    "  emf ...                     single page images (zeltool emf help)\n";

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}
QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

QString option(QStringList& args, const QString& name, const QString& fallback = QString())
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return fallback;
    if (at + 1 >= args.size())
        throw DatabaseError(QStringLiteral("%1 needs a value").arg(name));
    QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

bool flag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

int intOption(QStringList& args, const QString& name, int fallback)
{
    const QString v = option(args, name);
    if (v.isEmpty())
        return fallback;
    bool ok = false;
    const int n = v.toInt(&ok);
    if (!ok || n < 0)
        throw DatabaseError(QStringLiteral("%1 needs a number, not %2").arg(name, v));
    return n;
}

int dump(QStringList args)
{
    QStringList passwords;
    const QString pw = option(args, QStringLiteral("--password"));
    if (!pw.isEmpty())
        passwords << pw;
    const bool locked = flag(args, QStringLiteral("--locked"));
    if (args.size() != 1)
        throw DatabaseError(QStringLiteral("dump needs one table file"));
    QTextStream& o = out();
    o.setEncoding(QStringConverter::Utf8);
    if (locked) {
        const auto table = Table::open(args.front(), nullptr, Table::Access::Shared, passwords);
        writeCsv(table->store(), o);
    } else {
        writeCsv(paradox::readTableStore(args.front(), passwords), o);
    }
    return 0;
}

int lock(QStringList args)
{
    const bool exclusive = flag(args, QStringLiteral("--exclusive"));
    if (args.size() != 1)
        throw DatabaseError(QStringLiteral("lock needs one table file"));
    auto table = Table::open(args.front(), nullptr,
                             exclusive ? Table::Access::Exclusive : Table::Access::Shared,
                             {QString::fromLatin1(schema::tablePassword())});
    std::cout << "locked" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}

// Re-indexing without a window: what the browser does at start-up when the index files are
// gone, with its messages on standard error.
class ConsoleProgress : public Reindex::Progress
{
public:
    void setFileName(const QString&) override {}
    void setIndexName(const QString&) override {}
    void repaintNow() override {}
    void showError(const QString& message, const QString& cause) override
    {
        err() << "zeltool: " << QString(message).replace(QLatin1Char('\r'), QLatin1Char(' '));
        if (!cause.isEmpty())
            err() << " (" << cause << ')';
        err() << Qt::endl;
        ++messages;
    }
    void hideProgress() override {}
    int messages = 0;
};

int reindex(const QStringList& args)
{
    if (args.size() != 1)
        throw DatabaseError(QStringLiteral("reindex needs one data directory"));
    Session::instance().addPassword(QString::fromLatin1(schema::tablePassword()));
    ConsoleProgress progress;
    const bool ok = Reindex::run(args.front() + QLatin1Char('/'), progress);
    return ok && progress.messages == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Report files and page images are drawn, which needs a GUI application; these tools make
    // their own, so they run before any other application object exists.
    if (argc > 1 && (QByteArray(argv[1]) == "report" || QByteArray(argv[1]) == "emf")) {
        QStringList words;
        for (int i = 2; i < argc; ++i)
            words << QString::fromLocal8Bit(argv[i]);
        return QByteArray(argv[1]) == "report" ? zel::report::runReportTool(words)
                                               : zel::report::runEmfTool(words);
    }
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.front() == QStringLiteral("--help") ||
        args.front() == QStringLiteral("help")) {
        (args.isEmpty() ? err() : out()) << kUsage;
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    try {
        if (command == QStringLiteral("sample")) {
            const QString source =
                option(args, QStringLiteral("--source"), QStringLiteral(ZEL_SOURCE_DIR "/sample"));
            if (args.size() != 1)
                throw DatabaseError(QStringLiteral("sample needs one target directory"));
            writeDatabase(args.front(), readSampleSources(source));
            return 0;
        }
        if (command == QStringLiteral("scale")) {
            const int materials = intOption(args, QStringLiteral("--materials"), 8000);
            const int synonyms = intOption(args, QStringLiteral("--synonyms"), 40000);
            const int suppliers = intOption(args, QStringLiteral("--suppliers"), 400);
            const int emptyNames = intOption(args, QStringLiteral("--empty-names"), 0);
            WriteOptions options;
            options.idStep = intOption(args, QStringLiteral("--id-step"), 1);
            if (args.size() != 1 || materials < 1 || suppliers < 1 || options.idStep < 1)
                throw DatabaseError(
                    QStringLiteral("scale needs one target directory and sizes above 0"));
            DatabaseContent content = makeScaleContent(materials, synonyms, suppliers);
            blankCommercialNames(content, emptyNames);
            writeDatabase(args.front(), std::move(content), options);
            return 0;
        }
        if (command == QStringLiteral("dump"))
            return dump(args);
        if (command == QStringLiteral("lock"))
            return lock(args);
        if (command == QStringLiteral("reindex"))
            return reindex(args);
        err() << "zeltool: unknown command " << command << "\n" << kUsage;
        return 2;
    } catch (const DatabaseError& e) {
        err() << "zeltool: " << e.message() << '\n';
        return 1;
    } catch (const std::exception& e) {
        err() << "zeltool: " << e.what() << '\n';
        return 1;
    }
}
