#include "data/server/ServerSource.h"

#include "data/base/Error.h"
#include "data/server/PgConnection.h"
#include "data/server/ServerCache.h"

#include <cstdio>
#include <optional>

namespace zel::data::server {

namespace {

struct ServerLoad : TableSource::Load
{
    std::shared_ptr<PgConnection> listener;
    QString revisionToKeep; // read from the server, not yet kept on the local disk
    bool fromLocalCopy = false;
};

} // namespace

ServerSource::ServerSource(QString connection, Catalog catalog, int answerTimeout)
    : m_connection(std::move(connection)), m_catalog(std::move(catalog)),
      m_answerTimeout(answerTimeout)
{
}

ServerSource::~ServerSource()
{
    close();
}

QString ServerSource::description() const
{
    return QStringLiteral("%1 server %2").arg(driverName(), PgConnection::redacted(m_connection));
}

bool ServerSource::sameAs(const TableSource& other) const
{
    const auto* server = qobject_cast<const ServerSource*>(&other);
    return server && !m_connection.isEmpty() && server->m_connection == m_connection &&
           server->m_answerTimeout == m_answerTimeout;
}

std::unique_ptr<TableSource::Load> ServerSource::load(bool atStart) const
{
    auto load = std::make_unique<ServerLoad>();
    const LocalCache cache(LocalCache::standardDirectory(), m_connection, m_catalog.tables);
    // At the start the copy kept from the last load is read while the connection is made;
    // it stands for the server's data only when the server still names its revision. A
    // reload mostly follows a change, and asks first.
    std::future<std::optional<LocalCache::Copy>> kept;
    if (atStart)
        kept = std::async(std::launch::async, [&cache] { return cache.readLatest(); });
    load->listener = std::make_shared<PgConnection>(m_connection, m_answerTimeout);
    // Listening before the revision is asked: an import that commits after it is announced.
    load->listener->exec(QStringLiteral("LISTEN ") + changeChannel());
    const QString revision = server::revision(m_catalog, *load->listener);
    std::optional<LocalCache::Copy> copy = atStart ? kept.get() : cache.read(revision);
    if (copy && !revision.isEmpty() && copy->revision == revision) {
        load->tables = std::move(copy->tables);
        load->fromLocalCopy = true;
        return load;
    }
    copy.reset();
    // Without a revision nothing kept can be trusted again, even once the server has one:
    // rows may change meanwhile without a new revision.
    if (revision.isEmpty())
        cache.forget();
    load->tables = openTables(m_catalog, *load->listener, &load->revisionToKeep);
    return load;
}

void ServerSource::adopt(Load& base)
{
    auto& load = static_cast<ServerLoad&>(base);
    m_fromLocalCopy = load.fromLocalCopy;
    keep(load.revisionToKeep, load.tables);
    m_notifier.reset();
    m_listener = std::move(load.listener);
    if (m_listener && m_listener->socket() >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_listener->socket(), QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &ServerSource::activity);
    }
}

void ServerSource::settle()
{
    if (m_keeping.valid())
        m_keeping.wait();
}

void ServerSource::close()
{
    settle();
    m_fromLocalCopy = false;
    m_notifier.reset();
    m_listener.reset();
}

void ServerSource::keep(const QString& revision,
                        const std::map<QString, std::shared_ptr<Table>>& tables)
{
    if (revision.isEmpty())
        return;
    settle();
    // Written beside the work of the windows; the tables are not changed while it runs.
    m_keeping = std::async(std::launch::async, [revision, connection = m_connection,
                                                layouts = m_catalog.tables, tables] {
        const LocalCache cache(LocalCache::standardDirectory(), connection, layouts);
        const QString error = cache.write(revision, tables);
        if (!error.isEmpty())
            std::fprintf(stderr, "zel: the server's data are not kept on this disk: %s\n",
                         qPrintable(error));
    });
}

void ServerSource::activity()
{
    try {
        if (m_listener->takeNotifications().contains(changeChannel()))
            Q_EMIT changed();
    } catch (const DatabaseError&) {
        // The server went away. What was loaded stays; a reload says what is wrong.
        m_notifier.reset();
        m_listener.reset();
    }
}

} // namespace zel::data::server
