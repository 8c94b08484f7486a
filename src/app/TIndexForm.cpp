#include "app/TIndexForm.h"

#include "app/ErrorMessage.h"
#include "app/WindowUtil.h"
#include "ui/BevelPanel.h"

#include <QLabel>

namespace zel::app {

namespace {

QLabel* label(const QString& text, QWidget* parent, int left, int top, bool bold)
{
    QLabel* l = plainLabel(text, parent, bold);
    l->move(left, top);
    l->adjustSize();
    return l;
}

} // namespace

TIndexForm::TIndexForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("IndexForm"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(377, 64);
    m_frame = new ui::BevelPanel(ui::BevelPanel::Bevel::Frame, ui::BevelPanel::Bevel::None, this);
    m_frame->setGeometry(rect());

    IndexLabel = label(tr("Indexing database, please wait..."), this, 24, 8, false);
    IndexLabel->setObjectName(QStringLiteral("IndexLabel"));

    IndexPanel =
        new ui::BevelPanel(ui::BevelPanel::Bevel::Lowered, ui::BevelPanel::Bevel::None, this);
    IndexPanel->setObjectName(QStringLiteral("IndexPanel"));
    IndexPanel->setGeometry(16, 28, 345, 25);
    label(tr("File:"), IndexPanel, 24, 6, false);
    FileNameLabel = label(QStringLiteral("filename.ext"), IndexPanel, 48, 6, true);
    FileNameLabel->setObjectName(QStringLiteral("FileNameLabel"));
    label(tr("Index:"), IndexPanel, 160, 6, false);
    IndexNameLabel = label(QStringLiteral("Indexname"), IndexPanel, 192, 6, true);
    IndexNameLabel->setObjectName(QStringLiteral("IndexNameLabel"));
}

void TIndexForm::setFileName(const QString& text)
{
    FileNameLabel->setText(text);
    FileNameLabel->adjustSize();
}

void TIndexForm::setIndexName(const QString& text)
{
    IndexNameLabel->setText(text);
    IndexNameLabel->adjustSize();
}

void TIndexForm::repaintNow()
{
    if (IndexPanel->isVisible())
        IndexPanel->repaint();
}

void TIndexForm::showError(const QString& message, const QString& cause)
{
    ErrorMessage::show(message, cause);
}

void TIndexForm::hideProgress()
{
    hide();
}

} // namespace zel::app
