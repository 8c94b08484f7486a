#include "data/Database.h"

#include "data/Dataset.h"
#include "data/Error.h"
#include "data/FileAccess.h"
#include "data/PgConnection.h"
#include "data/ServerCache.h"
#include "data/ServerTables.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

Session& Session::instance()
{
    static Session session;
    return session;
}

void Session::addPassword(const QString& password)
{
    if (!m_passwords.contains(password))
        m_passwords << password;
}

void Session::removeAllPasswords()
{
    m_passwords.clear();
}

Database::Database(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

Database::~Database()
{
    for (Dataset* ds : m_datasets)
        ds->m_database = nullptr;
}

void Database::setParams(const QStringList& params)
{
    disconnect();
    m_path.clear();
    m_connection.clear();
    for (const QString& line : params)
        if (line.startsWith(QStringLiteral("Path="), Qt::CaseInsensitive))
            m_path = line.mid(5);
}

void Database::setPath(const QString& path)
{
    setParams({QStringLiteral("Path=") + path});
}

void Database::setServer(const QString& connection)
{
    disconnect();
    m_path.clear();
    m_driver = serverDriver();
    m_connection = connection;
}

bool Database::isServer() const
{
    return m_driver.compare(serverDriver(), Qt::CaseInsensitive) == 0;
}

void Database::disconnect()
{
    const std::vector<Dataset*> all = m_datasets;
    for (Dataset* ds : all)
        ds->close();
    m_tables.clear();
    m_loading.clear(); // waits for loads still running
    m_reloaded.clear();
    m_serverTables.clear();
    if (m_serverLoad.valid())
        m_serverLoad.wait();
    m_serverLoad = {};
    waitUntilKept();
    m_fromLocalCopy = false;
    m_notifier.reset();
    m_listener.reset();
}

Database::ServerLoad Database::loadFromServer(const QString& connection, bool atStart)
{
    ServerLoad load;
    const server::LocalCache cache(server::LocalCache::standardDirectory(), connection);
    // At the start the copy kept from the last load is read while the connection is made;
    // it stands for the server's data only when the server still names its revision. A
    // reload mostly follows a change, and asks first.
    std::future<std::optional<server::LocalCache::Copy>> kept;
    if (atStart)
        kept = std::async(std::launch::async, [&cache] { return cache.readLatest(); });
    load.listener = std::make_shared<PgConnection>(connection);
    // Listening before the revision is asked: an import that commits after it is announced.
    load.listener->exec(QStringLiteral("LISTEN ") + server::changeChannel());
    const QString revision = server::revision(*load.listener);
    std::optional<server::LocalCache::Copy> copy = atStart ? kept.get() : cache.read(revision);
    if (copy && !revision.isEmpty() && copy->revision == revision) {
        load.tables = std::move(copy->tables);
        load.fromLocalCopy = true;
        return load;
    }
    copy.reset();
    // Without a revision nothing kept can be trusted again, even once the server has one:
    // rows may change meanwhile without a new revision.
    if (revision.isEmpty())
        cache.forget();
    load.tables = server::openTables(*load.listener, &load.revisionToKeep);
    return load;
}

void Database::waitUntilKept()
{
    if (m_keeping.valid())
        m_keeping.wait();
}

void Database::keep(const QString& revision)
{
    if (revision.isEmpty())
        return;
    waitUntilKept();
    // Written beside the work of the windows; the tables are not changed while it runs.
    m_keeping = std::async(
        std::launch::async, [revision, connection = m_connection, tables = m_serverTables] {
            const server::LocalCache cache(server::LocalCache::standardDirectory(), connection);
            const QString error = cache.write(revision, tables);
            if (!error.isEmpty())
                std::fprintf(stderr, "zel: the server's data are not kept on this disk: %s\n",
                             qPrintable(error));
        });
}

void Database::adopt(ServerLoad load)
{
    m_serverTables = std::move(load.tables);
    m_fromLocalCopy = load.fromLocalCopy;
    keep(load.revisionToKeep);
    m_notifier.reset();
    m_listener = std::move(load.listener);
    if (m_listener && m_listener->socket() >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_listener->socket(), QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &Database::serverActivity);
    }
}

void Database::serverActivity()
{
    try {
        if (m_listener->takeNotifications().contains(server::changeChannel()))
            Q_EMIT serverDataChanged();
    } catch (const DatabaseError&) {
        // The server went away. What was loaded stays; a reload says what is wrong.
        m_notifier.reset();
        m_listener.reset();
    }
}

void Database::reload()
{
    if (isServer()) {
        ServerLoad load = loadFromServer(m_connection, false);
        const std::vector<Dataset*> all = m_datasets;
        for (Dataset* ds : all)
            ds->close();
        adopt(std::move(load));
        return;
    }
    // Every table is read before any dataset lets its old copy go.
    std::vector<std::shared_ptr<Table>> fresh;
    for (const TableDef* def : schema::allTables()) {
        const QString path = findFile(def->fileName);
        if (path.isEmpty())
            throw DatabaseError(QStringLiteral("Table %1 not found in %2")
                                    .arg(def->fileName, QDir::toNativeSeparators(m_path)));
        fresh.push_back(
            Table::open(path, def, Table::Access::Shared, Session::instance().passwords()));
    }
    const std::vector<Dataset*> all = m_datasets;
    for (Dataset* ds : all)
        ds->close();
    m_tables.clear();
    m_loading.clear();
    for (const std::shared_ptr<Table>& table : fresh)
        m_tables[table->path()] = table;
    m_reloaded = std::move(fresh);
}

