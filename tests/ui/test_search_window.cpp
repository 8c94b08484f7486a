// The search dialog on real widgets: how it is left, what its media grid does with the
// mouse and the keyboard, how it paints, and the filter it hands to the selection list.
#include "Fixture.h"
#include "model/Datasets.h"
#include "model/StabilityMedia.h"
#include "ui/TSearchWindow.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <functional>

using namespace zel;
using ui::TSearchWindow;

class SearchWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TSearchWindow> w;

    QTableWidget* grid() const { return w->StringGridStability; }
    QRect rowRect(int row) const { return grid()->visualRect(grid()->model()->index(row - 1, 0)); }

    void showWindow()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    void clickRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        grid()->scrollTo(grid()->model()->index(row - 1, 0));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, modifiers, rowRect(row).center());
    }

    // Runs Execute while action works the open window; gives up after a few seconds rather
    // than hanging the test run.
    int executeWith(const std::function<void()>& action)
    {
        QTimer::singleShot(0, w.get(), action);
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, w.get(), [this] { w->done(-1); });
        guard.start(5000);
        return w->Execute();
    }

    QStringList marks() const
    {
        QStringList out;
        for (int row = 1; row < TSearchWindow::GridRows; ++row)
            if (w->cellText(row).startsWith(QLatin1Char('2')))
                out << QString::number(row);
        return out;
    }

