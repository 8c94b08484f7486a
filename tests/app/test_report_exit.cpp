// File, Exit while a report preview is open, with the whole program on the offscreen platform:
// the preview closes, a report still being produced is cancelled, and the event loop ends.
#include "Fixture.h"
#include "app/Program.h"
#include "app/ReportRunner.h"
#include "data/engine/Dataset.h"
#include "model/Datasets.h"
#include "model/Names.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/TRpPreview.h"
#include "report/preview/TRpStandardPreview.h"
#include "ui/MainSession.h"
#include "ui/TMainForm.h"

#include <QAction>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace zel;

namespace {

// A supplier with hundreds of commercial names fills many pages, so its report is still
// being produced when the first page shows.
data::DatabaseContent content()
{
    data::DatabaseContent c = test::smallContent();
    for (int i = 1; i <= 600; ++i)
        c.synonyms.push_back({QStringLiteral("78-70-6"), QStringLiteral("Lin %1").arg(i),
                              QStringLiteral("S04"), QString()});
    return c;
}

QAction* exitAction(QWidget* form)
{
    for (QAction* a : form->findChildren<QAction*>())
        if (a->text() == QLatin1String("E&xit"))
            return a;
    return nullptr;
}

} // namespace

class ReportExitTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<app::Program> program;
    ui::TMainForm* form = nullptr;

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        const QString data = dir->file(QStringLiteral("data"));
        data::writeDatabase(data, content());
        QFile ini(dir->file(QStringLiteral("zel.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Database]\nPath=%1\n").arg(data).toUtf8());
        ini.close();
        program = std::make_unique<app::Program>(dir->path(), false);
        QVERIFY(program->StartProgram());
        form = program->mainForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }

    void cleanup()
    {
        program.reset();
        dir.reset();
    }

    void exitWithAPreviewOpenEndsTheProgram_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("whileProducing");
        QTest::newRow("finished material report") << 0 << false;
        QTest::newRow("supplier report still being produced") << 2 << true;
    }
    void exitWithAPreviewOpenEndsTheProgram()
    {
        QFETCH(int, page);
        QFETCH(bool, whileProducing);
        form->SwitchPage(page);
        if (page == 2) // the suppliers page lists by name
            QVERIFY(form->session()
                        ->dataset(model::datasets::TableSupplier)
                        ->findKey({QStringLiteral("Empty Shelf Ltd")}));
        QAction* exit = exitAction(form);
        QVERIFY(exit);

        bool printReturned = false;
        bool exited = false;
        bool wasFinished = true;
        int pagesAtExit = 0;
        int pagesMade = 0;
        QTimer::singleShot(0, form, [&] {
            form->findChild<QToolButton*>(QStringLiteral("PrintButton"))
                ->click(); // returns when the preview has gone
            printReturned = true;
        });
        QTimer watch;
        connect(&watch, &QTimer::timeout, form, [&] {
            report::TRpStandardPreview* preview = program->reports()->preview();
            if (exited || !preview || !preview->isVisible())
                return;
            const bool finished = preview->Print->isEnabled();
            if (finished == whileProducing)
                return; // not yet the moment this case wants
            wasFinished = finished;
            pagesAtExit = preview->view()->source()->pageCount();
            pagesMade = pagesAtExit;
            connect(preview->view()->source(), &report::PreviewSource::pagesAvailable, form,
                    [&pagesMade](int count) { pagesMade = qMax(pagesMade, count); });
            exited = true;
            exit->trigger();
        });
        watch.start(1);
        // Should the program not end, the test ends it after a while and fails.
        QTimer::singleShot(30000, qApp, [] { QCoreApplication::exit(99); });
        const int code = QApplication::exec();
        watch.stop();

        QCOMPARE(code, 0);
        QVERIFY(exited);
        QVERIFY(printReturned);
        QCOMPARE(wasFinished, !whileProducing);
        QVERIFY(pagesAtExit >= 1);
        // A cancelled run keeps the page it was on and makes no more; this one has a dozen.
        QVERIFY2(pagesMade <= pagesAtExit + 1,
                 qPrintable(
                     QStringLiteral("%1 pages at Exit, %2 made").arg(pagesAtExit).arg(pagesMade)));
        QVERIFY(!program->reports()->preview());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + QStringLiteral(" is open")));
    }
};

QTEST_MAIN(ReportExitTest)
#include "test_report_exit.moc"
