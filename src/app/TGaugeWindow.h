#pragma once

#include <QWidget>

namespace zel::app {

class GaugeBar;

// The progress window of long scans. Its bar is moved only at every hundredth of the range,
// so a scan of thousands of records redraws it about a hundred times, not thousands.
class TGaugeWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TGaugeWindow(QWidget* parent = nullptr);

    // Sets the bar's minimum, then its maximum, then the step: a hundredth of the range,
    // rounded toward zero.
    void SetProgressRange(int minimum, int maximum);
    // Moves the bar to position when it is 0 or a multiple of the step (or the step is 0).
    void ShowProgress(int position);
    int ProgressStep() const { return m_progressStep; }

    GaugeBar* ProgressGauge;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int m_progressStep = 0;
};

} // namespace zel::app
