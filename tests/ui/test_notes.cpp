// The user's own notes, favourites and shortlists in the main window as the program starts it,
// over a real store in a directory of the test's own, with a second store on the same file
// standing in for another copy of the program.
#include "SessionFixture.h"
#include "app/Program.h"
#include "data/engine/Dataset.h"
#include "model/NoteStore.h"
#include "ui/MaterialGrid.h"
#include "ui/ShortlistMenu.h"
#include "ui/TMainForm.h"

#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace zel;

namespace {

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

const QString kAnethole = q("4180-23-8"), kCitral = q("5392-40-5"), kEugenol = q("97-53-0");

} // namespace

class NotesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<app::Program> program;
    ui::TMainForm* form = nullptr;
    QStringList told; // the texts of the message boxes shown, each closed at once

    QString data() const { return dir->file(q("data")); }
    QString store() const { return dir->file(q("xdg/zel/notes.sqlite")); }
    template <class T> T* w(const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }
    QString current() const
    {
        return program->session()->dataset(q("TableMaterial"))->text(q("name"));
    }
    QString title() const { return w<ui::MaterialGrid>("MaterialGrid")->listModel()->title(); }
    void start()
    {
        program =
            std::make_unique<app::Program>(dir->path(), false, app::Program::Source{{}, data()});
        QVERIFY(program->StartProgram());
        form = program->mainForm();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }

private Q_SLOTS:
    void initTestCase()
    {
        auto* watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                told << box->text();
                box->close();
            }
        });
        watch->start(20);
    }

    void init()
    {
        dir = std::make_unique<test::TempDir>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir->file(q("xdg"))));
        data::writeDatabase(data(), test::tenMaterials());
        told.clear();
    }

    void cleanup() { program.reset(); }

    void typingIsKeptForItsMaterialAndAnotherCopysChangeShows()
    {
        start();
        auto* edit = w<QPlainTextEdit>("NotesEdit");
        auto* star = w<QToolButton>("FavouriteButton");
        w<QTabWidget>("DetailTabNotebook")->setCurrentIndex(3);
        QCOMPARE(current(), q("Anethole"));
        QTest::keyClicks(edit, q("anise, sweet"));
        model::NoteStore other(store());
        QTRY_COMPARE(other.entry(kAnethole).note, q("anise, sweet"));
        // Typed, then another material at once: kept for the one it was typed for.
        QTest::keyClicks(edit, q(" and"));
        form->Navigate(q("next"));
        QTRY_COMPARE(edit->toPlainText(), QString());
        QCOMPARE(other.entry(kAnethole).note, q("anise, sweet and"));

        // The other copy's note shows when Anethole is shown again.
        const QString note = q("1, \"2\"\nπ – 日本 ☺");
        QVERIFY(other.setNote(kAnethole, note) && other.setFavourite(kAnethole, true));
        form->Navigate(q("first"));
        QTRY_COMPARE(edit->toPlainText(), note);
        QVERIFY(star->isChecked());
        star->click();
        QVERIFY(!other.entry(kAnethole).favourite);
        QVERIFY(other.setNote(kAnethole, q("changed elsewhere"))); // and the tab shown again
        for (int tab : {0, 3})
            w<QTabWidget>("DetailTabNotebook")->setCurrentIndex(tab);
        QCOMPARE(edit->toPlainText(), q("changed elsewhere"));
        QVERIFY(told.isEmpty());
    }

    // Told once, naming the file, while the browser goes on and the notes stay read-only.
    void damagedStoreIsToldOnce()
    {
        QFile f(store());
        QVERIFY(QDir().mkpath(QFileInfo(store()).path()) && f.open(QIODevice::WriteOnly) &&
                f.write(QByteArray(8192, 'z')) == 8192);
        f.close();
        start();
        for (const char* to : {"next", "next", "first", "next", "next"})
            form->Navigate(q(to));
        QTRY_COMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(store()), qPrintable(told[0]));
        QVERIFY(w<QPlainTextEdit>("NotesEdit")->isReadOnly());
        QVERIFY(!w<QToolButton>("FavouriteButton")->isEnabled());
        QCOMPARE(current(), q("Citral"));
        QTest::qWait(200);
        QCOMPARE(told.size(), 1);
    }

    void shortlistIsTheListAndSurvivesAReimport()
    {
        start();
        ui::MainSession* session = program->session();
        for (const QString& cas : {kEugenol, kCitral})
            QVERIFY(session->notes().addToShortlist(q("Spicy & warm"), cas));
        QVERIFY(session->notes().setNote(kEugenol, q("clove")));
        auto* menu = form->findChild<ui::ShortlistMenu*>();
        menu->rebuild(); // as it opens
        menu->findChild<QMenu*>(q("Shortlist:Spicy & warm"))->actions().value(0)->trigger();
        QCOMPARE(title(), q("2 materials of the shortlist Spicy & warm"));

        // The tables written again, as an import would, with the ids 1, 8, 15, ...
        data::writeDatabase(data(), test::tenMaterials(), {.idStep = 7});
        form->Reload();
        QCOMPARE(title(), q("2 materials of the shortlist Spicy & warm"));
        form->Navigate(q("last"));
        QTRY_COMPARE(current(), q("Eugenol"));
        QTRY_COMPARE(w<QPlainTextEdit>("NotesEdit")->toPlainText(), q("clove"));
        form->Navigate(q("first"));
        QTRY_COMPARE(current(), q("Citral"));

        // The search window's Select all ends it.
        form->setSearchDialog([] { return 2; });
        form->SearchButtonClick();
        QCOMPARE(title(), q("List of all materials (10)"));
    }
};

QTEST_MAIN(NotesTest)
#include "test_notes.moc"
