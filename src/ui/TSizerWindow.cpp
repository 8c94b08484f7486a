#include "ui/TSizerWindow.h"

namespace zel::ui {

TSizerWindow::TSizerWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SizerWindow"));
}

} // namespace zel::ui