QString Database::findFileIn(const QString& dir, const QString& fileName)
{
    const QDir d(dir.isEmpty() ? QStringLiteral(".") : dir);
    const QString exact = d.filePath(fileName);
    if (QFileInfo(exact).isFile())
        return QFileInfo(exact).absoluteFilePath();
    const QStringList entries = d.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries)
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return QFileInfo(d.filePath(entry)).absoluteFilePath();
    return QString();
}

QString Database::missingTableReason(const QString& dir, const QString& fileName)
{
    const QString shown = QDir::toNativeSeparators(dir.isEmpty() ? QStringLiteral(".") : dir);
    const QByteArray d = QFile::encodeName(dir.isEmpty() ? QStringLiteral(".") : dir);
    struct stat st
    {
    };
    if (::stat(d.constData(), &st) != 0) {
        const int error = errno;
        return error == ENOENT ? QStringLiteral("The data directory %1 does not exist").arg(shown)
                               : QStringLiteral("Cannot reach the data directory %1: %2")
                                     .arg(shown, QString::fromLocal8Bit(std::strerror(error)));
    }
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("The data directory %1 is %2, not a directory")
            .arg(shown, fileKindText(st.st_mode));
    if (::access(d.constData(), R_OK | X_OK) != 0) {
        const int error = errno;
        return QStringLiteral("Cannot read the data directory %1: %2")
            .arg(shown, QString::fromLocal8Bit(std::strerror(error)));
    }
    // Something of that name that is no file: a pipe, a device, a directory.
    const QDir listing(dir.isEmpty() ? QStringLiteral(".") : dir);
    for (const QString& entry :
         listing.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0 &&
            ::stat(QFile::encodeName(listing.filePath(entry)).constData(), &st) == 0)
            return QStringLiteral("%1 in %2 is %3, not a table file")
                .arg(entry, shown, fileKindText(st.st_mode));
    return QStringLiteral("Table %1 not found in %2").arg(fileName, shown);
}

QString Database::findFile(const QString& fileName) const
{
    return findFileIn(m_path, fileName);
}

std::shared_ptr<Table> Database::table(const QString& fileName)
{
    if (isServer()) {
        if (m_serverTables.empty()) {
            if (m_serverLoad.valid()) {
                std::future<ServerLoad> loading = std::move(m_serverLoad);
                adopt(loading.get());
            } else {
                adopt(loadFromServer(m_connection, true));
            }
        }
        for (const auto& [name, table] : m_serverTables)
            if (name.compare(fileName, Qt::CaseInsensitive) == 0)
                return table;
        throw DatabaseError(QStringLiteral("The server holds no table %1").arg(fileName));
    }
    const QString path = findFile(fileName);
    if (path.isEmpty())
        throw DatabaseError(missingTableReason(m_path, fileName));
    if (auto existing = m_tables[path].lock())
        return existing;
    std::shared_ptr<Table> table;
    if (auto loading = m_loading.find(path); loading != m_loading.end()) {
        std::future<std::shared_ptr<Table>> result = std::move(loading->second);
        m_loading.erase(loading);
        table = result.get();
    } else {
        table = Table::open(path, schema::tableByFileName(fileName), Table::Access::Shared,
                            Session::instance().passwords());
    }
    m_tables[path] = table;
    return table;
}

void Database::preload(const QStringList& fileNames)
{
    if (isServer()) {
        // The server's tables come in one snapshot, all three at once.
        if (m_serverTables.empty() && !m_serverLoad.valid())
            m_serverLoad =
                std::async(std::launch::async, &Database::loadFromServer, m_connection, true);
        return;
    }
    for (const QString& fileName : fileNames) {
        const QString path = findFile(fileName);
        if (path.isEmpty() || m_loading.count(path) || m_tables[path].lock())
            continue; // a missing table fails when it is opened
        const TableDef* def = schema::tableByFileName(fileName);
        m_loading[path] = std::async(
            std::launch::async, [path, def, passwords = Session::instance().passwords()] {
                std::shared_ptr<Table> table =
                    Table::open(path, def, Table::Access::Shared, passwords);
                for (const IndexDef& index : table->indexDefs())
                    table->index(index).prepare();
                return table;
            });
    }
}

void Database::attach(Dataset* ds)
{
    if (std::find(m_datasets.begin(), m_datasets.end(), ds) == m_datasets.end())
        m_datasets.push_back(ds);
}

void Database::detach(Dataset* ds)
{
    std::erase(m_datasets, ds);
}

} // namespace zel::data
