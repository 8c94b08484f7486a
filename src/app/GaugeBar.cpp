#include "app/GaugeBar.h"

#include "ui/BevelPanel.h"

#include <QPainter>

namespace zel::app {

namespace {

const QColor kNavy(0, 0, 128);

} // namespace

GaugeBar::GaugeBar(QWidget* parent) : QProgressBar(parent)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);
}

int GaugeBar::percentDone() const
{
    const qint64 span = static_cast<qint64>(maximum()) - minimum();
    if (span <= 0)
        return 0;
    return static_cast<int>((static_cast<qint64>(value()) - minimum()) * 100 / span);
}

void GaugeBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect frame = rect();
    p.setPen(ui::BevelPanel::shadow());
    p.drawLine(frame.topLeft(), frame.topRight());
    p.drawLine(frame.topLeft(), frame.bottomLeft());
    p.setPen(ui::BevelPanel::highlight());
    p.drawLine(frame.bottomLeft(), frame.bottomRight());
    p.drawLine(frame.topRight(), frame.bottomRight());

    const QRect inside = frame.adjusted(1, 1, -1, -1);
    const qint64 span = static_cast<qint64>(maximum()) - minimum();
    const qint64 done = span > 0 ? static_cast<qint64>(value()) - minimum() : 0;
    const int filled = span > 0 ? static_cast<int>(inside.width() * done / span) : 0;
    const QRect navy(inside.left(), inside.top(), filled, inside.height());
    const QRect white(inside.left() + filled, inside.top(), inside.width() - filled,
                      inside.height());
    p.fillRect(white, Qt::white);
    p.fillRect(navy, kNavy);

    const QString text = tr("%1%").arg(percentDone());
    p.setClipRect(white);
    p.setPen(kNavy);
    p.drawText(inside, Qt::AlignCenter, text);
    p.setClipRect(navy);
    p.setPen(Qt::white);
    p.drawText(inside, Qt::AlignCenter, text);
}

} // namespace zel::app
