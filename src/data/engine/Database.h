#pragma once

#include "data/engine/Table.h"
#include "data/engine/TableSource.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <future>
#include <map>
#include <memory>

namespace zel::data {

class Dataset;

// Process-wide engine settings: the registered table passwords and the lock-control
// directory. Passwords apply to every table opened after they are added.
class Session
{
public:
    static Session& instance();
    void addPassword(const QString& password);
    // The same, with the checksum an encrypted table's header holds for it, which then need
    // not be worked out.
    void addPassword(const QString& password, quint32 checksum);
    void removeAllPasswords();
    const QStringList& passwords() const { return m_passwords; }
    void setLockDirectory(const QString& dir) { m_lockDirectory = dir; }
    const QString& lockDirectory() const { return m_lockDirectory; }

private:
    QStringList m_passwords;
    QString m_lockDirectory;
};

enum class Preload
{
    TablesAndKeys,
    TablesOnly,
};

// A named database defined by driver and path, or by a source of its own (a database server).
// Tables are named by file name within it (found without regard to case in a data directory)
// and loaded once however many datasets use them. From a source all tables are read at once,
// in one state, and stay in memory: the windows go on working when the source goes away, and a
// reload replaces them only once the new ones have arrived whole.
class Database : public QObject
{
    Q_OBJECT
public:
    explicit Database(const QString& name = QString(), QObject* parent = nullptr);
    ~Database() override;

    const QString& name() const { return m_name; }
    // The layouts the program expects of its tables: a table of one of these file names must
    // have the fields of its layout and gets its indexes. Tables of other names are read as
    // they are, with the primary index their file gives.
    void setLayouts(std::vector<const TableDef*> layouts);
    const std::vector<const TableDef*>& layouts() const { return m_layouts; }
    // The layout for a file name (without regard to case), or nullptr.
    const TableDef* layoutOf(const QString& fileName) const;
    // Replaces the parameters; only "Path=..." is understood. Disconnects first.
    void setParams(const QStringList& params);
    void setDriver(const QString& driver) { m_driver = driver; }
    const QString& driver() const { return m_driver; }
    void setPath(const QString& path);
    const QString& path() const { return m_path; }
    // Reads the tables from source instead of a data directory. Disconnects first, unless the
    // source reads the same data as the one in use, which then stays with what it loaded.
    void setSource(std::shared_ptr<TableSource> source);
    bool hasSource() const { return static_cast<bool>(m_source); }
    const TableSource* source() const { return m_source.get(); }
    // Reads every table again, then lets the open datasets go and keeps the new tables for
    // their next open. Throws DatabaseError, changing nothing, when the tables cannot be read.
    void reload();
    // Closes every dataset that uses this database.
    void disconnect();
    // Whether the source's tables, as now loaded, came from a copy kept on the local disk
    // rather than from the source itself.
    bool loadedFromLocalCopy() const;
    // Waits until the source's background work after a load (keeping a local copy) is done.
    void waitUntilKept();

    // The path of fileName in the data directory, matched without regard to case, or an
    // empty string when there is no such file.
    QString findFile(const QString& fileName) const;
    static QString findFileIn(const QString& dir, const QString& fileName);
    // Why findFileIn found nothing, in words: no such directory, a directory that cannot be
    // read, a pipe or a device of that name, or simply no such table.
    static QString missingTableReason(const QString& dir, const QString& fileName);
    // Whether the index file of that table and index in the data directory is there and was
    // sorted in the order this engine sorts by. Tables whose index files were built by another
    // collation, or never, need re-indexing.
    bool indexFileCurrent(const QString& fileName, const QString& indexName) const;

    // The loaded table, shared by every dataset of this database. Throws DatabaseError.
    std::shared_ptr<Table> table(const QString& fileName);
    // The table with only the records whose leading fields of its index indexName equal one of
    // keys (Table::openMatching), which the datasets of this database then open; nullptr when
    // that index file is not current (or the tables come from a source) and the whole table
    // is to be loaded instead.
    std::shared_ptr<Table> tableMatching(const QString& fileName, const QString& indexName,
                                         const std::vector<KeyValues>& keys);
    // Starts loading these tables, with their index files, each on a thread of its own, so
    // that tables opened one after the other are read at the same time; table() then waits
    // for the one it asks for and reports its failure as if it had loaded it itself. With
    // Preload::TablesAndKeys the key texts the first search needs are made on those threads
    // too; otherwise the first search of each index makes them.
    void preload(const QStringList& fileNames, Preload what = Preload::TablesAndKeys);

Q_SIGNALS:
    // The source said that its data were replaced (an import committed) since they were read.
    void sourceChanged();

private:
    void adopt(std::unique_ptr<TableSource::Load> load);
    void takeSourceLoad();

    friend class Dataset;
    void attach(Dataset* ds);
    void detach(Dataset* ds);

    QString m_name;
    QString m_driver;
    QString m_path;
    std::map<QString, std::weak_ptr<Table>> m_tables;                 // by absolute path
    std::map<QString, std::future<std::shared_ptr<Table>>> m_loading; // by absolute path
    std::vector<Dataset*> m_datasets;
    std::vector<const TableDef*> m_layouts;
    std::shared_ptr<TableSource> m_source;
    std::map<QString, std::shared_ptr<Table>> m_sourceTables; // by file name
    std::future<std::unique_ptr<TableSource::Load>> m_sourceLoad;
    std::vector<std::shared_ptr<Table>> m_reloaded; // kept until the datasets open them again
    std::vector<std::shared_ptr<Table>> m_parts;    // loaded in part, kept for the datasets
};

} // namespace zel::data
