#include "app/TLogoDialog.h"

#include "app/BevelPanel.h"
#include "app/ProductPanels.h"

namespace zel::app {

TLogoDialog::TLogoDialog(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("LogoDialog"));
    setWindowTitle(QStringLiteral("ZEL"));
    setFixedSize(356, 215);
    m_bevel = new BevelPanel(BevelPanel::Bevel::Raised, BevelPanel::Bevel::None, this);
    m_bevel->setGeometry(rect());
    m_panels = std::make_unique<ProductPanels>(this);
}

TLogoDialog::~TLogoDialog() = default;

} // namespace zel::app
