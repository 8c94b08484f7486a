#include "PgServer.h"

#include "common/ServerTool.h"
#include "data/base/Error.h"
#include "data/server/PgConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace zel::test {

namespace {

QString serverBinaries()
{
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    return versions.isEmpty() ? QString()
                              : QStringLiteral("/usr/lib/postgresql/%1/bin").arg(versions.last());
}

} // namespace

PgServer::PgServer()
    : m_bin(serverBinaries()),
      m_temporary(std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/zelpg-XXXXXX"))),
      m_path(m_temporary->path())
{
    if (!m_temporary->isValid())
        m_error = QStringLiteral("cannot make a temporary directory");
    else
        make();
}

PgServer::PgServer(const QString& directory, Mode mode)
    : m_bin(serverBinaries()), m_path(QDir(directory).absolutePath()), m_mode(mode)
{
    m_asPostgres = geteuid() == 0;
    if (mode == Mode::Attach) {
        m_running = QFile::exists(file(QStringLiteral("data/postmaster.pid")));
        if (!m_running)
            m_error = QStringLiteral("no server runs in ") + m_path;
        return;
    }
    QDir(m_path).removeRecursively();
    if (!QDir().mkpath(m_path))
        m_error = QStringLiteral("cannot make ") + m_path;
    else
        make();
}

void PgServer::make()
{
    if (m_bin.isEmpty()) {
        m_error = QStringLiteral("no server binaries under /usr/lib/postgresql");
        return;
    }
    m_asPostgres = geteuid() == 0;
    if (m_asPostgres) {
        const passwd* pw = getpwnam("postgres");
        if (!pw || chown(QFile::encodeName(m_path).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            m_error = QStringLiteral("cannot hand the directory to the postgres user");
            return;
        }
    }
    QFile pwfile(file(QStringLiteral("pwfile")));
    if (!pwfile.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write the password file");
        return;
    }
    pwfile.write(adminPassword().toUtf8() + '\n');
    pwfile.close();
    pwfile.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    QString output;
    if (!run(m_bin + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), file(QStringLiteral("data")), QStringLiteral("-U"), adminUser(),
              QStringLiteral("--pwfile=") + pwfile.fileName(),
              QStringLiteral("--auth=scram-sha-256"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")},
             &output)) {
        m_error = QStringLiteral("initdb failed: ") + output;
        return;
    }
    QFile::remove(pwfile.fileName());
    start();
}

PgServer::~PgServer()
{
    if (m_mode == Mode::Own)
        stop(true);
}

bool PgServer::run(const QString& program, const QStringList& args, QString* output) const
{
    QProcess p;
    if (m_asPostgres) {
        p.setProgram(QStringLiteral("runuser"));
        p.setArguments(QStringList{QStringLiteral("-u"), QStringLiteral("postgres"),
                                   QStringLiteral("--"), program} +
                       args);
    } else {
        p.setProgram(program);
        p.setArguments(args);
    }
    p.setWorkingDirectory(m_path);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start();
    // pg_ctl's children keep its output open; its own exit is what counts.
    const bool finished = p.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgServer::start()
{
    if (m_running)
        return true;
    QString output;
    // Only the socket in our directory: no TCP port, nothing shared with other servers.
    m_running = run(m_bin + QStringLiteral("/pg_ctl"),
                    {QStringLiteral("-D"), file(QStringLiteral("data")), QStringLiteral("-l"),
                     file(QStringLiteral("server.log")), QStringLiteral("-w"), QStringLiteral("-o"),
                     QStringLiteral("-c listen_addresses='' -k %1 -c fsync=off "
                                    "-c full_page_writes=off -c max_connections=60")
                         .arg(m_path),
                     QStringLiteral("start")},
                    &output);
    m_error = m_running ? QString() : QStringLiteral("pg_ctl start failed: ") + output;
    if (m_running && m_mode == Mode::Own)
        watchOver();
    return m_running;
}

// A test that fails hard (an abort, a sanitizer's report) never runs the destructor that stops
// its own server: a watcher started beside it stops the server and removes its directory once
// the test's process is gone, so no server of ours outlives the test.
void PgServer::watchOver() const
{
    if (m_watched)
        return;
    m_watched = true;
    const QString stop =
        (m_asPostgres ? QStringLiteral("runuser -u postgres -- ") : QString()) +
        QStringLiteral("'%1/pg_ctl' -D '%2/data' -m immediate -w stop >/dev/null 2>&1")
            .arg(m_bin, m_path);
    // Only a directory of the kind this class makes is ever removed.
    const QString script = QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done; %2; "
                                          "case '%3' in /tmp/zelpg-*) rm -rf -- '%3';; esac")
                               .arg(QCoreApplication::applicationPid())
                               .arg(stop, m_path);
    QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
}

bool PgServer::stop(bool immediately)
{
    if (!m_running)
        return true;
    m_running = !run(m_bin + QStringLiteral("/pg_ctl"),
                     {QStringLiteral("-D"), file(QStringLiteral("data")), QStringLiteral("-m"),
                      immediately ? QStringLiteral("immediate") : QStringLiteral("fast"),
                      QStringLiteral("-w"), QStringLiteral("stop")});
    return !m_running;
}

QString PgServer::connection(const QString& database, const QString& user) const
{
    return QStringLiteral("host=%1 dbname=%2 user=%3").arg(m_path, database, user);
}

QString PgServer::createDatabase(const QString& name) const
{
    qputenv("PGPASSWORD", adminPassword().toUtf8());
    try {
        data::PgConnection admin(connection(QStringLiteral("postgres")));
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        admin.exec(QStringLiteral("CREATE DATABASE %1").arg(name));
    } catch (const data::DatabaseError& e) {
        return e.message();
    }
    return QString();
}

QString PgServer::createLoaded(const QString& name, const QString& dataDirectory) const
{
    const QString error = createDatabase(name);
    if (!error.isEmpty())
        return error;
    qputenv("ZEL_READER_PASSWORD", readerPassword().toUtf8());
    try {
        QString ignored;
        QTextStream out(&ignored);
        data::serverInit(connection(name), QStringLiteral("zel_reader"), out);
        if (!dataDirectory.isEmpty())
            data::serverImport(dataDirectory, connection(name), out);
    } catch (const data::DatabaseError& e) {
        return e.message();
    }
    return QString();
}

PgServer& sharedServer()
{
    static PgServer server = [] {
        const QString fixture = qEnvironmentVariable("ZEL_TEST_PGDIR");
        return fixture.isEmpty() ? PgServer() : PgServer(fixture, PgServer::Mode::Attach);
    }();
    return server;
}

} // namespace zel::test
