#pragma once

#include <QDialog>
#include <memory>

class QPushButton;

namespace zel::app {

class ProductPanels;

// The about box of the Help menu: the logo and product line of the logo window and an OK
// button that closes it.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    QPushButton* OKButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<ProductPanels> m_panels;
};

} // namespace zel::app
