#pragma once

#include <QLineEdit>
#include <QRect>
#include <QString>

class QFont;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace zel::ui {

// A read-only one-line field of a record. Entering it with Tab leaves its text unselected, as
// a click does: the text is there to be read from its beginning, not replaced.
class FieldEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// The pieces the main window's pages are built of, at their designed positions.

// The window's font: Arial, 11 pixels high.
QFont windowFont();
// Field captions: the window's font in bold.
QFont captionFont();

// A bold caption at x, y, sized to its text.
QLabel* caption(QWidget* parent, const QString& text, int x, int y, const char* name = nullptr);
// A read-only one-line field.
FieldEdit* fieldEdit(QWidget* parent, const char* name, const QRect& bounds);
// A read-only memo; wrap: whether long lines wrap at the memo's width.
QPlainTextEdit* fieldMemo(QWidget* parent, const char* name, const QRect& bounds, bool wrap = true);
// The 35-pixel row above a page's list: a caption at 8, 10 and the search field at 79, 7,
// 152 x 22. The caption's accelerator, if it has one, focuses the field.
QWidget* searchRow(QWidget* parent, const QString& text, QLineEdit* field,
                   QLabel** label = nullptr);

// Shows text in a read-only field unless it shows it already, from its beginning.
void setFieldText(QLineEdit* edit, const QString& text);
void setFieldText(QPlainTextEdit* memo, const QString& text);

} // namespace zel::ui
