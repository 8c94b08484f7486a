#include "app/TGaugeWindow.h"

#include "app/GaugeBar.h"
#include "app/WindowUtil.h"

namespace zel::app {

TGaugeWindow::TGaugeWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("GaugeWindow"));
    setWindowTitle(QStringLiteral("g"));
    // The window's own area; a window manager puts its frame around it.
    resize(328, 62);
    ProgressGauge = new GaugeBar(this);
    ProgressGauge->setObjectName(QStringLiteral("ProgressGauge"));
    ProgressGauge->setGeometry(8, 8, 305, 21);
    ProgressGauge->setRange(0, 100);
    ProgressGauge->setValue(0);
}

void TGaugeWindow::SetProgressRange(int minimum, int maximum)
{
    ProgressGauge->setMinimum(minimum);
    ProgressGauge->setMaximum(maximum);
    m_progressStep = static_cast<int>((static_cast<qint64>(maximum) - minimum) / 100);
}

void TGaugeWindow::ShowProgress(int position)
{
    if (position != 0 && m_progressStep != 0 && position % m_progressStep != 0)
        return;
    ProgressGauge->setValue(position);
    // The scan that moves the bar does not give the event loop a turn.
    if (ProgressGauge->isVisible())
        ProgressGauge->repaint();
}

void TGaugeWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    centreOnScreen(this);
}

} // namespace zel::app
