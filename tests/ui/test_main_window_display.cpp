// What the main window shows, in the real window on the offscreen platform, built over a
// session without a Program or an ini file: stability columns after resizing on any page,
// the supplier details of a commercial name, double-clicks on the grids, entering read-only
// fields with Tab, the windows' outer sizes, and the lookups behind each user action.
#include "SessionFixture.h"
#include "app/TGaugeWindow.h"
#include "data/engine/Dataset.h"
#include "search/TSearchClass.h"
#include "ui/DatasetGrid.h"
#include "ui/MainSession.h"
#include "ui/MaterialGrid.h"
#include "ui/TMainForm.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

using namespace zel;
namespace page = ui::page;

class MainWindowDisplayTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::SessionFixture> fixture;
    std::unique_ptr<ui::TMainForm> form;

    ui::MainSession& session() const { return fixture->session; }
    template <class T> T* w(const char* name) const
    {
        T* c = form->findChild<T*>(QLatin1String(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    QTabWidget* detailNotebook(int p) const
    {
        return w<QTabWidget>(p == page::Materials         ? "DetailTabNotebook"
                             : p == page::CommercialNames ? "TabbedNotebookCommercialName"
                                                          : "SuppliersDetailTabNotebook");
    }
    void show(int p, int sub)
    {
        form->SwitchPage(p);
        detailNotebook(p)->setCurrentIndex(sub);
        QCoreApplication::processEvents();
    }
    void type(const char* text)
    {
        auto* field = w<QLineEdit>("SearchField");
        field->clear();
        QTest::keyClicks(field, QString::fromLatin1(text));
        QCoreApplication::processEvents();
    }
    // The four column widths of a grid, and whether they follow the rule for its client
    // width.
    static QList<int> widths(const QTableWidget* grid)
    {
        return {grid->columnWidth(0), grid->columnWidth(1), grid->columnWidth(2),
                grid->columnWidth(3)};
    }
    static QList<int> byRule(const QTableWidget* grid)
    {
        const int r = grid->viewport()->width() / 10 - 2;
        return {4 * r, r, 4 * r, r};
    }
    // Shows each stability grid in turn and returns its widths, checked against the rule.
    QList<QList<int>> visitStabilityGrids()
    {
        QList<QList<int>> out;
        for (const auto& [p, name] : {std::pair{page::Materials, "StabilityGrid"},
                                      std::pair{page::CommercialNames, "CommStabilityGrid"}}) {
            show(p, 1);
            const auto* grid = w<QTableWidget>(name);
            [&] {
                QCOMPARE(widths(grid), byRule(grid));
                // No horizontal scroll bar is ever needed.
                QVERIFY(grid->viewport()->width() - 10 * grid->columnWidth(1) >= 20);
            }();
            out << widths(grid);
        }
        return out;
    }

private Q_SLOTS:
    void init()
    {
        fixture = std::make_unique<test::SessionFixture>(test::tenMaterials());
        form = std::make_unique<ui::TMainForm>(&session());
        form->ShowFirstPages();
        form->FillMediaLabels();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCoreApplication::processEvents();
    }

    void cleanup()
    {
        form.reset();
        fixture.reset();
    }

    // The lists of the other two pages run their one column 200 characters wide, and every
    // data grid has its row-indicator column, pointing at the current record.
    void dataGridsHaveTheirColumnsAndIndicator_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("characters"); // of the first column
        QTest::newRow("commercial names")
            << int(page::CommercialNames) << "DBGridCommercialName" << 200;
        QTest::newRow("suppliers") << int(page::Suppliers) << "DBGrid1" << 200;
        QTest::newRow("a material's suppliers") << int(page::Materials) << "SupplierGrid" << 30;
    }

    void dataGridsHaveTheirColumnsAndIndicator()
    {
        QFETCH(int, page);
        QFETCH(QString, grid);
        QFETCH(int, characters);
        show(page, page == page::Materials ? 2 : 0);
        auto* g = w<ui::DatasetGrid>(qPrintable(grid));
        const int digit = g->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        QCOMPARE(g->columnWidth(0), characters * digit + 4);
        QVERIFY(g->verticalHeader()->isVisible());
        QCOMPARE(g->verticalHeader()->width(), 12);
        // The current row's indicator holds black; the others are plain.
        const QImage indicator = g->verticalHeader()->grab().toImage();
        const int rowHeight = g->rowHeight(0);
        const auto inkIn = [&](int row) {
            int ink = 0;
            for (int y = row * rowHeight; y < (row + 1) * rowHeight && y < indicator.height(); ++y)
                for (int x = 0; x < indicator.width() - 1; ++x)
                    ink += qGray(indicator.pixel(x, y)) < 64;
            return ink;
        };
        QVERIFY(g->model()->rowCount() >= 2);
        QVERIFY(inkIn(g->currentIndex().row()) > 4);
        QCOMPARE(inkIn(g->currentIndex().row() == 0 ? 1 : 0), 0);
    }

    // The materials list's title row in the grids' font, and the toolbar in its bevels.
    void titleRowFontAndToolbarBevel()
    {
        auto* grid = w<ui::MaterialGrid>("MaterialGrid");
        QCOMPARE(grid->horizontalHeader()->font().family(), grid->font().family());
        QCOMPARE(grid->horizontalHeader()->font().pixelSize(), 11);
        const QImage bar = w<QWidget>("Panel1")->grab().toImage();
        // Lowered outside (grey above, white below), raised inside (white above, grey below).
        const int x = bar.width() / 2;
        QCOMPARE(QColor(bar.pixel(x, 0)), QColor(128, 128, 128));
        QCOMPARE(QColor(bar.pixel(x, 1)), QColor(Qt::white));
        QCOMPARE(QColor(bar.pixel(x, bar.height() - 2)), QColor(128, 128, 128));
        QCOMPARE(QColor(bar.pixel(x, bar.height() - 1)), QColor(Qt::white));
    }

    void stabilityColumnsAtFirstShowing()
    {
        const QList<QList<int>> first = visitStabilityGrids();
        QCOMPARE(first[0], first[1]);
        // The grid fills its page inside 10-pixel margins: 314 pixels of client width at the
        // design size, so 29 and 116.
        QCOMPARE(w<QTableWidget>("StabilityGrid")->viewport()->width(), 314);
        QCOMPARE(first[0], (QList<int>{116, 29, 116, 29}));
    }

    void resizingOnAnyPageThenShowingTheOthers_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("sub");
        QTest::newRow("materials, details") << int(page::Materials) << 0;
        QTest::newRow("materials, stability") << int(page::Materials) << 1;
        QTest::newRow("materials, suppliers") << int(page::Materials) << 2;
        QTest::newRow("commercial names, details") << int(page::CommercialNames) << 0;
        QTest::newRow("commercial names, stability") << int(page::CommercialNames) << 1;
        QTest::newRow("suppliers, details") << int(page::Suppliers) << 0;
        QTest::newRow("suppliers, materials") << int(page::Suppliers) << 1;
    }

    void resizingOnAnyPageThenShowingTheOthers()
    {
        QFETCH(int, page);
        QFETCH(int, sub);
        const QList<QList<int>> design = visitStabilityGrids();
        const QSize inner = form->size();
        const int odour = w<QPlainTextEdit>("DBOdour")->width();
        const int commOdour = w<QPlainTextEdit>("DBCommOdour")->width();
        const int supplierName = w<QLineEdit>("DBEditName")->width();

        show(page, sub);
        form->resize(inner + QSize(210, 150));
        QCoreApplication::processEvents();
        const QList<QList<int>> grown = visitStabilityGrids();
        QCOMPARE(grown[0], grown[1]);
        QVERIFY(grown[0][1] > design[0][1]);
        // The fields of every page took half the growth, whichever page was shown.
        QCOMPARE(w<QPlainTextEdit>("DBOdour")->width(), odour + 105);
        QCOMPARE(w<QPlainTextEdit>("DBCommOdour")->width(), commOdour + 105);
        QCOMPARE(w<QLineEdit>("DBEditName")->width(), supplierName + 105);
        for (const char* side :
             {"PanelDetail", "PanelCommercialDetails", "SuppliersDetailTabNotebook"}) {
            auto* panel = w<QWidget>(side);
            if (panel->isVisible())
                QCOMPARE(panel->geometry().right(), panel->parentWidget()->width() - 1);
        }

        show(page, sub);
        form->resize(inner);
        QCoreApplication::processEvents();
        QCOMPARE(visitStabilityGrids(), design);
        QCOMPARE(w<QPlainTextEdit>("DBOdour")->width(), odour);
    }

    void supplierDetailsOfTheCurrentCommercialName_data()
    {
        QTest::addColumn<QString>("before");   // a material made current first
        QTest::addColumn<QString>("material"); // typed into the search field
        QTest::addColumn<QString>("commercial");
        QTest::addColumn<QString>("shown");     // supplier under the suppliers list
        QTest::addColumn<QString>("carriedTo"); // the suppliers page after switching to it
        QTest::newRow("known supplier") << ""
                                        << "cit"
                                        << "Lemonal"
                                        << "Beta Aromatics"
                                        << "Beta Aromatics";
        QTest::newRow("first of two") << ""
                                      << "eu"
                                      << "Clovene"
                                      << "Alpha Trading"
                                      << "Alpha Trading";
        QTest::newRow("supplier number nobody has") << "cit"
                                                    << "eu"
                                                    << "Pinkroot"
                                                    << ""
                                                    << "Gamma Oils";
        QTest::newRow("material without commercial names") << "cit"
                                                           << "an"
                                                           << ""
                                                           << ""
                                                           << "Gamma Oils";
    }

    void supplierDetailsOfTheCurrentCommercialName()
    {
        QFETCH(QString, before);
        QFETCH(QString, material);
        QFETCH(QString, commercial);
        QFETCH(QString, shown);
        QFETCH(QString, carriedTo);
        // The suppliers page stands on a supplier no case carries to.
        QVERIFY(session().GotoSupplier(QStringLiteral("S03")));
        show(page::Materials, 2);
        if (!before.isEmpty())
            type(before.toLatin1().constData());
        type(material.toLatin1().constData());
        auto* grid = w<ui::DatasetGrid>("SupplierGrid");
        if (!commercial.isEmpty()) {
            const QModelIndexList hits = grid->model()->match(
                grid->model()->index(0, 0), Qt::DisplayRole, commercial, 1, Qt::MatchExactly);
            QCOMPARE(hits.size(), 1);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(hits[0]).center());
        } else {
            QCOMPARE(grid->model()->rowCount(), 0);
        }
        QCoreApplication::processEvents();
        QCOMPARE(w<QLineEdit>("DBEdit1")->text(), shown);
        if (shown.isEmpty())
            for (const char* field : {"DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6"})
                QCOMPARE(w<QLineEdit>(field)->text(), QString());
        form->SwitchPage(page::Suppliers);
        QCOMPARE(w<QLineEdit>("DBEditName")->text(), carriedTo);
    }

    void doubleClickAnywhereOnTheGridTogglesThePane_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("record"); // a material typed, or a supplier number
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("pane");
        QTest::addColumn<QString>("where"); // "row", "below the rows" or "title"
        QTest::newRow("materials: on a row") << int(page::Materials) << "cit"
                                             << "SupplierGrid"
                                             << "TabDetailsSuppliers"
                                             << "row";
        QTest::newRow("materials: below the rows") << int(page::Materials) << "cit"
                                                   << "SupplierGrid"
                                                   << "TabDetailsSuppliers"
                                                   << "below the rows";
        QTest::newRow("materials: empty grid") << int(page::Materials) << "an"
                                               << "SupplierGrid"
                                               << "TabDetailsSuppliers"
                                               << "below the rows";
        QTest::newRow("materials: title") << int(page::Materials) << "an"
                                          << "SupplierGrid"
                                          << "TabDetailsSuppliers"
                                          << "title";
        QTest::newRow("suppliers: below the rows") << int(page::Suppliers) << "S01"
                                                   << "MaterialGrid2"
                                                   << "TabDetailsMaterial"
                                                   << "below the rows";
        QTest::newRow("suppliers: empty grid") << int(page::Suppliers) << "S03"
                                               << "MaterialGrid2"
                                               << "TabDetailsMaterial"
                                               << "below the rows";
    }

    void doubleClickAnywhereOnTheGridTogglesThePane()
    {
        QFETCH(int, page);
        QFETCH(QString, record);
        QFETCH(QString, grid);
        QFETCH(QString, pane);
        QFETCH(QString, where);
        if (page == page::Materials) {
            type(record.toLatin1().constData());
            show(page, 2);
        } else {
            show(page, 1);
            QVERIFY(session().GotoSupplier(record));
        }
        auto* view = w<ui::DatasetGrid>(grid.toLatin1().constData());
        auto* details = w<QWidget>(pane.toLatin1().constData());
        auto* button = w<QToolButton>("HideShowButton");
        QVERIFY(button->isEnabled());
        const auto doubleClick = [&] {
            QWidget* target = where == QLatin1String("title") ? view->horizontalHeader()->viewport()
                                                              : view->viewport();
            QPoint at = target->rect().center();
            if (where == QLatin1String("row"))
                at = view->visualRect(view->model()->index(0, 0)).center();
            else if (where == QLatin1String("below the rows"))
                at = QPoint(5, target->height() - 5);
            QTest::mouseDClick(target, Qt::LeftButton, {}, at);
            QCoreApplication::processEvents();
        };
        QVERIFY(details->isVisible());
        doubleClick();
        QVERIFY(!details->isVisible());
        QCOMPARE(button->text(), QStringLiteral("Show details"));
        doubleClick();
        QVERIFY(details->isVisible());
        QCOMPARE(button->text(), QStringLiteral("Hide details"));
    }

    void tabIntoAReadOnlyFieldSelectsNothing_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("sub");
        QTest::addColumn<QString>("field");
        QTest::newRow("DBCAS") << int(page::Materials) << 0 << "DBCAS";
        QTest::newRow("DBEdit1") << int(page::Materials) << 2 << "DBEdit1";
        QTest::newRow("DBEdit6") << int(page::Materials) << 2 << "DBEdit6";
        QTest::newRow("DBCommCas") << int(page::CommercialNames) << 0 << "DBCommCas";
        QTest::newRow("DBCommSupplier") << int(page::CommercialNames) << 0 << "DBCommSupplier";
        QTest::newRow("DBEditName") << int(page::Suppliers) << 0 << "DBEditName";
        QTest::newRow("DBEditPhone") << int(page::Suppliers) << 0 << "DBEditPhone";
        QTest::newRow("DBMaterialCAS") << int(page::Suppliers) << 1 << "DBMaterialCAS";
        QTest::newRow("DBComercialName") << int(page::Suppliers) << 1 << "DBComercialName";
    }

    void tabIntoAReadOnlyFieldSelectsNothing()
    {
        QFETCH(int, page);
        QFETCH(int, sub);
        QFETCH(QString, field);
        // Records whose fields all hold text: Citral, Lemonal and Beta Aromatics.
        type("cit");
        show(page::CommercialNames, 0);
        QVERIFY(session()
                    .dataset(QStringLiteral("TableCommSynonyms"))
                    ->findKey({QStringLiteral("Lemonal")}));
        QVERIFY(session().GotoSupplier(QStringLiteral("S02")));
        show(page, sub);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));

        auto* edit = w<QLineEdit>(field.toLatin1().constData());
        QVERIFY(!edit->text().isEmpty());
        // Tab from the control before it, as the user would.
        QWidget* before = edit->previousInFocusChain();
        while (before != edit && !(before->isVisible() && before->isEnabled() &&
                                   (before->focusPolicy() & Qt::TabFocus)))
            before = before->previousInFocusChain();
        QVERIFY(before != edit);
        before->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(before->hasFocus());
        QTest::keyClick(before, Qt::Key_Tab);
        QTRY_VERIFY(edit->hasFocus());
        QVERIFY(!edit->hasSelectedText());
        QCOMPARE(edit->cursorPosition(), 0);
    }

    void windowsHaveTheirOuterSizes()
    {
        QCOMPARE(form->frameGeometry().size(), QSize(590, 450));
        const QSize frame = form->frameGeometry().size() - form->size();
        QCOMPARE(form->minimumSize() + frame, QSize(590, 450));
        form->resize(300, 200);
        QCoreApplication::processEvents();
        QCOMPARE(form->frameGeometry().size(), QSize(590, 450));
        form->resize(700, 500);
        QCoreApplication::processEvents();
        QCOMPARE(form->frameGeometry().size(), QSize(700, 500) + frame);

        app::TGaugeWindow gauge;
        gauge.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gauge));
        QCoreApplication::processEvents();
        QCOMPARE(gauge.frameGeometry().size(), QSize(328, 62));
    }

    void oneLookupPerUserAction_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("lookups");
        QTest::addColumn<QString>("current");
        QTest::newRow("a keystroke") << "keystroke" << 1 << "Geraniol";
        QTest::newRow("a click on a row") << "click" << 1 << "Damascone";
        QTest::newRow("the next button") << "next" << 1 << "Benzyl acetate";
        QTest::newRow("an arrow key") << "down" << 1 << "Benzyl acetate";
        QTest::newRow("the order button") << "order" << 0 << "Anethole";
        QTest::newRow("a carry from the commercial names page") << "carry" << 1 << "Citral";
    }

    void oneLookupPerUserAction()
    {
        QFETCH(QString, action);
        QFETCH(int, lookups);
        QFETCH(QString, current);
        auto* grid = w<ui::MaterialGrid>("MaterialGrid");
        if (action == QLatin1String("carry")) {
            show(page::CommercialNames, 0);
            QVERIFY(session()
                        .dataset(QStringLiteral("TableCommSynonyms"))
                        ->findKey({QStringLiteral("Lemonal")}));
        }
        const int before = session().selectionList()->keySearches();
        if (action == QLatin1String("keystroke"))
            QTest::keyClick(w<QLineEdit>("SearchField"), Qt::Key_G);
        else if (action == QLatin1String("click"))
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(3, 0)).center());
        else if (action == QLatin1String("next"))
            w<QToolButton>("NextButton")->click();
        else if (action == QLatin1String("down"))
            QTest::keyClick(grid, Qt::Key_Down);
        else if (action == QLatin1String("order"))
            w<QToolButton>("OrderButton")->click();
        else if (action == QLatin1String("carry"))
            form->SwitchPage(page::Materials);
        QCoreApplication::processEvents();
        QCOMPARE(session().selectionList()->keySearches() - before, lookups);
        QCOMPARE(session().dataset(QStringLiteral("TableMaterial"))->text(QStringLiteral("name")),
                 current);
        QCOMPARE(grid->currentRow(), session().currentRow());
        QCOMPARE(session().selectionList()->IdAtRow(grid->currentRow()),
                 session().selectionList()->currentId());
    }
};

QTEST_MAIN(MainWindowDisplayTest)
#include "test_main_window_display.moc"
