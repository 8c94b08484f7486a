#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace zel::data {

// One connection to the database server (libpq). Every failure throws DatabaseError with the
// server's or the library's own account; nothing of the password ever appears in a message.
class PgConnection
{
public:
    // How long the program waits for the server before it gives up, in seconds: to connect
    // (unless the string says otherwise), and for any answer once connected. A server that
    // stops answering (its backend stopped, a network that drops everything) then ends the
    // wait with an error instead of holding the program for good.
    static constexpr int kDefaultConnectTimeout = 10;
    static constexpr int kDefaultAnswerTimeout = 30;

    // Connects with a libpq connection string or URI. Unless the string (or PGSSLMODE) says
    // otherwise, TLS is used when the server offers it (sslmode=prefer); the password comes
    // from wherever libpq finds it (the string, PGPASSWORD, ~/.pgpass, a service file).
    // answerTimeout: seconds to wait for any answer, and the server's own statement timeout;
    // 0 waits as long as the server takes (tools that replace the data).
    explicit PgConnection(const QString& conninfo, int answerTimeout = kDefaultAnswerTimeout);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // The connection string as it may be shown: every setting but the password, or a short
    // note when it cannot be read at all.
    static QString redacted(const QString& conninfo);
    // Whether the string parses as a connection string or URI.
    static bool isValid(const QString& conninfo);
    // Whether the string itself holds a password (as a setting or in a URI).
    static bool hasPassword(const QString& conninfo);

    // Runs statements that return no rows.
    void exec(const QString& sql);
    // Runs one statement with text parameters ($1, $2, ...) and returns its rows as text
    // (an empty string for null).
    std::vector<QStringList> query(const QString& sql, const QStringList& params = {});
    // Runs COPY ... TO STDOUT and hands each piece of data to sink as it arrives.
    void copyOut(const QString& sql, const std::function<void(const char*, int)>& sink);
    // Runs COPY ... FROM STDIN with data produced by source: it is called until it returns
    // an empty array.
    void copyIn(const QString& sql, const std::function<QByteArray()>& source);

    // What the connection settled on for a setting, e.g. "sslmode" or "user".
    QString setting(const char* keyword) const;
    bool sslInUse() const;
    // Escapes an identifier or a literal for a statement.
    QString identifier(const QString& name) const;
    QString literal(const QString& value) const;
    // The text to store as a role's password: hashed here, so the plain password never
    // reaches the server's statement log.
    QString encryptedPassword(const QString& password, const QString& role) const;

    // For listening: the socket to watch, and the channels notified since the last call.
    // Throws when the connection has been lost.
    int socket() const;
    QStringList takeNotifications();

private:
    [[noreturn]] void fail(const QString& what) const;
    // Waits until the socket can be read (or written), at most the answer timeout.
    void wait(bool forWriting);
    // Sends what libpq holds back, waiting as long as the server lets it.
    void flush();
    // The next result of the statement sent last, or null when it has none left.
    struct pg_result* nextResult();
    // Reads the rest of the statement's results, so the connection is ready for the next.
    void drain();
    // Sends a COPY statement and sees it start (copying: the COPY status it must reach);
    // end() sees it finish well.
    void begin(const QString& sql, int copying);
    void end();
    pg_conn* m_conn = nullptr;
    int m_answerTimeout = 0;
};

} // namespace zel::data
