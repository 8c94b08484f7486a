#pragma once

#include <QString>
#include <stdexcept>

namespace zel::report {

// Every failure of the page store and the saved report file: a file that cannot be created,
// opened or written, a file that is not a report file or is damaged, a page whose image is
// unreadable. Callers show message() to the user as it stands, so it names the file or page and
// the cause. Nothing that throws it leaves a half-written file behind.
class ReportFileError : public std::runtime_error
{
public:
    explicit ReportFileError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace zel::report
