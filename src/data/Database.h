#pragma once

#include "data/Table.h"

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
    void removeAllPasswords();
    const QStringList& passwords() const { return m_passwords; }
    void setLockDirectory(const QString& dir) { m_lockDirectory = dir; }
    const QString& lockDirectory() const { return m_lockDirectory; }

private:
    QStringList m_passwords;
    QString m_lockDirectory;
};

// A named database defined by driver and path. Tables are named by file name within it,
// found without regard to case, and loaded once however many datasets use them.
class Database : public QObject
{
    Q_OBJECT
public:
    explicit Database(const QString& name = QString(), QObject* parent = nullptr);
    ~Database() override;

    const QString& name() const { return m_name; }
    // Replaces the parameters; only "Path=..." is understood. Disconnects first.
    void setParams(const QStringList& params);
    void setDriver(const QString& driver) { m_driver = driver; }
    const QString& driver() const { return m_driver; }
    void setPath(const QString& path);
    const QString& path() const { return m_path; }
    // Closes every dataset that uses this database.
    void disconnect();

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

private:
    friend class Dataset;
    void attach(Dataset* ds);
    void detach(Dataset* ds);

    QString m_name;
    QString m_driver;
    QString m_path;
    std::map<QString, std::weak_ptr<Table>> m_tables;                 // by absolute path
    std::map<QString, std::future<std::shared_ptr<Table>>> m_loading; // by absolute path
    std::vector<Dataset*> m_datasets;
};

} // namespace zel::data
