// zeltool: the work that needs no window. Writes the sample and scale databases, dumps any
// Paradox table as CSV, holds a table lock for tests, and handles saved report files.

#include "common/EmfTool.h"
#include "common/ReportTool.h"
#include "common/SampleDatabase.h"
#include "common/ServerTool.h"
#include "common/SimilarTool.h"
#include "common/TableDump.h"
#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/base/StandardOutput.h"
#include "data/engine/Database.h"
#include "data/engine/Table.h"
#include "data/paradox/ParadoxFile.h"
#include "data/server/ServerTables.h"
#include "model/Reindex.h"
#include "model/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <string>

using namespace zel::data;
using namespace zel::model;

namespace {

const char* const kUsage =
    "Usage: zeltool COMMAND ...\n"
    "  sample DIR [--source SRC]   write the sample database (from SRC/*.csv) into DIR\n"
    "  scale DIR [--materials N] [--names N] [--suppliers N] [--empty-names N] [--id-step N]\n"
    "                              write a synthetic database of that size into DIR\n"
    "                              (defaults 8000, 40000, 400; at most 100000 materials,\n"
    "                              500000 commercial names and 46655 suppliers), with N\n"
    "                              empty commercial names, or ids N apart\n"
    "  reindex DIR                 rebuild the index files of the database in DIR\n"
    "  dump FILE [--password PW] [--locked]\n"
    "                              print any Paradox table as CSV (UTF-8); an encrypted\n"
    "                              table is read with PW or the password built into zel,\n"
    "                              which the sample tables have; without its blob\n"
    "                              file (.MB) the values kept there are printed empty, with a\n"
    "                              warning; --locked reads it under a shared lock, as the\n"
    "                              browser does, and refuses a table without its blob file\n"
    "  pg-init URL [--reader ROLE] create the tables on a database server and a role that\n"
    "                              may only read them (password: $ZEL_READER_PASSWORD)\n"
    "  pg-import DIR URL           replace the server's tables with those of DIR\n"
    "  pg-export URL DIR           write the server's tables into DIR as Paradox tables\n"
    "  similar DIR CAS [--stable N,...] [--good N,...] [--limit K]\n"
    "                              the materials of DIR whose odour is closest to that of\n"
    "                              CAS, rated \"++\" in the media --stable names and \"+\" or\n"
    "                              better in those --good names (1 to 33, as the search\n"
    "                              dialog lists them), best first, as CSV (20 unless --limit)\n"
    "  lock FILE [--exclusive]     hold a lock on a table until standard input ends\n"
    "  report ...                  saved report files (zeltool report help)\n"
    "  --version                   show the version\n"
    "  emf ...                     single page images (zeltool emf help)\n"
    "Files read must be regular files; a pipe or a device is refused at once.\n"
    "Exit status: 0 done; 1 failed, the message says why (also when what was printed could\n"
    "not be written to standard output); 2 a missing, empty, unknown or extra argument.\n"
    "SIGINT, SIGTERM and SIGHUP end a command with 128 + the signal's number and leave no\n"
    "output file or temporary file behind.\n";

QTextStream& out()
{
    return zel::data::StandardOutput::stream();
}
QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

struct UsageError
{
    QString message;
};

QString option(QStringList& args, const QString& name, const QString& fallback = QString())
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return fallback;
    if (at + 1 >= args.size())
        throw UsageError{QStringLiteral("%1 needs a value").arg(name)};
    QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

bool flag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

// What is left of a command's words once its options are taken: exactly count names, none of
// them empty (an empty directory would be the current one, or "/" once a slash is added), and
// no option the command does not know.
const QStringList& operands(const QStringList& args, qsizetype count, const QString& needed)
{
    for (const QString& a : args)
        if (a.startsWith(QLatin1String("--")))
            throw UsageError{QStringLiteral("unknown option %1").arg(a)};
    if (args.size() != count || args.contains(QString()))
        throw UsageError{needed};
    return args;
}

// Sizes are bounded so that a slip of the finger cannot grow the process until it is killed.
int intOption(QStringList& args, const QString& name, int fallback, int highest)
{
    if (args.contains(name) && args.indexOf(name) + 1 >= args.size())
        throw UsageError{QStringLiteral("%1 needs a number").arg(name)};
    const QString v = option(args, name);
    if (v.isNull())
        return fallback;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < 0)
        throw UsageError{QStringLiteral("%1 needs a number from 0 to %2, not \"%3\"")
                             .arg(name)
                             .arg(highest)
                             .arg(v)};
    if (n > highest)
        throw UsageError{
            QStringLiteral("%1 %2 is more than the %3 this tool writes").arg(name, v).arg(highest)};
    return int(n);
}

int dump(QStringList args)
{
    QStringList passwords;
    const QString pw = option(args, QStringLiteral("--password"));
    if (!pw.isEmpty())
        passwords << pw;
    // Our own tables need no password on the command line, as they need none in the browser.
    passwords << QString::fromLatin1(schema::tablePassword());
    const bool locked = flag(args, QStringLiteral("--locked"));
    operands(args, 1, QStringLiteral("dump needs one table file"));
    QTextStream& o = out();
    o.setEncoding(QStringConverter::Utf8);
    if (locked) {
        const auto table = Table::open(args.front(), nullptr, Table::Access::Shared, passwords);
        writeCsv(table->store(), o);
    } else {
        // A table another program left without its blob file still shows everything else.
        paradox::PartialRead partial;
        const TableStore table = paradox::readTableStore(args.front(), passwords, partial);
        if (partial.lostValues > 0)
            err() << "zeltool: warning: the blob file " << partial.missingBlobFile
                  << " is missing; " << partial.lostValues
                  << " memo, binary or graphic values kept there are printed empty\n";
        writeCsv(table, o);
    }
    return 0;
}

