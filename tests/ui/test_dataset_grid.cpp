// Data grids and bound fields over the main window's datasets on a generated database.
#include "Fixture.h"
#include "model/Datasets.h"
#include "ui/DatasetGrid.h"
#include "ui/DatasetModel.h"
#include "ui/FieldLink.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace zel;

class DatasetGridTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::DatabaseFixture> db;
    std::unique_ptr<data::DatasetSet> sets;

    data::Dataset* ds(const char* name) const { return sets->get(QString::fromLatin1(name)); }

    // Moves dataset to the record whose field holds text.
    static void moveToRecord(data::Dataset* dataset, const char* field, const QString& text)
    {
        for (dataset->first(); !dataset->eof(); dataset->next())
            if (dataset->text(QString::fromLatin1(field)) == text)
                return;
        QFAIL(qPrintable(QStringLiteral("no record with %1 = %2").arg(QLatin1String(field), text)));
    }

    static QStringList column(const QAbstractItemModel& model, int c)
    {
        QStringList out;
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.index(r, c).data().toString();
        return out;
    }

    static QStringList headers(const QAbstractItemModel& model)
    {
        QStringList out;
        for (int c = 0; c < model.columnCount(); ++c)
            out << model.headerData(c, Qt::Horizontal).toString();
        return out;
    }

