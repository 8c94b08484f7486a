#include "ui/PageParts.h"

#include <QFocusEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace zel::ui {

QFont windowFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    return f;
}

QFont captionFont()
{
    QFont f = windowFont();
    f.setBold(true);
    return f;
}

QLabel* caption(QWidget* parent, const QString& text, int x, int y, const char* name)
{
    auto* label = new QLabel(text, parent);
    label->setFont(captionFont());
    label->move(x, y);
    label->adjustSize();
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    return label;
}

void FieldEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // The line edit selects everything when entered by keyboard; a selection the user made
    // and that survived a switch to another window stays.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason) {
        deselect();
        setCursorPosition(0);
    }
}

FieldEdit* fieldEdit(QWidget* parent, const char* name, const QRect& bounds)
{
    auto* edit = new FieldEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setGeometry(bounds);
    return edit;
}

QPlainTextEdit* fieldMemo(QWidget* parent, const char* name, const QRect& bounds, bool wrap)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setReadOnly(true);
    memo->setGeometry(bounds);
    memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    if (wrap) // a wrapped text never needs one, though a line that just fits can summon it
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    // Three names must fit the 47-pixel memo without a scroll bar.
    memo->document()->setDocumentMargin(1);
    return memo;
}

QWidget* searchRow(QWidget* parent, const QString& text, QLineEdit* field, QLabel** label)
{
    auto* row = new QWidget(parent);
    row->setFixedHeight(35);
    auto* l = new QLabel(text, row);
    l->move(8, 10);
    l->adjustSize();
    field->setParent(row);
    field->setGeometry(79, 7, 152, 22);
    l->setBuddy(field);
    if (label)
        *label = l;
    return row;
}

void setFieldText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

void setFieldText(QPlainTextEdit* memo, const QString& text)
{
    if (memo->toPlainText() != text)
        memo->setPlainText(text);
}

} // namespace zel::ui
