#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace zel::test {

// A database server of the tests' own: made with initdb in a temporary directory, listening
// only on a Unix socket there (no TCP), with password authentication, and stopped when the
// object goes. The server refuses to run as root, so under root it runs as the postgres user.
class PgServer
{
public:
    enum class Mode
    {
        Own,    // made here, stopped and removed with the object
        Keep,   // made in the given directory and left running (a test fixture's set-up)
        Attach, // one that runs in the given directory already; left as it is
    };
    // A new server in a temporary directory of its own.
    PgServer();
    PgServer(const QString& directory, Mode mode);
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // Empty when the server runs; otherwise what went wrong.
    const QString& error() const { return m_error; }
    bool start();
    bool stop(bool immediately = false);

    static QString adminUser() { return QStringLiteral("zeladmin"); }
    static QString adminPassword() { return QStringLiteral("admin-secret"); }
    static QString readerPassword() { return QStringLiteral("reader-secret"); }
    QString socketDirectory() const { return m_path; }
    // A connection string without a password, for a database and a user.
    QString connection(const QString& database, const QString& user = adminUser()) const;
    // Creates an empty database (dropping one of that name first); empty on success, else
    // the error.
    QString createDatabase(const QString& name) const;
    // Creates a database with the three tables and the reading role, and imports a data
    // directory into it; empty on success, else the error.
    QString createLoaded(const QString& name, const QString& dataDirectory) const;

private:
    void make();
    void watchOver() const;
    bool run(const QString& program, const QStringList& args, QString* output = nullptr) const;
    QString file(const QString& name) const { return m_path + QLatin1Char('/') + name; }
    QString m_bin;
    std::unique_ptr<QTemporaryDir> m_temporary;
    QString m_path;
    Mode m_mode = Mode::Own;
    QString m_error;
    bool m_running = false;
    bool m_asPostgres = false;
    mutable bool m_watched = false;
};

// The server the tests share: the one the test fixture started (its directory in
// ZEL_TEST_PGDIR), or else one of this program's own, started on first use.
PgServer& sharedServer();

} // namespace zel::test
