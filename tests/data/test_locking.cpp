// Locks between separate processes: a second copy of the program holds a table through
// zeltool, which takes the same locks as the browser.
#include "Fixture.h"
#include "data/base/Error.h"
#include "data/engine/Dataset.h"
#include "data/engine/Table.h"
#include "model/Schema.h"

#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zel::data;
using namespace zel::model;
using zel::test::DatabaseFixture;

namespace {

class Holder
{
public:
    Holder(const QString& table, bool exclusive)
    {
        QStringList args{QStringLiteral("lock"), table};
        if (exclusive)
            args << QStringLiteral("--exclusive");
        m_process.start(zel::test::builtProgram(QStringLiteral("tools/zeltool")), args);
        m_started = m_process.waitForStarted(10000) && m_process.waitForReadyRead(10000) &&
                    m_process.readAllStandardOutput().startsWith("locked");
    }
    ~Holder()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
    bool holding() const { return m_started; }

private:
    QProcess m_process;
    bool m_started = false;
};

TEST(Locking, ExclusiveOpenFailsAtOnceWhileAnotherProcessReads)
{
    DatabaseFixture f;
    const QString path = f.dir.file(QStringLiteral("SYNONYMS.DB"));
    {
        Holder reader(path, false);
        ASSERT_TRUE(reader.holding());
        Dataset ex;
        ex.setDatabase(f.db.get());
        ex.setTableName(QStringLiteral("synonyms.db"));
        ex.setExclusive(true);
        try {
            ex.addIndex(QStringLiteral("name"), QStringLiteral("name"), false);
            FAIL() << "exclusive open succeeded while another process read the table";
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("in use")))
                << e.message().toStdString();
        }
        // Readers share.
        EXPECT_NO_THROW(Table::open(path, &schema::synonyms(), Table::Access::Shared,
                                    Session::instance().passwords()));
    }
    // Once the other process has ended the table is free again.
    EXPECT_NO_THROW(Table::open(path, &schema::synonyms(), Table::Access::Exclusive,
                                Session::instance().passwords()));
}

TEST(Locking, ReadersAreKeptOutWhileAnotherProcessReindexes)
{
    DatabaseFixture f;
    const QString path = f.dir.file(QStringLiteral("SUPPLIER.DB"));
    Holder writer(path, true);
    ASSERT_TRUE(writer.holding());
    EXPECT_THROW(Table::open(path, &schema::supplier(), Table::Access::Shared,
                             Session::instance().passwords()),
                 DatabaseError);
    EXPECT_THROW(Table::open(path, &schema::supplier(), Table::Access::Exclusive,
                             Session::instance().passwords()),
                 DatabaseError);
}

TEST(Locking, AnOpenDatasetHoldsItsTableInThisProcessToo)
{
    DatabaseFixture f;
    Dataset reader;
    reader.setDatabase(f.db.get());
    reader.setTableName(QStringLiteral("MATERIAL.DB"));
    reader.open();
    EXPECT_THROW(Table::open(f.dir.file(QStringLiteral("MATERIAL.DB")), &schema::material(),
                             Table::Access::Exclusive, Session::instance().passwords()),
                 DatabaseError);
    reader.close();
    EXPECT_NO_THROW(Table::open(f.dir.file(QStringLiteral("MATERIAL.DB")), &schema::material(),
                                Table::Access::Exclusive, Session::instance().passwords()));
}

} // namespace
