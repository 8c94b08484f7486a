// Start-up as the user meets it, with the real windows on the offscreen platform: which
// messages appear for which configuration and database, that the main window never shows
// after a failed start, and where the re-indexing form stands and what it says.
#include "Fixture.h"
#include "app/ErrorMessage.h"
#include "app/Program.h"
#include "app/TIndexForm.h"
#include "app/TLogoDialog.h"
#include "data/engine/Collation.h"
#include "data/engine/Dataset.h"
#include "data/engine/Index.h"
#include "model/Datasets.h"
#include "model/Reindex.h"
#include "ui/BevelPanel.h"
#include "ui/MainSession.h"
#include "ui/TMainForm.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <unistd.h>

using namespace zel;
using app::Program;
using test::TempDir;

namespace {

// Answers every message box that opens while it lives, as a user pressing OK would, and
// keeps what the box said.
class MessageCatcher : public QObject
{
public:
    MessageCatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, &MessageCatcher::poll);
        m_timer.start(5);
    }
    QStringList texts;
    QStringList details;
    QStringList faults; // anything about a box other than its text that is wrong

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << box->text();
        details << box->detailedText();
        if (box->icon() != QMessageBox::Critical)
            faults << QStringLiteral("not an error box: ") + box->text();
        // Details, where the box has them, is no answer to it.
        const QList<QAbstractButton*> buttons = box->buttons();
        const auto answers = std::count_if(buttons.begin(), buttons.end(), [&](auto* b) {
            return box->buttonRole(b) != QMessageBox::ActionRole;
        });
        if (answers != 1 || !box->button(QMessageBox::Ok))
            faults << QStringLiteral("not one OK button: ") + box->text();
        box->button(QMessageBox::Ok)->click();
    }
    QTimer m_timer;
};

// Watches the windows of one program: how often each was shown, where the re-indexing
// form stood, and what its panel said each time it was painted.
class WindowWatch : public QObject
{
public:
    explicit WindowWatch(const Program& program) : m_program(program)
    {
        const QList<QWidget*> watched{program.mainForm(), program.logoDialog(), program.indexForm(),
                                      program.indexForm()->IndexPanel};
        for (QWidget* w : watched)
            w->installEventFilter(this);
    }
    int shows(QObject* window) const { return m_shows.value(window); }
    QRect indexFormAt, logoAt;
    QStringList panelPaints; // "file | index", repeated paints of the same texts once

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        app::TIndexForm* form = m_program.indexForm();
        if (event->type() == QEvent::Show) {
            ++m_shows[watched];
            if (watched == form) {
                indexFormAt = form->geometry();
                logoAt = m_program.logoDialog()->geometry();
            }
        } else if (event->type() == QEvent::Paint && watched == form->IndexPanel) {
            const QString shown =
                form->FileNameLabel->text() + QStringLiteral(" | ") + form->IndexNameLabel->text();
            if (panelPaints.isEmpty() || panelPaints.last() != shown)
                panelPaints << shown;
        }
        return false;
    }

private:
    const Program& m_program;
    QHash<QObject*, int> m_shows;
};

