#pragma once

#include <QString>
#include <stdexcept>

namespace zel::data {

// Every failure of the table engine: a missing or unreadable file, a wrong password, a
// corrupt table, a duplicate primary key, a table held by another program. Callers show
// what() to the user, so the text names the file and the cause.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace zel::data
