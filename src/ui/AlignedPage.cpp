#include "ui/AlignedPage.h"

#include "data/base/Error.h"
#include "ui/MainSession.h"

#include <QLineEdit>
#include <QTabWidget>
#include <functional>

namespace zel::ui {

AlignedPage::AlignedPage(QWidget* parent) : QWidget(parent) {}

void AlignedPage::setSides(QWidget* listSide, QWidget* detailSide, QTabWidget* notebook)
{
    m_list = listSide;
    m_detail = detailSide;
    m_notebook = notebook;
    connect(notebook, &QTabWidget::currentChanged, this, &AlignedPage::detailPageChanged);
    realign();
}

void AlignedPage::realign()
{
    if (!m_list || !m_detail)
        return;
    const int dw = m_detail->width();
    m_detail->setGeometry(width() - dw, 0, dw, height());
    m_list->setGeometry(0, 0, width() - dw, height());
}

int AlignedPage::detailPage() const
{
    return m_notebook->currentIndex();
}

void AlignedPage::showDetailPage(int index)
{
    m_notebook->setCurrentIndex(index);
}

void AlignedPage::attach(MainSession* session)
{
    const bool first = session != m_session;
    m_session = session;
    attached(session, first);
}

void AlignedPage::searchWith(QLineEdit* field, void (MainSession::*search)(const QString&))
{
    // Through std::invoke: the address sanitizer reported the same call written with ->*
    // inside this lambda as a read below the lambda's stack frame.
    connect(field, &QLineEdit::textChanged, this, [this, search](const QString& text) {
        try {
            std::invoke(search, m_session, text);
        } catch (const data::DatabaseError& e) {
            Q_EMIT databaseError(e.message());
        }
    });
}

void AlignedPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    realign();
}

} // namespace zel::ui