// A program directory with its zel.ini and a data directory beside it.
struct Install
{
    Install() { QDir().mkpath(programDir()); }
    QString programDir() const { return root.file(QStringLiteral("prog")); }
    QString dataDir() const { return root.file(QStringLiteral("db")); }
    void writeIni(QByteArray text) const
    {
        text.replace("%DATA%", QFile::encodeName(dataDir()));
        QFile f(programDir() + QStringLiteral("/zel.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void writeDatabase(const data::DatabaseContent& content = test::smallContent(),
                       const data::WriteOptions& options = {}) const
    {
        data::writeDatabase(dataDir(), content, options);
    }
    QString dataFile(const QString& name) const { return dataDir() + QLatin1Char('/') + name; }
    TempDir root;
};

enum class Db
{
    None,
    Complete,
    WithoutMaterial,
    WithoutSynonyms,
    WithoutSupplier,
    WithoutSynonymsAndSupplier,
    SupplierIsADirectory,
    TruncatedMaterial,
    GarbledSynonyms,
    WrongPassword,
    IdTwice,
    IdFromZero,
};

void makeDatabase(const Install& in, Db db)
{
    if (db == Db::None)
        return;
    data::DatabaseContent content = test::smallContent();
    data::WriteOptions options;
    if (db == Db::IdTwice || db == Db::IdFromZero) {
        // Ids follow the name order the writer sorts into; only their numbers are wrong.
        options.assignIds = false;
        std::sort(content.materials.begin(), content.materials.end(),
                  [](const auto& a, const auto& b) {
                      return model::sortForm(a.name) < model::sortForm(b.name);
                  });
        const std::vector<int> ids = db == Db::IdTwice ? std::vector<int>{1, 2, 3, 3, 4, 5}
                                                       : std::vector<int>{0, 1, 2, 3, 4, 5};
        for (size_t i = 0; i < content.materials.size(); ++i)
            content.materials[i].id = ids[i];
    }
    if (db == Db::WrongPassword)
        options.password = QStringLiteral("other1");
    in.writeDatabase(content, options);
    const auto remove = [&](const char* name) {
        QFile::remove(in.dataFile(QString::fromLatin1(name)));
    };
    switch (db) {
    case Db::WithoutMaterial:
        remove("MATERIAL.DB");
        break;
    case Db::WithoutSynonyms:
        remove("SYNONYMS.DB");
        break;
    case Db::WithoutSupplier:
        remove("SUPPLIER.DB");
        break;
    case Db::WithoutSynonymsAndSupplier:
        remove("SYNONYMS.DB");
        remove("SUPPLIER.DB");
        break;
    case Db::SupplierIsADirectory:
        remove("SUPPLIER.DB");
        QDir().mkpath(in.dataFile(QStringLiteral("SUPPLIER.DB")));
        break;
    case Db::TruncatedMaterial:
        QFile(in.dataFile(QStringLiteral("MATERIAL.DB"))).resize(3000);
        break;
    case Db::GarbledSynonyms: {
        QFile f(in.dataFile(QStringLiteral("SYNONYMS.DB")));
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(2048);
        f.write(QByteArray(1024, '\x5a'));
        break;
    }
    default:
        break;
    }
}

bool anyDatasetOpen(const Program& program)
{
    for (const data::Dataset* ds : program.session()->datasets().all())
        if (ds->isOpen())
            return true;
    return false;
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

    // A start without a zel.ini beside the program would go on to the user's and the
    // system's; these tests must not read the machine's.
    test::TempDir m_noConfig;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_noConfig.file(QStringLiteral("user"))));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_noConfig.file(QStringLiteral("system"))));
        // Every start registers the table password again; the engine keeps it once.
        data::Session::instance().removeAllPasswords();
    }

    void failedStartShowsOneMessageAndNeverTheMainWindow_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("db");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("reindexes");

        const QByteArray good = "[Database]\nPath=%DATA%\n";
        const QString internal = app::ErrorMessage::internalError();
        const QString database = app::ErrorMessage::databaseError();
        const auto row = [](const char* name, const QByteArray& ini, Db db,
                            const QStringList& messages, bool reindexes) {
            QTest::newRow(name) << ini << static_cast<int>(db) << messages << reindexes;
        };
        row("no zel.ini", QByteArray(), Db::Complete, {internal}, false);
        row("empty zel.ini", "", Db::Complete, {internal}, false);
        row("binary zel.ini",
            QByteArray("\x00\x01\xff\xfe[Dat\x00"
                       "abase]\x00Path",
                       20),
            Db::Complete, {internal}, false);
        row("no Path", "[Database]\nDir=%DATA%\n", Db::Complete, {internal}, false);
        row("empty Path", "[Database]\nPath=\n[Help]\nFile Name=x\n", Db::Complete, {internal},
            false);
        row("Path in another section", "[Help]\nPath=%DATA%\n", Db::Complete, {internal}, false);
        row("directory without tables", good, Db::None, {database}, false);
        row("materials table missing", good, Db::WithoutMaterial, {database}, false);
        row("synonyms table missing", good, Db::WithoutSynonyms,
            {QStringLiteral("Cannot reindex file:synonyms.db"), database}, true);
        row("suppliers table missing", good, Db::WithoutSupplier,
            {QStringLiteral("Cannot reindex file:supplier.db"), database}, true);
        row("two tables missing", good, Db::WithoutSynonymsAndSupplier,
            {QStringLiteral("Cannot reindex file:synonyms.db"), database}, true);
        row("suppliers table is a directory", good, Db::SupplierIsADirectory,
            {QStringLiteral("Cannot reindex file:supplier.db"), database}, true);
        row("truncated materials table", good, Db::TruncatedMaterial,
            {QStringLiteral("Cannot reindex file:material.db"), database}, true);
        row("garbled synonyms table", good, Db::GarbledSynonyms,
            {QStringLiteral("Cannot reindex file:synonyms.db"), database}, true);
        row("tables of another password", good, Db::WrongPassword,
            {QStringLiteral("Cannot reindex file:synonyms.db"), database}, true);
        row("material id twice", good, Db::IdTwice, {database}, true);
        row("material ids from 0", good, Db::IdFromZero, {database}, true);
    }

    void failedStartShowsOneMessageAndNeverTheMainWindow()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, db);
        QFETCH(QStringList, messages);
        QFETCH(bool, reindexes);
        Install in;
        if (!ini.isNull())
            in.writeIni(ini);
        makeDatabase(in, static_cast<Db>(db));

        Program program(in.programDir(), false);
        WindowWatch watch(program);
        MessageCatcher catcher;
        QVERIFY(!program.StartProgram());
        QCOMPARE(catcher.texts, messages);
        QVERIFY2(catcher.faults.isEmpty(), qPrintable(catcher.faults.join(u'\n')));
        // A start from a menu has no terminal: the box itself tells why, and where it looked.
        for (const QString& detail : catcher.details)
            QVERIFY2(!detail.isEmpty(), "a box without Details");
        if (ini.isNull())
            QVERIFY(catcher.details.value(0).contains(in.programDir()));
        QCOMPARE(watch.shows(program.mainForm()), 0);
        QVERIFY(!program.mainForm()->isVisible());
        QCOMPARE(watch.shows(program.indexForm()) == 1, reindexes);
        QVERIFY(!program.indexForm()->isVisible());
        QVERIFY(!anyDatasetOpen(program));
    }

    // Ids with gaps (materials deleted, ids never reused) open: each material is listed in
    // ascending id, can be chosen, found by the name search and kept by a search filter.
    void idsWithGapsOpenAndEveryMaterialIsReachable_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("one gap") << QList<int>{1, 2, 3, 5, 6, 7};
        QTest::newRow("every id a gap apart") << QList<int>{10, 20, 30, 40, 50, 60};
        QTest::newRow("primes") << QList<int>{2, 3, 5, 7, 11, 13};
        QTest::newRow("a gap past a million") << QList<int>{1, 2, 3, 4, 5, 2000000};
    }

    void idsWithGapsOpenAndEveryMaterialIsReachable()
    {
        QFETCH(QList<int>, ids);
        Install in;
        in.writeIni("[Database]\nPath=%DATA%\n");
        data::DatabaseContent content = test::smallContent();
        std::sort(content.materials.begin(), content.materials.end(),
                  [](const auto& a, const auto& b) {
                      return model::sortForm(a.name) < model::sortForm(b.name);
                  });
        QStringList names;
        for (size_t i = 0; i < content.materials.size(); ++i) {
            content.materials[i].id = ids[static_cast<qsizetype>(i)];
            names << content.materials[i].name;
        }
        data::WriteOptions options;
        options.assignIds = false;
        in.writeDatabase(content, options);

        Program program(in.programDir(), false);
        MessageCatcher catcher;
        QVERIFY(program.StartProgram());
        QCOMPARE(catcher.texts, QStringList());
        ui::MainSession& session = *program.session();
        QCOMPARE(session.MaterialCount, 6);
        QCOMPARE(session.rowCount(), 7);
        QCOMPARE(session.listTitle(), QStringLiteral("List of all materials (6)"));
        data::Dataset* material = session.dataset(QStringLiteral("TableMaterial"));
        // Chosen row by row, backwards so that every choice moves.
        for (int row = 6; row >= 1; --row) {
            session.selectRow(row);
            QCoreApplication::processEvents();
            QCOMPARE(session.currentRow(), row);
            QCOMPARE(material->integer(QStringLiteral("id")), ids[row - 1]);
            QCOMPARE(material->text(QStringLiteral("name")), names[row - 1]);
        }
        // The name search lands on each material.
        for (int row = 1; row <= 6; ++row) {
            session.SearchMaterial(names[row - 1]);
            QCoreApplication::processEvents();
            QCOMPARE(session.currentRow(), row);
            QCOMPARE(material->text(QStringLiteral("name")), names[row - 1]);
        }
        // CAS order lists them all too.
        session.ToggleOrder();
        QCOMPARE(session.rowCount(), 7);
        QSet<int> seen;
        for (int row = 1; row <= 6; ++row) {
            session.selectRow(row);
            seen.insert(static_cast<int>(material->integer(QStringLiteral("id"))));
        }
        QCOMPARE(seen.size(), 6);
        session.ToggleOrder();
        // A search that keeps the last material only keeps it, whatever its id.
        data::Dataset* select = session.dataset(QStringLiteral("TableMaterialSelect"));
        const QString last = names.back();
        session.setTableFilter({});
        session.setFilter([select, last] { return select->text(QStringLiteral("name")) == last; });
        session.Select(1);
        QCOMPARE(session.rowCount(), 2);
        QCOMPARE(material->integer(QStringLiteral("id")), ids.back());
        session.Select(2);
        QCOMPARE(session.rowCount(), 7);
    }

    void reindexesOnceThenNotAgain()
    {
        Install in;
        in.writeIni("[Database]\nPath=%DATA%\n");
        in.writeDatabase();
        const QString sign = in.dataFile(QStringLiteral("material.idindex.zix"));
        const auto start = [&](bool expectReindex) {
            Program program(in.programDir(), false);
            WindowWatch watch(program);
            MessageCatcher catcher;
            QVERIFY(program.StartProgram());
            QCOMPARE(catcher.texts, QStringList());
            QCOMPARE(watch.shows(program.indexForm()), expectReindex ? 1 : 0);
            QCOMPARE(watch.shows(program.logoDialog()), 1);
            QVERIFY(!program.logoDialog()->isVisible());
            QVERIFY(!program.indexForm()->isVisible());
            QCOMPARE(program.session()->MaterialCount, 6);
            QVERIFY(QFile::exists(sign));
        };
        start(true);
        start(false);
        QVERIFY(QFile::remove(sign));
        start(true);
        // Index files sorted in another order (written before the collation was recorded, or
        // by another collation) are built again at the next start, once.
        for (const char* tag : {"", "casefold", "fold-0"}) {
            QFile file(sign);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QDataStream out(&file);
            if (QByteArray(tag).isEmpty())
                out << quint32(0x5A495832) << qint64(0) << qint64(0) << qint32(0)
                    << QStringList{QStringLiteral("id")};
            else
                out << quint32(0x5A495833) << qint64(0) << qint64(0) << qint32(0)
                    << QStringList{QStringLiteral("id")} << QString::fromLatin1(tag);
            file.close();
            start(true);
            QCOMPARE(data::Index::fileCollation(sign), data::collation::name());
            start(false);
        }
    }

    void indexFormStandsUnderTheLogoAndFollowsThePlan()
    {
        Install in;
        in.writeIni("[Database]\nPath=%DATA%\n");
        in.writeDatabase();
        Program program(in.programDir(), false);
        QCOMPARE(program.indexForm()->FileNameLabel->text(), QStringLiteral("filename.ext"));
        QCOMPARE(program.indexForm()->IndexNameLabel->text(), QStringLiteral("Indexname"));
        WindowWatch watch(program);
        QVERIFY(program.StartProgram());

        // 377 wide under 356: half the difference, rounded toward zero, is 10 to the left.
        QCOMPARE(watch.indexFormAt.size(), QSize(377, 64));
        QCOMPARE(watch.logoAt.size(), QSize(356, 215));
        QCOMPARE(watch.indexFormAt.left(), watch.logoAt.left() - 10);
        QCOMPARE(watch.indexFormAt.top(), watch.logoAt.top() + 215 + 10);

        // Shown with its design-time texts, then every step of both phases, each painted.
        QStringList expected{QStringLiteral("filename.ext | Indexname"),
                             QStringLiteral("*.zix | ")};
        for (const model::Reindex::Step& step : model::Reindex::plan())
            expected << step.table + QStringLiteral(" | ") + step.label;
        QCOMPARE(watch.panelPaints, expected);
        QCOMPARE(expected.at(5), QStringLiteral("synonyms.db | Commercial Name"));
    }

    void indexFormPositionRule_data()
    {
        QTest::addColumn<QRect>("logo");
        QTest::addColumn<int>("formWidth");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("wider form") << QRect(100, 50, 356, 215) << 377 << QPoint(90, 275);
        QTest::newRow("narrower form") << QRect(100, 50, 356, 215) << 335 << QPoint(110, 275);
        QTest::newRow("odd difference rounds toward zero")
            << QRect(0, 0, 10, 10) << 13 << QPoint(-1, 20);
        QTest::newRow("logo at the screen's left edge")
            << QRect(0, 0, 356, 215) << 377 << QPoint(-10, 225);
    }

    void indexFormPositionRule()
    {
        QFETCH(QRect, logo);
        QFETCH(int, formWidth);
        QFETCH(QPoint, expected);
        QCOMPARE(Program::indexFormPosition(logo, formWidth), expected);
    }

    void configurationValues_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("dataDirectory"); // %DATA% stands for the data directory
        QTest::addColumn<QString>("helpFileName");

        const QString hundred =
            QStringLiteral("/help/") + QString(89, QLatin1Char('h')) + QStringLiteral(".html");
        QTest::newRow("path without separator")
            << QByteArray("[Database]\nPath=%DATA%\n") << "%DATA%/" << QString();
        QTest::newRow("path with separator")
            << QByteArray("[Database]\nPath=%DATA%/\n") << "%DATA%/" << QString();
        QTest::newRow("names in any case, blanks around")
            << QByteArray("[DATABASE]\r\n  PATH =  %DATA%  \r\n[help]\r\nfile name = /zel.html\r\n")
            << "%DATA%/"
            << "/zel.html";
        QTest::newRow("100-character help file name")
            << ("[Database]\nPath=%DATA%\n[Help]\nFile Name=" + hundred.toUtf8() + "\n")
            << "%DATA%/" << hundred.left(80);
        QTest::newRow("80-character help file name")
            << ("[Database]\nPath=%DATA%\n[Help]\nFile Name=" + hundred.left(80).toUtf8() + "\n")
            << "%DATA%/" << hundred.left(80);
        QTest::newRow("first Path wins")
            << QByteArray("[Database]\nPath=%DATA%\nPath=/elsewhere\n") << "%DATA%/" << QString();
    }

    void configurationValues()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, dataDirectory);
        QFETCH(QString, helpFileName);
        Install in;
        in.writeIni(ini);
        in.writeDatabase();
        Program program(in.programDir(), false);
        MessageCatcher catcher;
        QVERIFY(program.StartProgram());
        QCOMPARE(catcher.texts, QStringList());
        const ui::MainSession& form = *program.session();
        QCOMPARE(form.ProgramDirectory, in.programDir() + QLatin1Char('/'));
        QCOMPARE(form.DataDirectory,
                 QString(dataDirectory).replace(QStringLiteral("%DATA%"), in.dataDir()));
        QCOMPARE(form.HelpFileName, helpFileName);
    }

    // A relative Path is taken from the working directory, not from the program's.
    void relativePathIsFromTheWorkingDirectory()
    {
        Install in;
        in.writeIni("[Database]\nPath=db\n");
        in.writeDatabase();
        QDir().mkpath(in.programDir() + QStringLiteral("/db")); // a decoy without tables
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(in.root.path()));
        {
            Program program(in.programDir(), false);
            MessageCatcher catcher;
            const bool started = program.StartProgram();
            QDir::setCurrent(before);
            QVERIFY(started);
            QCOMPARE(program.session()->DataDirectory, QStringLiteral("db/"));
            QCOMPARE(program.session()->MaterialCount, 6);
        }
    }

    // Another running copy holds the suppliers table: re-indexing gives up on it with its
    // message, and the program still starts because the tables open for reading.
    void reindexFailureStillStarts()
    {
        Install in;
        in.writeIni("[Database]\nPath=%DATA%\n");
        in.writeDatabase();
        QProcess holder;
        holder.start(test::builtProgram(QStringLiteral("tools/zeltool")),
                     {QStringLiteral("lock"), in.dataFile(QStringLiteral("SUPPLIER.DB"))});
        QVERIFY(holder.waitForStarted(10000) && holder.waitForReadyRead(10000));
        QVERIFY(holder.readAllStandardOutput().startsWith("locked"));

        Program program(in.programDir(), false);
        WindowWatch watch(program);
        MessageCatcher catcher;
        QVERIFY(program.StartProgram());
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("Cannot reindex file:supplier.db")});
        QCOMPARE(program.reindexing(), Program::Reindexing::Failed);
        QCOMPARE(watch.shows(program.indexForm()), 1);
        QVERIFY(!program.indexForm()->isVisible());
        QVERIFY(QFile::exists(in.dataFile(QStringLiteral("synonyms.name.zix"))));
        QVERIFY(QFile::exists(in.dataFile(QStringLiteral("material.idindex.zix"))));
        QVERIFY(!QFile::exists(in.dataFile(QStringLiteral("supplier.primary.zix"))));
        QCOMPARE(program.session()->MaterialCount, 6);
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
    }

    void deleteFailureMessageBreaksItsLine()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser lists any directory");
        Install in;
        in.writeIni("[Database]\nPath=%DATA%\n");
        data::WriteOptions lowerCase;
        lowerCase.upperCaseNames = false; // found by their exact names, without a listing
        in.writeDatabase(test::smallContent(), lowerCase);
        // The directory can no longer be listed, but its files can still be opened by name.
        const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        QVERIFY(
            QFile::setPermissions(in.dataDir(), QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        Program program(in.programDir(), false);
        MessageCatcher catcher;
        const bool started = program.StartProgram();
        QFile::setPermissions(in.dataDir(), all);
        QCOMPARE(catcher.texts.value(0),
                 QStringLiteral("Error indexing database\nCannot delete old index files: *.zix"));
        QCOMPARE(program.reindexing(), Program::Reindexing::Failed);
        // Nothing was built, and the datasets name their tables in upper case: they need a
        // listing to find them.
        QVERIFY(!started);
        QVERIFY(!QFile::exists(in.dataFile(QStringLiteral("material.idindex.zix"))));
    }

    void errorBoxShowsCarriageReturnAsLineBreak()
    {
        app::ErrorMessage::setHeadless(false);
        MessageCatcher catcher;
        app::ErrorMessage::show(model::Reindex::deleteFailedMessage(QStringLiteral("*.zix")));
        QCOMPARE(catcher.texts,
                 QStringList{QStringLiteral(
                     "Error indexing database\nCannot delete old index files: *.zix")});
        QVERIFY2(catcher.faults.isEmpty(), qPrintable(catcher.faults.join(u'\n')));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
