#include "ui/FieldLink.h"

#include "data/base/Error.h"
#include "data/engine/Dataset.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace zel::ui {

FieldLink::FieldLink(data::Dataset* dataset, const QString& field, QObject* editor)
    : QObject(editor), m_dataset(dataset), m_field(field)
{
    if (dataset) {
        connect(dataset, &data::Dataset::dataChanged, this, &FieldLink::refresh);
        connect(dataset, &data::Dataset::activeChanged, this, &FieldLink::refresh);
    }
}

FieldLink::FieldLink(data::Dataset* dataset, const QString& field, QLineEdit* edit)
    : FieldLink(dataset, field, static_cast<QObject*>(edit))
{
    m_edit = edit;
    edit->setReadOnly(true);
    refresh();
}

FieldLink::FieldLink(data::Dataset* dataset, const QString& field, QPlainTextEdit* memo)
    : FieldLink(dataset, field, static_cast<QObject*>(memo))
{
    m_memo = memo;
    memo->setReadOnly(true);
    refresh();
}

QString FieldLink::currentText() const
{
    if (!m_dataset || !m_dataset->isOpen() || m_dataset->recordNumber() < 0)
        return QString();
    try {
        return m_dataset->text(m_field);
    } catch (const data::DatabaseError& e) {
        return e.message();
    }
}

void FieldLink::refresh()
{
    const QString text = currentText();
    // Left alone when the value is the same, so a re-read does not scroll the memo back.
    if (m_edit && m_edit->text() != text) {
        m_edit->setText(text);
        m_edit->setCursorPosition(0); // a long value shows its beginning
    } else if (m_memo && m_memo->toPlainText() != text) {
        m_memo->setPlainText(text);
        QTextCursor cursor = m_memo->textCursor();
        cursor.movePosition(QTextCursor::Start);
        m_memo->setTextCursor(cursor);
    }
}

} // namespace zel::ui
