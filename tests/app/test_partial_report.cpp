// A headless report that reads only its records through the index files must be the report
// the whole tables give, and must give way to the whole load when an index file is missing or
// out of date: each run a separate zel process over real tables, its output compared byte for
// byte (the saved report file past its time of writing, the PDF as pdftotext reads it).
#include "Fixture.h"
#include "ReportTestData.h"
#include "common/SampleDatabase.h"
#include "model/Names.h"
#include "model/ReportTables.h"
#include "model/Schema.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zel;

namespace {

QByteArray runReport(const QString& dir, const QString& option, const QString& key,
                     const QString& out)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), dir + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/home"));
    p.setProcessEnvironment(env);
    p.start(test::builtProgram(QStringLiteral("src/app/zel")),
            {QStringLiteral("--data"), dir + QStringLiteral("/db"), option, key, out});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return "failed: " + p.readAllStandardError();
    if (out.endsWith(QStringLiteral(".pdf")))
        return test::pdftotext().isEmpty() ? QByteArray("no pdftotext") : [&] {
            QProcess t;
            t.start(test::pdftotext(), {QStringLiteral("-layout"), out, QStringLiteral("-")});
            t.waitForFinished(60000);
            return t.readAllStandardOutput();
        }();
    QFile f(out);
    return f.open(QIODevice::ReadOnly) ? f.readAll().mid(24)
                                       : QByteArray("no file"); // past the time
}

void touch(const QString& file)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        f.setFileTime(QDateTime::currentDateTime().addSecs(7), QFileDevice::FileModificationTime));
}

struct Case
{
    const char* name;
    bool scale;
    const char* option;
    const char* key;     // of the small database; the scale one's 37th material or 7th supplier
    const char* breakIt; // a missing index file, or "touch:TABLE" to make them out of date
};
void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class PartialReport : public testing::TestWithParam<Case>
{
};

TEST_P(PartialReport, GivesWhatTheWholeTablesGive)
{
    const Case& c = GetParam();
    test::TempDir dir;
    data::DatabaseContent content = test::smallContent();
    if (c.scale) {
        content = data::makeScaleContent(800, 4000, 40);
        data::blankCommercialNames(content, 60);
    }
    data::writeDatabase(dir.file(QStringLiteral("db")), content);
    const bool compare = QByteArray(c.option) == "--compare";
    const QString key = !c.scale  ? QString::fromLatin1(c.key)
                        : compare ? content.materials[37].cas + u',' + content.materials[38].cas
                        : QByteArray(c.option).contains("material") ? content.materials[37].cas
                                                                    : content.suppliers[7].supnr;
    const QString option = QString::fromLatin1(c.option);
    // The first run builds the index files (and writes the placeholder) with the whole tables.
    const QByteArray built = runReport(dir.path(), option, key, dir.file(QStringLiteral("a.frp")));
    ASSERT_FALSE(built.startsWith("failed")) << built.constData();
    for (const char* format : {".frp", ".pdf"}) {
        SCOPED_TRACE(format);
        const QString out = dir.file(QStringLiteral("r") + QLatin1String(format));
        const QByteArray partial = runReport(dir.path(), option, key, out);
        ASSERT_FALSE(partial.startsWith("failed")) << partial.constData();
        const QString broken = QString::fromLatin1(c.breakIt);
        const QString db = dir.file(QStringLiteral("db/"));
        if (broken.startsWith(QStringLiteral("touch:")))
            touch(db + broken.mid(6));
        else
            ASSERT_TRUE(QFile::remove(db + broken));
        EXPECT_EQ(runReport(dir.path(), option, key, out), partial);
        // Index files current again for the next format's partial run.
        ASSERT_EQ(QProcess::execute(test::builtProgram(QStringLiteral("tools/zeltool")),
                                    {QStringLiteral("reindex"), db}),
                  0);
    }

    // What was read in part is the report's records alone, until a table changes.
    data::Session::instance().addPassword(QString::fromLatin1(model::schema::tablePassword()));
    data::Database database;
    database.setPath(dir.file(QStringLiteral("db")));
    model::schema::describe(database);
    const bool material = compare || QByteArray(c.option).contains("material");
    const QStringList keys = key.split(u',');
    const auto readInPart = [&](data::Database& db) {
        return compare    ? model::reportTables::forComparison(db, keys)
               : material ? model::reportTables::forMaterial(db, key)
                          : model::reportTables::forSupplier(db, key);
    };
    ASSERT_TRUE(readInPart(database));
    const auto main = database.table(material ? model::tables::material : model::tables::supplier);
    EXPECT_LE(main->recordCount(), keys.size());
    int names = 0;
    for (const data::SynonymRow& n : content.synonyms)
        names += keys.contains(material ? n.cas : n.supnr);
    EXPECT_EQ(database.table(model::tables::synonyms)->recordCount(), names);
    touch(dir.file(QStringLiteral("db/SYNONYMS.DB")));
    data::Database stale;
    stale.setPath(dir.file(QStringLiteral("db")));
    model::schema::describe(stale);
    EXPECT_FALSE(readInPart(stale));
}

INSTANTIATE_TEST_SUITE_P(
    Zel, PartialReport,
    testing::Values(
        Case{"LinaloolLowerCaseAndZeroNames", false, "--material-report", "78-70-6",
             "synonyms.primary.zix"},
        Case{"VanillinPlaceholderName", false, "--material-report", "121-33-5",
             "touch:SYNONYMS.DB"},
        Case{"CoumarinUnknownSupplier", false, "--material-report", "91-64-5",
             "supplier.primary.zix"},
        Case{"MaterialWithoutNames", false, "--material-report", "122-48-5", "touch:MATERIAL.DB"},
        Case{"SupplierOfOrphanName", false, "--supplier-report", "S01", "synonyms.linksupp.zix"},
        Case{"SupplierLowerCaseName", false, "--supplier-report", "S02", "touch:SUPPLIER.DB"},
        Case{"SupplierSellingNothing", false, "--supplier-report", "S04", "supplier.linkname.zix"},
        Case{"ScaleMaterial", true, "--material-report", "", "material.casorder.zix"},
        Case{"CompareLinaloolAndVanillin", false, "--compare", "78-70-6,121-33-5",
             "synonyms.primary.zix"},
        Case{"ScaleComparison", true, "--compare", "", "touch:MATERIAL.DB"},
        Case{"ScaleSupplier", true, "--supplier-report", "", "touch:SYNONYMS.DB"}),
    [](const testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

} // namespace
