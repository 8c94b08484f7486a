#pragma once

#include <QString>
#include <stdexcept>

namespace zel::data {

// The one base of the program's own failures. Every layer raises its own kind, so a caller can
// tell a damaged table from a damaged report file, while code that only shows the text to the
// user catches Error and shows message() as it stands.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Every failure of the table engine: a missing or unreadable file, a wrong password, a
// corrupt table, a duplicate primary key, a table held by another program. Callers show
// message() to the user, so the text names the file and the cause.
class DatabaseError : public Error
{
public:
    using Error::Error;
};

// A table that could be rewritten only by giving it another owner: the rewrite was not done
// and the table is as it was.
class OwnerNotKeptError : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

} // namespace zel::data