private Q_SLOTS:
    void init() { w = std::make_unique<TSearchWindow>(); }
    void cleanup() { w.reset(); }

    void toggleEachRowOfTheRange_data()
    {
        QTest::addColumn<bool>("byDoubleClick");
        QTest::newRow("space") << false;
        QTest::newRow("double-click") << true;
    }

    void toggleEachRowOfTheRange()
    {
        QFETCH(bool, byDoubleClick);
        QCOMPARE(w->cellText(0), QStringLiteral("Doubleclick media for good stability (++)"));
        for (int medium = 1; medium <= model::MediaCount; ++medium)
            QCOMPARE(w->cellText(medium), QStringLiteral("0/") + model::mediumLabel(medium));
        showWindow();
        clickRow(6);
        QTest::keyClick(grid(), Qt::Key_Space);
        QCOMPARE(marks(), QStringList{QStringLiteral("6")});
        QCOMPARE(w->requiredCount(), 1);

        clickRow(5);
        clickRow(7, Qt::ShiftModifier);
        if (byDoubleClick)
            QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                               rowRect(7).center());
        else
            QTest::keyClick(grid(), Qt::Key_Space);
        QCOMPARE(marks(), (QStringList{QStringLiteral("5"), QStringLiteral("7")}));
        QCOMPARE(w->requiredCount(), 2);
        QCOMPARE(w->cellText(7), QStringLiteral("2/pH  7:"));
        // The space toggled marks; it did not narrow the selection to one row.
        QCOMPARE(grid()->selectionModel()->selectedRows().size(), 3);

        QTest::keyClick(grid(), Qt::Key_Space); // and back
        QCOMPARE(marks(), QStringList{QStringLiteral("6")});
        QCOMPARE(w->requiredCount(), 1);
    }

    void clearLeavesTheWindowOpen()
    {
        bool visibleAfterClear = false;
        const int result = executeWith([&] {
            w->EditName->setText(QStringLiteral("lin"));
            w->EditApplications->setText(QStringLiteral("soap"));
            clickRow(23);
            QTest::keyClick(grid(), Qt::Key_Space);
            QTest::mouseClick(w->ClearButton, Qt::LeftButton);
            visibleAfterClear = w->isVisible();
            QTest::mouseClick(w->CloseButton, Qt::LeftButton);
        });
        QVERIFY(visibleAfterClear);
        QCOMPARE(result, 0);
        QCOMPARE(w->EditName->text(), QString());
        QCOMPARE(w->EditApplications->text(), QString());
        QCOMPARE(marks(), QStringList());
        QCOMPARE(w->requiredCount(), 0);
    }

    void resultTellsHowTheWindowWasLeft_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("Select") << "select" << 1;
        QTest::newRow("Select all") << "all" << 2;
        QTest::newRow("Close") << "close" << 0;
        QTest::newRow("Esc") << "escape" << 0;
        QTest::newRow("close box") << "box" << 0;
        QTest::newRow("Enter in an edit") << "enter" << 1;
        QTest::newRow("Alt+A") << "alt-a" << 2;
    }

    void resultTellsHowTheWindowWasLeft()
    {
        QFETCH(QString, how);
        QFETCH(int, expected);
        // A search before, so that a 0 is not just what was left over.
        QCOMPARE(executeWith([&] { QTest::mouseClick(w->SearchButton, Qt::LeftButton); }), 1);
        const int result = executeWith([&] {
            if (how == QLatin1String("select"))
                QTest::mouseClick(w->SearchButton, Qt::LeftButton);
            else if (how == QLatin1String("all"))
                QTest::mouseClick(w->SearchAllButton, Qt::LeftButton);
            else if (how == QLatin1String("close"))
                QTest::mouseClick(w->CloseButton, Qt::LeftButton);
            else if (how == QLatin1String("escape"))
                QTest::keyClick(w->EditName, Qt::Key_Escape);
            else if (how == QLatin1String("box"))
                w->close();
            else if (how == QLatin1String("enter"))
                QTest::keyClick(w->EditOdour, Qt::Key_Return);
            else if (how == QLatin1String("alt-a")) {
                w->activateWindow(); // shortcuts reach the active window only
                QVERIFY(QTest::qWaitForWindowActive(w.get()));
                QTest::keyClick(w.get(), Qt::Key_A, Qt::AltModifier);
            }
        });
        QCOMPARE(result, expected);
        QCOMPARE(w->resultCode(), expected);
        QVERIFY(!w->isVisible());
    }

    void focusGoesToTheFirstFilledEdit_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all empty") << QStringList{"", "", "", ""} << "EditName";
        QTest::newRow("name") << QStringList{"lin", "", "", "x"} << "EditName";
        QTest::newRow("performance") << QStringList{"", "", "soap", "x"} << "EditPerformance";
        QTest::newRow("application") << QStringList{"", "", "", "x"} << "EditApplications";
        QTest::newRow("a space is text") << QStringList{"", " ", "soap", ""} << "EditOdour";
    }

    void focusGoesToTheFirstFilledEdit()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, expected);
        const QList<QLineEdit*> edits{w->EditName, w->EditOdour, w->EditPerformance,
                                      w->EditApplications};
        for (int i = 0; i < 4; ++i)
            edits[i]->setText(texts[i]);
        grid()->setFocus(); // wherever the focus was last time
        QString focused;
        executeWith([&] {
            focused = w->focusWidget() ? w->focusWidget()->objectName() : QString();
            w->reject();
        });
        QCOMPARE(focused, expected);
    }

    void reopeningKeepsTheCriteria()
    {
        executeWith([&] {
            QTest::keyClicks(w->focusWidget(), QStringLiteral("lin"));
            QTest::mouseClick(w->ClearButton, Qt::LeftButton);
            w->EditPerformance->setText(QStringLiteral("soap"));
            clickRow(23);
            QTest::keyClick(grid(), Qt::Key_Space);
            QTest::keyClick(grid(), Qt::Key_Escape);
        });
        QString focused;
        executeWith([&] {
            focused = w->focusWidget()->objectName();
            w->reject();
        });
        QCOMPARE(focused, QStringLiteral("EditPerformance"));
        QCOMPARE(w->EditPerformance->text(), QStringLiteral("soap"));
        QCOMPARE(marks(), QStringList{QStringLiteral("23")});
    }

    void tabOrder()
    {
        showWindow();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(QApplication::focusWidget(), w->EditName);
        QStringList visited;
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, (QStringList{"EditOdour", "EditPerformance", "EditApplications",
                                       "StringGridStability", "SearchButton", "SearchAllButton",
                                       "ClearButton", "CloseButton", "EditName"}));
    }

    void cellsPaintMarksAndSelection()
    {
        showWindow();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        clickRow(2);
        QTest::keyClick(grid(), Qt::Key_Space);
        clickRow(3);
        QTest::keyClick(grid(), Qt::Key_Space);
        clickRow(4, Qt::ShiftModifier); // rows 3 and 4 selected, 4 current with the focus
        grid()->setFocus();             // a click gives it the focus; a synthetic one does not
        grid()->scrollToTop();
        const QImage view = grid()->viewport()->grab().toImage();
        const auto at = [&](int row, int x, int y) {
            return view.pixelColor(rowRect(row).topLeft() + QPoint(x, y));
        };
        // Whether any pixel of row in [x0, x1) x [y0, y1) is (or, with !is, is not) colour.
        const auto any = [&](int row, int x0, int x1, int y0, int y1, const QColor& colour,
                             bool is) {
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    if ((at(row, x, y) == colour) == is)
                        return true;
            return false;
        };
        const QColor white(Qt::white), blue(0, 0, 255), yellow(255, 255, 0), green(0, 128, 0);

        QCOMPARE(rowRect(1).height(), 18); // the grid line lies below it
        QCOMPARE(at(1, 8, 9), white);      // not marked, not selected
        QCOMPARE(at(2, 8, 9), green);      // marked
        QCOMPARE(at(3, 8, 9), yellow);     // marked and selected
        QCOMPARE(at(3, 17, 9), blue);
        QCOMPARE(at(4, 8, 9), blue); // selected, not marked
        for (int row = 1; row <= 2; ++row) {
            QVERIFY(!any(row, 15, 20, 0, 18, white, false)); // the label starts 20 pixels in
            QVERIFY(any(row, 20, 40, 0, 18, white, false));
        }
        QVERIFY(any(4, 0, 300, 0, 1, yellow, true)); // the focus frame, on the focused cell only
        QVERIFY(!any(3, 0, 300, 0, 1, yellow, true));

        // The title row stays on top in the button face colour.
        const QImage title = grid()->horizontalHeader()->grab().toImage();
        QCOMPARE(title.pixelColor(8, 9), grid()->palette().color(QPalette::Button));
    }

    void criteriaReachTheFilter()
    {
        test::DatabaseFixture db;
        data::DatasetSet sets(db.db.get(), model::decls::mainWindow());
        sets.openAll();
        data::Dataset* scan = sets.get(QStringLiteral("TableMaterialSelect"));
        const std::function<bool()> filter =
            w->filterFor(scan, sets.get(QStringLiteral("TableSynonymsSelect")));
        const auto kept = [&] {
            QStringList out;
            for (scan->first(); !scan->eof(); scan->next())
                if (filter())
                    out << scan->text(QStringLiteral("name"));
            return out;
        };
        QCOMPARE(kept().size(), 6);
        w->EditName->setText(QStringLiteral(" lin "));
        QCOMPARE(kept(), (QStringList{QStringLiteral("Linalool"), QStringLiteral("Vanillin")}));
        showWindow();
        clickRow(23);
        QTest::keyClick(grid(), Qt::Key_Space); // Shampoo: Linalool rates it "+" only
        QCOMPARE(kept(), QStringList{QStringLiteral("Vanillin")});
        QTest::mouseClick(w->ClearButton, Qt::LeftButton);
        QCOMPARE(kept().size(), 6);
    }

    // Under a real display: ZEL_SCREENSHOTS=<dir> writes the window as the user sees it.
    void screenshot()
    {
        const QString dir = qEnvironmentVariable("ZEL_SCREENSHOTS");
        if (dir.isEmpty())
            QSKIP("ZEL_SCREENSHOTS not set");
        showWindow();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(w->grab().save(dir + QStringLiteral("/search-empty.png")), true);
        w->EditName->setText(QStringLiteral("lin"));
        w->EditOdour->setText(QStringLiteral("floral"));
        clickRow(2);
        QTest::keyClick(grid(), Qt::Key_Space);
        clickRow(4);
        QTest::keyClick(grid(), Qt::Key_Space);
        clickRow(3);
        clickRow(4, Qt::ShiftModifier);
        grid()->setFocus();
        grid()->scrollToTop();
        QCOMPARE(w->grab().save(dir + QStringLiteral("/search-marked.png")), true);
        const QImage zoomed = grid()->grab().toImage().scaled(grid()->size() * 3);
        QCOMPARE(zoomed.save(dir + QStringLiteral("/search-grid-x3.png")), true);
    }
};

QTEST_MAIN(SearchWindowTest)
#include "test_search_window.moc"
