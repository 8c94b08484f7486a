#include "data/server/PgConnection.h"

#include "data/base/Error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <libpq-fe.h>
#include <memory>
#include <poll.h>

namespace zel::data {

namespace {

struct OptionsDeleter
{
    void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};
using Options = std::unique_ptr<PQconninfoOption, OptionsDeleter>;

Options parse(const QString& conninfo)
{
    char* error = nullptr;
    Options options(PQconninfoParse(conninfo.toUtf8().constData(), &error));
    // The library's account may quote a piece of the string, which could be the password.
    PQfreemem(error);
    return options;
}

struct ResultDeleter
{
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

QString trimmedMessage(const char* text)
{
    return QString::fromUtf8(text).trimmed();
}

} // namespace

PgConnection::PgConnection(const QString& conninfo, int answerTimeout)
    : m_answerTimeout(answerTimeout)
{
    const Options options = parse(conninfo);
    if (!options)
        throw DatabaseError(
            QStringLiteral("The connection string is not valid: %1").arg(redacted(conninfo)));
    std::vector<const char*> keys;
    std::vector<const char*> values;
    bool sslmode = std::getenv("PGSSLMODE") != nullptr;
    bool timeout = std::getenv("PGCONNECT_TIMEOUT") != nullptr;
    bool application = std::getenv("PGAPPNAME") != nullptr;
    bool keepalives = false;
    for (const PQconninfoOption* o = options.get(); o->keyword; ++o) {
        if (!o->val)
            continue;
        const QByteArray key(o->keyword);
        sslmode = sslmode || key == "sslmode" || key == "service";
        timeout = timeout || key == "connect_timeout";
        application = application || key == "application_name";
        keepalives = keepalives || key.startsWith("keepalives") || key == "tcp_user_timeout";
        keys.push_back(o->keyword);
        values.push_back(o->val);
    }
    if (!sslmode) {
        keys.push_back("sslmode");
        values.push_back("prefer");
    }
    // A server that does not answer must not hang the start: the user waits on the logo.
    const QByteArray connectTimeout = QByteArray::number(kDefaultConnectTimeout);
    if (!timeout) {
        keys.push_back("connect_timeout");
        values.push_back(connectTimeout.constData());
    }
    // A network that goes quiet is noticed even while the connection only listens: probes
    // after 10 idle seconds, and data the server does not acknowledge within the timeout.
    const QByteArray userTimeout = QByteArray::number(m_answerTimeout * 1000);
    if (!keepalives && m_answerTimeout > 0) {
        for (const auto& [key, value] :
             {std::pair{"keepalives", "1"}, std::pair{"keepalives_idle", "10"},
              std::pair{"keepalives_interval", "5"}, std::pair{"keepalives_count", "3"}}) {
            keys.push_back(key);
            values.push_back(value);
        }
        keys.push_back("tcp_user_timeout");
        values.push_back(userTimeout.constData());
    }
    if (!application) {
        keys.push_back("application_name");
        values.push_back("zel");
    }
    keys.push_back("client_encoding");
    values.push_back("UTF8");
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!m_conn)
        throw DatabaseError(QStringLiteral("Out of memory connecting to the server"));
    // The server's notices ("already exists, skipping") are nothing a user needs to read.
    PQsetNoticeProcessor(
        m_conn, [](void*, const char*) {}, nullptr);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString message = trimmedMessage(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        m_conn = nullptr;
        throw DatabaseError(QStringLiteral("Cannot connect to the server (%1): %2")
                                .arg(redacted(conninfo), message));
    }
    // Every wait is ours from here on, bounded by the answer timeout.
    PQsetnonblocking(m_conn, 1);
    if (m_answerTimeout > 0)
        exec(QStringLiteral("SET statement_timeout = %1").arg(m_answerTimeout * 1000));
}

PgConnection::~PgConnection()
{
    if (m_conn)
        PQfinish(m_conn);
}

QString PgConnection::redacted(const QString& conninfo)
{
    const Options options = parse(conninfo);
    if (!options)
        return QStringLiteral("(not a valid connection string)");
    QStringList parts;
    for (const PQconninfoOption* o = options.get(); o->keyword; ++o) {
        if (!o->val || QByteArray(o->keyword) == "password")
            continue;
        parts << QString::fromUtf8(o->keyword) + QLatin1Char('=') + QString::fromUtf8(o->val);
    }
    return parts.join(QLatin1Char(' '));
}

bool PgConnection::isValid(const QString& conninfo)
{
    return static_cast<bool>(parse(conninfo));
}

bool PgConnection::hasPassword(const QString& conninfo)
{
    const Options options = parse(conninfo);
    for (const PQconninfoOption* o = options.get(); o && o->keyword; ++o)
        if (o->val && QByteArray(o->keyword) == "password")
            return true;
    return false;
}

void PgConnection::fail(const QString& what) const
{
    throw DatabaseError(QStringLiteral("%1: %2").arg(what, trimmedMessage(PQerrorMessage(m_conn))));
}

void PgConnection::wait(bool forWriting)
{
    pollfd p{PQsocket(m_conn), static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    if (p.fd < 0)
        fail(QStringLiteral("The connection to the server was lost"));
    const int ms = m_answerTimeout > 0 ? m_answerTimeout * 1000 : -1;
    int ready = 0;
    do
        ready = ::poll(&p, 1, ms);
    while (ready < 0 && errno == EINTR);
    if (ready == 0)
        throw DatabaseError(
            QStringLiteral("The server has not answered for %1 seconds").arg(m_answerTimeout));
    if (ready < 0)
        throw DatabaseError(QStringLiteral("Waiting for the server failed: %1")
                                .arg(QString::fromLocal8Bit(std::strerror(errno))));
}

void PgConnection::flush()
{
    for (;;) {
        const int left = PQflush(m_conn);
        if (left == 0)
            return;
        if (left < 0)
            fail(QStringLiteral("Writing to the server failed"));
        wait(true);
        // The server may answer before it takes the rest; its answer must be read meanwhile.
        if (PQconsumeInput(m_conn) != 1)
            fail(QStringLiteral("Reading from the server failed"));
    }
}

PGresult* PgConnection::nextResult()
{
    flush();
    while (PQisBusy(m_conn)) {
        wait(false);
        if (PQconsumeInput(m_conn) != 1)
            fail(QStringLiteral("Reading from the server failed"));
    }
    return PQgetResult(m_conn);
}

void PgConnection::drain()
{
    while (Result(nextResult())) {
    }
}

void PgConnection::begin(const QString& sql, int copying)
{
    if (PQsendQuery(m_conn, sql.toUtf8().constData()) != 1)
        fail(QStringLiteral("Sending to the server failed"));
    const Result result(nextResult());
    if (PQresultStatus(result.get()) != copying) {
        drain();
        throw DatabaseError(trimmedMessage(PQresultErrorMessage(result.get())));
    }
}

void PgConnection::end()
{
    const Result result(nextResult());
    drain();
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        throw DatabaseError(trimmedMessage(PQresultErrorMessage(result.get())));
}

void PgConnection::exec(const QString& sql)
{
    if (PQsendQuery(m_conn, sql.toUtf8().constData()) != 1)
        fail(QStringLiteral("Sending to the server failed"));
    const Result result(nextResult());
    const ExecStatusType status = PQresultStatus(result.get());
    drain();
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw DatabaseError(trimmedMessage(PQresultErrorMessage(result.get())));
}

std::vector<QStringList> PgConnection::query(const QString& sql, const QStringList& params)
{
    std::vector<QByteArray> bytes;
    std::vector<const char*> values;
    for (const QString& p : params)
        bytes.push_back(p.toUtf8());
    for (const QByteArray& b : bytes)
        values.push_back(b.constData());
    if (PQsendQueryParams(m_conn, sql.toUtf8().constData(), static_cast<int>(values.size()),
                          nullptr, values.data(), nullptr, nullptr, 0) != 1)
        fail(QStringLiteral("Sending to the server failed"));
    const Result result(nextResult());
    drain();
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw DatabaseError(trimmedMessage(PQresultErrorMessage(result.get())));
    std::vector<QStringList> rows;
    const int n = PQntuples(result.get());
    const int columns = PQnfields(result.get());
    rows.reserve(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row << QString::fromUtf8(PQgetvalue(result.get(), r, c),
                                     PQgetlength(result.get(), r, c));
        rows.push_back(row);
    }
    return rows;
}

void PgConnection::copyOut(const QString& sql, const std::function<void(const char*, int)>& sink)
{
    begin(sql, PGRES_COPY_OUT);
    for (;;) {
        char* buffer = nullptr;
        const int n = PQgetCopyData(m_conn, &buffer, 1);
        if (n > 0) {
            // Whatever the sink throws, the buffer goes; the copy is then given up with the
            // connection's transaction.
            std::unique_ptr<char, decltype(&PQfreemem)> owned(buffer, &PQfreemem);
            sink(buffer, n);
            continue;
        }
        if (n == 0) {
            wait(false);
            if (PQconsumeInput(m_conn) != 1)
                fail(QStringLiteral("Reading from the server failed"));
            continue;
        }
        if (n == -2)
            fail(QStringLiteral("Reading from the server failed"));
        break;
    }
    end();
}

void PgConnection::copyIn(const QString& sql, const std::function<QByteArray()>& source)
{
    begin(sql, PGRES_COPY_IN);
    const auto put = [this](const std::function<int()>& attempt) {
        for (;;) {
            const int done = attempt();
            if (done == 1)
                return;
            if (done < 0)
                fail(QStringLiteral("Writing to the server failed"));
            wait(true); // libpq's buffer is full: the server has not taken it yet
            flush();
        }
    };
    for (;;) {
        QByteArray piece;
        try {
            piece = source();
        } catch (...) {
            PQputCopyEnd(m_conn, "the data could not be made");
            drain();
            throw;
        }
        if (piece.isEmpty())
            break;
        put([&] {
            return PQputCopyData(m_conn, piece.constData(), static_cast<int>(piece.size()));
        });
    }
    put([this] { return PQputCopyEnd(m_conn, nullptr); });
    end();
}

QString PgConnection::setting(const char* keyword) const
{
    const Options options(PQconninfo(m_conn));
    for (const PQconninfoOption* o = options.get(); o && o->keyword; ++o)
        if (QByteArray(o->keyword) == keyword && QByteArray(keyword) != "password")
            return o->val ? QString::fromUtf8(o->val) : QString();
    return QString();
}

bool PgConnection::sslInUse() const
{
    return PQsslInUse(m_conn) == 1;
}

QString PgConnection::identifier(const QString& name) const
{
    const QByteArray bytes = name.toUtf8();
    std::unique_ptr<char, decltype(&PQfreemem)> escaped(
        PQescapeIdentifier(m_conn, bytes.constData(), static_cast<size_t>(bytes.size())),
        &PQfreemem);
    if (!escaped)
        fail(QStringLiteral("Not a valid name"));
    return QString::fromUtf8(escaped.get());
}

QString PgConnection::literal(const QString& value) const
{
    const QByteArray bytes = value.toUtf8();
    std::unique_ptr<char, decltype(&PQfreemem)> escaped(
        PQescapeLiteral(m_conn, bytes.constData(), static_cast<size_t>(bytes.size())), &PQfreemem);
    if (!escaped)
        fail(QStringLiteral("Not a valid text"));
    return QString::fromUtf8(escaped.get());
}

QString PgConnection::encryptedPassword(const QString& password, const QString& role) const
{
    std::unique_ptr<char, decltype(&PQfreemem)> hashed(
        PQencryptPasswordConn(m_conn, password.toUtf8().constData(), role.toUtf8().constData(),
                              nullptr),
        &PQfreemem);
    if (!hashed)
        fail(QStringLiteral("Cannot hash the password"));
    return QString::fromUtf8(hashed.get());
}

int PgConnection::socket() const
{
    return PQsocket(m_conn);
}

QStringList PgConnection::takeNotifications()
{
    if (PQconsumeInput(m_conn) != 1 || PQstatus(m_conn) != CONNECTION_OK)
        fail(QStringLiteral("The connection to the server was lost"));
    QStringList channels;
    while (PGnotify* n = PQnotifies(m_conn)) {
        channels << QString::fromUtf8(n->relname);
        PQfreemem(n);
    }
    return channels;
}

} // namespace zel::data
