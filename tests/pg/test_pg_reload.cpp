// File > Reload in a running window over a server: an import committed elsewhere shows a
// notice, Reload shows the new data with the same material, page, supplier and search, and
// a server gone away leaves the loaded data in place.
#include "PgServer.h"
#include "TempDir.h"
#include "common/SampleDatabase.h"
#include "common/ServerTool.h"
#include "data/base/Error.h"
#include "data/engine/Database.h"
#include "data/engine/Dataset.h"
#include "data/server/PgConnection.h"
#include "model/Names.h"
#include "model/Schema.h"
#include "ui/MainSession.h"
#include "ui/TMainForm.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QtTest>

using namespace zel;
using model::datasets::TableMaterial;
using model::datasets::TableMaterialSelect;
using model::datasets::TableSupplier;
using zel::test::PgServer;

class TestPgReload : public QObject
{
    Q_OBJECT

private:
    PgServer& server() { return test::sharedServer(); }
    void import(const QString& dir, const QString& database)
    {
        qputenv("PGPASSWORD", PgServer::adminPassword().toUtf8());
        QString ignored;
        QTextStream out(&ignored);
        data::serverImport(dir, server().connection(database), out);
        qputenv("PGPASSWORD", PgServer::readerPassword().toUtf8());
    }
    static data::DatabaseContent sample()
    {
        return data::readSampleSources(QStringLiteral(ZEL_SOURCE_DIR "/sample"));
    }
    // Lists the materials whose name begins with "A", as a search would.
    static void narrowToA(ui::MainSession& session)
    {
        data::Dataset* scan = session.dataset(TableMaterialSelect);
        session.setFilter(
            [scan] { return scan->text(model::fields::name).startsWith(QLatin1Char('A')); });
        session.Select(1);
    }
    static int countA(const data::DatabaseContent& content)
    {
        return static_cast<int>(std::count_if(
            content.materials.begin(), content.materials.end(),
            [](const data::MaterialRow& m) { return m.name.startsWith(QLatin1Char('A')); }));
    }

private Q_SLOTS:
    void initTestCase() { QCOMPARE(server().error(), QString()); }

    void importShowsANoticeAndReloadKeepsTheView()
    {
        test::TempDir tmp;
        data::DatabaseContent before = sample();
        data::DatabaseContent after = sample();
        after.materials.push_back(
            {QStringLiteral("Aaa new material"), QString(), QStringLiteral("999-99-9")});
        after.materials.back().stabil = before.materials.front().stabil;
        for (data::SupplierRow& s : after.suppliers)
            if (s.supnr == QLatin1String("S003"))
                s.supname = QStringLiteral("Maison Orvelle Nouvelle");
        data::writeDatabase(tmp.file(QStringLiteral("before")), before);
        data::writeDatabase(tmp.file(QStringLiteral("after")), after);
        QCOMPARE(server().createLoaded(QStringLiteral("reload_view"),
                                       tmp.file(QStringLiteral("before"))),
                 QString());
        qputenv("PGPASSWORD", PgServer::readerPassword().toUtf8());

        ui::MainSession session;
        session.setServer(
            server().connection(QStringLiteral("reload_view"), QStringLiteral("zel_reader")));
        session.OpenDatabase();
        ui::TMainForm form(&session);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* notice = form.findChild<QLabel*>(QStringLiteral("ReloadNotice"));
        auto* reload = form.findChild<QAction*>(QStringLiteral("MenuReload"));
        auto* pages = form.findChild<QTabWidget*>(QStringLiteral("MainTabNotebook"));
        QVERIFY(notice && reload && pages);
        QVERIFY(!notice->isVisible());

        narrowToA(session);
        QCOMPARE(session.selectionList()->count(), countA(before));
        session.selectRow(3);
        const QString cas = session.dataset(TableMaterial)->text(model::fields::cas);
        form.SwitchPage(ui::page::Suppliers);
        QVERIFY(session.GotoSupplier(QStringLiteral("S003")));
        QCoreApplication::processEvents();

        import(tmp.file(QStringLiteral("after")), QStringLiteral("reload_view"));
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 15000);
        // Nothing changes before the user asks.
        QCOMPARE(session.MaterialCount, static_cast<int>(before.materials.size()));

