#include "ui/TMainForm.h"

#include "data/Database.h"
#include "data/Datasets.h"

namespace zel::ui {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("ZEL"));
    resize(590, 450);
    MainData = new data::Database(QStringLiteral("ZEL"), this);
    Datasets = new data::DatasetSet(MainData, data::decls::mainWindow(), this);
}

} // namespace zel::ui
