#pragma once

#include <QString>
#include <stdexcept>

namespace zel::report {

// A fault of the report engine itself (a page producer used out of order, a PDF that cannot be
// written), as opposed to a damaged report file.
class TRpError : public std::runtime_error
{
public:
    explicit TRpError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace zel::report
