#pragma once

#include <QWidget>
#include <memory>

namespace zel::ui {
class BevelPanel;
}

namespace zel::app {

class ProductPanels;

// The logo window that stands on the screen while the program starts.
class TLogoDialog : public QWidget
{
    Q_OBJECT
public:
    explicit TLogoDialog(QWidget* parent = nullptr);
    ~TLogoDialog() override;

    const ProductPanels& panels() const { return *m_panels; }

private:
    ui::BevelPanel* m_bevel;
    std::unique_ptr<ProductPanels> m_panels;
};

} // namespace zel::app
