#pragma once

#include <QLineEdit>
#include <QRect>
#include <QString>
#include <functional>

class QFont;
class QLabel;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

namespace zel::ui {

class DatasetGrid;

// A read-only one-line field of a record. Entering it with Tab leaves its text unselected, as
// a click does: the text is there to be read from its beginning, not replaced.
class FieldEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// Runs an action once in a turn of the event loop however often it is asked for in that
// turn, with whatever is current by then. The action goes with context.
class OncePerTurn
{
public:
    OncePerTurn(QObject* context, std::function<void()> action);
    void request();

private:
    QObject* m_context;
    std::function<void()> m_action;
    bool m_pending = false;
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
// Gives every control under root that a caption stands beside (left of it, on its line) that
// caption's words as its accessible name, as a buddy would; a caption of two lines gives both.
// Notebooks are named by their tabs. Controls named already keep their names.
void nameControlsByCaptions(QWidget* root);

QWidget* searchRow(QWidget* parent, const QString& text, QLineEdit* field,
                   QLabel** label = nullptr);
// A page's list side: the search row over the list, which takes the rest of the height.
QWidget* listSide(QWidget* page, const QString& text, QLineEdit* field, QWidget* list,
                  QLabel** label = nullptr);
// A notebook that fills panel.
QTabWidget* panelNotebook(QWidget* panel);

// A notebook sheet of a list over a notebook of its current row's details, of a fixed height.
// A double-click anywhere on the list, also where it has no rows, hides the details or shows
// them again.
class ListDetailSheet : public QWidget
{
    Q_OBJECT
public:
    explicit ListDetailSheet(int detailsHeight);

    DatasetGrid* list() const { return m_list; }
    QTabWidget* details() const { return m_details; }
    void toggleDetails();

Q_SIGNALS:
    void detailsToggled(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DatasetGrid* m_list;
    QTabWidget* m_details;
};

// Shows text in a read-only field unless it shows it already, from its beginning.
void setFieldText(QLineEdit* edit, const QString& text);
void setFieldText(QPlainTextEdit* memo, const QString& text);

} // namespace zel::ui
