#include "search/TSearchWindow.h"

namespace zel::search {

TSearchWindow::TSearchWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SearchWindow"));
    setWindowTitle(QStringLiteral("Select"));
}

} // namespace zel::search
