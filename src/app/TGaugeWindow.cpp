#include "app/TGaugeWindow.h"

#include "app/GaugeBar.h"
#include "app/WindowUtil.h"
#include "ui/OuterSize.h"

namespace zel::app {

TGaugeWindow::TGaugeWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("GaugeWindow"));
    setWindowTitle(QStringLiteral("g"));
    // 328 x 62 with its frame.
    new ui::OuterSize(this, {328, 62}, false);
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
