// The materials list grid on real widgets over a generated database.
#include "SessionFixture.h"
#include "data/engine/Dataset.h"
#include "model/Datasets.h"
#include "search/TSearchClass.h"
#include "ui/MainSession.h"
#include "ui/MaterialGrid.h"

#include <QScrollBar>
#include <QtTest>

using namespace zel;

class MaterialGridTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::SessionFixture> fixture;
    search::TSearchClass* list = nullptr;
    std::unique_ptr<ui::MaterialGrid> grid;
    std::unique_ptr<ui::MaterialListModel> model;

    data::Dataset* browse() const
    {
        return fixture->session.dataset(QStringLiteral("TableMaterial"));
    }

private Q_SLOTS:
    void init()
    {
        data::DatabaseContent c;
        for (int i = 0; i < 60; ++i) {
            data::MaterialRow m;
            m.name = QStringLiteral("Material %1").arg(i, 2, 10, QLatin1Char('0'));
            m.cas =
                QStringLiteral("%1-00-0").arg(1000 - i); // CAS order is the reverse of name order
            c.materials.push_back(m);
        }
        // The session builds the list of all materials in name order, the first one current.
        fixture = std::make_unique<test::SessionFixture>(c);
        list = fixture->session.selectionList();
        grid = std::make_unique<ui::MaterialGrid>();
        model = std::make_unique<ui::MaterialListModel>(
            list, fixture->session.dataset(QStringLiteral("TableMaterial2")));
        grid->setSession(&fixture->session, model.get());
        grid->resize(300, 18 * 11 + 4);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    }

    void cleanup()
    {
        grid.reset();
        model.reset();
        fixture.reset();
    }

    void rowsShowNamesInBothOrders()
    {
        QCOMPARE(grid->rowCount(), 61);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Material 00"));
        QCOMPARE(model->index(59, 0).data().toString(), QStringLiteral("Material 59"));
        list->SetOrder(QStringLiteral("CAS"));
        model->repaintAll();
        // "1000-00-0" < "941-00-0" < ... < "999-00-0" in text order.
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Material 00"));
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("Material 59"));
        QCOMPARE(model->nameOf(999), QString());
        model->setTitle(QStringLiteral("List of all materials (60)"));
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("List of all materials (60)"));
    }

    void clickingARowMakesItsMaterialCurrent()
    {
        QCOMPARE(grid->currentRow(), 1);
        const QRect r = grid->visualRect(model->index(4, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(grid->currentRow(), 5);
        QCOMPARE(list->currentId(), 5);
        QCOMPARE(browse()->text(QStringLiteral("name")), QStringLiteral("Material 04"));
        QTest::keyClick(grid.get(), Qt::Key_Down);
        QCOMPARE(browse()->text(QStringLiteral("name")), QStringLiteral("Material 05"));
    }

    void scrollingKeepsTheCurrentRowInView()
    {
        QCOMPARE(grid->currentRow(), 1);
        grid->verticalScrollBar()->setValue(20); // scroll down past the current row
        QCOMPARE(grid->currentRow(), grid->topRow());
        QCOMPARE(list->currentId(), grid->topRow());
        const int top = grid->topRow();
        grid->verticalScrollBar()->setValue(2); // and back up past it
        QVERIFY(grid->currentRow() < top);
        QCOMPARE(grid->currentRow(), grid->topRow() + grid->visibleRowCount() - 1);
        QCOMPARE(browse()->integer(QStringLiteral("id")), grid->currentRow());
    }
};

QTEST_MAIN(MaterialGridTest)
#include "test_material_grid.moc"
