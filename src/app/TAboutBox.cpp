#include "app/TAboutBox.h"

#include "app/ProductPanels.h"
#include "app/WindowUtil.h"
#include "ui/BevelPanel.h"

#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

namespace zel::app {

namespace {

// The green check mark that an OK button of this program carries.
QIcon checkMark()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    p.setPen(QPen(QColor(0, 128, 0), 2.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(tick);
    return QIcon(pixmap);
}

} // namespace

QString TAboutBox::versionText()
{
    return tr("Version %1\nCopyright 2026 The ZEL developers.\nAll rights reserved.")
        .arg(QStringLiteral(ZEL_VERSION));
}

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About ZEL"));
    setFixedSize(355, 252);
    m_panels = std::make_unique<ProductPanels>(this);

    VersionLabel = plainLabel(versionText(), m_panels->productPanel, false);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    VersionLabel->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    VersionLabel->setGeometry(12, 56, 320, m_panels->productPanel->height() - 64);

    OKButton = new QPushButton(checkMark(), tr("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(139, 216, 77, 27);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
    OKButton->setFocus(Qt::OtherFocusReason);
}

} // namespace zel::app
