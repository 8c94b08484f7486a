#pragma once

#include <QProgressBar>

namespace zel::app {

// A flat progress bar: navy filling white from the left, the percentage done in its middle,
// white where it lies on navy and navy where it lies on white.
class GaugeBar : public QProgressBar
{
    Q_OBJECT
public:
    explicit GaugeBar(QWidget* parent = nullptr);

    // Whole percent done, rounded down, as the bar shows it.
    int percentDone() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zel::app
