#pragma once

#include <QMainWindow>
#include <QString>

namespace zel::data {
class Database;
class DatasetSet;
} // namespace zel::data

namespace zel::ui {

// The program's one working window. For now a plain frame that owns the database and the
// main-window datasets and keeps what start-up settles; its pages come later.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);

    // The database ZEL, defined by driver and path at start-up.
    data::Database* MainData;
    // The main-window datasets, by name (TableMaterial, TableCommSynonyms, ...).
    data::DatasetSet* Datasets;

    QString ProgramDirectory; // ends in a separator
    QString DataDirectory;    // ends in a separator
    QString HelpFileName;     // at most 80 characters
    int MaterialCount = 0;
};

} // namespace zel::ui
