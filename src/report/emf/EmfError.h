#pragma once

#include <QString>
#include <stdexcept>

namespace zel::report::emf {

// A page image that breaks the metafile rules: a record that claims more bytes than there are,
// a count that does not fit its record, an object index outside the handle table. Raised before
// anything is drawn, so a rejected image never leaves half a page on the painter.
class EmfError : public std::runtime_error
{
public:
    explicit EmfError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace zel::report::emf
