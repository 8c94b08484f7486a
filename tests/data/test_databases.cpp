// The generated databases: the bundled sample and the synthetic scale database, checked
// through the engine and through zeltool dump.
#include "TempDir.h"
#include "common/SampleDatabase.h"
#include "data/engine/Database.h"
#include "data/paradox/ParadoxFile.h"
#include "model/Datasets.h"
#include "model/Schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

using namespace zel::data;
using namespace zel::model;
using zel::test::TempDir;

namespace {

QString sampleSources()
{
    return QStringLiteral(ZEL_SOURCE_DIR "/sample");
}

QStringList passwords()
{
    return {QString::fromLatin1(schema::tablePassword())};
}

TEST(SampleDatabase, HasRealMaterialsWithIdsInNameOrder)
{
    TempDir dir;
    writeDatabase(dir.path(), readSampleSources(sampleSources()));
    const TableData m =
        paradox::readTableFile(dir.file(QStringLiteral("MATERIAL.DB")), passwords());
    ASSERT_GE(m.rows.size(), 150u);
    const int sf = 1, cas = 2, stabil = 9, id = 11;
    ASSERT_EQ(m.fields[static_cast<size_t>(id)].name, QStringLiteral("id"));
    QSet<QString> seen;
    for (size_t i = 0; i < m.rows.size(); ++i) {
        EXPECT_EQ(m.rows[i][static_cast<size_t>(id)].toLongLong(), static_cast<qlonglong>(i + 1));
        if (i > 0) {
            EXPECT_LT(m.rows[i - 1][static_cast<size_t>(sf)].toString(),
                      m.rows[i][static_cast<size_t>(sf)].toString());
        }
        const QString c = m.rows[i][static_cast<size_t>(cas)].toString();
        EXPECT_FALSE(seen.contains(c)) << c.toStdString();
        seen.insert(c);
        EXPECT_LE(m.rows[i][static_cast<size_t>(stabil)].toString().size(), 40);
    }
    EXPECT_TRUE(seen.contains(QStringLiteral("78-70-6"))) << "linalool";
    EXPECT_TRUE(seen.contains(QStringLiteral("121-33-5"))) << "vanillin";
}

TEST(SampleDatabase, HoldsTheAwkwardRows)
{
    TempDir dir;
    writeDatabase(dir.path(), readSampleSources(sampleSources()));
    const TableData s =
        paradox::readTableFile(dir.file(QStringLiteral("SYNONYMS.DB")), passwords());
    const TableData m =
        paradox::readTableFile(dir.file(QStringLiteral("MATERIAL.DB")), passwords());
    const TableData p =
        paradox::readTableFile(dir.file(QStringLiteral("SUPPLIER.DB")), passwords());
    QSet<QString> materialCas, supnrs, usedCas, usedSupnr;
    for (const auto& r : m.rows)
        materialCas.insert(r[2].toString());
    for (const auto& r : p.rows)
        supnrs.insert(r[0].toString());
    int empty = 0, zero = 0, tilde = 0, lower = 0, accented = 0, orphanCas = 0, orphanSup = 0;
    for (const auto& r : s.rows) {
        const QString name = r[1].toString();
        empty += name.isEmpty();
        zero += name.startsWith(QLatin1Char('0'));
        tilde += name == QStringLiteral("~");
        lower += !name.isEmpty() && name.at(0).isLower();
        accented += name != sortForm(name).toLower() &&
                    name.toLower() != name.normalized(QString::NormalizationForm_D).toLower();
        orphanCas += !materialCas.contains(r[0].toString());
        orphanSup += !supnrs.contains(r[2].toString());
        usedCas.insert(r[0].toString());
        usedSupnr.insert(r[2].toString());
    }
    EXPECT_GE(empty, 1);
    EXPECT_GE(zero, 1);
    EXPECT_GE(tilde, 1);
    EXPECT_GE(accented, 1);
    EXPECT_GE(lower, 1);
    EXPECT_GE(orphanCas, 1);
    EXPECT_GE(orphanSup, 1);
    EXPECT_LT(usedCas.intersect(materialCas).size(), materialCas.size())
        << "a material without commercial names";
    EXPECT_LT(usedSupnr.intersect(supnrs).size(), supnrs.size())
        << "a supplier without commercial names";
}

TEST(SampleDatabase, AllDatasetsOpen)
{
    TempDir dir;
    writeDatabase(dir.path(), readSampleSources(sampleSources()));
    Session::instance().addPassword(QString::fromLatin1(schema::tablePassword()));
    Database db(QStringLiteral("ZEL"));
    zel::model::schema::describe(db);
    db.setPath(dir.path());
    DatasetSet sets(&db, decls::mainWindow());
    ASSERT_NO_THROW(sets.openAll());
    EXPECT_GT(sets.get(QStringLiteral("TableCommSynonyms"))->recordCount(), 100);
}

TEST(ScaleDatabase, HasTheRequestedSize)
{
    TempDir dir;
    writeDatabase(dir.path(), makeScaleContent(8000, 40000, 400));
    EXPECT_EQ(
        paradox::readTableFile(dir.file(QStringLiteral("MATERIAL.DB")), passwords()).rows.size(),
        8000u);
    EXPECT_EQ(
        paradox::readTableFile(dir.file(QStringLiteral("SYNONYMS.DB")), passwords()).rows.size(),
        40000u);
    EXPECT_EQ(
        paradox::readTableFile(dir.file(QStringLiteral("SUPPLIER.DB")), passwords()).rows.size(),
        400u);
}

QByteArray runTool(const QStringList& args, int* exitCode = nullptr)
{
    QProcess p;
    p.start(zel::test::builtProgram(QStringLiteral("tools/zeltool")), args);
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitCode();
    return p.readAllStandardOutput();
}

TEST(Zeltool, DumpPrintsWhatTheGeneratorWrote)
{
    TempDir dir;
    int code = -1;
    runTool({QStringLiteral("sample"), dir.path(), QStringLiteral("--source"), sampleSources()},
            &code);
    ASSERT_EQ(code, 0);
    const QByteArray csv =
        runTool({QStringLiteral("dump"), dir.file(QStringLiteral("SUPPLIER.DB")),
                 QStringLiteral("--password"), QString::fromLatin1(schema::tablePassword())},
                &code);
    ASSERT_EQ(code, 0);
    const auto rows = parseCsv(QString::fromUtf8(csv));
    const DatabaseContent source = readSampleSources(sampleSources());
    ASSERT_EQ(rows.size(), source.suppliers.size() + 1);
    EXPECT_EQ(rows[0],
              (std::vector<QString>{"supnr", "supname", "address", "city", "country", "phone"}));
    // Sorted by supplier number in the table; compare as sets of rows.
    QSet<QString> dumped, expected;
    for (size_t i = 1; i < rows.size(); ++i)
        dumped.insert(QStringList(rows[i].begin(), rows[i].end()).join(QLatin1Char('|')));
    for (const SupplierRow& s : source.suppliers)
        expected.insert(QStringList{s.supnr, s.supname, s.address, s.city, s.country, s.phone}.join(
            QLatin1Char('|')));
    EXPECT_EQ(dumped, expected);

    // Our own tables need no password: the built-in one is tried.
    EXPECT_EQ(runTool({QStringLiteral("dump"), dir.file(QStringLiteral("SUPPLIER.DB"))}, &code),
              csv);
    EXPECT_EQ(code, 0);
    runTool({QStringLiteral("dump"), dir.file(QStringLiteral("NOSUCH.DB"))}, &code);
    EXPECT_NE(code, 0);
}

// A name the table's code page cannot hold is refused, naming its characters, and nothing is
// written; one it holds (accents of code page 1252) goes through.
TEST(Zeltool, SampleRefusesCharactersItsCodePageCannotHold)
{
    const struct
    {
        const char* supplier;
        int exitCode;
        const char* named;
    } cases[] = {{"Sōkō 北京香料", 1, "ō北京香料"}, {"Müller & Fils", 0, ""}};
    for (const auto& c : cases) {
        TempDir source, out;
        for (const char* table : {"material.csv", "synonyms.csv", "supplier.csv"})
            ASSERT_TRUE(QFile::copy(QDir(sampleSources()).filePath(QLatin1String(table)),
                                    source.file(QLatin1String(table))));
        QFile suppliers(source.file(QStringLiteral("supplier.csv")));
        ASSERT_TRUE(suppliers.open(QIODevice::Append));
        suppliers.write(QByteArray("\"S999\",\"") + c.supplier + "\",\"\",\"\",\"\",\"\"\n");
        suppliers.close();
        QProcess p;
        p.start(zel::test::builtProgram(QStringLiteral("tools/zeltool")),
                {QStringLiteral("sample"), out.path(), QStringLiteral("--source"), source.path()});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), c.exitCode) << c.supplier;
        if (c.exitCode != 0) {
            EXPECT_TRUE(
                QString::fromUtf8(p.readAllStandardError()).contains(QString::fromUtf8(c.named)))
                << c.supplier;
            EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList()) << c.supplier;
        }
    }
}

} // namespace
