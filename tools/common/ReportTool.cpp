#include "common/ReportTool.h"

#include "common/DemoReport.h"
#include "common/GuiScope.h"
#include "common/LayoutDemo.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/base/StandardOutput.h"
#include "data/engine/Database.h"
#include "data/engine/Dataset.h"
#include "model/Schema.h"
#include "report/PdfExport.h"
#include "report/ReportFileError.h"
#include "report/TRpError.h"
#include "report/TRpPageList.h"
#include "report/TRpPrinter.h"
#include "report/emf/EmfError.h"
#include "report/emf/EmfPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::report {

namespace {

const char* const Usage = "Usage: zeltool report COMMAND ...\n"
                          "  info FILE              header and pages of a saved report file\n"
                          "  page FILE N OUT.emf    write page N as a metafile\n"
                          "  pdf FILE OUT.pdf       write every page to a PDF file\n"
                          "  pack FILE OUT          rewrite the report with compressed pages\n"
                          "  unpack FILE OUT        rewrite the report with uncompressed pages\n"
                          "  demo OUT [PAGES] [--compressed] [--landscape]\n"
                          "                         write a report file of demonstration pages\n"
                          "  layout DATADIR OUT     lay out a demonstration report over the\n"
                          "                         database in DATADIR: OUT.pdf as a PDF file,\n"
                          "                         any other name as a saved report file\n"
                          "A report file that is not a regular file (a pipe, a device) is\n"
                          "refused at once. OUT of page, pdf, pack and unpack may be \"-\".\n";

struct UsageError
{
    QString message;
};

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString sizeText(const QSizeF& tenthsMm)
{
    return QStringLiteral("%1 x %2 mm")
        .arg(tenthsMm.width() / 10.0, 0, 'f', 1)
        .arg(tenthsMm.height() / 10.0, 0, 'f', 1);
}

int info(const QStringList& a, QTextStream& out)
{
    if (a.size() != 1)
        throw UsageError{QStringLiteral("info takes one file")};
    TRpPageList list;
    list.load(a[0]);
    const TRpPageList::FileHeader h = list.fileHeader();
    const QDateTime written = TRpPageList::fromDays(h.timestamp);
    out << "File:            " << shown(a[0]) << '\n'
        << "Format version:  " << h.formatVersion << '\n'
        << "Writer version:  " << h.writerVersion << '\n'
        << "Pages:           " << h.pageCount << '\n'
        << "Written:         "
        << (written.isValid() ? written.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                              : QStringLiteral("(not a valid time: %1)").arg(h.timestamp))
        << '\n'
        << "Compressed:      " << (h.compressed ? "yes" : "no") << '\n'
        << "Paper:           ";
    if (const auto paper = list.loadedPaper()) {
        out << paper->code << " (" << PaperSize::name(paper->code) << "), "
            << (paper->orientation == QPageLayout::Portrait ? "portrait" : "landscape");
    } else {
        out << (h.pageCount == 0 ? "none (no pages)" : "no paper size fits page 1");
    }
    out << '\n';
    if (h.pageCount > 0)
        out << "\n  Page     Offset     Length  Image bytes  Size\n";
    for (int n = 1; n <= h.pageCount; ++n) {
        const TRpPageList::PageRecord r = list.pageRecord(n);
        out << QStringLiteral("%1 %2 %3 %4  %5\n")
                   .arg(n, 6)
                   .arg(r.start, 10)
                   .arg(r.length, 10)
                   .arg(r.imageBytes, 12)
                   .arg(sizeText(r.image.frameTenthsMm()));
    }
    return 0;
}

int pageNumber(const QString& word)
{
    bool ok = false;
    const int n = word.toInt(&ok);
    if (!ok || n < 1)
        throw UsageError{QStringLiteral("\"%1\" is not a page number").arg(word)};
    return n;
}

void commit(data::OutputFile& file)
{
    try {
        file.commit();
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
}

void openForWriting(data::OutputFile& file)
{
    try {
        file.open();
    } catch (const data::FileAccessError& e) {
        throw ReportFileError(e.message());
    }
}

// What was written goes to standard error when the output itself is standard output ("-",
// /dev/stdout, or any other name of the same pipe or device).
QTextStream& note(const QString& target, QTextStream& out)
{
    static QTextStream err(stderr);
    struct stat written
    {
    };
    struct stat standardOutput
    {
    };
    const bool same = ::stat(data::fileNameBytes(target).constData(), &written) == 0 &&
                      ::fstat(STDOUT_FILENO, &standardOutput) == 0 &&
                      written.st_dev == standardOutput.st_dev &&
                      written.st_ino == standardOutput.st_ino;
    return target == QLatin1String("-") || same ? err : out;
}

int page(const QStringList& a, QTextStream& out)
{
    if (a.size() != 3)
        throw UsageError{QStringLiteral("page takes a file, a page number and an output file")};
    const int n = pageNumber(a[1]);
    TRpPageList list;
    list.load(a[0]);
    const std::optional<emf::EmfImage> image = list.page(n);
    if (!image)
        throw ReportFileError(QStringLiteral("%1 has %2 pages; there is no page %3")
                                  .arg(shown(a[0]))
                                  .arg(list.pageCount())
                                  .arg(n));
    data::OutputFile file(a[2], true);
    openForWriting(file);
    if (file.device().write(image->bytes()) != image->bytes().size())
        throw ReportFileError(QStringLiteral("Cannot write %1: %2")
                                  .arg(file.shownName(), file.device().errorString()));
    commit(file);
    note(a[2], out) << "Wrote page " << n << " (" << image->bytes().size() << " bytes) to "
                    << file.shownName() << '\n';
    return 0;
}

int pdf(const QStringList& a, QTextStream& out)
{
    if (a.size() != 2)
        throw UsageError{QStringLiteral("pdf takes a report file and an output file")};
    const GuiScope gui;
    TRpPageList list;
    list.load(a[0]);
    writePagesAsPdf(
        list.pageCount(), [&list](int n) { return list.page(n); }, a[1], QFileInfo(a[0]).fileName(),
        shown(a[0]), true);
    note(a[1], out) << "Wrote " << list.pageCount() << " pages to "
                    << data::OutputFile(a[1], true).shownName() << '\n';
    return 0;
}

int rewrite(const QStringList& a, bool compressed, QTextStream& out)
{
    if (a.size() != 2)
        throw UsageError{QStringLiteral("%1 takes a report file and an output file")
                             .arg(compressed ? QStringLiteral("pack") : QStringLiteral("unpack"))};
    TRpPageList source;
    source.load(a[0]);
    TRpPageList target(compressed);
    for (int n = 1; n <= source.pageCount(); ++n)
        target.addPage(*source.page(n));
    target.finish();
    target.save(a[1], true);
    note(a[1], out) << "Wrote " << source.pageCount()
                    << (compressed ? " compressed" : " uncompressed") << " pages to "
                    << data::OutputFile(a[1], true).shownName() << " (" << target.stream().size()
                    << " bytes)\n";
    return 0;
}

int demo(const QStringList& a, QTextStream& out)
{
    QStringList words = a;
    const bool compressed = words.removeAll(QStringLiteral("--compressed")) > 0;
    const bool landscape = words.removeAll(QStringLiteral("--landscape")) > 0;
    if (words.isEmpty() || words.size() > 2)
        throw UsageError{QStringLiteral("demo takes an output file and a page count")};
    const int pages = words.size() == 2 ? pageNumber(words[1]) : 3;
    const GuiScope gui;
    makeDemoReport(words[0], pages, compressed,
                   landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    out << "Wrote " << pages << " demonstration pages to " << shown(words[0]) << '\n';
    return 0;
}

int layout(const QStringList& a, QTextStream& out)
{
    if (a.size() != 2)
        throw UsageError{QStringLiteral("layout takes a data directory and an output file")};
    const GuiScope gui;
    model::schema::addTablePassword();
    data::Database db(QStringLiteral("ZEL"));
    zel::model::schema::describe(db);
    db.setPath(a[0]);
    data::Dataset materials(QStringLiteral("TableMaterial"));
    materials.setDatabase(&db);
    materials.setTableName(QStringLiteral("MATERIAL.DB"));
    data::Dataset synonyms(QStringLiteral("TableSin"));
    synonyms.setDatabase(&db);
    synonyms.setTableName(QStringLiteral("SYNONYMS.DB"));
    synonyms.setMasterSource(&materials, QStringLiteral("cas"));
    materials.open();
    synonyms.open();
    const auto report = makeLayoutDemo(&materials, &synonyms);

    const bool pdf = a[1].endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    std::unique_ptr<TRpPrinter> printer =
        pdf ? std::make_unique<TRpPrinter>(a[1], 600) : std::make_unique<TRpPrinter>();
    report->run(*printer);
    if (printer->pageCount() == 0)
        throw ReportFileError(QStringLiteral("The report has no pages; nothing was written"));
    if (!pdf)
        printer->pageList().save(a[1]);
    out << "Wrote " << printer->pageCount() << " pages to " << shown(a[1]) << '\n';
    return 0;
}

} // namespace

int runReportTool(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    try {
        // An empty name would be the current directory, never a file.
        if (rest.contains(QString()))
            throw UsageError{QStringLiteral("an empty argument names no file")};
        if (command == QLatin1String("info"))
            return info(rest, out);
        if (command == QLatin1String("page"))
            return page(rest, out);
        if (command == QLatin1String("pdf"))
            return pdf(rest, out);
        if (command == QLatin1String("pack"))
            return rewrite(rest, true, out);
        if (command == QLatin1String("unpack"))
            return rewrite(rest, false, out);
        if (command == QLatin1String("demo"))
            return demo(rest, out);
        if (command == QLatin1String("layout"))
            return layout(rest, out);
        if (command == QLatin1String("help") || command == QLatin1String("--help") ||
            command == QLatin1String("-h")) {
            out << Usage << '\n' << data::OutputFile::helpText(true);
            return 0;
        }
        throw UsageError{command.isEmpty() ? QStringLiteral("no command given")
                                           : QStringLiteral("unknown command \"%1\"").arg(command)};
    } catch (const UsageError& e) {
        err << "zeltool report: " << e.message << '\n' << Usage;
        return 2;
    } catch (const ReportFileError& e) {
        err << e.message() << '\n';
    } catch (const emf::EmfError& e) {
        err << e.message() << '\n';
    } catch (const TRpError& e) {
        err << e.message() << '\n';
    } catch (const std::exception& e) {
        // The database layer's errors: a missing or unreadable data directory.
        err << QString::fromLocal8Bit(e.what()) << '\n';
    }
    return 1;
}

int runReportTool(const QStringList& args)
{
    QTextStream err(stderr);
    return runReportTool(args, data::StandardOutput::stream(), err);
}

} // namespace zel::report
