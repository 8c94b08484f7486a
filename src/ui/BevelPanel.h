#pragma once

#include <QColor>
#include <QWidget>

namespace zel::ui {

// A panel drawn with the one-pixel bevels of the program's small windows: an outer and an
// inner edge, each raised, lowered or absent, or an etched frame line; optionally filled.
class BevelPanel : public QWidget
{
    Q_OBJECT
public:
    enum class Bevel
    {
        None,
        Raised,
        Lowered,
        Frame
    };

    BevelPanel(Bevel outer, Bevel inner, QWidget* parent);
    void setFill(const QColor& colour);

    Bevel outer() const { return m_outer; }
    Bevel inner() const { return m_inner; }

    static QColor highlight() { return Qt::white; }
    static QColor shadow() { return {128, 128, 128}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bevel m_outer;
    Bevel m_inner;
    QColor m_fill;
};

} // namespace zel::ui
