// The stability grids and the name memo as the main window shows them, on real widgets.
#include "Fixture.h"
#include "data/engine/Dataset.h"
#include "model/StabilityMedia.h"
#include "ui/StabilityGrid.h"

#include <QPlainTextEdit>
#include <QTableWidget>
#include <QtTest>

using namespace zel;

class StabilityDisplayTest : public QObject
{
    Q_OBJECT

    static QString cell(const QTableWidget& g, int row, int column)
    {
        return g.item(row, column) ? g.item(row, column)->text() : QString();
    }

    static data::DatabaseContent content()
    {
        data::DatabaseContent c;
        const auto add = [&](const char* name, const char* cas, const QString& stabil,
                             const char* name1) {
            data::MaterialRow m;
            m.name = QString::fromLatin1(name);
            m.cas = QString::fromLatin1(cas);
            m.name1 = QString::fromLatin1(name1);
            m.stabil = stabil;
            c.materials.push_back(m);
        };
        add("Alpha", "1-00-1",
            QStringLiteral("012") + QString(30, QLatin1Char('0')) + QStringLiteral("2222222"), "");
        add("Beta", "2-00-2", QStringLiteral("21"), "second");
        add("Gamma", "3-00-3", QStringLiteral("2x2 2") + QString(28, QLatin1Char('1')), "");
        return c;
    }

private Q_SLOTS:
    void placeOfAMedium_data()
    {
        QTest::addColumn<int>("medium");
        QTest::addColumn<int>("labelColumn");
        QTest::addColumn<int>("ratingColumn");
        QTest::addColumn<int>("row");
        QTest::newRow("pH  1:") << 1 << 0 << 1 << 0;
        QTest::newRow("Deo stick: ends the first pair") << 17 << 0 << 1 << 16;
        QTest::newRow("Antiperspirant: starts the second") << 18 << 2 << 3 << 0;
        QTest::newRow("Cold wave: leaves row 16 empty") << 33 << 2 << 3 << 15;
    }

    void placeOfAMedium()
    {
        QFETCH(int, medium);
        QFETCH(int, labelColumn);
        QFETCH(int, ratingColumn);
        QFETCH(int, row);
        const ui::MediumCell c = ui::mediumCell(medium);
        QCOMPARE(c.labelColumn, labelColumn);
        QCOMPARE(c.ratingColumn, ratingColumn);
        QCOMPARE(c.row, row);
    }

    void columnWidthsFromTheClientWidth_data()
    {
        QTest::addColumn<int>("clientWidth");
        QTest::addColumn<int>("rating");
        QTest::newRow("300 pixels") << 300 << 28;
        QTest::newRow("312 pixels") << 312 << 29;
        QTest::newRow("314 pixels, the design width") << 314 << 29;
        QTest::newRow("319 pixels, just below the next step") << 319 << 29;
        QTest::newRow("320 pixels") << 320 << 30;
    }

    void columnWidthsFromTheClientWidth()
    {
        QFETCH(int, clientWidth);
        QFETCH(int, rating);
        QCOMPARE(ui::stabilityRatingWidth(clientWidth), rating);
        // The four columns are 10 w wide: 20 to 29 pixels less than the client width, so
        // neither grid ever needs a horizontal scroll bar.
        QVERIFY(clientWidth - 10 * rating >= 20);
        QVERIFY(clientWidth - 10 * rating <= 29);
    }

    void labelsAndRatings()
    {
        test::DatabaseFixture db(content());
        data::Dataset ds;
        ds.setDatabase(db.db.get());
        ds.setTableName(QStringLiteral("MATERIAL.DB"));
        ds.open();

        ui::StabilityGrid grid(true), comm(false);
        QPlainTextEdit memo;
        ui::FillMediaLabels(&grid);
        ui::FillMediaLabels(&comm);
        for (int medium = 1; medium <= model::MediaCount; ++medium) {
            const ui::MediumCell c = ui::mediumCell(medium);
            QCOMPARE(cell(grid, c.row, c.labelColumn), model::mediumLabel(medium));
            QCOMPARE(cell(comm, c.row, c.labelColumn), model::mediumLabel(medium));
        }
        QCOMPARE(cell(grid, 16, 2), QString());
        QCOMPARE(grid.rowHeight(3), 16);

        ui::ShowStability(ds, &memo, &grid); // Alpha
        QCOMPARE(cell(grid, 0, 1), QStringLiteral("-"));
        QCOMPARE(cell(grid, 1, 1), QStringLiteral("+"));
        QCOMPARE(cell(grid, 2, 1), QStringLiteral("++"));
        for (int i = 4; i <= 33; ++i)
            QCOMPARE(cell(grid, (i - 1) % 17, 2 * ((i - 1) / 17) + 1), QStringLiteral("-"));
        QCOMPARE(cell(grid, 16, 3), QString()); // characters 34 to 40 are not shown
        QCOMPARE(memo.toPlainText(), QStringLiteral("Alpha\n\n"));
        QCOMPARE(memo.textCursor().position(), 0);

        ds.next(); // Beta: a short string clears the cells it does not rate
        ui::ShowStability(ds, &memo, &grid);
        QCOMPARE(cell(grid, 0, 1), QStringLiteral("++"));
        QCOMPARE(cell(grid, 1, 1), QStringLiteral("+"));
        QCOMPARE(cell(grid, 2, 1), QString());
        QCOMPARE(cell(grid, 0, 3), QString());
        QCOMPARE(memo.toPlainText(), QStringLiteral("Beta\nsecond\n"));

        ds.next(); // Gamma: a stray character or blank is no rating
        ui::ShowStability(ds, &memo, &grid);
        QCOMPARE(cell(grid, 1, 1), QString());
        QCOMPARE(cell(grid, 3, 1), QString());
        QCOMPARE(cell(grid, 4, 1), QStringLiteral("++"));
        QCOMPARE(cell(grid, 5, 1), QStringLiteral("+"));
        QCOMPARE(cell(comm, 0, 1), QString()); // the other grid is untouched
    }

    void columnWidths()
    {
        // Each grid sizes its columns as its client area gets its size; two grids of the
        // same size get the same widths.
        ui::StabilityGrid grid(true), comm(false);
        for (ui::StabilityGrid* g : {&grid, &comm}) {
            g->resize(312, 297);
            g->show();
            QVERIFY(QTest::qWaitForWindowExposed(g));
        }
        const int w = grid.viewport()->width() / 10 - 2;
        QCOMPARE(grid.columnWidth(1), w);
        QCOMPARE(grid.columnWidth(0), 4 * w);
        QCOMPARE(comm.columnWidth(3), w);
        QCOMPARE(comm.columnWidth(2), 4 * w);
        grid.resize(412, 297);
        QCOMPARE(grid.columnWidth(1), grid.viewport()->width() / 10 - 2);
        QVERIFY(grid.columnWidth(1) > w);
    }
};

QTEST_MAIN(StabilityDisplayTest)
#include "test_stability_grid.moc"
