#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace zel::data {
class Dataset;
}

namespace zel::ui {

// Shows one field of a dataset's current record in a read-only edit or memo and keeps it
// up to date with every data change. Shows nothing while the dataset is closed or has no
// record. The link belongs to the editor and goes with it.
class FieldLink : public QObject
{
    Q_OBJECT
public:
    FieldLink(data::Dataset* dataset, const QString& field, QLineEdit* edit);
    FieldLink(data::Dataset* dataset, const QString& field, QPlainTextEdit* memo);

    // The text the field shows now: the value, empty, or the engine's message when the
    // value cannot be read.
    QString currentText() const;
    void refresh();

private:
    FieldLink(data::Dataset* dataset, const QString& field, QObject* editor);

    QPointer<data::Dataset> m_dataset;
    QString m_field;
    QLineEdit* m_edit = nullptr;
    QPlainTextEdit* m_memo = nullptr;
};

} // namespace zel::ui
