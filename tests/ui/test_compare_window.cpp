// The comparison window as the program makes it, beside its real main window on the offscreen
// platform, over a generated database.
#include "CompareContent.h"
#include "TempDir.h"
#include "app/Program.h"
#include "app/ReportRunner.h"
#include "model/Comparison.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/TRpPreview.h"
#include "report/preview/TRpStandardPreview.h"
#include "ui/ComparisonModel.h"
#include "ui/TCompareForm.h"
#include "ui/TMainForm.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using namespace zel;

class CompareWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<app::Program> program;
    ui::TCompareForm* compare = nullptr;

    template <class T> T* w(const char* name) const
    {
        T* c = program->mainForm()->findChild<T*>(QLatin1String(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    QStringList compared() const { return compare->comparison().casNumbers(); }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<test::TempDir>();
        data::writeDatabase(dir->path(), test::compareContent());
        program = std::make_unique<app::Program>(dir->path(), false,
                                                 app::Program::Source{QString(), dir->path()});
        QVERIFY(program->StartProgram());
        compare = program->compareForm();
        program->mainForm()->show();
        QVERIFY(QTest::qWaitForWindowActive(program->mainForm()));
    }

    void cleanup()
    {
        program.reset();
        dir.reset();
    }

    void addsByTheMaterialsPageKeyAndByTheSearch()
    {
        QTest::keyClicks(w<QLineEdit>("SearchField"), QStringLiteral("compound 3"));
        QCOMPARE(w<QAction>("MenuAddToComparison")->shortcut(), QKeySequence(Qt::Key_Insert));
        QTest::keyClick(program->mainForm(), Qt::Key_Insert);
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        QCOMPARE(compared(), QStringList{QStringLiteral("100-03-0")});
        QVERIFY(!w<QPushButton>("ComparePrintButton")->isEnabled());

        compare->ShowWindow();
        auto* field = w<QLineEdit>("CompareSearchField");
        QTest::keyClicks(field, QStringLiteral("COMP\u00d3UND 1")); // as the page: case, accents
        QCOMPARE(w<QListWidget>("CompareFoundList")->currentItem()->text(),
                 QStringLiteral("Compound 1   (100-01-0)"));
        QTest::keyClick(field, Qt::Key_Down);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(compared(), (QStringList{QStringLiteral("100-03-0"), QStringLiteral("100-02-0")}));
        QVERIFY(w<QPushButton>("ComparePrintButton")->isEnabled());
    }

    void refusesASeventhAndDeleteRemoves()
    {
        compare->Compare(test::comparedCas(6));
        QVERIFY(!compare->AddMaterial(QStringLiteral("100-07-0")));
        QCOMPARE(compare->comparison().count(), 6);
        QVERIFY2(compare->message().contains(QStringLiteral("at most six")),
                 qPrintable(compare->message()));
        QVERIFY(!compare->AddMaterial(QStringLiteral("100-01-0")));
        QVERIFY(compare->message().contains(QStringLiteral("already")));

        compare->ShowWindow();
        auto* grid = w<QTableView>("CompareGrid");
        grid->selectColumn(2);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Delete);
        QTest::keyClick(grid, Qt::Key_Delete); // the next column has taken the place
        QStringList left = test::comparedCas(6);
        left.removeAt(2);
        left.removeAt(2);
        QCOMPARE(compared(), left);
        QVERIFY(compare->AddMaterial(QStringLiteral("100-07-0")));
    }

    void marksTheMediaWhereTheyDiffer_data()
    {
        QTest::addColumn<int>("materials");
        for (int n = 2; n <= 6; ++n)
            QTest::addRow("%d materials", n) << n;
    }
    void marksTheMediaWhereTheyDiffer()
    {
        QFETCH(int, materials);
        compare->Compare(test::comparedCas(materials));
        compare->ShowWindow();
        QVERIFY(QTest::qWaitForWindowExposed(compare));
        const QAbstractItemModel* model = w<QTableView>("CompareGrid")->model();
        for (int i = 1; i <= model::MediaCount; ++i) {
            const int row = ui::ComparisonModel::FirstMediumRow + i - 1;
            const bool differs = i >= 2 && i <= materials;
            QCOMPARE(model->headerData(row, Qt::Vertical)
                         .toString()
                         .startsWith(ui::ComparisonModel::differsMark()),
                     differs);
            QCOMPARE(model->index(row, 0).data(Qt::FontRole).value<QFont>().bold(), differs);
        }
    }

    void printsThroughThePreview()
    {
        compare->Compare(test::comparedCas(4));
        compare->ShowWindow();
        int pages = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, compare, [&] {
            report::TRpStandardPreview* preview = program->reports()->preview();
            if (preview && preview->isVisible() && preview->Print->isEnabled()) {
                pages = preview->view()->source()->pageCount();
                program->reports()->closeReports();
            }
        });
        watch.start(10);
        QTest::mouseClick(w<QPushButton>("ComparePrintButton"), Qt::LeftButton);
        QVERIFY(pages >= 1);
    }
};

QTEST_MAIN(CompareWindowTest)
#include "test_compare_window.moc"
