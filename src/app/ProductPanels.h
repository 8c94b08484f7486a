#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace zel::ui {
class BevelPanel;
}

namespace zel::app {

// The two panels that the logo window and the about box share: the white logo panel with
// ProgramIcon and, below it, the product panel with the product line ProductName.
class ProductPanels
{
public:
    explicit ProductPanels(QWidget* window);

    ui::BevelPanel* logoPanel;
    QLabel* ProgramIcon;
    ui::BevelPanel* productPanel;
    QLabel* ProductName;

    // The product line as stored, with an ampersand doubled, and as the user reads it.
    static QString productLine();
    static QString shownText(const QString& stored);
};

} // namespace zel::app
