// zel --export-list with the search window's criteria as options, as a process of its own,
// against the search window given the same criteria in the running program: the same file byte
// for byte, on the sample and a scale database. Criteria that keep nothing write the header
// alone; a bad criterion is a usage error.
#include "CsvReader.h"
#include "Fixture.h"
#include "app/Program.h"
#include "model/NoteStore.h"
#include "ui/TMainForm.h"
#include "ui/TSearchWindow.h"

#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <QtTest>

using namespace zel;

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The four texts in the search window's order (a null one not given), and the media marked.
struct Criteria
{
    QStringList texts;
    QString media; // as --filter-stable takes them
    bool withNotes = false;
};
const QString kLinalool = q("78-70-6"), kNote = q("1, \"2\"\nπ – 日本 ☺");
const char* const kTextOptions[] = {"--filter-name", "--filter-odour", "--filter-performance",
                                    "--filter-application"};
Q_DECLARE_METATYPE(Criteria)

class FilterOptionTest : public QObject
{
    Q_OBJECT
    test::TempDir dir;

    // zel run with args: its exit code and what it said.
    std::pair<int, QString> zel(const QStringList& args) const
    {
        QProcess p;
        p.start(test::builtProgram(q("src/app/zel")), args);
        return {p.waitForFinished(60000) ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
    }
    // The window's way: the criteria typed and the media marked in the search window, Select,
    // then File > Export list.
    QByteArray windowList(const QString& db, const Criteria& c, const QString& file)
    {
        app::Program program(dir.path(), true, {{}, db});
        if (!program.StartProgram())
            return "(no start)";
        ui::TSearchWindow* w = program.searchWindow();
        QLineEdit* const edits[] = {w->EditName, w->EditOdour, w->EditPerformance,
                                    w->EditApplications};
        for (qsizetype i = 0; i < 4; ++i)
            edits[i]->setText(c.texts.value(i));
        for (const QString& medium : c.media.split(u',', Qt::SkipEmptyParts)) {
            w->StringGridStability->clearSelection();
            w->StringGridStability->setCurrentCell(medium.toInt() - 1, 0);
            w->ToggleSelectedMedia();
        }
        program.mainForm()->setSearchDialog([] { return ui::TSearchWindow::Select; });
        program.mainForm()->SearchButtonClick();
        QFile f(file);
        return program.mainForm()->ExportList(file, c.withNotes) && f.open(QIODevice::ReadOnly)
                   ? f.readAll()
                   : "(not written)";
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Notes of the test's own, for the program it starts too.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.file(q("xdg"))));
        model::NoteStore notes;
        QVERIFY(notes.setNote(kLinalool, kNote) && notes.setFavourite(kLinalool, true));
        data::writeDatabase(dir.file(q("sample")),
                            data::readSampleSources(QStringLiteral(ZEL_SOURCE_DIR "/sample")));
        data::writeDatabase(dir.file(q("scale")), data::makeScaleContent(8000, 40000, 400));
    }

    void sameListAsTheSearchWindow_data()
    {
        QTest::addColumn<QString>("db");
        QTest::addColumn<Criteria>("criteria");
        QTest::addColumn<bool>("none");
        const auto row = [](const char* name, const char* db, Criteria c, bool none = false) {
            QTest::newRow(name) << QString::fromLatin1(db) << c << none;
        };
        row("blanks around a name", "sample", {{q(" lin ")}});
        row("accented name", "sample", {{q("chêne")}});
        row("accented capital is not folded", "sample", {{q("QUALITÉ")}}, true);
        row("commercial name, with notes", "sample", {{q("miralinenza")}, {}, true});
        row("odour and performance", "sample", {{{}, q("rose"), q("tenacity")}});
        row("several media", "sample", {{}, q("3,23")});
        row("text and a medium", "sample", {{{}, {}, {}, q("soap")}, q("1")});
        row("no match", "sample", {{{}, q("zzzz")}}, true);
        // Ours, though the toolkit would take it for its own option.
        row("a text like a toolkit option", "sample", {{q("-platform"), q("rose")}}, true);
        row("scale: blanks around an odour", "scale", {{{}, q("  zen ")}});
        row("scale: name and three media", "scale", {{q("jas")}, q("1,2,33")});
    }

    void sameListAsTheSearchWindow()
    {
        QFETCH(QString, db);
        QFETCH(Criteria, criteria);
        QFETCH(bool, none);
        const QString file = dir.file(q("zel.csv"));
        QStringList args{q("--data"), dir.file(db), q("--export-list"), file};
        for (qsizetype i = 0; i < 4; ++i)
            if (!criteria.texts.value(i).isNull())
                args << q(kTextOptions[i]) << criteria.texts[i];
        if (!criteria.media.isEmpty())
            args << q("--filter-stable") << criteria.media;
        if (criteria.withNotes)
            args << q("--with-notes");
        const auto [code, said] = zel(args);
        QCOMPARE(code, 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray cli = f.readAll();
        const test::CsvTable csv = test::readCsv(cli.mid(3));
        QVERIFY(csv.ok);
        if (none) {
            // The window would warn and list everything again; the option writes no material.
            QCOMPARE(csv.rows.size(), 1);
            QVERIFY2(said.startsWith(q("No material meets the criteria")), qPrintable(said));
            return;
        }
        QVERIFY2(csv.rows.size() > 1 && said.startsWith(q("Wrote %1 ").arg(csv.rows.size() - 1)),
                 qPrintable(said));
        for (const QStringList& r : csv.rows.mid(1))
            for (const QString& m : criteria.media.split(u',', Qt::SkipEmptyParts))
                QCOMPARE(r.value(7 + m.toInt()), q("++"));
        // The favourite flag and the note follow, cell for cell, only when asked for.
        QCOMPARE(csv.rows.back().size(), criteria.withNotes ? 43 : 41);
        if (criteria.withNotes)
            QCOMPARE(csv.rows.front().mid(41) + csv.rows.back().mid(41),
                     (QStringList{q("favourite"), q("note"), q("yes"), kNote}));
        QCOMPARE(cli, windowList(dir.file(db), criteria, dir.file(q("window.csv"))));
    }

    void badCriteriaAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        const QString out = dir.file(q("x.csv"));
        for (const char* media : {"3,34", "0", "3,x", ""})
            QTest::addRow("--filter-stable %s", media)
                << QStringList{q("--export-list"), out, q("--filter-stable"), q(media)};
        QTest::newRow("a criterion alone") << QStringList{q("--filter-name"), q("lin")};
        QTest::newRow("a text missing")
            << QStringList{q("--export-list"), out, q("--filter-odour")};
        QTest::newRow("notes alone") << QStringList{q("--with-notes")};
    }

    void badCriteriaAreUsageErrors()
    {
        QFETCH(QStringList, args);
        const auto [code, said] = zel(args);
        QVERIFY2(code == 2 && said.contains(q("zel --help")), qPrintable(said));
        QVERIFY(!QFile::exists(dir.file(q("x.csv"))));
    }
};

QTEST_MAIN(FilterOptionTest)
#include "test_filter_option.moc"
