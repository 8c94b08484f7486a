#include "ui/PageParts.h"

#include "ui/DatasetGrid.h"

#include <QFocusEvent>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace zel::ui {

OncePerTurn::OncePerTurn(QObject* context, std::function<void()> action)
    : m_context(context), m_action(std::move(action))
{
}

void OncePerTurn::request()
{
    if (m_pending)
        return;
    m_pending = true;
    QTimer::singleShot(0, m_context, [this] {
        m_pending = false;
        m_action();
    });
}

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

void nameControlsByCaptions(QWidget* root)
{
    const auto words = [](QString t) {
        return t.remove(QRegularExpression(QStringLiteral("&(?!&)"))).remove(u':').trimmed();
    };
    QHash<QWidget*, QStringList> names;
    for (QLabel* label : root->findChildren<QLabel*>()) {
        QWidget* beside = nullptr;
        for (QWidget* w : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if ((w->focusPolicy() & Qt::TabFocus) && w->x() > label->x() &&
                std::abs(w->y() - label->y()) <= 10 && (!beside || w->x() < beside->x()))
                beside = w;
        if (!label->buddy() && beside && beside->accessibleName().isEmpty())
            names[beside] << words(label->text());
    }
    for (auto i = names.cbegin(); i != names.cend(); ++i)
        i.key()->setAccessibleName(i.value().join(u' ').replace(QStringLiteral("- "), QString()));
    for (QTabWidget* notebook : root->findChildren<QTabWidget*>()) {
        QStringList tabs;
        for (int t = 0; t < notebook->count(); ++t)
            tabs << words(notebook->tabText(t));
        if (notebook->accessibleName().isEmpty())
            notebook->setAccessibleName(tabs.join(QStringLiteral(", ")));
    }
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

QWidget* listSide(QWidget* page, const QString& text, QLineEdit* field, QWidget* list,
                  QLabel** label)
{
    auto* side = new QWidget(page);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(searchRow(side, text, field, label));
    layout->addWidget(list, 1);
    return side;
}

QTabWidget* panelNotebook(QWidget* panel)
{
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* notebook = new QTabWidget(panel);
    layout->addWidget(notebook);
    return notebook;
}

ListDetailSheet::ListDetailSheet(int detailsHeight)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_list = new DatasetGrid(this);
    layout->addWidget(m_list, 1);
    m_details = new QTabWidget(this);
    m_details->setFixedHeight(detailsHeight);
    layout->addWidget(m_details);
    // Also where the list has no rows: an empty list is no reason for the details to stay.
    m_list->viewport()->installEventFilter(this);
    m_list->horizontalHeader()->viewport()->installEventFilter(this);
}

void ListDetailSheet::toggleDetails()
{
    const bool show = !m_details->isVisibleTo(this);
    m_details->setVisible(show);
    Q_EMIT detailsToggled(show);
}

bool ListDetailSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == m_list->viewport() || watched == m_list->horizontalHeader()->viewport()))
        toggleDetails();
    return QWidget::eventFilter(watched, event);
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