private Q_SLOTS:
    void init()
    {
        db = std::make_unique<test::DatabaseFixture>();
        sets = std::make_unique<data::DatasetSet>(db->db.get(), model::decls::mainWindow());
        sets->openAll();
    }

    void cleanup()
    {
        sets.reset();
        db.reset();
    }

    void detailRowsFollowTheMaster_data()
    {
        QTest::addColumn<QString>("material");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("suppliers");
        QTest::newRow("three names, one empty")
            << "Vanillin" << QStringList{"", "Vanilla Pure", "zeta Vanilla"}
            << QStringList{"aldehyde House", "Bergamot Trading", "aldehyde House"};
        QTest::newRow("no commercial names") << "Zingerone" << QStringList() << QStringList();
        // S09 is no supplier: its row shows no supplier rather than another row's.
        QTest::newRow("unknown supplier")
            << "Coumarin" << QStringList{"Tonka Sweet", "~"} << QStringList{"", "aldehyde House"};
    }

    void detailRowsFollowTheMaster()
    {
        QFETCH(QString, material);
        QFETCH(QStringList, names);
        QFETCH(QStringList, suppliers);
        ui::DatasetModel model(ds("TableSynonyms2"));
        QCOMPARE(headers(model), (QStringList{"(Commercial name)", "Suppliers"}));
        moveToRecord(ds("TableMaterial"), "name",
                     QStringLiteral("Linalool")); // from somewhere else
        moveToRecord(ds("TableMaterial"), "name", material);
        QCOMPARE(model.rowCount(), names.size());
        QCOMPARE(column(model, 0), names);
        QCOMPARE(column(model, 1), suppliers);
    }

    void gridAndCursorMoveTogether()
    {
        data::Dataset* suppliers = ds("TableSupplier");
        ui::DatasetGrid grid;
        grid.setDataset(suppliers);
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(headers(*grid.model()), QStringList{"Supplier name"});
        QCOMPARE(column(*grid.model(), 0), (QStringList{"aldehyde House", "Bergamot Trading",
                                                        "Civet & Sons", "Empty Shelf Ltd"}));
        QCOMPARE(grid.currentIndex().row(), 0);

        // The user moves the grid: the dataset follows.
        const QModelIndex third = grid.model()->index(2, 0);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(third).center());
        QCOMPARE(suppliers->position(), 2);
        QCOMPARE(suppliers->text(QStringLiteral("supname")), QStringLiteral("Civet & Sons"));
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(suppliers->position(), 3);
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(suppliers->position(), 0);

        // The dataset moves: the grid follows, the whole row selected.
        suppliers->findNearest({QStringLiteral("c")});
        QCOMPARE(grid.currentIndex().row(), 2);
        QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
        QCOMPARE(grid.selectionModel()->selectedRows().first().row(), 2);
        suppliers->last();
        QCOMPARE(grid.currentIndex().row(), 3);
    }

    void gridOverADetailStartsAgainWhenTheMasterMoves()
    {
        data::Dataset* material = ds("TableMaterial");
        data::Dataset* synonyms = ds("TableSynonyms2");
        ui::DatasetGrid grid;
        grid.setDataset(synonyms);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        moveToRecord(material, "name", QStringLiteral("Vanillin"));
        QCOMPARE(grid.model()->rowCount(), 3);
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(synonyms->position(), 2);
        QCOMPARE(synonyms->text(QStringLiteral("name")), QStringLiteral("zeta Vanilla"));

        moveToRecord(material, "name", QStringLiteral("Zingerone"));
        QCOMPARE(grid.model()->rowCount(), 0);
        QVERIFY(!grid.currentIndex().isValid());

        moveToRecord(material, "name", QStringLiteral("Linalool"));
        QCOMPARE(grid.model()->rowCount(), 3);
        QCOMPARE(grid.currentIndex().row(), 0);
        QCOMPARE(grid.currentIndex().data().toString(), synonyms->text(QStringLiteral("name")));
    }

    void titleRewrittenByTheWindowIsShown()
    {
        // The way the suppliers page counts a supplier's commercial names in the title.
        data::Dataset* supplier = ds("TableSupplier");
        data::Dataset* link = ds("TableSupLink2");
        ui::DatasetGrid grid;
        grid.setDataset(link);
        connect(supplier, &data::Dataset::dataChanged, &grid, [&] {
            link->setDisplayLabel(QStringLiteral("materialName"),
                                  QStringLiteral("%1 from: %2")
                                      .arg(link->recordCount())
                                      .arg(supplier->text(QStringLiteral("supname"))));
        });
        moveToRecord(supplier, "supname", QStringLiteral("Bergamot Trading"));
        QCOMPARE(headers(*grid.model()), QStringList{"5 from: Bergamot Trading"});
        QCOMPARE(column(*grid.model(), 0),
                 (QStringList{"Vanillin", "alpha-Ionone", "Linalool", "Linalool", ""}));
        moveToRecord(supplier, "supname", QStringLiteral("Empty Shelf Ltd"));
        QCOMPARE(headers(*grid.model()), QStringList{"0 from: Empty Shelf Ltd"});
        QCOMPARE(grid.model()->rowCount(), 0);
    }

    void closingEmptiesAndOpeningRefills()
    {
        // TableCommMaterial declares no fields: its columns are the table's, known once open.
        sets->closeAll();
        data::Dataset* material = ds("TableCommMaterial");
        ui::DatasetModel model(material);
        QCOMPARE(model.columnCount(), 0);
        QCOMPARE(model.rowCount(), 0);
        sets->openAll();
        QCOMPARE(model.columnCount(), 12);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("name"));
        QCOMPARE(model.rowCount(), 1);
        material->close();
        QCOMPARE(model.rowCount(), 0);
    }

    void fieldsShowTheCurrentRecord()
    {
        data::Dataset* names = ds("TableCommSynonyms");
        QLineEdit supplier;
        QPlainTextEdit odour;
        new ui::FieldLink(ds("TableCommSupplier"), QStringLiteral("supname"), &supplier);
        new ui::FieldLink(ds("TableCommMaterial"), QStringLiteral("odour"), &odour);
        QVERIFY(supplier.isReadOnly());
        QVERIFY(odour.isReadOnly());

        moveToRecord(names, "name", QStringLiteral("Zest Lin"));
        QCOMPARE(supplier.text(), QStringLiteral("Civet & Sons"));
        QCOMPARE(odour.toPlainText(), QStringLiteral("odour of Linalool"));
        moveToRecord(names, "name", QStringLiteral("Rosé Absolu"));
        QCOMPARE(odour.toPlainText(), QStringLiteral("odour of Géraniol"));
        // A name whose material and supplier do not exist shows neither.
        moveToRecord(names, "name", QStringLiteral("Tonka Sweet"));
        QCOMPARE(supplier.text(), QString());
        moveToRecord(names, "name", QStringLiteral("Orphan Name"));
        QCOMPARE(supplier.text(), QStringLiteral("Bergamot Trading"));
        QCOMPARE(odour.toPlainText(), QString());
        ds("TableCommSupplier")->close();
        QCOMPARE(supplier.text(), QString());
    }

    void aFieldThatIsNotThereSaysSo()
    {
        QLineEdit edit;
        ui::FieldLink link(ds("TableSupplier"), QStringLiteral("nosuchfield"), &edit);
        QVERIFY(edit.text().contains(QStringLiteral("nosuchfield")));
        ds("TableSupplier")->next(); // and again on every move, without a crash
        QVERIFY(edit.text().contains(QStringLiteral("nosuchfield")));
    }
};

QTEST_MAIN(DatasetGridTest)
#include "test_dataset_grid.moc"
