// The preview window over saved report files, on the offscreen platform.
#include "TempDir.h"
#include "common/DemoReport.h"
#include "report/TRpPageList.h"
#include "report/TRpPrinter.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/TRpPreview.h"
#include "report/preview/TRpStandardPreview.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace zel;
using namespace zel::report;

class PreviewTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<PageListSource> source;
    std::unique_ptr<TRpStandardPreview> window;
    QStringList messages;

    void open(int pages)
    {
        const QString path = dir->file(QStringLiteral("r%1.frp").arg(pages));
        makeDemoReport(path, pages, false);
        auto list = std::make_unique<TRpPageList>();
        list->load(path);
        source = std::make_unique<PageListSource>(std::move(list));
        window = std::make_unique<TRpStandardPreview>(source.get());
        window->showMessage = [this](const QString& text) { messages << text; };
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(window->view()->viewport(), Qt::Key(k), mods);
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        messages.clear();
    }
    void cleanup()
    {
        window.reset();
        source.reset();
        dir.reset();
    }

    void onePageReportStaysOnItsPage()
    {
        open(1);
        QCOMPARE(window->pagePositionText(), QStringLiteral("Page 1 of 1"));
        window->FirstPageClick();
        window->PreviousPageClick();
        window->NextPageClick();
        window->LastPageClick();
        QCOMPARE(window->view()->page(), 1);
        QCOMPARE(window->pagePositionText(), QStringLiteral("Page 1 of 1"));
        QVERIFY(window->view()->imageControl()->loaded());
        QVERIFY(window->Print->isEnabled());
        if (!qEnvironmentVariableIsEmpty("ZEL_SCREENSHOTS")) {
            window->resize(900, 700);
            window->ZoomFit->trigger();
            QCoreApplication::processEvents();
            window->grab().save(qEnvironmentVariable("ZEL_SCREENSHOTS") +
                                QStringLiteral("/preview.png"));
        }
    }

    void keysPageThroughTheReport()
    {
        open(5);
        key(Qt::Key_PageDown, Qt::ShiftModifier);
        QCOMPARE(window->view()->page(), 2); // Shift is no Ctrl: one page
        key(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(window->view()->page(), 5);
        QCOMPARE(window->pagePositionText(), QStringLiteral("Page 5 of 5"));
        key(Qt::Key_PageDown);
        QCOMPARE(window->view()->page(), 5);
        key(Qt::Key_PageUp);
        QCOMPARE(window->view()->page(), 4);
        key(Qt::Key_Home);
        QCOMPARE(window->view()->page(), 1);
        key(Qt::Key_End);
        QCOMPARE(window->view()->page(), 5);
        key(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(window->view()->page(), 1);
        key(Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void zoomRules_data()
    {
        QTest::addColumn<QSize>("view");
        QTest::addColumn<QSize>("page");
        QTest::addColumn<int>("fit");
        QTest::addColumn<int>("width");
        QTest::newRow("A4 in a wide view") << QSize(1000, 600) << QSize(794, 1123) << 51 << 113;
        QTest::newRow("A4 in a tall view") << QSize(400, 1200) << QSize(794, 1123) << 48 << 45;
        QTest::newRow("landscape") << QSize(1200, 800) << QSize(1123, 794) << 96 << 96;
    }
    void zoomRules()
    {
        QFETCH(QSize, view);
        QFETCH(QSize, page);
        QFETCH(int, fit);
        QFETCH(int, width);
        QCOMPARE(TRpPreview::fitZoom(view, page), fit);
        QCOMPARE(TRpPreview::widthZoom(view, page), width);
    }

    void zoomLimitsAndResizing()
    {
        open(2);
        TRpPreview* view = window->view();
        view->setZoom(150);
        view->setZoom(1);
        QCOMPARE(view->zoom(), 150);
        view->setZoom(2001);
        QCOMPARE(view->zoom(), 150);
        const QSize page = view->pageSize();
        QCOMPARE(view->imageControl()->size(),
                 QSize(qRound(page.width() * 1.5) + 4, qRound(page.height() * 1.5) + 4));
        window->ZoomToWidth->trigger();
        QCOMPARE(view->zoomState(), TRpPreview::ZoomState::Width);
        window->resize(900, 700);
        QCoreApplication::processEvents();
        QCOMPARE(view->zoom(), TRpPreview::widthZoom(view->viewport()->size(), page));
        window->ZoomFit->trigger();
        QCOMPARE(view->zoom(), TRpPreview::fitZoom(view->viewport()->size(), page));
    }

    void progressPanelShowsFivePercentSteps()
    {
        open(1);
        const auto progress = [this](int p) {
            Q_EMIT source->progress(p);
            QCoreApplication::processEvents();
            return window->progressText();
        };
        QCOMPARE(progress(0), QString());
        QCOMPARE(progress(3), QString());
        QCOMPARE(progress(5), QStringLiteral("5%"));
        QCOMPARE(progress(8), QStringLiteral("5%"));
        QCOMPARE(progress(10), QStringLiteral("10%"));
        QCOMPARE(progress(100), QString());
    }

    void fileKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Ctrl+O loads") << int(Qt::Key_O) << QStringLiteral("Load report");
        QTest::newRow("Ctrl+S saves") << int(Qt::Key_S) << QStringLiteral("Save report");
    }
    void fileKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, dialog);
        open(1);
        QString asked;
        window->chooseOpenFile = [&](const QString& title, const QString&) {
            return asked = title, QString();
        };
        window->chooseSaveFile = [&](const QString& title, const QString&, const QString&) {
            return asked = title, QString();
        };
        QCoreApplication::processEvents();
        this->key(key, Qt::ControlModifier);
        QCOMPARE(asked, dialog);
    }

    void loadingFiles()
    {
        open(1);
        // The window's own file dialog: the user goes to the folder and types a name that is
        // not there, and the program answers it, not the dialog. Each dialog is answered once
        // and a message box closed, so a dialog that refuses the name fails the test, never
        // hangs it. (The dialog keeps its settings under this test's folder.)
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir->path()));
        QStringList shown;
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                shown << box->text();
                box->done(0);
            } else if (auto* dialog = qobject_cast<QFileDialog*>(modal);
                       dialog && !shown.isEmpty()) {
                dialog->reject();
            } else if (dialog) {
                shown << dialog->windowTitle() + QLatin1Char('|') +
                             dialog->nameFilters().join(u';');
                dialog->setDirectory(dir->path());
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QTest::keyClicks(name, QStringLiteral("missing.frp"));
                // Queued, so that a message box Enter brings up finds this timer free.
                QMetaObject::invokeMethod(
                    name, [name] { QTest::keyClick(name, Qt::Key_Return); }, Qt::QueuedConnection);
            }
        });
        user.start(20);
        window->LoadReport->trigger();
        user.stop();
        QCOMPARE(shown.join(u'\n'), QStringLiteral("Load report|Folium file (*.FRP)"));
        QCOMPARE(messages.join(u'\n'), QStringLiteral("File does not exist"));
        QCOMPARE(window->pagePositionText(), QStringLiteral("Page 1 of 1"));

        QFile junk(dir->file(QStringLiteral("junk.frp")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(300, 'x'));
        junk.close();
        messages.clear();
        window->chooseOpenFile = [this](const QString&, const QString&) {
            return dir->file(QStringLiteral("junk.frp"));
        };
        window->LoadReportClick();
        QVERIFY(messages.value(0).startsWith(QStringLiteral("Not a report file")));
        QCOMPARE(window->pagePositionText(), QStringLiteral("Page 1 of 1"));

        makeDemoReport(dir->file(QStringLiteral("six.frp")), 6, true);
        window->chooseOpenFile = [this](const QString&, const QString&) {
            return dir->file(QStringLiteral("six.frp"));
        };
        window->LastPageClick();
        window->LoadReportClick();
        QCOMPARE(window->pagePositionText(), QStringLiteral("Page 1 of 6"));
        QVERIFY(window->Print->isEnabled());
        QVERIFY(!window->PrintSetup->isEnabled());
    }

    // Load Report on a pipe, a device or a directory: refused at once with what it is, the
    // pages shown stay; Save Report never turns them into a file.
    void loadAndSaveWhatIsNoFile_data()
    {
        QTest::addColumn<int>("kind"); // S_IFIFO, S_IFCHR or S_IFDIR
        QTest::addColumn<QString>("loadMessage");
        QTest::addColumn<QString>("saveMessage"); // empty: written straight into it
        QTest::newRow("named pipe") << int(S_IFIFO) << QStringLiteral("is a named pipe")
                                    << QStringLiteral("No program reads");
        QTest::newRow("null device")
            << int(S_IFCHR) << QStringLiteral("is a character device") << QString();
        QTest::newRow("directory")
            << int(S_IFDIR) << QStringLiteral("is a directory") << QStringLiteral("is a directory");
    }
    void loadAndSaveWhatIsNoFile()
    {
        QFETCH(int, kind);
        QFETCH(QString, loadMessage);
        QFETCH(QString, saveMessage);
        open(2);
        const QString path = dir->file(QStringLiteral("odd.frp"));
        const QByteArray p = QFile::encodeName(path);
        if (kind == S_IFDIR)
            QVERIFY(QDir().mkpath(path));
        else if (::mknod(p.constData(), mode_t(kind) | 0666, kind == S_IFCHR ? makedev(1, 3) : 0))
            QSKIP("cannot make a node of that kind here");
        window->chooseOpenFile = [&](const QString&, const QString&) { return path; };
        window->LoadReportClick();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(loadMessage), qPrintable(messages[0]));
        QCOMPARE(window->pagePositionText(), QStringLiteral("Page 1 of 2"));

        messages.clear();
        window->chooseSaveFile = [&](const QString&, const QString&, const QString&) {
            return path;
        };
        window->SaveReportClick();
        if (saveMessage.isEmpty())
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'|')));
        else
            QVERIFY2(messages.value(0).contains(saveMessage), qPrintable(messages.join(u'|')));
        struct stat st
        {
        };
        QCOMPARE(::lstat(p.constData(), &st), 0);
        QCOMPARE(int(st.st_mode & S_IFMT), kind);
    }

    void saveAndExport()
    {
        open(3);
        QString asked;
        window->chooseSaveFile = [&](const QString& title, const QString& filter,
                                     const QString& suffix) {
            asked = title + QLatin1Char('|') + filter + QLatin1Char('|') + suffix;
            return dir->file(title.startsWith(QLatin1String("Save")) ? QStringLiteral("copy.frp")
                                                                     : QStringLiteral("pages.pdf"));
        };
        window->SaveReportClick();
        QVERIFY(asked.startsWith(QStringLiteral("Save report|Folium file(*.FRP)")));
        QVERIFY(asked.endsWith(QStringLiteral("|FRP")));
        TRpPageList copy;
        copy.load(dir->file(QStringLiteral("copy.frp")));
        QCOMPARE(copy.pageCount(), 3);

        window->ExportPdfClick();
        QVERIFY(messages.isEmpty());
        QFile pdf(dir->file(QStringLiteral("pages.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        if (!pdfinfo.isEmpty()) {
            QProcess p;
            p.start(pdfinfo, {pdf.fileName()});
            QVERIFY(p.waitForFinished(30000));
            QVERIFY(p.readAllStandardOutput().contains("Pages:           3"));
        }
    }

    void closingWhileProducingCancelsTheRun()
    {
        TRpPrinter producer;
        producer.beginDocument(QSizeF(2100, 2970));
        producer.newPage();
        producer.newPage(); // page 1 is finished, page 2 is being laid out
        ProducerSource producing(producer);
        TRpStandardPreview preview(&producing);
        QCoreApplication::processEvents();
        QVERIFY(!preview.Print->isEnabled());
        QCOMPARE(producing.pageCount(), 1);
        QVERIFY(producing.pageImage(1).has_value());
        QVERIFY(!producing.pageImage(2).has_value());
        preview.show();
        preview.close();
        QVERIFY(producer.cancelled());
    }

    void progressFormText()
    {
        TRpProgressForm form;
        form.progress(45);
        QCOMPARE(form.infoText(), QStringLiteral("45%  Completed"));
        form.progress(47);
        QCOMPARE(form.infoText(), QStringLiteral("45%  Completed"));
    }
};

QTEST_MAIN(PreviewTest)
#include "test_preview.moc"
