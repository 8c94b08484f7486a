#include "app/TLogoDialog.h"

#include "app/ProductPanels.h"
#include "ui/BevelPanel.h"

namespace zel::app {

TLogoDialog::TLogoDialog(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("LogoDialog"));
    setWindowTitle(QStringLiteral("ZEL"));
    setFixedSize(356, 215);
    m_bevel = new ui::BevelPanel(ui::BevelPanel::Bevel::Raised, ui::BevelPanel::Bevel::None, this);
    m_bevel->setGeometry(rect());
    m_panels = std::make_unique<ProductPanels>(this);
}

TLogoDialog::~TLogoDialog() = default;

} // namespace zel::app