int lock(QStringList args)
{
    const bool exclusive = flag(args, QStringLiteral("--exclusive"));
    operands(args, 1, QStringLiteral("lock needs one table file"));
    auto table = Table::open(args.front(), nullptr,
                             exclusive ? Table::Access::Exclusive : Table::Access::Shared,
                             {QString::fromLatin1(schema::tablePassword())});
    out() << "locked" << Qt::endl;
    if (out().status() != QTextStream::Ok)
        return 1; // nobody learns that the lock is held
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
    operands(args, 1, QStringLiteral("reindex needs one data directory"));
    schema::addTablePassword();
    ConsoleProgress progress;
    const bool ok = Reindex::run(args.front() + QLatin1Char('/'), progress);
    return ok && progress.messages == 0 ? 0 : 1;
}

int runCommand(const QString& command, QStringList args)
{
    try {
        if (command == QStringLiteral("sample")) {
            const QString source =
                option(args, QStringLiteral("--source"), QStringLiteral(ZEL_SOURCE_DIR "/sample"));
            operands(args, 1, QStringLiteral("sample needs one target directory"));
            writeDatabase(args.front(), readSampleSources(source));
            return 0;
        }
        if (command == QStringLiteral("scale")) {
            const int materials = intOption(args, QStringLiteral("--materials"), 8000, 100000);
            // --names is the commercial names' count; --synonyms its older spelling.
            const int synonyms =
                intOption(args, QStringLiteral("--names"),
                          intOption(args, QStringLiteral("--synonyms"), 40000, 500000), 500000);
            const int suppliers = intOption(args, QStringLiteral("--suppliers"), 400, 46655);
            const int emptyNames = intOption(args, QStringLiteral("--empty-names"), 0, 500000);
            WriteOptions options;
            options.idStep = intOption(args, QStringLiteral("--id-step"), 1, 1000);
            operands(args, 1, QStringLiteral("scale needs one target directory"));
            if (materials < 1 || suppliers < 1 || options.idStep < 1)
                throw UsageError{QStringLiteral("scale needs sizes above 0")};
            DatabaseContent content = makeScaleContent(materials, synonyms, suppliers);
            blankCommercialNames(content, emptyNames);
            writeDatabase(args.front(), std::move(content), options);
            return 0;
        }
        if (command == QStringLiteral("pg-init")) {
            const QString role =
                option(args, QStringLiteral("--reader"), server::defaultReaderRole());
            operands(args, 1, QStringLiteral("pg-init needs one connection string"));
            serverInit(args.front(), role, out());
            return 0;
        }
        if (command == QStringLiteral("pg-import")) {
            operands(args, 2,
                     QStringLiteral("pg-import needs a data directory and a connection string"));
            serverImport(args.at(0), args.at(1), out());
            return 0;
        }
        if (command == QStringLiteral("pg-export")) {
            operands(args, 2,
                     QStringLiteral("pg-export needs a connection string and a directory"));
            serverExport(args.at(0), args.at(1), out());
            return 0;
        }
        if (command == QStringLiteral("dump"))
            return dump(args);
        if (command == QStringLiteral("similar"))
            return runSimilarTool(args, out(), err());
        if (command == QStringLiteral("lock"))
            return lock(args);
        if (command == QStringLiteral("reindex"))
            return reindex(args);
        err() << "zeltool: unknown command " << command << "\n" << kUsage;
        return 2;
    } catch (const UsageError& e) {
        err() << "zeltool: " << e.message << " (see zeltool --help)\n";
        return 2;
    } catch (const DatabaseError& e) {
        err() << "zeltool: " << e.message() << '\n';
        return 1;
    } catch (const std::exception& e) {
        err() << "zeltool: " << e.what() << '\n';
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    zel::data::installInterruptHandlers("zeltool");
    int status = 0;
    // Report files and page images are drawn, which needs a GUI application; these tools make
    // their own, so they run before any other application object exists.
    if (argc > 1 && (QByteArray(argv[1]) == "report" || QByteArray(argv[1]) == "emf")) {
        const QStringList words = zel::data::argumentsFromBytes(argc, argv).mid(1);
        status = QByteArray(argv[1]) == "report" ? zel::report::runReportTool(words)
                                                 : zel::report::runEmfTool(words);
    } else {
        QCoreApplication app(argc, argv);
        // Read as bytes, not as the toolkit reads them: a name that is not UTF-8 stays the name.
        QStringList args = zel::data::argumentsFromBytes(argc, argv);
        if (args.isEmpty()) {
            err() << kUsage;
            return 2;
        }
        const QString command = args.takeFirst();
        if (command == QStringLiteral("--help") || command == QStringLiteral("help"))
            out() << kUsage << '\n' << zel::data::OutputFile::helpText(false);
        else if (command == QStringLiteral("--version") && args.isEmpty())
            out() << "zeltool " ZEL_VERSION "\n";
        else
            status = runCommand(command, args);
    }
    // Output that never arrived is a failure, whatever the command itself made of its work.
    if (!zel::data::StandardOutput::finish("zeltool") && status == 0)
        return 1;
    return status;
}
