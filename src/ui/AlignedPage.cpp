#include "ui/AlignedPage.h"

namespace zel::ui {

AlignedPage::AlignedPage(QWidget* parent) : QWidget(parent) {}

void AlignedPage::setSides(QWidget* listSide, QWidget* detailSide)
{
    m_list = listSide;
    m_detail = detailSide;
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

void AlignedPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    realign();
}

} // namespace zel::ui
