// The main window as the program starts it, on the offscreen platform, over a generated
// database.
#include "SessionFixture.h"
#include "TempDir.h"
#include "app/Program.h"
#include "app/TGaugeWindow.h"
#include "data/engine/Dataset.h"
#include "model/Datasets.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/TRpPreview.h"
#include "report/preview/TRpStandardPreview.h"
#include "search/TSearchClass.h"
#include "ui/DatasetGrid.h"
#include "ui/HelpWindow.h"
#include "ui/MainSession.h"
#include "ui/MaterialGrid.h"
#include "ui/TAlternativesWindow.h"
#include "ui/TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace zel;

namespace {

// The ten materials of the session tests with two suppliers, each selling one of them;
// material 3 has "012" and zeros, material 4 a short stability string.
data::DatabaseContent content()
{
    data::DatabaseContent c = test::tenMaterials();
    c.synonyms.resize(2);
    c.suppliers.resize(2);
    c.materials[2].stabil = QStringLiteral("012") + QString(30, QLatin1Char('0'));
    c.materials[3].stabil = QStringLiteral("22");
    // Fruity ones smell alike: Anethole, Benzyl acetate, Citral and Damascone.
    for (int i : {0, 1, 2, 3})
        c.materials[size_t(i)].odour += QStringLiteral(", fruity");
    return c;
}

// The detail fields follow the current material once per turn of the event loop.
QString cell(QTableWidget* g, int row, int column)
{
    QCoreApplication::processEvents();
    return g->item(row, column) ? g->item(row, column)->text() : QString();
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<app::Program> program;
    ui::TMainForm* form = nullptr;
    QSet<int> keep;

    ui::MainSession* session() const { return program->session(); }
    search::TSearchClass* list() const { return session()->selectionList(); }
    // The window's controls are its own; a test finds them by name, as a user finds them by
    // their place.
    template <class T> T* w(const char* name) const
    {
        T* c = form->findChild<T*>(QLatin1String(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    QString title() const { return w<ui::MaterialGrid>("MaterialGrid")->listModel()->title(); }
    QString current() const
    {
        return session()->dataset(QStringLiteral("TableMaterial"))->text(QStringLiteral("name"));
    }
    void select(QSet<int> ids)
    {
        keep = std::move(ids);
        form->setSearchDialog([] { return 1; });
        // The ids to keep are not criteria the whole-table filter knows; the record filter
        // judges them.
        session()->setTableFilter({});
        session()->setFilter([this] {
            data::Dataset* scan = session()->dataset(QStringLiteral("TableMaterialSelect"));
            return keep.contains(static_cast<int>(scan->integer(QStringLiteral("id"))));
        });
        form->SearchButtonClick();
    }
    void type(const QString& text)
    {
        w<QLineEdit>("SearchField")->clear();
        QTest::keyClicks(w<QLineEdit>("SearchField"), text);
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        const QString data = dir->file(QStringLiteral("data"));
        data::writeDatabase(data, content());
        QFile ini(dir->file(QStringLiteral("zel.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Database]\nPath=%1\n[Help]\nFile Name=%2\n")
                      .arg(data, QStringLiteral(ZEL_SOURCE_DIR "/help/zel.html"))
                      .toUtf8());
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

    void firstShowing()
    {
        QCOMPARE(form->currentPage(), 0);
        QCOMPARE(w<QToolButton>("OrderButton")->text(), QStringLiteral("&Order by CAS"));
        QCOMPARE(w<QLabel>("SearchLabel")->text(), QStringLiteral("S&earch name:"));
        QCOMPARE(w<QToolButton>("PrintButton")->text(), QStringLiteral("&Print Material"));
        QVERIFY(!w<QAction>("MenuPrintSupplier")->isEnabled());
        QCOMPARE(w<QToolButton>("HideShowButton")->text(), QStringLiteral("Hide details"));
        QVERIFY(!w<QToolButton>("HideShowButton")->isEnabled());
        QCOMPARE(title(), QStringLiteral("List of all materials (10)"));
        QCOMPARE(w<ui::MaterialGrid>("MaterialGrid")->currentRow(), 1);
        QCOMPARE(current(), QStringLiteral("Anethole"));
        QCoreApplication::processEvents();
        QCOMPARE(w<QLineEdit>("DBCAS")->text(), QStringLiteral("4180-23-8"));
        QCOMPARE(w<QPlainTextEdit>("MemoName")->toPlainText(),
                 QStringLiteral("Anethole\nAnethole (second)\n"));
        QCOMPARE(cell(w<QTableWidget>("StabilityGrid"), 0, 0), QStringLiteral("pH  1:"));
        QCOMPARE(cell(w<QTableWidget>("CommStabilityGrid"), 15, 2), QStringLiteral("Cold wave:"));
    }

    // 590 x 450 is the window's outer size, frame and caption included.
    void minimumSize()
    {
        form->resize(300, 200);
        QCoreApplication::processEvents();
        QVERIFY(form->frameGeometry().width() >= 590);
        QVERIFY(form->frameGeometry().height() >= 450);
        QCOMPARE(form->minimumSize() + (form->frameGeometry().size() - form->size()),
                 QSize(590, 450));
    }

    void commandsFollowPagesAndSubPages()
    {
        struct Expect
        {
            int page, sub;
            const char* print;
            bool printMaterial, printSupplier, hideShow, orderAndSelect;
        };
        const Expect cases[] = {
            {0, 0, "&Print Material", true, false, false, true},
            {0, 2, "&Print Material", true, false, true, true},
            {1, 0, "&Print Material", true, false, false, false},
            {1, 1, "&Print Material", true, false, false, false},
            {2, 0, "&Print Supplier", false, true, false, false},
            {2, 1, "&Print Supplier", false, true, true, false},
        };
        for (const Expect& e : cases) {
            form->SwitchPage(e.page);
            QTabWidget* sub = e.page == 0   ? w<QTabWidget>("DetailTabNotebook")
                              : e.page == 1 ? w<QTabWidget>("TabbedNotebookCommercialName")
                                            : w<QTabWidget>("SuppliersDetailTabNotebook");
            sub->setCurrentIndex(e.sub);
            const QByteArray where = QByteArray::number(e.page) + "/" + QByteArray::number(e.sub);
            QVERIFY2(w<QToolButton>("PrintButton")->text() == QLatin1String(e.print), where);
            QVERIFY2(w<QAction>("MenuPrintMaterial")->isEnabled() == e.printMaterial, where);
            QVERIFY2(w<QAction>("MenuPrintSupplier")->isEnabled() == e.printSupplier, where);
            QVERIFY2(w<QToolButton>("HideShowButton")->isEnabled() == e.hideShow, where);
            QVERIFY2(w<QToolButton>("OrderButton")->isEnabled() == e.orderAndSelect, where);
            QVERIFY2(w<QToolButton>("SearchButton")->isEnabled() == e.orderAndSelect, where);
        }
        form->SwitchPage(0);
        w<QTabWidget>("DetailTabNotebook")->setCurrentIndex(0);
        QCOMPARE(w<QLabel>("SearchLabel")->text(), QStringLiteral("Search name"));
    }

    void pageSwitchEmptiesSearchFieldsWithoutSearching()
    {
        w<QLineEdit>("EditCommercialName")->setText(QStringLiteral("Cl"));
        type(QStringLiteral("GER"));
        QCOMPARE(w<QLineEdit>("SearchField")->text(), QStringLiteral("GER"));
        QCOMPARE(current(), QStringLiteral("Geraniol"));
        w<QLineEdit>("EditSupplierName")->setText(QStringLiteral("B"));
        form->SwitchPage(0);
        QCOMPARE(w<QLineEdit>("SearchField")->text(), QString());
        QCOMPARE(w<QLineEdit>("EditSupplierName")->text(), QString());
        QCOMPARE(w<QLineEdit>("EditCommercialName")->text(), QStringLiteral("Cl"));
        // Typing "B" put the suppliers list on Beta Aromatics. Choosing the page shown runs
        // its carry again: the material of the current row of that supplier's materials
        // (Lemonal, Citral).
        QCOMPARE(current(), QStringLiteral("Citral"));
    }

    void navigationAtTheEnds()
    {
        form->Navigate(QStringLiteral("last"));
        QCOMPARE(current(), QStringLiteral("Jasmone"));
        form->Navigate(QStringLiteral("next"));
        QCOMPARE(current(), QStringLiteral("Jasmone"));
        form->Navigate(QStringLiteral("first"));
        form->Navigate(QStringLiteral("prior"));
        QCOMPARE(current(), QStringLiteral("Anethole"));
        form->Navigate(QStringLiteral("sideways"));
        QCOMPARE(current(), QStringLiteral("Anethole"));
        select({6});
        QCOMPARE(title(), QStringLiteral("1 materials selected"));
        QCOMPARE(current(), QStringLiteral("Farnesol"));
        for (const char* d : {"prior", "next", "last", "first"}) {
            form->Navigate(QString::fromLatin1(d));
            QCOMPARE(current(), QStringLiteral("Farnesol"));
        }
        form->SwitchPage(2);
        form->Navigate(QStringLiteral("last"));
        QCOMPARE(
            session()->dataset(QStringLiteral("TableSupplier"))->text(QStringLiteral("supname")),
            QStringLiteral("Beta Aromatics"));
    }

    void titlesAndTheOrderButton()
    {
        QTest::mouseClick(w<QToolButton>("OrderButton"), Qt::LeftButton);
        QCOMPARE(title(), QStringLiteral("List of all materials (10) - sorted by CAS"));
        QCOMPARE(w<QToolButton>("OrderButton")->text(), QStringLiteral("&Order by name"));
        QCOMPARE(w<QLabel>("SearchLabel")->text(), QStringLiteral("S&earch CAS:"));
        QCOMPARE(current(), QStringLiteral("Anethole"));
        QCOMPARE(w<ui::MaterialGrid>("MaterialGrid")->currentRow(), 5); // Anethole is fifth by CAS
        select({2, 5, 7});
        QCOMPARE(title(), QStringLiteral("3 materials selected - sorted by CAS"));
        QVERIFY(!w<QLineEdit>("SearchField")
                     ->isEnabled()); // a narrowed list in CAS order cannot be searched
        QVERIFY(!w<QLabel>("SearchLabel")->isEnabled());
        QTest::mouseClick(w<QToolButton>("OrderButton"), Qt::LeftButton);
        QCOMPARE(title(), QStringLiteral("3 materials selected"));
        QVERIFY(w<QLineEdit>("SearchField")->isEnabled());
    }

    void incrementalSearchInNameOrder()
    {
        type(QStringLiteral("ci"));
        QCOMPARE(current(), QStringLiteral("Citral"));
        QCOMPARE(w<ui::MaterialGrid>("MaterialGrid")->currentRow(), 3);
        type(QStringLiteral("zz"));
        QCOMPARE(current(), QStringLiteral("Jasmone")); // past the end: the last material
        select({2, 5, 8});
        type(QStringLiteral("c")); // Citral is not listed: the next listed one
        QCOMPARE(current(), QStringLiteral("Eugenol"));
        type(QStringLiteral("a")); // before every listed one
        QCOMPARE(current(), QStringLiteral("Benzyl acetate"));
        type(QStringLiteral("i")); // after every listed one: the last before it
        QCOMPARE(current(), QStringLiteral("Hexanol"));
    }

    void incrementalSearchInCasOrder()
    {
        QTest::mouseClick(w<QToolButton>("OrderButton"), Qt::LeftButton);
        QCOMPARE(w<QLineEdit>("SearchField")->text(), QString());
        type(QStringLiteral("46"));
        QCOMPARE(current(), QStringLiteral("Farnesol"));
        type(QStringLiteral("12"));
        QCOMPARE(current(), QStringLiteral("Ionone"));
    }

    void stabilityCells()
    {
        QTest::keyClicks(w<QLineEdit>("SearchField"), QStringLiteral("cit"));
        QCOMPARE(cell(w<QTableWidget>("StabilityGrid"), 0, 1), QStringLiteral("-"));
        QCOMPARE(cell(w<QTableWidget>("StabilityGrid"), 1, 1), QStringLiteral("+"));
        QCOMPARE(cell(w<QTableWidget>("StabilityGrid"), 2, 1), QStringLiteral("++"));
        QCOMPARE(cell(w<QTableWidget>("StabilityGrid"), 15, 3), QStringLiteral("-"));
        form->Navigate(QStringLiteral("next")); // Damascone: "22"
        QCOMPARE(cell(w<QTableWidget>("StabilityGrid"), 0, 1), QStringLiteral("++"));
        QCOMPARE(cell(w<QTableWidget>("StabilityGrid"), 2, 1),
                 QString()); // no stale rating from Citral
        QCOMPARE(cell(w<QTableWidget>("StabilityGrid"), 15, 3), QString());
    }

    void carryFromCommercialNamesToMaterials()
    {
        form->SwitchPage(1);
        data::Dataset* comm = session()->dataset(QStringLiteral("TableCommSynonyms"));
        QVERIFY(comm->findKey({QStringLiteral("Lemonal")}));
        form->SwitchPage(0);
        QCOMPARE(current(), QStringLiteral("Citral"));
        select({1, 2});
        form->SwitchPage(1);
        QVERIFY(comm->findKey({QStringLiteral("Clovene")}));
        form->SwitchPage(0);
        QCOMPARE(current(), QStringLiteral("Anethole")); // Eugenol is not listed: nothing moves
        form->SwitchPage(1);
        QVERIFY(comm->findKey({QStringLiteral("Clovene")}));
        form->SwitchPage(2);
        QCOMPARE(
            session()->dataset(QStringLiteral("TableSupplier"))->text(QStringLiteral("supname")),
            QStringLiteral("Alpha Trading"));
    }

    void supplierMaterialsTitleCountsCommercialNames()
    {
        form->SwitchPage(2);
        data::Dataset* supplier = session()->dataset(QStringLiteral("TableSupplier"));
        const auto header = [this] {
            return w<ui::DatasetGrid>("MaterialGrid2")
                ->model()
                ->headerData(0, Qt::Horizontal)
                .toString();
        };
        QVERIFY(supplier->findKey({QStringLiteral("Alpha Trading")}));
        QCOMPARE(header(), QStringLiteral("1 material from: Alpha Trading"));
        QTest::keyClicks(w<QLineEdit>("EditSupplierName"), QStringLiteral("b"));
        QCOMPARE(supplier->text(QStringLiteral("supname")), QStringLiteral("Beta Aromatics"));
        QCOMPARE(header(), QStringLiteral("1 material from: Beta Aromatics"));
        QCOMPARE(ui::MainSession::CountPhrase(0, QStringLiteral("material"), QStringLiteral("s")),
                 QStringLiteral("No materials"));
        QCOMPARE(ui::MainSession::CountPhrase(12, QStringLiteral("material"), QStringLiteral("s")),
                 QStringLiteral("12 materials"));
    }

    void walkMaterialCommercialNameSupplierMaterial()
    {
        QTest::keyClicks(w<QLineEdit>("SearchField"), QStringLiteral("cit"));
        w<QTabWidget>("DetailTabNotebook")->setCurrentIndex(2);
        QCOMPARE(w<QLineEdit>("DBEdit1")->text(),
                 QStringLiteral("Beta Aromatics")); // Lemonal's supplier
        form->SwitchPage(1);
        QCOMPARE(w<QLineEdit>("DBCommCommName")->text(), QStringLiteral("Lemonal"));
        QCOMPARE(w<QLineEdit>("DBCommSupplier")->text(), QStringLiteral("Beta Aromatics"));
        form->SwitchPage(2);
        QCOMPARE(w<QLineEdit>("DBEditName")->text(), QStringLiteral("Beta Aromatics"));
        w<QTabWidget>("SuppliersDetailTabNotebook")->setCurrentIndex(1);
        QCOMPARE(w<QLineEdit>("DBComercialName")->text(), QStringLiteral("Lemonal"));
        QCOMPARE(w<QLineEdit>("DBMaterialName")->text(), QStringLiteral("Citral"));
        form->Navigate(QStringLiteral("first")); // Alpha Trading: Clovene, Eugenol
        form->SwitchPage(0);
        QCOMPARE(current(), QStringLiteral("Eugenol"));
    }

    void paintingTheSupplierListLeavesTheDetailsOnTheCurrentRow()
    {
        QTest::keyClicks(w<QLineEdit>("SearchField"), QStringLiteral("cit"));
        w<QTabWidget>("DetailTabNotebook")->setCurrentIndex(2);
        // Every row of the grid is computed, as painting does; the supplier shown below the
        // grid must stay the one of the current row.
        QAbstractItemModel* model = w<ui::DatasetGrid>("SupplierGrid")->model();
        for (int r = 0; r < model->rowCount(); ++r)
            model->index(r, 1).data();
        QCOMPARE(w<QLineEdit>("DBEdit1")->text(), QStringLiteral("Beta Aromatics"));
    }

    void commercialNameSearch()
    {
        form->SwitchPage(1);
        QTest::keyClicks(w<QLineEdit>("EditCommercialName"), QStringLiteral("l"));
        QCOMPARE(w<QLineEdit>("DBCommCommName")->text(), QStringLiteral("Lemonal"));
        w<QLineEdit>("EditCommercialName")->clear();
        QTest::keyClicks(w<QLineEdit>("EditCommercialName"), QStringLiteral("!"));
        QCOMPARE(w<QLineEdit>("DBCommCommName")->text(),
                 QStringLiteral("Clovene")); // before every name: the first
    }

    void enlargingKeepsTheProportions()
    {
        const QSize design = form->size();
        const QRect odour = w<QPlainTextEdit>("DBOdour")->geometry();
        const QRect literature = w<QPlainTextEdit>("DBLiterature")->geometry();
        const int detail = w<QWidget>("PanelDetail")->width();
        form->resize(design + QSize(100, 40));
        QCoreApplication::processEvents();
        QCOMPARE(w<QPlainTextEdit>("DBOdour")->width(), odour.width() + 50);
        QCOMPARE(w<QPlainTextEdit>("DBOdour")->height(), odour.height() + 10);
        QCOMPARE(w<QPlainTextEdit>("DBLiterature")->y(), literature.y() + 30);
        QCOMPARE(w<QWidget>("PanelDetail")->width(), detail + 50);
        QCOMPARE(w<QWidget>("PanelDetail")->geometry().right(),
                 w<QWidget>("PanelDetail")->parentWidget()->width() - 1);
        if (!qEnvironmentVariableIsEmpty("ZEL_SCREENSHOTS")) {
            form->resize(900, 650);
            QCoreApplication::processEvents();
            form->grab().save(qEnvironmentVariable("ZEL_SCREENSHOTS") +
                              QStringLiteral("/main-enlarged.png"));
        }
        form->resize(design);
        QCoreApplication::processEvents();
        QCOMPARE(w<QPlainTextEdit>("DBOdour")->geometry(), odour);
        QCOMPARE(w<QWidget>("PanelDetail")->width(), detail);
    }

    void printingFromTheCommercialNamesPage()
    {
        form->SwitchPage(1);
        QVERIFY(session()
                    ->dataset(QStringLiteral("TableCommSynonyms"))
                    ->findKey({QStringLiteral("Clovene")}));
        // The preview opens while the command runs; look at it, then close it.
        QString position;
        QByteArray firstPage;
        QTimer watch;
        int waited = 0;
        connect(&watch, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* preview = qobject_cast<report::TRpStandardPreview*>(w);
                if (!preview || !preview->isVisible())
                    continue;
                // Wait for the run to end, then read the page and close the window.
                if (preview->Print->isEnabled() || ++waited > 100) {
                    position = preview->pagePositionText();
                    if (auto image = preview->view()->source()->pageImage(1))
                        firstPage = image->bytes();
                    preview->close();
                }
            }
        });
        watch.start(20);
        w<QToolButton>("PrintButton")->click();
        QCOMPARE(position, QStringLiteral("Page 1 of 1"));
        const QString name = QStringLiteral("Eugenol");
        QVERIFY(firstPage.contains(
            QByteArray(reinterpret_cast<const char*>(name.utf16()), name.size() * 2)));
        // The material list's cursor stands on that material, in the order the list had.
        QCOMPARE(current(), QStringLiteral("Eugenol"));
        QCOMPARE(session()->dataset(QStringLiteral("TableMaterial"))->indexName().toLower(),
                 QStringLiteral("idindex"));
    }

    void hideAndShowDetails()
    {
        w<QTabWidget>("DetailTabNotebook")->setCurrentIndex(2);
        QVERIFY(w<QToolButton>("HideShowButton")->isEnabled());
        QTest::mouseClick(w<QToolButton>("HideShowButton"), Qt::LeftButton);
        QCOMPARE(w<QToolButton>("HideShowButton")->text(), QStringLiteral("Show details"));
        QVERIFY(!w<QWidget>("TabDetailsSuppliers")->isVisible());
        QTest::mouseClick(w<QToolButton>("HideShowButton"), Qt::LeftButton);
        QCOMPARE(w<QToolButton>("HideShowButton")->text(), QStringLiteral("Hide details"));
        QVERIFY(w<QWidget>("TabDetailsSuppliers")->isVisible());
    }

    void f1ShowsTheHelpFile()
    {
        QTest::keyClick(form, Qt::Key_F1);
        auto* help = form->findChild<ui::HelpWindow*>();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("aroma materials")));
    }

    // The alternatives of the current material, among those rated "++" in the ticked medium;
    // they follow the current material, and a double-click goes to one.
    void stableAlternativesFollowTheMaterialAndGoToOne()
    {
        w<QAction>("MenuAlternatives")->trigger();
        ui::TAlternativesWindow* window = program->alternativesWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTableWidget* grid = window->results();
        QCOMPARE(grid->rowCount(), 3); // the other fruity ones
        auto* media = window->findChild<QListWidget*>(QStringLiteral("AlternativesMedia"));
        media->item(0)->setCheckState(Qt::Checked); // "pH  1:", rated "++" by Damascone alone
        QCoreApplication::processEvents();
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("Damascone"));
        QCOMPARE(grid->horizontalHeaderItem(4)->text(), QStringLiteral("pH  1:"));
        QCOMPARE(grid->item(0, 4)->text(), QStringLiteral("++"));
        w<QToolButton>("NextButton")->click(); // Benzyl acetate
        QCoreApplication::processEvents();
        QVERIFY(window->findChild<QLabel*>(QStringLiteral("AlternativesHeading"))
                    ->text()
                    .endsWith(QStringLiteral("Benzyl acetate")));
        form->SwitchPage(ui::page::Suppliers);
        Q_EMIT grid->cellDoubleClicked(0, 1);
        QCoreApplication::processEvents();
        QCOMPARE(form->currentPage(), ui::page::Materials);
        QCOMPARE(current(), QStringLiteral("Damascone"));
        QCOMPARE(
            session()->selectionList()->IdAtRow(w<ui::MaterialGrid>("MaterialGrid")->currentRow()),
            session()->selectionList()->currentId());
        window->grab().save(QStringLiteral("/tmp/zel-alternatives.png"));
    }

    // The progress window is painted while a search runs, with no turn of the event loop
    // between: it has its designed outer size from the first showing on, also where the
    // window manager frames it only after it is shown (run under one by ctest as well).
    void progressWindowHasItsOuterSizeFromTheFirstShowing()
    {
        struct Painted : QObject
        {
            QList<QSize> inner; // the frame itself may be told only later
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                if (event->type() == QEvent::Paint)
                    inner << static_cast<QWidget*>(watched)->size();
                return false;
            }
        } painted;
        program->gaugeWindow()->installEventFilter(&painted);
        for (int search = 0; search < 2; ++search) {
            select({1, 2, 3});
            QTest::qWait(200);
        }
        // The window manager frames the progress window as it framed the main window.
        QTRY_VERIFY(form->frameGeometry().size() != form->size());
        const QSize frame = form->frameGeometry().size() - form->size();
        QVERIFY(!painted.inner.isEmpty());
        for (const QSize& size : painted.inner)
            QCOMPARE(size, QSize(328, 62) - frame);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
