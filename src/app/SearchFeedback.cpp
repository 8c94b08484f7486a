#include "app/SearchFeedback.h"

#include "app/ErrorMessage.h"
#include "app/TGaugeWindow.h"
#include "app/WindowUtil.h"

#include <QApplication>
#include <QMessageBox>

namespace zel::app {

void SearchFeedback::setProgressRange(int min, int max)
{
    m_gauge->SetProgressRange(min, max);
}

void SearchFeedback::showProgress(int position)
{
    m_gauge->ShowProgress(position);
}

void SearchFeedback::showProgressWindow()
{
    if (ErrorMessage::headless())
        return;
    m_gauge->show();
    paintNow(m_gauge);
}

void SearchFeedback::hideProgressWindow()
{
    m_gauge->hide();
}

void SearchFeedback::warnNothingSelected()
{
    const QString text = ErrorMessage::displayText(nothingSelectedText());
    if (ErrorMessage::headless())
        return;
    QMessageBox box(QMessageBox::Warning,
                    QCoreApplication::translate("zel::app::SearchFeedback", "Warning"), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace zel::app
