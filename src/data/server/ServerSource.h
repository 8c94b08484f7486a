#pragma once

#include "data/engine/TableSource.h"
#include "data/server/PgConnection.h"
#include "data/server/ServerTables.h"

#include <QSocketNotifier>
#include <QString>
#include <future>
#include <memory>

namespace zel::data {

namespace server {

// The tables of a database server as the engine's source: all of them read in one snapshot,
// or taken from the local copy of the revision the server still names; a listening connection
// tells of every import that commits, and what was read is kept on the local disk for the
// next start.
class ServerSource : public TableSource
{
    Q_OBJECT
public:
    // The name zel.ini gives this kind of database as its driver.
    static QString driverName() { return QStringLiteral("PostgreSQL"); }

    // answerTimeout: seconds to wait for the server (see PgConnection).
    ServerSource(QString connection, Catalog catalog,
                 int answerTimeout = PgConnection::kDefaultAnswerTimeout);
    ~ServerSource() override;

    const QString& connection() const { return m_connection; }
    const Catalog& catalog() const { return m_catalog; }

    QString description() const override;
    bool sameAs(const TableSource& other) const override;
    std::unique_ptr<Load> load(bool atStart) const override;
    void adopt(Load& load) override;
    bool loadedFromLocalCopy() const override { return m_fromLocalCopy; }
    void settle() override;
    void close() override;

private:
    void keep(const QString& revision, const std::map<QString, std::shared_ptr<Table>>& tables);
    void activity();

    QString m_connection;
    Catalog m_catalog;
    int m_answerTimeout;
    bool m_fromLocalCopy = false;
    std::future<void> m_keeping; // writing the local copy of what the server sent
    std::shared_ptr<PgConnection> m_listener;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace server
} // namespace zel::data
