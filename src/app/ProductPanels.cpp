#include "app/ProductPanels.h"

#include "app/BevelPanel.h"
#include "app/ZelLogo.h"

#include <QFont>
#include <QLabel>
#include <QPixmap>

namespace zel::app {

ProductPanels::ProductPanels(QWidget* window)
{
    logoPanel = new BevelPanel(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Raised, window);
    logoPanel->setObjectName(QStringLiteral("LogoPanel"));
    logoPanel->setGeometry(8, 8, 340, 76);
    logoPanel->setFill(Qt::white);

    ProgramIcon = new QLabel(logoPanel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(QPixmap::fromImage(ZelLogo::image()));
    ProgramIcon->setGeometry(25, 2, ZelLogo::width, ZelLogo::height);

    productPanel = new BevelPanel(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Raised, window);
    productPanel->setObjectName(QStringLiteral("ProductPanel"));
    productPanel->setGeometry(8, 94, 340, 112);

    ProductName = new QLabel(shownText(productLine()), productPanel);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11); // 8 points on the 96-dpi screen the layout was drawn for
    font.setBold(true);
    ProductName->setFont(font);
    ProductName->setStyleSheet(QStringLiteral("color: black"));
    ProductName->setTextFormat(Qt::PlainText);
    ProductName->setWordWrap(true);
    ProductName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ProductName->setGeometry(12, 8, 320, productPanel->height() - 16);
}

QString ProductPanels::productLine()
{
    return QStringLiteral("ZEL 2026 - Aroma Materials, their Stability && Suppliers");
}

QString ProductPanels::shownText(const QString& stored)
{
    QString shown = stored;
    return shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

} // namespace zel::app
