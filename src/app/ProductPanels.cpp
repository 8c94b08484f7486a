#include "app/ProductPanels.h"

#include "app/WindowUtil.h"
#include "app/ZelLogo.h"
#include "ui/BevelPanel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>

namespace zel::app {

ProductPanels::ProductPanels(QWidget* window)
{
    logoPanel =
        new ui::BevelPanel(ui::BevelPanel::Bevel::Lowered, ui::BevelPanel::Bevel::Raised, window);
    logoPanel->setObjectName(QStringLiteral("LogoPanel"));
    logoPanel->setGeometry(8, 8, 340, 76);
    logoPanel->setFill(Qt::white);

    ProgramIcon = new QLabel(logoPanel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(QPixmap::fromImage(ZelLogo::image()));
    ProgramIcon->setGeometry(25, 2, ZelLogo::width, ZelLogo::height);

    productPanel =
        new ui::BevelPanel(ui::BevelPanel::Bevel::Lowered, ui::BevelPanel::Bevel::Raised, window);
    productPanel->setObjectName(QStringLiteral("ProductPanel"));
    productPanel->setGeometry(8, 94, 340, 112);

    ProductName = plainLabel(shownText(productLine()), productPanel, true);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setWordWrap(true);
    ProductName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ProductName->setGeometry(12, 8, 320, productPanel->height() - 16);
}

QString ProductPanels::productLine()
{
    return QCoreApplication::translate("zel::app::ProductPanels",
                                       "ZEL 2026 - Aroma Materials, their Stability && Suppliers");
}

QString ProductPanels::shownText(const QString& stored)
{
    QString shown = stored;
    return shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

} // namespace zel::app
