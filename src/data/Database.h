#pragma once

#include "data/Table.h"

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <future>
#include <map>
#include <memory>

namespace zel::data {

class Dataset;
class PgConnection;

// Process-wide engine settings: the registered table passwords and the lock-control
// directory. Passwords apply to every table opened after they are added.
class Session
{
public:
    static Session& instance();
    void addPassword(const QString& password);
    void removeAllPasswords();
    const QStringList& passwords() const { return m_passwords; }
    void setLockDirectory(const QString& dir) { m_lockDirectory = dir; }
    const QString& lockDirectory() const { return m_lockDirectory; }

private:
    QStringList m_passwords;
    QString m_lockDirectory;
};

// A named database defined by driver and path, or by the server driver and a connection
// string. Tables are named by file name within it (found without regard to case in a data
// directory) and loaded once however many datasets use them. From a server all three tables
// are read at once, in one snapshot, and stay in memory: the windows go on working when the
// server goes away, and a reload replaces them only once the new ones have arrived whole.
class Database : public QObject
{
    Q_OBJECT
public:
    // The driver of a database on a server; any other driver means a data directory.
    static QString serverDriver() { return QStringLiteral("PostgreSQL"); }

    explicit Database(const QString& name = QString(), QObject* parent = nullptr);
    ~Database() override;

    const QString& name() const { return m_name; }
    // Replaces the parameters; only "Path=..." is understood. Disconnects first.
    void setParams(const QStringList& params);
    void setDriver(const QString& driver) { m_driver = driver; }
    const QString& driver() const { return m_driver; }
    void setPath(const QString& path);
    const QString& path() const { return m_path; }
    // Defines the database on a server by a connection string or URI. Disconnects first.
    void setServer(const QString& connection);
    bool isServer() const;
    const QString& connection() const { return m_connection; }
    // Reads every table again, then lets the open datasets go and keeps the new tables for
    // their next open. Throws DatabaseError, changing nothing, when the tables cannot be read.
    void reload();
    // Closes every dataset that uses this database.
    void disconnect();
    // Whether the server's tables, as now loaded, came from the copy kept on the local disk
    // (the server named the revision it was made from) rather than over the connection.
    bool loadedFromLocalCopy() const { return m_fromLocalCopy; }
    // Waits until the copy of the tables last read from the server is on the local disk.
    void waitUntilKept();

    // The path of fileName in the data directory, matched without regard to case, or an
    // empty string when there is no such file.
    QString findFile(const QString& fileName) const;
    static QString findFileIn(const QString& dir, const QString& fileName);
    // Why findFileIn found nothing, in words: no such directory, a directory that cannot be
    // read, a pipe or a device of that name, or simply no such table.
    static QString missingTableReason(const QString& dir, const QString& fileName);

    // The loaded table, shared by every dataset of this database. Throws DatabaseError.
    std::shared_ptr<Table> table(const QString& fileName);
    // Starts loading these tables, with their index files, each on a thread of its own, so
    // that tables opened one after the other are read at the same time; table() then waits
    // for the one it asks for and reports its failure as if it had loaded it itself.
    void preload(const QStringList& fileNames);

Q_SIGNALS:
    // The server said that its data were replaced (an import committed) since they were read.
    void serverDataChanged();

private:
    struct ServerLoad
    {
        std::map<QString, std::shared_ptr<Table>> tables; // by file name
        std::shared_ptr<PgConnection> listener;
        QString revisionToKeep; // read from the server, not yet kept on the local disk
        bool fromLocalCopy = false;
    };
    static ServerLoad loadFromServer(const QString& connection, bool atStart);
    void adopt(ServerLoad load);
    // Writes the local copy of the server's tables, on a thread of its own.
    void keep(const QString& revision);
    void serverActivity();

    friend class Dataset;
    void attach(Dataset* ds);
    void detach(Dataset* ds);

    QString m_name;
    QString m_driver;
    QString m_path;
    std::map<QString, std::weak_ptr<Table>> m_tables;                 // by absolute path
    std::map<QString, std::future<std::shared_ptr<Table>>> m_loading; // by absolute path
    std::vector<Dataset*> m_datasets;
    QString m_connection;
    std::map<QString, std::shared_ptr<Table>> m_serverTables; // by file name
    std::future<ServerLoad> m_serverLoad;
    std::future<void> m_keeping; // writing the local copy of what the server sent
    bool m_fromLocalCopy = false;
    std::shared_ptr<PgConnection> m_listener;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<std::shared_ptr<Table>> m_reloaded; // kept until the datasets open them again
};

} // namespace zel::data
