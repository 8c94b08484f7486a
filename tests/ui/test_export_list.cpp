// File > Export list... in the main window as the program starts it: the materials now
// listed, narrowed or not, in the list's order, through the menu, its shortcut and the file
// dialog; a file that cannot be written is reported and nothing is left.
#include "CsvReader.h"
#include "SessionFixture.h"
#include "TempDir.h"
#include "app/Program.h"
#include "app/TGaugeWindow.h"
#include "data/engine/Dataset.h"
#include "ui/MainSession.h"
#include "ui/TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace zel;

namespace {

// The ten materials of the session tests, with quotes in their odour for the CSV.
data::DatabaseContent content()
{
    data::DatabaseContent c = test::tenMaterials();
    for (data::MaterialRow& m : c.materials) {
        m.odour += QStringLiteral(", \"sweet\"");
        m.stabil = QString(33, QLatin1Char('2'));
    }
    return c;
}

// Answers the next modal dialog once the event loop shows it.
void answerDialog(const std::function<void(QWidget*)>& answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            answerDialog(answer);
            return;
        }
        answer(dialog);
    });
}

} // namespace

class ExportListTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<app::Program> program;
    ui::TMainForm* form = nullptr;
    QSet<int> keep;

    ui::MainSession* session() const { return program->session(); }
    QAction* exportAction() const
    {
        return form->findChild<QAction*>(QStringLiteral("ExportListMenu"));
    }
    void select(const QSet<int>& ids)
    {
        keep = ids;
        form->setSearchDialog([] { return 1; });
        session()->setTableFilter({});
        session()->setFilter([this] {
            data::Dataset* scan = session()->dataset(QStringLiteral("TableMaterialSelect"));
            return keep.contains(static_cast<int>(scan->integer(QStringLiteral("id"))));
        });
        form->SearchButtonClick();
    }
    // The names in the file, header row left out; every row as long as the header.
    QStringList namesIn(const QString& path) const
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return {QStringLiteral("(no file)")};
        const test::CsvTable csv = test::readCsv(f.readAll().mid(3));
        QStringList names;
        for (int i = 1; i < csv.rows.size(); ++i) {
            if (csv.rows[i].size() != csv.rows[0].size())
                return {QStringLiteral("(row %1 has %2 cells)").arg(i).arg(csv.rows[i].size())};
            names << csv.rows[i].value(1);
        }
        return names;
    }

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
        QVERIFY(exportAction());
    }

    void cleanup() { program.reset(); }

    void exportsTheListAsShown_data()
    {
        QTest::addColumn<QList<int>>("kept"); // empty: every material
        QTest::addColumn<bool>("casOrder");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("all, by name")
            << QList<int>() << false
            << QStringList{"Anethole", "Benzyl acetate", "Citral",  "Damascone", "Eugenol",
                           "Farnesol", "Geraniol",       "Hexanol", "Ionone",    "Jasmone"};
        QTest::newRow("all, by CAS")
            << QList<int>() << true
            << QStringList{"Geraniol", "Hexanol", "Ionone", "Benzyl acetate", "Anethole",
                           "Farnesol", "Jasmone", "Citral", "Damascone",      "Eugenol"};
        QTest::newRow("narrowed, by name")
            << QList<int>{2, 5, 7, 9} << false
            << QStringList{"Benzyl acetate", "Eugenol", "Geraniol", "Ionone"};
        QTest::newRow("narrowed, by CAS")
            << QList<int>{2, 5, 7, 9} << true
            << QStringList{"Geraniol", "Ionone", "Benzyl acetate", "Eugenol"};
        QTest::newRow("one material") << QList<int>{3} << true << QStringList{"Citral"};
    }

    void exportsTheListAsShown()
    {
        QFETCH(QList<int>, kept);
        QFETCH(bool, casOrder);
        QFETCH(QStringList, names);
        if (!kept.isEmpty())
            select(QSet<int>(kept.begin(), kept.end()));
        if (casOrder)
            form->ToggleOrder();
        QCoreApplication::processEvents();
        QCOMPARE(session()->rowCount(), names.size() + 1);

        // Through the menu entry and the file dialog, as a user does it; the name typed
        // without an extension gets ".csv".
        const QString typed = dir->file(QStringLiteral("narrowed list"));
        bool asked = false;
        answerDialog([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            asked = dialog != nullptr;
            if (!dialog) {
                w->close();
                return;
            }
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        exportAction()->trigger();
        QCoreApplication::processEvents();
        QVERIFY(asked);
        QCOMPARE(namesIn(typed + QStringLiteral(".csv")), names);
        QVERIFY(!program->gaugeWindow()->isVisible());
        // The list itself is as it was.
        QCOMPARE(session()->rowCount(), names.size() + 1);
    }

    void menuAndShortcutReachTheCommand()
    {
        QMenu* file = nullptr;
        for (QAction* a : form->menuBar()->actions())
            if (a->text() == QLatin1String("&File"))
                file = a->menu();
        QVERIFY(file);
        QCOMPARE(file->actions().value(0), exportAction());
        QCOMPARE(exportAction()->text(), QStringLiteral("&Export list..."));
        QCOMPARE(exportAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));

        // Ctrl+E opens the dialog; cancelling it writes nothing.
        bool asked = false;
        answerDialog([&](QWidget* w) {
            asked = qobject_cast<QFileDialog*>(w) != nullptr;
            static_cast<QDialog*>(w)->reject();
        });
        form->activateWindow();
        QTest::keyClick(form, Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY(asked);
        QCOMPARE(QDir(dir->path()).entryList({QStringLiteral("*.csv")}), QStringList());
    }

    void unwritableFileIsReportedAndLeavesNothing()
    {
        const QString path = dir->file(QStringLiteral("absent/list.csv"));
        QString shown;
        answerDialog([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w))
                shown = box->text();
            w->close();
        });
        QVERIFY(!form->ExportList(path));
        QVERIFY(shown.startsWith(QStringLiteral("Cannot ")));
        QVERIFY(shown.contains(path));
        QVERIFY(!QFileInfo::exists(dir->file(QStringLiteral("absent"))));
        QVERIFY(!program->gaugeWindow()->isVisible());
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(ExportListTest)
#include "test_export_list.moc"
