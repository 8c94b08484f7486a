#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;

namespace zel::app {

class ProductPanels;

// The about box of the Help menu: the logo and product line of the logo window, the version
// and licence under the product line, and an OK button that closes it.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    QPushButton* OKButton;
    QLabel* VersionLabel;
    // The program's version and its licence, as dist/copyright states it.
    static QString versionText();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<ProductPanels> m_panels;
};

} // namespace zel::app