        reload->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!notice->isVisible());
        QCOMPARE(session.MaterialCount, static_cast<int>(after.materials.size()));
        QCOMPARE(session.selectionList()->count(), countA(after));
        QCOMPARE(session.dataset(TableMaterial)->text(model::fields::cas), cas);
        QCOMPARE(pages->currentIndex(), ui::page::Suppliers);
        QCOMPARE(session.dataset(TableSupplier)->text(model::fields::supnr),
                 QStringLiteral("S003"));
        auto* supplierName = form.findChild<QLineEdit*>(QStringLiteral("DBEditName"));
        QVERIFY(supplierName);
        QTRY_COMPARE(supplierName->text(), QStringLiteral("Maison Orvelle Nouvelle"));
        // The new material is listed and can be found.
        session.SearchMaterial(QStringLiteral("aaa new"));
        QCOMPARE(session.dataset(TableMaterial)->text(model::fields::cas),
                 QStringLiteral("999-99-9"));
    }

    void aServerGoneAwayLeavesTheLoadedData()
    {
        test::TempDir tmp;
        data::writeDatabase(tmp.path(), sample());
        QCOMPARE(server().createLoaded(QStringLiteral("reload_gone"), tmp.path()), QString());
        qputenv("PGPASSWORD", PgServer::readerPassword().toUtf8());
        ui::MainSession session;
        session.setServer(
            server().connection(QStringLiteral("reload_gone"), QStringLiteral("zel_reader")));
        session.OpenDatabase();
        session.selectRow(10);
        const QString cas = session.dataset(TableMaterial)->text(model::fields::cas);

        qputenv("PGPASSWORD", PgServer::adminPassword().toUtf8());
        data::PgConnection admin(server().connection(QStringLiteral("postgres")));
        admin.exec(QStringLiteral("ALTER DATABASE reload_gone ALLOW_CONNECTIONS false"));
        admin.query(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                   "WHERE datname = 'reload_gone'"));
        QTest::qWait(200); // the dropped connection is noticed on the event loop
        qputenv("PGPASSWORD", PgServer::readerPassword().toUtf8());
        bool failed = false;
        try {
            session.Reload();
        } catch (const data::DatabaseError& e) {
            failed = true;
            QVERIFY2(!e.message().contains(PgServer::readerPassword()), qPrintable(e.message()));
        }
        QVERIFY(failed);
        QVERIFY(session.isOpen());
        QCOMPARE(session.MaterialCount, static_cast<int>(sample().materials.size()));
        QCOMPARE(session.currentRow(), 10);
        QCOMPARE(session.dataset(TableMaterial)->text(model::fields::cas), cas);
        session.selectRow(11);
        QVERIFY(session.dataset(TableMaterial)->text(model::fields::cas) != cas);
        admin.exec(QStringLiteral("ALTER DATABASE reload_gone ALLOW_CONNECTIONS true"));
    }

    // The same command over a data directory: new tables are read whole before the old ones
    // are let go, and a table gone missing leaves the view as it was.
    void aDataDirectoryReloadsToo()
    {
        test::TempDir tmp;
        data::DatabaseContent content = sample();
        data::writeDatabase(tmp.path(), content);
        data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
        ui::MainSession session;
        session.setDataDirectory(tmp.path() + QLatin1Char('/'));
        session.OpenDatabase();
        session.selectRow(4);
        const QString cas = session.dataset(TableMaterial)->text(model::fields::cas);

        content.materials.push_back(
            {QStringLiteral("Zz reloaded"), QString(), QStringLiteral("999-98-0")});
        content.materials.back().stabil = content.materials.front().stabil;
        data::writeDatabase(tmp.path(), content);
        session.Reload();
        QCOMPARE(session.MaterialCount, static_cast<int>(content.materials.size()));
        QCOMPARE(session.dataset(TableMaterial)->text(model::fields::cas), cas);

        QVERIFY(QFile::remove(data::Database::findFileIn(tmp.path(), model::tables::supplier)));
        bool failed = false;
        try {
            session.Reload();
        } catch (const data::DatabaseError&) {
            failed = true;
        }
        QVERIFY(failed);
        QVERIFY(session.isOpen());
        QCOMPARE(session.MaterialCount, static_cast<int>(content.materials.size()));
        QCOMPARE(session.dataset(TableMaterial)->text(model::fields::cas), cas);
        QVERIFY(session.GotoSupplier(QStringLiteral("S001")));
    }
};

QTEST_MAIN(TestPgReload)
#include "test_pg_reload.moc"
